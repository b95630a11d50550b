# Sources of the render subsystem, relative to the repository root.
list(APPEND FROSTLINE_SOURCES
  render/ShaderProgram.cpp
  render/Texture.cpp
)
