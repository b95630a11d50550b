// One line of bitmap-font text on the screen. Every character is a quad cut out
// of the font image "Models/font1.png"; all labels share one shader program, the
// font texture and one prepared vertex array per glyph, made by the first label.
#pragma once

#include <array>
#include <map>
#include <string>

#include "scene/Math.h"

namespace frostline::ui {

/// Cell of a character in the font's 16 x 16 grid: column from the left, row
/// counted upwards from texture coordinate v = 0 (both as floats).
struct GlyphCell {
    float column = 0.0f;
    float row = 0.0f;
};

/// The 72 characters the font provides: digits, a-z, A-Z, space and ! # + , - . / : _
const std::map<char, GlyphCell>& glyphCells();

/// The six texture coordinates of a cell, in the corner order of the unit quad
/// (left, bottom), (right, bottom), (left, top), (left, top), (right, bottom), (right, top).
/// Only pixels 15..48 of the 64-pixel-wide cell are used.
std::array<vec2, 6> glyphTexCoords(GlyphCell cell);

class TextLabel {
public:
    /// A label of glyphs glyphWidth x glyphHeight pixels in colour (r, g, b) at (0, 0);
    /// the first label made creates the shared text resources (needs the GL context).
    TextLabel(float glyphWidth, float glyphHeight, vec3 color, const std::string& text);

    /// Replaces the text; an empty text becomes one space.
    void setText(const std::string& text);

    /// Draws the line with the current GL state. With sx = glyphWidth / windowWidth
    /// and sy = glyphHeight / windowHeight, the line of n characters spans
    /// x - (n + 1) * sx to x + (n - 1) * sx and y - sy to y + sy (normalised device
    /// coordinates); a line that would reach past an edge of the screen is moved
    /// just far enough to be read whole. Characters the font lacks are left blank.
    void draw() const;

    float glyphWidth;   ///< width of one character on screen (pixels)
    float glyphHeight;  ///< height of one character on screen (pixels)
    float x = 0.0f;     ///< horizontal position (normalised device coordinates)
    float y = 0.0f;     ///< centre line of the characters (normalised device coordinates)
    float red;          ///< colour, 0..1
    float green;        ///< colour, 0..1
    float blue;         ///< colour, 0..1
    std::string text;   ///< the characters drawn; never empty
};

/// How far (normalised device coordinates) a line box must move to lie on the
/// screen; (0, 0) when it does. A box larger than the screen keeps its left or
/// bottom edge on screen.
vec2 onScreenShift(float left, float right, float bottom, float top);

/// The font image every label samples.
inline constexpr const char* fontImagePath = "Models/font1.png";

/// Releases the shared text resources (shader program, font texture, glyph
/// buffers and vertex arrays); safe to call twice. The next label makes them anew.
void releaseTextResources();

/// True while the shared text resources exist.
bool textResourcesReady();

}  // namespace frostline::ui
