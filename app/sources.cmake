# Sources of the app subsystem, relative to the repository root.
list(APPEND FROSTLINE_SOURCES
  app/Application.cpp
  app/FatalError.cpp
  app/FileReading.cpp
  app/GamepadCommands.cpp
  app/GhostRace.cpp
  app/Globals.cpp
  app/KeyCommands.cpp
  app/MainLoop.cpp
  app/Options.cpp
)
