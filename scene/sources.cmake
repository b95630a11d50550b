# Sources of the scene subsystem, relative to the repository root.
list(APPEND FROSTLINE_SOURCES
  scene/Camera.cpp
  scene/Math.cpp
  scene/SceneObject.cpp
  scene/Shape.cpp
)
