// The frame loop and the start countdown.
#pragma once

namespace frostline {

/// Runs frames until Escape clears `running` or the window is asked to close.
void mainLoop();
/// Advances the start countdown by deltaTime and shows 3, 2, 1, 0; true once the race has started.
bool updateCountdown();
/// One frame of the loop (steps 2 to 12), for the loop and for tests that drive frames.
void runFrame();

}  // namespace frostline
