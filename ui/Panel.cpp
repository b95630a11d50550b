#include "ui/Panel.h"

#include <iostream>

#include "app/Globals.h"
#include "render/ShaderProgram.h"
#include "render/Texture.h"
#include "ui/ScreenQuad.h"

namespace frostline::ui {

namespace {
/// The one panel shader program, made by the first panel.
ShaderProgram* panelShader = nullptr;
}  // namespace

Panel::Panel(float width, float height, const std::string& imagePath)
    : width(width), height(height), imagePath(imagePath)
{
    // 1. The shared shader program.
    if (!panelShader) {
        panelShader = new ShaderProgram("Shader/panelshader.vert", "Shader/panelshader.frag");
    }
    const GLuint program = panelShader->program;

    // 2 and 3. Centred; the unit quad in its own vertex array.
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    vertexBuffer = createUnitQuadBuffer();
    attachVec2Attribute(program, "vPosition", vertexBuffer);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    // 4. Uniform locations.
    glUseProgram(program);
    scaleLocation = glGetUniformLocation(program, "scale");
    colorTextureLocation = glGetUniformLocation(program, "colorTexture");
    translateLocation = glGetUniformLocation(program, "translate");

    // 5. The image. A missing picture must not stop the race: say which file
    //    is missing and leave the panel blank.
    texture = new Texture(imagePath);
    imageLoaded = texture->load();
    if (!imageLoaded) {
        std::cout << "Failed to load panel image: " << imagePath << " (the panel stays blank)" << std::endl;
    }
}

Panel::~Panel()
{
    releaseVertexArray(vertexArray, vertexBuffer);
    delete texture;
    texture = nullptr;
}

void Panel::draw()
{
    if (!imageLoaded || !panelShader) {
        return;
    }
    // Half-extents of the panel in normalised device coordinates.
    const float sx = width / static_cast<float>(windowWidth);
    const float sy = height / static_cast<float>(windowHeight);

    glUseProgram(panelShader->program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(texture->target, texture->textureName);
    glUniform1i(colorTextureLocation, 0);
    glUniform2f(translateLocation, translateX, translateY);
    glUniform2f(scaleLocation, sx, sy);

    glBindVertexArray(vertexArray);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glBindVertexArray(0);
}

void Panel::update(float /*frameTime*/) {}

void Panel::setSize(float newWidth, float newHeight)
{
    width = newWidth;
    height = newHeight;
}

void Panel::setPosition(float x, float y)
{
    translateX = x;
    translateY = y;
}

void releasePanelShader()
{
    delete panelShader;
    panelShader = nullptr;
}

}  // namespace frostline::ui
