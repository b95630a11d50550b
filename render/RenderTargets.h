// The off-screen framebuffers of the 3D passes: the sun's depth map, the scene's
// colour-and-velocity target and a spare velocity target. Plain records of GL
// names; the World owns them and calls release (safe to call twice).
#pragma once

#include <GL/glew.h>

namespace frostline {

/// Width and height of the sun's depth map in texels.
inline constexpr int shadowMapWidth = 8000;
inline constexpr int shadowMapHeight = 4000;

/// The light's depth map, sampled with hardware depth comparison.
struct ShadowTarget {
    GLuint framebuffer = 0;   ///< depth-only framebuffer
    GLuint depthTexture = 0;  ///< GL_DEPTH_COMPONENT16, width x height, compare mode on
    GLsizei width = 0;        ///< texels
    GLsizei height = 0;       ///< texels
    bool complete = false;    ///< the framebuffer can be drawn into (create succeeded)

    /// Builds the target at width x height texels (the game's map is shadowMapWidth x
    /// shadowMapHeight). When the framebuffer is incomplete (a size the driver refuses)
    /// prints "FB error, status: " and the status, returns false leaving its framebuffer
    /// bound, and makes depthTexture one texel at the far plane, which lights every
    /// point that samples it: the level is drawn lit, without shadows.
    bool create(GLsizei width = shadowMapWidth, GLsizei height = shadowMapHeight);
    /// Deletes the framebuffer, then the texture.
    void release();
};

/// The velocity image's value (both channels) for no motion: it stores motion * 2 + 0.5
/// in two 16-bit fractions (Shader/velocity.glsl).
inline constexpr float velocityAtRest = 0.5f;

/// The lit scene: colour in attachment 0, screen-space velocity in attachment 1.
struct SceneTarget {
    GLuint framebuffer = 0;        ///< two colour attachments and depth
    GLuint imageTexture = 0;       ///< GL_RGB bytes, width x height
    GLuint velocityTexture = 0;    ///< GL_RG16 (stored motion, see velocityAtRest), width x height
    GLuint depthRenderbuffer = 0;  ///< GL_DEPTH_COMPONENT, width x height
    GLsizei width = 0;             ///< pixels: the window's width at the render scale
    GLsizei height = 0;            ///< pixels: the window's height at the render scale

    /// Builds the target at targetWidth x targetHeight pixels (the window's size unless
    /// the render scale is below 1); an incomplete framebuffer ends the process ("FB
    /// error, status: " and the status).
    bool create(GLsizei targetWidth, GLsizei targetHeight);
    /// Builds the target at windowWidth x windowHeight.
    bool create();
    /// Deletes the image and velocity textures, the depth buffer, then the framebuffer.
    void release();
};

/// The blur composite's picture at the render scale, before it is stretched over the
/// window: one colour attachment, read with linear filtering.
struct CompositeTarget {
    GLuint framebuffer = 0;  ///< one colour attachment
    GLuint texture = 0;      ///< GL_RGBA8, width x height
    GLsizei width = 0;       ///< pixels
    GLsizei height = 0;      ///< pixels

    /// Builds the target at targetWidth x targetHeight pixels; incomplete is fatal as for SceneTarget.
    bool create(GLsizei targetWidth, GLsizei targetHeight);
    /// Deletes the texture, then the framebuffer.
    void release();
};

/// A window-sized two-channel float target with mipmaps; no pass draws into it.
struct VelocityTarget {
    GLuint framebuffer = 0;  ///< one colour attachment
    GLuint texture = 0;      ///< GL_RG32F, window size

    /// Builds the target at windowWidth x windowHeight; incomplete is fatal as for SceneTarget.
    bool create();
    /// Deletes the texture, then the framebuffer.
    void release();
};

/// Clears the bound framebuffer: attachment 0 to the opaque colour, attachment 1
/// (velocity) to no motion, and depth; both attachments are drawn to again afterwards.
/// The window's framebuffer (bound when motion blur is off) is cleared to the
/// colour and depth. Leaves the clear colour at (0, 0, 0, 0).
void clearSceneTarget(float red, float green, float blue);

}  // namespace frostline
