# Sources of the ui subsystem, relative to the repository root.
list(APPEND FROSTLINE_SOURCES
  ui/GatePointer.cpp
  ui/Hud.cpp
  ui/Panel.cpp
  ui/ScreenQuad.cpp
  ui/TextLabel.cpp
)
