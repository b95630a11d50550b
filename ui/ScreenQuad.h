// The unit quad that text glyphs and panels are drawn with, and the one way
// both attach a two-float vertex attribute to a buffer and release what they made.
#pragma once

#include <GL/glew.h>

namespace frostline::ui {

/// Makes a static-draw buffer with the six corners of the unit quad:
/// (-1,-1), (1,-1), (-1,1), (-1,1), (1,-1), (1,1), two counter-clockwise
/// triangles, so they stay front faces under back-face culling.
GLuint createUnitQuadBuffer();

/// In the bound vertex array, feeds the program's attribute `name` from `buffer`:
/// two floats per vertex, not normalised, tightly packed, offset 0. An attribute
/// the program does not use is skipped. Leaves `buffer` bound to GL_ARRAY_BUFFER.
void attachVec2Attribute(GLuint program, const char* name, GLuint buffer);

/// Deletes a vertex array and the buffer that feeds it, and sets both names to 0;
/// a name that is 0 already is left alone.
void releaseVertexArray(GLuint& vertexArray, GLuint& buffer);

}  // namespace frostline::ui
