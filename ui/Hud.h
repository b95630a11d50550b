// The heads-up display: message line, points, time left, frame-time labels and
// the help, win and fail panels, drawn over every frame.
#pragma once

#include <string>

namespace frostline::ui {

extern float messageAge;      ///< seconds since the message text was last set
extern float fpsAccumulator;  ///< time collected for the once-a-second frame-time refresh

/// Sets the message line and restarts its three seconds.
void showMessage(const std::string& text);
/// The text the message line holds now.
const std::string& currentMessage();

/// Creates the HUD labels and panels (needs the GL context and GLEW).
void initUserInterface();
/// Draws the message line alone (the loading screen).
void drawMessage();
/// Updates and draws the whole HUD for this frame; brakes the sled after the race.
void drawHud();
/// Releases the shared text and panel resources, then the HUD labels and panels.
void shutdownUserInterface();

}  // namespace frostline::ui
