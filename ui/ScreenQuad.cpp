#include "ui/ScreenQuad.h"

namespace frostline::ui {

GLuint createUnitQuadBuffer()
{
    static constexpr float corners[12] = {-1.0f, -1.0f, 1.0f, -1.0f, -1.0f, 1.0f,
                                          -1.0f, 1.0f,  1.0f, -1.0f, 1.0f,  1.0f};
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(corners), corners, GL_STATIC_DRAW);
    return buffer;
}

void attachVec2Attribute(GLuint program, const char* name, GLuint buffer)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const GLint location = glGetAttribLocation(program, name);
    if (location < 0) {
        return;
    }
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glVertexAttribPointer(static_cast<GLuint>(location), 2, GL_FLOAT, GL_FALSE, 0, nullptr);
}

void releaseVertexArray(GLuint& vertexArray, GLuint& buffer)
{
    if (buffer != 0) {
        glDeleteBuffers(1, &buffer);
        buffer = 0;
    }
    if (vertexArray != 0) {
        glDeleteVertexArrays(1, &vertexArray);
        vertexArray = 0;
    }
}

}  // namespace frostline::ui
