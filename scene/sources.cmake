# Sources of the scene subsystem, relative to the repository root.
list(APPEND FROSTLINE_SOURCES
  scene/Math.cpp
  scene/SceneObject.cpp
)
