// The frame loop and the start countdown.
#pragma once

namespace frostline {

/// Runs frames until Escape clears `running` or the window is asked to close.
void mainLoop();
/// Advances the start countdown by deltaTime (not while the help card is up) and puts 3, 2, 1, 0
/// on the message line as each comes, unless a newer message holds it; true once the race has started.
bool updateCountdown();
/// One frame of the loop: measures deltaTime, polls events, simulates, adapts the render
/// scale, draws, swaps.
void runFrame();
/// The simulation part of a frame for the current deltaTime (s): the gamepad, countdown, the
/// active controller, the World update and race clock (unless paused), camera, physics step;
/// then the frame's race events are handed on.
void simulateFrame();
/// Tells the player what the race did this frame (the message line and the sound, which
/// also follows the ride) and clears the events.
void handOnRaceEvents();
/// Hands the last frame's cost to the render-scale governor (when the scale adapts, after
/// the warm-up frames of a new level) and gives the World the scale to draw this frame at.
void adaptRenderScale();
/// The drawing part of a frame: clear, the World's passes, the heads-up display.
void drawFrame();

}  // namespace frostline
