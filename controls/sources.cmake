# Sources of the controls subsystem, relative to the repository root.
list(APPEND FROSTLINE_SOURCES
)
