# Sources of the sound subsystem, relative to the repository root.
list(APPEND FROSTLINE_SOURCES
  sound/Sound.cpp
  sound/SoundFile.cpp
  sound/SoundMix.cpp
)
