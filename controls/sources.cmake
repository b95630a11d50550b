# Sources of the controls subsystem, relative to the repository root.
list(APPEND FROSTLINE_SOURCES
  controls/FreeModeController.cpp
  controls/Gamepad.cpp
  controls/GamepadInput.cpp
  controls/KeyInput.cpp
  controls/PlayerInputController.cpp
)
