// Tiny models written by the tests themselves, and a working folder in which
// shapes find "Shader/" and the default texture "models/white.jpg".
#pragma once

#include <filesystem>
#include <string>

#include "scene/Math.h"
#include "tests/support/TestFiles.h"

namespace frostline::test {

/// OBJ text of a square of side 2 * halfSize in the plane y = 0, facing +y,
/// with normals and texture coordinates; named object "name".
std::string planeObj(float halfSize, const std::string& name = "plane");

/// OBJ text of an axis-aligned cube of side 2 * halfSize centred on centre, faces
/// outward, with normals and texture coordinates; named object "name".
std::string cubeObj(float halfSize, vec3 centre = vec3(0.0f), const std::string& name = "cube");

/// A fresh folder that is the current directory while it lives: "Shader" links to
/// the shaders of the directory it replaced, "models/white.jpg" is a white image.
class SceneFolder {
public:
    SceneFolder();
    ~SceneFolder();
    SceneFolder(const SceneFolder&) = delete;
    SceneFolder& operator=(const SceneFolder&) = delete;

    /// Writes a file below the folder; returns its path relative to the folder.
    std::string write(const std::string& name, const std::string& content) const;
    /// Writes a one-colour image (FreeImage format from the name's extension): RGB,
    /// or RGBA when alpha is below 255.
    std::string writeImage(const std::string& name, unsigned char r, unsigned char g, unsigned char b,
                           unsigned char alpha = 255) const;

private:
    std::filesystem::path previous;
    TempDir dir;
};

}  // namespace frostline::test
