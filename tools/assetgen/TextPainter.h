// Lettering with FreeType: single glyphs for the font grid and lines of text
// for the panels and the billboard.
#pragma once

#include <string>

#include <glm/glm.hpp>

#include "tools/assetgen/Image.h"

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

namespace frostline {

/// Folder of the DejaVu fonts that Debian's fonts-dejavu-core installs.
inline constexpr const char* dejaVuFolder = "/usr/share/fonts/truetype/dejavu/";

/// Ink bounds of a rendered glyph or line, in pixels relative to the pen origin (y down).
struct InkBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

class TextPainter {
public:
    /// Opens a font file; valid() tells whether it could be read.
    explicit TextPainter(const std::string& fontPath);
    /// Closes the face and the FreeType library.
    ~TextPainter();
    TextPainter(const TextPainter&) = delete;
    TextPainter& operator=(const TextPainter&) = delete;

    /// True when the font was opened.
    bool valid() const { return face != nullptr; }
    /// Ink bounds of text at pixelSize (pixels per em), pen starting at (0, 0) on the baseline.
    InkBox measure(const std::string& text, int pixelSize) const;
    /// Draws text with its baseline starting at (x, baseline), pixels, coloured by colour.
    void draw(Image& image, const std::string& text, int pixelSize, float x, float baseline,
              glm::vec4 colour) const;
    /// Draws text centred on column centreX; outline (pixels) draws a dark rim first when above 0.
    void drawCentred(Image& image, const std::string& text, int pixelSize, float centreX, float baseline,
                     glm::vec4 colour, int outline = 0,
                     glm::vec4 outlineColour = glm::vec4(0, 0, 0, 1)) const;

private:
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

}  // namespace frostline
