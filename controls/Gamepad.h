// The player's gamepad: which of the plugged-in joysticks is used (the first
// gamepad connected) and its buttons, sticks and triggers as read once a frame,
// in GLFW's standard gamepad layout. Read through the installed GamepadSource.
#pragma once

#include <string>

#define GLFW_INCLUDE_NONE  // GL itself comes through GLEW where needed
#include <GLFW/glfw3.h>

namespace frostline::controls {

/// Stick deflection (0 to 1) inside which a stick steers nothing, so a resting stick never drifts.
inline constexpr float stickDeadZone = 0.15f;
/// Trigger value (-1 released to 1 fully pressed) past which a trigger counts as held: half way.
inline constexpr float triggerHalfWay = 0.0f;

/// A stick axis value (-1 to 1) as a deflection toward its positive side beyond the dead zone:
/// 0 up to the dead zone's edge, rising evenly to 1 at the stop; 0 toward the negative side.
float stickDeflection(float axisValue);

/// A gamepad left alone: no button held, sticks centred, triggers released.
GLFWgamepadstate restingGamepadState();

class Gamepad {
public:
    /// A joystick was plugged in: it is used when no gamepad is in use and it has a gamepad
    /// mapping; one without a mapping is named in one line on standard output and ignored.
    /// True when it is now the gamepad in use.
    bool plugIn(int joystick);
    /// A joystick was pulled out. When it was the one in use, the next gamepad still plugged
    /// in takes over (if any) and true is returned.
    bool pullOut(int joystick);
    /// Looks at every joystick slot, as plugIn does for each device plugged in (start-up).
    void findJoysticks();

    /// Reads the gamepad in use (at rest without one); once a frame, so pressed() sees this
    /// frame's presses.
    void poll();

    /// True while a gamepad is in use.
    bool connected() const { return joystick != noJoystick; }
    /// The name of the gamepad in use (empty without one).
    const std::string& name() const { return deviceName; }
    /// True while the button (GLFW_GAMEPAD_BUTTON_...) is held.
    bool held(int button) const { return state.buttons[button] == GLFW_PRESS; }
    /// True when the button went down since the previous poll.
    bool pressed(int button) const { return held(button) && previousState.buttons[button] != GLFW_PRESS; }
    /// An axis (GLFW_GAMEPAD_AXIS_...): sticks -1 to 1, triggers -1 (released) to 1.
    float axis(int axis) const { return state.axes[axis]; }
    /// True while the trigger (GLFW_GAMEPAD_AXIS_LEFT_TRIGGER or _RIGHT_TRIGGER) is pressed past half way.
    bool triggerHeld(int trigger) const { return axis(trigger) > triggerHalfWay; }

private:
    static constexpr int noJoystick = -1;

    /// Starts using the joystick; its first reading counts no presses.
    void use(int joystick);
    /// The first gamepad plugged in other than except, or noJoystick.
    int findOtherGamepad(int except) const;

    int joystick = noJoystick;                               ///< slot of the gamepad in use
    std::string deviceName;                                  ///< its name
    bool firstReading = false;                               ///< the next poll is the first of this gamepad
    GLFWgamepadstate state = restingGamepadState();          ///< this frame's reading
    GLFWgamepadstate previousState = restingGamepadState();  ///< the previous frame's reading
};

/// The player's gamepad, polled by the main loop and read by the player's controller.
Gamepad& playerGamepad();

}  // namespace frostline::controls
