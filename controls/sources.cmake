# Sources of the controls subsystem, relative to the repository root.
list(APPEND FROSTLINE_SOURCES
  controls/FreeModeController.cpp
  controls/KeyInput.cpp
  controls/PlayerInputController.cpp
)
