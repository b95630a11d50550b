# Sources of the level subsystem, relative to the repository root.
list(APPEND FROSTLINE_SOURCES
  level/Autopilot.cpp
  level/LevelPopulation.cpp
  level/RaceRules.cpp
  level/SightSurfaces.cpp
)
