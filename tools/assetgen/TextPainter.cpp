#include "tools/assetgen/TextPainter.h"

#include <algorithm>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace frostline {

TextPainter::TextPainter(const std::string& fontPath)
{
    if (FT_Init_FreeType(&library) != 0) {
        library = nullptr;
        return;
    }
    if (FT_New_Face(library, fontPath.c_str(), 0, &face) != 0) {
        face = nullptr;
    }
}

TextPainter::~TextPainter()
{
    if (face) {
        FT_Done_Face(face);
        face = nullptr;
    }
    if (library) {
        FT_Done_FreeType(library);
        library = nullptr;
    }
}

InkBox TextPainter::measure(const std::string& text, int pixelSize) const
{
    InkBox box{1 << 20, 1 << 20, -(1 << 20), -(1 << 20)};
    FT_Set_Pixel_Sizes(face, 0, pixelSize);
    int pen = 0;
    for (unsigned char c : text) {
        if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0) {
            continue;
        }
        const FT_GlyphSlot g = face->glyph;
        if (g->bitmap.width > 0 && g->bitmap.rows > 0) {
            box.left = std::min(box.left, pen + g->bitmap_left);
            box.right = std::max(box.right, pen + g->bitmap_left + static_cast<int>(g->bitmap.width));
            box.top = std::min(box.top, -g->bitmap_top);
            box.bottom = std::max(box.bottom, -g->bitmap_top + static_cast<int>(g->bitmap.rows));
        }
        pen += static_cast<int>(g->advance.x >> 6);
    }
    if (box.right < box.left) {
        return InkBox{};
    }
    return box;
}

void TextPainter::draw(Image& image, const std::string& text, int pixelSize, float x, float baseline,
                       glm::vec4 colour) const
{
    FT_Set_Pixel_Sizes(face, 0, pixelSize);
    int pen = static_cast<int>(x);
    for (unsigned char c : text) {
        if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0) {
            continue;
        }
        const FT_GlyphSlot g = face->glyph;
        for (unsigned row = 0; row < g->bitmap.rows; ++row) {
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
                const float coverage = g->bitmap.buffer[row * g->bitmap.pitch + col] / 255.0f;
                if (coverage > 0.0f) {
                    image.blend(pen + g->bitmap_left + static_cast<int>(col),
                                static_cast<int>(baseline) - g->bitmap_top + static_cast<int>(row), colour,
                                coverage);
                }
            }
        }
        pen += static_cast<int>(g->advance.x >> 6);
    }
}

void TextPainter::drawCentred(Image& image, const std::string& text, int pixelSize, float centreX,
                              float baseline, glm::vec4 colour, int outline, glm::vec4 outlineColour) const
{
    const InkBox box = measure(text, pixelSize);
    const float x = centreX - (box.left + box.right) * 0.5f;
    // A rim of copies around the text keeps it readable on any background.
    for (int dy = -outline; dy <= outline; ++dy) {
        for (int dx = -outline; dx <= outline; ++dx) {
            if ((dx != 0 || dy != 0) && dx * dx + dy * dy <= outline * outline + 1) {
                draw(image, text, pixelSize, x + dx, baseline + dy, outlineColour);
            }
        }
    }
    draw(image, text, pixelSize, x, baseline, colour);
}

}  // namespace frostline
