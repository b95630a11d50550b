# Sources of the physics subsystem, relative to the repository root.
list(APPEND FROSTLINE_SOURCES
  physics/Actor.cpp
  physics/CapsuleController.cpp
  physics/ControllerManager.cpp
  physics/ConvexSweep.cpp
  physics/MaterialStore.cpp
  physics/PhysicsWorld.cpp
  physics/Scene.cpp
  physics/SightWorld.cpp
  physics/TriangleMesh.cpp
  physics/ControllerShape.cpp
)
