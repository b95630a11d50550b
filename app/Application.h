// Start-up and shutdown of the game, in the order the entry point runs them.
#pragma once

namespace frostline {

/// Reads the window size from "options.ini" into windowWidth / windowHeight.
void readOptions();
/// Opens the full-screen window with a 3.3 core context and sets the initial GL state;
/// windowWidth / windowHeight become the size the monitor gave (pixels).
void initWindow();
/// The GL state the window starts with: the sky's clear colour, the viewport over the
/// whole window, depth test, back-face culling and alpha blending.
void setStartGlState();
/// Loads the GL entry points; on failure shuts down and ends with "GLEW ERROR".
void initGlew();
/// Draws the loading screen into the bound framebuffer: "performing snowstorm..." on the
/// message line over the start-up's sky, whatever colour the last frame left to clear with.
void drawLoadingScreen();
/// Shows the loading screen for one swapped frame.
void showLoadingScreen();
/// Opens the sound device and reads "sounds/"; without a device the game plays silently.
void initSound();
/// Builds the World, the RaceState and the player's controller.
void initScene();
/// Releases the active controller, the World and the RaceState, in this order; safe
/// to call when they do not exist.
void releaseScene();
/// Sets the counters outside the RaceState to what every race starts from (RaceStart).
void resetRaceCounters();
/// Enter once the race is decided: takes the race down as shutdown does (controller,
/// World, RaceState) and builds it again as the start-up does, from the files as the
/// start-up read them, so the level, the clock, the points and the countdown are as
/// at the start. Does nothing while a race runs. Returns whether a new race was started.
bool restartRace();
/// Stops and releases the sound, then everything else that exists in the fixed order, and
/// terminates GLFW.
void shutdown();
/// The whole program: start-up, the main loop, shutdown; every file of the race is read
/// once (keepFilesRead before the first initScene). Returns the exit status.
int runGame();

}  // namespace frostline
