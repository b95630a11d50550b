#include "render/RenderTargets.h"

#include <algorithm>
#include <iostream>
#include <string>

#include "app/FatalError.h"
#include "app/Globals.h"

namespace frostline {

namespace {

/// The framebuffer-status message of every target.
std::string statusMessage(GLenum status) { return "FB error, status: " + std::to_string(status); }

/// Complete: binds framebuffer 0 and returns true. Otherwise ends the process.
bool completeOrFatal()
{
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        fatalError(statusMessage(status));
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return true;
}

void deleteTexture(GLuint& name)
{
    if (name != 0) {
        glDeleteTextures(1, &name);
        name = 0;
    }
}

void deleteFramebuffer(GLuint& name)
{
    if (name != 0) {
        glDeleteFramebuffers(1, &name);
        name = 0;
    }
}

}  // namespace

bool ShadowTarget::create(GLsizei mapWidth, GLsizei mapHeight)
{
    width = mapWidth;
    height = mapHeight;
    glGenFramebuffers(1, &framebuffer);
    glGenTextures(1, &depthTexture);
    glBindTexture(GL_TEXTURE_2D, depthTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT16, width, height, 0, GL_DEPTH_COMPONENT, GL_FLOAT,
                 nullptr);
    // Hardware comparison with linear filtering of the results: a shadow sampler.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);

    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depthTexture, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);

    // An incomplete depth map only costs the shadows: report it and carry on.
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    complete = status == GL_FRAMEBUFFER_COMPLETE;
    if (!complete) {
        std::cout << statusMessage(status) << std::endl;
        // A texture without an image would make the lit shader's comparisons undefined
        // (llvmpipe draws the level in the dark ambient colour). One texel at the far
        // plane instead: every point passes the comparison and is lit.
        const float farPlane = 1.0f;
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT16, 1, 1, 0, GL_DEPTH_COMPONENT, GL_FLOAT,
                     &farPlane);
        // The refused size left its error behind; it is reported by the line above.
        while (glGetError() != GL_NO_ERROR) {
        }
        return false;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return true;
}

void ShadowTarget::release()
{
    deleteFramebuffer(framebuffer);
    deleteTexture(depthTexture);
    complete = false;
}

bool SceneTarget::create() { return create(windowWidth, windowHeight); }

bool SceneTarget::create(GLsizei targetWidth, GLsizei targetHeight)
{
    width = targetWidth;
    height = targetHeight;
    const GLsizei w = width;
    const GLsizei h = height;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);

    // Colour.
    glGenTextures(1, &imageTexture);
    glBindTexture(GL_TEXTURE_2D, imageTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // The blur reads up to a few pixels past the screen's edges, mirrored back into the
    // image. (The composite reads single texels and mirrors its coordinates itself.)
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_MIRRORED_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_MIRRORED_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, imageTexture, 0);

    // Velocity: one level, so the default minification filter samples level 0. Two
    // 16-bit fractions a pixel hold the motion finely enough (Shader/velocity.glsl)
    // and cost the composite far less to read than two floats.
    glGenTextures(1, &velocityTexture);
    glBindTexture(GL_TEXTURE_2D, velocityTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RG16, w, h, 0, GL_RG, GL_UNSIGNED_SHORT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT1, GL_TEXTURE_2D, velocityTexture, 0);

    // Depth.
    glGenRenderbuffers(1, &depthRenderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, depthRenderbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, w, h);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthRenderbuffer);

    const GLenum drawBuffers[] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(2, drawBuffers);
    return completeOrFatal();
}

void SceneTarget::release()
{
    deleteTexture(imageTexture);
    deleteTexture(velocityTexture);
    if (depthRenderbuffer != 0) {
        glDeleteRenderbuffers(1, &depthRenderbuffer);
        depthRenderbuffer = 0;
    }
    deleteFramebuffer(framebuffer);
    width = 0;
    height = 0;
}

bool CompositeTarget::create(GLsizei targetWidth, GLsizei targetHeight)
{
    width = targetWidth;
    height = targetHeight;
    glGenFramebuffers(1, &framebuffer);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    // Stretched over the window with filtering; its edges are the picture's own.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    return completeOrFatal();
}

void CompositeTarget::release()
{
    deleteTexture(texture);
    deleteFramebuffer(framebuffer);
    width = 0;
    height = 0;
}

bool VelocityTarget::create()
{
    glGenFramebuffers(1, &framebuffer);
    glGenTextures(1, &texture);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RG32F, windowWidth, windowHeight, 0, GL_RG, GL_FLOAT, nullptr);
    // The whole chain of levels, allocated level by level: generating them from an image
    // that holds nothing yet gives the same texture, but costs llvmpipe a blit shader
    // compiled at start-up (about 0.1 s).
    for (GLint level = 1, w = windowWidth, h = windowHeight; w > 1 || h > 1; ++level) {
        w = std::max(w / 2, 1);
        h = std::max(h / 2, 1);
        glTexImage2D(GL_TEXTURE_2D, level, GL_RG32F, w, h, 0, GL_RG, GL_FLOAT, nullptr);
    }
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    return completeOrFatal();
}

void VelocityTarget::release()
{
    deleteTexture(texture);
    deleteFramebuffer(framebuffer);
}

void clearSceneTarget(float red, float green, float blue)
{
    // The window's framebuffer (motion blur off) has no attachments to select: GL
    // would reject both selections and the second, black clear would win, leaving a
    // black sky under the black message line. The window gets the colour itself.
    GLint bound = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
    if (bound == 0) {
        glClearColor(red, green, blue, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        return;
    }
    const GLenum colour[] = {GL_COLOR_ATTACHMENT0};
    const GLenum velocity[] = {GL_COLOR_ATTACHMENT1};
    const GLenum both[] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(1, colour);
    glClearColor(red, green, blue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDrawBuffers(1, velocity);
    glClearColor(velocityAtRest, velocityAtRest, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);  // the depth is cleared already
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDrawBuffers(2, both);
}

}  // namespace frostline
