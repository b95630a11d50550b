# Sources of the physics subsystem, relative to the repository root.
list(APPEND FROSTLINE_SOURCES
)
