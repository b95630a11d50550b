# Sources of the render subsystem, relative to the repository root.
list(APPEND FROSTLINE_SOURCES
  render/FrameCost.cpp
  render/ParticleSystem.cpp
  render/RenderScale.cpp
  render/RenderTargets.cpp
  render/ShaderProgram.cpp
  render/ShadowCache.cpp
  render/Texture.cpp
  render/World.cpp
  render/WorldRendering.cpp
)
