// The gamepad beside the keyboard: plugging it in and out at any moment, and its
// one-shot buttons, which run the key commands of the keys they stand for.
// Steering, pushing, braking and Y (as R) are held inputs, read by the player's
// controller instead.
#pragma once

#include <functional>

namespace frostline {

/// Seconds within which a second Back press leaves the game.
inline constexpr float backAgainTime = 3.0f;
/// Seconds the race's result is shown before a press of A races again: A also pushes,
/// and a player still pushing as the race ends would otherwise never see the result.
inline constexpr float resultReadTime = 1.0f;

/// Runs the command of a key (GLFW key code) as a press of that key would.
using KeyCommandRunner = std::function<void(int key)>;

/// GLFW joystick callback: a joystick plugged in (GLFW_CONNECTED) or out (GLFW_DISCONNECTED).
/// Says "Gamepad: <name>" or "Gamepad disconnected" on the message line (and standard
/// output) when the gamepad in use changes; other joysticks change nothing.
void joystickCallback(int joystick, int event);

/// Start-up: registers the joystick callback and takes up a gamepad already plugged in.
/// Without one nothing is shown or printed. Also forgets a pending Back press and how
/// long a result has been shown.
void initGamepad();

/// Once a frame, first thing of the simulation: reads the gamepad and runs the commands
/// of the buttons pressed since the last frame through runCommand:
///   Start F1 (help and pause), always; Back "Press Back again to leave", a second press
///   within backAgainTime seconds Escape; once the race's result has been shown for
///   resultReadTime seconds, a fresh press of A (down now, up the frame before) Enter (a new race).
void pollGamepad(const KeyCommandRunner& runCommand);
/// pollGamepad with the key commands themselves.
void pollGamepad();

}  // namespace frostline
