# Sources of the ghost rider's runs, relative to the repository root.
list(APPEND FROSTLINE_SOURCES
  ghost/GhostRun.cpp
  ghost/GhostSession.cpp
)
