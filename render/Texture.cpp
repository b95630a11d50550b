#include "render/Texture.h"

#include <algorithm>
#include <iostream>

#include <FreeImage.h>

#include "app/FileReading.h"

namespace frostline {

int nextTextureUnit = 5;
std::vector<Texture*> textureRegistry;
int samplingQuality = SamplingBilinear;
int mipmapMode = MipmapLinear;
const std::map<int, std::string> filterModeNames = {
    {0, "NEAREST_NEIGHBOR"}, {1, "BILINEAR"}, {2, "LINEAR"}, {3, "OFF"}};

Texture::Texture(const std::string& path) : path(path), unit(nextTextureUnit++) {}

Texture::~Texture()
{
    if (textureName != 0) {
        glDeleteTextures(1, &textureName);
        textureName = 0;
    }
    std::erase(textureRegistry, this);
}

namespace {

/// Decodes image bytes into a 32-bit bitmap, or null when FreeImage cannot; the
/// file's name gives the format when its bytes do not.
FIBITMAP* decode32(std::string& bytes, const std::string& path)
{
    // (FreeImage opens an empty block of memory as a new one to write to.)
    FIMEMORY* memory = bytes.empty() ? nullptr
                                     : FreeImage_OpenMemory(reinterpret_cast<BYTE*>(bytes.data()),
                                                            static_cast<DWORD>(bytes.size()));
    if (!memory) {
        return nullptr;
    }
    FREE_IMAGE_FORMAT type = FreeImage_GetFileTypeFromMemory(memory, 0);
    if (type == FIF_UNKNOWN) {
        type = FreeImage_GetFIFFromFilename(path.c_str());
    }
    FIBITMAP* image = nullptr;
    if (type != FIF_UNKNOWN && FreeImage_FIFSupportsReading(type)) {
        image = FreeImage_LoadFromMemory(type, memory, 0);
    }
    FreeImage_CloseMemory(memory);
    if (!image) {
        return nullptr;
    }
    FIBITMAP* pixels = FreeImage_ConvertTo32Bits(image);
    FreeImage_Unload(image);
    if (pixels && (FreeImage_GetWidth(pixels) == 0 || FreeImage_GetHeight(pixels) == 0)) {
        FreeImage_Unload(pixels);
        return nullptr;
    }
    return pixels;
}

/// Whether the driver takes a 2D texture of width x height texels.
bool fitsTheDriver(unsigned width, unsigned height)
{
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    return width <= static_cast<unsigned>(largest) && height <= static_cast<unsigned>(largest);
}

/// Whether every pixel of a 32-bit image has alpha 255 (blending it changes nothing).
bool hasFullAlpha(FIBITMAP* pixels)
{
    const unsigned width = FreeImage_GetWidth(pixels);
    const unsigned height = FreeImage_GetHeight(pixels);
    for (unsigned y = 0; y < height; ++y) {
        const BYTE* row = FreeImage_GetScanLine(pixels, static_cast<int>(y));
        for (unsigned x = 0; x < width; ++x) {
            if (row[4 * x + FI_RGBA_ALPHA] != 255) {
                return false;
            }
        }
    }
    return true;
}

/// The GL magnification filter of the current samplingQuality.
GLint magnificationFilter()
{
    return samplingQuality == SamplingNearest ? GL_NEAREST : GL_LINEAR;
}

/// The GL minification filter of the current mipmapMode.
GLint minificationFilter()
{
    switch (mipmapMode) {
    case MipmapNearest:
        return GL_NEAREST_MIPMAP_NEAREST;
    case MipmapOff:
        return GL_LINEAR;
    default:
        return GL_LINEAR_MIPMAP_LINEAR;
    }
}

void applyFilter(GLenum parameter, GLint value)
{
    for (Texture* texture : textureRegistry) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(texture->target, texture->textureName);
        glTexParameteri(texture->target, parameter, value);
    }
}

}  // namespace

bool Texture::load()
{
    std::cout << "Loading Texture: " << path << std::endl;
    std::cout << "binding texture to unit: " << unit << std::endl;

    // A file that cannot be read (missing, a folder, a read error) is one that cannot be decoded.
    std::optional<std::string> bytes = readWholeFile(path);
    FIBITMAP* pixels = bytes ? decode32(*bytes, path) : nullptr;
    if (pixels && !fitsTheDriver(FreeImage_GetWidth(pixels), FreeImage_GetHeight(pixels))) {
        FreeImage_Unload(pixels);
        pixels = nullptr;  // GL would refuse it and draw black
    }
    if (!pixels) {
        return false;
    }

    if (textureName == 0) {
        glGenTextures(1, &textureName);
    }
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(target, textureName);
    // FreeImage keeps rows bottom-up and pixels as BGRA: upload them as they are.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(target, 0, GL_RGBA, static_cast<GLsizei>(FreeImage_GetWidth(pixels)),
                 static_cast<GLsizei>(FreeImage_GetHeight(pixels)), 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 FreeImage_GetBits(pixels));
    glGenerateMipmap(target);
    opaque = hasFullAlpha(pixels);
    // The filters chosen with F4 and F5 hold for textures loaded later too (a race built again).
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, minificationFilter());
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, magnificationFilter());
    FreeImage_Unload(pixels);

    if (std::find(textureRegistry.begin(), textureRegistry.end(), this) == textureRegistry.end()) {
        textureRegistry.push_back(this);
    }
    return true;
}

void cycleSamplingQuality()
{
    samplingQuality = samplingQuality == SamplingNearest ? SamplingBilinear : SamplingNearest;
    applyFilter(GL_TEXTURE_MAG_FILTER, magnificationFilter());
}

void cycleMipmapMode()
{
    mipmapMode = mipmapMode == MipmapLinear    ? MipmapNearest
                 : mipmapMode == MipmapNearest ? MipmapOff
                                               : MipmapLinear;
    applyFilter(GL_TEXTURE_MIN_FILTER, minificationFilter());
}

}  // namespace frostline
