# Sources of the scene subsystem, relative to the repository root.
list(APPEND FROSTLINE_SOURCES
  scene/Camera.cpp
  scene/ChaseCamera.cpp
  scene/Checkpoint.cpp
  scene/Collectable.cpp
  scene/GateMarker.cpp
  scene/GhostRider.cpp
  scene/InvisibleWall.cpp
  scene/MaterialLibraryCheck.cpp
  scene/MeshChunks.cpp
  scene/Math.cpp
  scene/SceneObject.cpp
  scene/Shape.cpp
  scene/StaticShape.cpp
  scene/Terrain.cpp
)
