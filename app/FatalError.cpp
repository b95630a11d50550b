#include "app/FatalError.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include <termios.h>
#include <unistd.h>

namespace frostline {

void pauseForKey()
{
    std::cout.flush();
    // Without a terminal there is nobody to press a key: do not hang.
    if (!::isatty(STDIN_FILENO)) {
        return;
    }
    std::cout << "Press any key to continue . . ." << std::flush;
    termios saved{};
    const bool haveTerminal = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (haveTerminal) {
        termios raw = saved;
        raw.c_lflag &= ~(ICANON | ECHO);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        ::tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    }
    char key = 0;
    [[maybe_unused]] const ssize_t got = ::read(STDIN_FILENO, &key, 1);
    if (haveTerminal) {
        ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    }
    std::cout << std::endl;
}

void exitAfterPause()
{
    pauseForKey();
    std::cout.flush();
    std::fflush(nullptr);
    std::_Exit(-1);
}

void fatalError(const std::string& message)
{
    std::cout << message << std::endl;
    exitAfterPause();
}

}  // namespace frostline
