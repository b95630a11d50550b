// Mipmapped 2D textures decoded by FreeImage, and the filter settings that the
// keyboard commands re-apply to every loaded texture at once.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <GL/glew.h>

namespace frostline {

/// Magnification filter setting: 0 NEAREST_NEIGHBOR (GL_NEAREST), 1 BILINEAR (GL_LINEAR).
enum SamplingQuality : int { SamplingNearest = 0, SamplingBilinear = 1 };
/// Minification setting: 0 NEAREST_NEIGHBOR, 2 LINEAR (trilinear), 3 OFF (no mipmaps sampled).
enum MipmapMode : int { MipmapNearest = 0, MipmapLinear = 2, MipmapOff = 3 };

class Texture {
public:
    /// Stores the path and takes the next unit number; no file or GL work.
    explicit Texture(const std::string& path);
    /// Deletes the GL texture and drops the texture from the registry.
    ~Texture();

    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    /// Decodes the file and uploads it with mipmaps, filtered as samplingQuality and
    /// mipmapMode say; false (after the two log lines) when the file cannot be read (as
    /// readWholeFile says), identified or decoded, or is larger than the driver's largest texture.
    bool load();

    GLuint textureName = 0;        ///< GL texture object, made by load
    std::string path;              ///< image file as passed to the constructor
    GLenum target = GL_TEXTURE_2D; ///< always GL_TEXTURE_2D
    int unit = 0;                  ///< sequence number, printed in the load log only
    bool opaque = false;           ///< every texel of the loaded image has full alpha
};

extern int nextTextureUnit;                       ///< next unit number; starts at 5
extern std::vector<Texture*> textureRegistry;     ///< every loaded texture, in load order (not owned)
extern int samplingQuality;                       ///< current SamplingQuality; starts at 1
extern int mipmapMode;                            ///< current MipmapMode; starts at 2
extern const std::map<int, std::string> filterModeNames;  ///< display names of both settings

/// Toggles BILINEAR <-> NEAREST_NEIGHBOR and applies it to every registered texture.
void cycleSamplingQuality();
/// Steps LINEAR -> NEAREST_NEIGHBOR -> OFF -> LINEAR and applies it to every registered texture.
void cycleMipmapMode();

}  // namespace frostline
