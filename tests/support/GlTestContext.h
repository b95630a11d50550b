// A real OpenGL 3.3 core context for tests (Mesa's llvmpipe under Xvfb).
#pragma once

#include <string>

struct GLFWwindow;

namespace frostline::test {

/// Opens (once per process) a visible 1024 x 768 window with a 3.3 core context,
/// makes it current, initialises GLEW and sets windowWidth / windowHeight.
/// Returns the window; fails the calling test when no display is available.
GLFWwindow* ensureGlContext();

/// Closes the window of ensureGlContext and ends GLFW, so that the driver's
/// threads are gone before the process exits (the leak check at exit stops every
/// thread still running). Nothing when no context was made.
void releaseGlContext();

/// The GL state and debug toggles of a game just started, whatever tests before left:
/// the game's own start GL state, filled polygons, motion blur on, culling and
/// wireframe off, and a frame of 1/60 s.
void startLikeTheGame();

/// Reads one pixel of the currently bound read framebuffer as 8-bit RGBA.
struct Rgba { unsigned char r, g, b, a; };
Rgba readPixel(int x, int y);

/// Writes the current read framebuffer (window size) to a PNG file, for a look.
bool savePixelsPng(const std::string& path);

}  // namespace frostline::test
