#include "tests/fuzz/FatalTrap.h"

#include "app/FatalError.h"

namespace frostline {

// Nobody presses a key during fuzzing.
void pauseForKey() {}

void exitAfterPause()
{
    throw fuzz::FatalExit{};
}

void fatalError(const std::string& message)
{
    throw fuzz::FatalExit{message};
}

}  // namespace frostline
