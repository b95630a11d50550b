// The game's fatal path for fuzz targets. It is linked in place of
// app/FatalError.cpp: instead of ending the process (which would end the whole
// fuzzing run at the first input that is rightly refused), a fatal error
// unwinds back to the target with its message, which the target checks.
#pragma once

#include <string>

namespace frostline::fuzz {

/// Thrown by fatalError (with its message) and by exitAfterPause (message empty:
/// the failure printed its own). Only fuzz targets ever see it.
struct FatalExit {
    std::string message;  ///< the message the player would have read
};

}  // namespace frostline::fuzz
