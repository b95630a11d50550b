// The one way out for start-up failures.
#pragma once

#include <string>

namespace frostline {

/// Prints message and a line end to standard output, waits for a key press
/// ("Press any key to continue . . .", only when standard input is a terminal),
/// then ends the process with exit status -1 (255 to the shell). Releases nothing.
[[noreturn]] void fatalError(const std::string& message);

/// The wait-for-a-key step of the fatal path on its own, for failures that
/// print their own message first (shader compile and link errors).
void pauseForKey();

/// pauseForKey, then exit with status -1.
[[noreturn]] void exitAfterPause();

}  // namespace frostline
