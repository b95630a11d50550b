// Frostline: a downhill sledding race against the clock.
#include "app/Application.h"

int main()
{
    return frostline::runGame();
}
