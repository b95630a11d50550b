// A textured rectangle on the screen: a whole image drawn at a fixed pixel size
// centred on a point. The help, win and fail screens are panels.
#pragma once

#include <string>

#include <GL/glew.h>

namespace frostline {
class Texture;
}

namespace frostline::ui {

class Panel {
public:
    /// A panel of width x height pixels centred on the screen showing imagePath.
    /// The first panel builds the shared panel shader. An image that does not
    /// load is named on standard output and the panel then draws nothing.
    Panel(float width, float height, const std::string& imagePath);
    /// Deletes the vertex buffer, the vertex array and the texture.
    virtual ~Panel();

    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    /// Draws the image over width x height pixels centred on (translateX, translateY).
    virtual void draw();
    /// Panels do not change over time; frameTime in seconds.
    virtual void update(float frameTime);
    /// New size on screen, in pixels.
    virtual void setSize(float newWidth, float newHeight);
    /// New centre, in normalised device coordinates.
    virtual void setPosition(float x, float y);

    /// True when the image was loaded and the panel can be drawn.
    bool hasImage() const { return imageLoaded; }

    float translateX = 0.0f;      ///< centre, normalised device coordinates
    float translateY = 0.0f;      ///< centre, normalised device coordinates
    float width;                  ///< size on screen (pixels)
    float height;                 ///< size on screen (pixels)
    GLuint vertexBuffer = 0;      ///< the six corners of the unit quad
    GLuint vertexArray = 0;       ///< binds "vPosition" to vertexBuffer
    GLint scaleLocation = -1;         ///< "scale" in the panel shader
    GLint colorTextureLocation = -1;  ///< "colorTexture" in the panel shader
    GLint translateLocation = -1;     ///< "translate" in the panel shader
    Texture* texture = nullptr;   ///< the image (owned)
    std::string imagePath;        ///< the file the texture was loaded from

private:
    bool imageLoaded = false;
};

/// Deletes the shared panel shader program and its two shader objects; safe to
/// call twice. The next panel builds it anew.
void releasePanelShader();

}  // namespace frostline::ui
