#include "ui/TextLabel.h"

#include <iostream>
#include <vector>

#include <GL/glew.h>

#include "app/FatalError.h"
#include "app/Globals.h"
#include "render/ShaderProgram.h"
#include "render/Texture.h"
#include "ui/ScreenQuad.h"

namespace frostline::ui {

namespace {

/// Everything the labels share; one set for the process.
struct TextResources {
    ShaderProgram* program = nullptr;
    Texture* font = nullptr;
    GLuint quadPositionBuffer = 0;
    std::map<char, GLuint> glyphArrays;
    std::vector<GLuint> glyphBuffers;
    GLint positionLocation = -1;
    GLint scaleLocation = -1;
    GLint colorTextureLocation = -1;
    GLint colorLocation = -1;
    bool initialised = false;
};

TextResources resources;

std::map<char, GlyphCell> makeGlyphCells()
{
    // "+" tells the time a gate adds and a pick-up's points, "%" the render scale.
    std::string characters = " !#%+,-./:_";
    for (char c = '0'; c <= '9'; ++c) characters += c;
    for (char c = 'a'; c <= 'z'; ++c) characters += c;
    for (char c = 'A'; c <= 'Z'; ++c) characters += c;

    std::map<char, GlyphCell> cells;
    for (const char c : characters) {
        const int code = static_cast<unsigned char>(c);
        cells[c] = GlyphCell{static_cast<float>(code % 16), static_cast<float>(15 - code / 16)};
    }
    return cells;
}

/// One vertex array per glyph: "vPosition" from the shared quad, "vTexCoords" from its own buffer.
void buildGlyphGeometry(GLuint program)
{
    resources.quadPositionBuffer = createUnitQuadBuffer();

    for (const auto& [character, cell] : glyphCells()) {
        GLuint vertexArray = 0;
        glGenVertexArrays(1, &vertexArray);
        glBindVertexArray(vertexArray);

        GLuint texCoordsBuffer = 0;
        glGenBuffers(1, &texCoordsBuffer);
        glBindBuffer(GL_ARRAY_BUFFER, texCoordsBuffer);
        const std::array<vec2, 6> texCoords = glyphTexCoords(cell);
        glBufferData(GL_ARRAY_BUFFER, sizeof(texCoords), texCoords.data(), GL_STATIC_DRAW);
        attachVec2Attribute(program, "vTexCoords", texCoordsBuffer);
        attachVec2Attribute(program, "vPosition", resources.quadPositionBuffer);

        glBindVertexArray(0);
        resources.glyphArrays[character] = vertexArray;
        resources.glyphBuffers.push_back(texCoordsBuffer);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void createTextResources()
{
    // 1. The notice (the name is historical: it announces the screen-space UI).
    std::cout << "init panel" << std::endl;

    // 2. The shader program.
    resources.program = new ShaderProgram("Shader/textshader.vert", "Shader/textshader.frag");

    // 3. The font. Without it no countdown, time, points or message can be shown,
    //    so the game cannot be played: stop at start-up and name the file.
    resources.font = new Texture(fontImagePath);
    if (!resources.font->load()) {
        fatalError(std::string("Failed to load the font image: ") + fontImagePath);
    }

    // 4 and 5. The glyph table and the geometry.
    buildGlyphGeometry(resources.program->program);

    // 6. Uniform locations.
    const GLuint program = resources.program->program;
    resources.positionLocation = glGetUniformLocation(program, "position");
    resources.scaleLocation = glGetUniformLocation(program, "scale");
    resources.colorTextureLocation = glGetUniformLocation(program, "colorTexture");
    resources.colorLocation = glGetUniformLocation(program, "color");

    // 7. Done.
    resources.initialised = true;
}

/// Along one axis: how far a span [low, high] must move to lie within [-1, 1];
/// a span longer than the screen keeps its start (low) on screen.
float shiftIntoScreen(float low, float high)
{
    if (high > 1.0f) {
        const float shift = 1.0f - high;
        return low + shift < -1.0f ? -1.0f - low : shift;
    }
    return low < -1.0f ? -1.0f - low : 0.0f;
}

}  // namespace

vec2 onScreenShift(float left, float right, float bottom, float top)
{
    return vec2(shiftIntoScreen(left, right), shiftIntoScreen(bottom, top));
}

const std::map<char, GlyphCell>& glyphCells()
{
    static const std::map<char, GlyphCell> cells = makeGlyphCells();
    return cells;
}

std::array<vec2, 6> glyphTexCoords(GlyphCell cell)
{
    const float left = (64.0f * cell.column + 15.0f) / 1024.0f;
    const float right = (64.0f * cell.column + 48.0f) / 1024.0f;
    const float bottom = (64.0f * cell.row) / 1024.0f;
    const float top = (64.0f * cell.row + 63.0f) / 1024.0f;
    return {vec2(left, bottom), vec2(right, bottom), vec2(left, top),
            vec2(left, top),    vec2(right, bottom), vec2(right, top)};
}

TextLabel::TextLabel(float glyphWidth, float glyphHeight, vec3 color, const std::string& text)
    : glyphWidth(glyphWidth), glyphHeight(glyphHeight), red(color.r), green(color.g), blue(color.b),
      text(text.empty() ? " " : text)
{
    if (!resources.initialised) {
        createTextResources();
    }
}

void TextLabel::setText(const std::string& newText)
{
    text = newText.empty() ? " " : newText;
}

void TextLabel::draw() const
{
    if (!resources.initialised) {
        return;  // after releaseTextResources: nothing left to draw with
    }
    // Half-extents of one character in normalised device coordinates.
    const float sx = glyphWidth / static_cast<float>(windowWidth);
    const float sy = glyphHeight / static_cast<float>(windowHeight);

    glUseProgram(resources.program->program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(resources.font->target, resources.font->textureName);
    glUniform1i(resources.colorTextureLocation, 0);
    glUniform2f(resources.scaleLocation, sx, sy);
    glUniform4f(resources.colorLocation, red, green, blue, 1.0f);

    const float n = static_cast<float>(text.size());
    const vec2 shift = onScreenShift(x - (n + 1.0f) * sx, x + (n - 1.0f) * sx, y - sy, y + sy);
    for (size_t i = 0; i < text.size(); ++i) {
        const auto glyph = resources.glyphArrays.find(text[i]);
        if (glyph == resources.glyphArrays.end()) {
            continue;  // not in the font: a blank of one character
        }
        glUniform2f(resources.positionLocation, x + shift.x + 2.0f * sx * static_cast<float>(i) - n * sx,
                    y + shift.y);
        glBindVertexArray(glyph->second);
        glDrawArrays(GL_TRIANGLES, 0, 6);
        glBindVertexArray(0);
    }
}

void releaseTextResources()
{
    // 1. The shader program with its two shader objects.
    delete resources.program;
    resources.program = nullptr;
    // 2. The font texture.
    delete resources.font;
    resources.font = nullptr;
    // 3. The glyph buffers and the shared quad.
    if (!resources.glyphBuffers.empty()) {
        glDeleteBuffers(static_cast<GLsizei>(resources.glyphBuffers.size()), resources.glyphBuffers.data());
        resources.glyphBuffers.clear();
    }
    if (resources.quadPositionBuffer != 0) {
        glDeleteBuffers(1, &resources.quadPositionBuffer);
        resources.quadPositionBuffer = 0;
    }
    // 4. The glyph vertex arrays.
    for (auto& [character, vertexArray] : resources.glyphArrays) {
        glDeleteVertexArrays(1, &vertexArray);
    }
    resources.glyphArrays.clear();
    // 5. Not initialised any more.
    resources.initialised = false;
}

bool textResourcesReady()
{
    return resources.initialised;
}

}  // namespace frostline::ui
