#include "tests/scene/TestModels.h"

#include <sstream>

#include <FreeImage.h>

namespace frostline::test {

namespace {

/// One quad face: centre c, in-plane axes u and v with cross(u, v) = outward normal.
/// Indices are relative (negative), so models can be concatenated.
void appendQuad(std::ostringstream& obj, vec3 c, vec3 u, vec3 v)
{
    const vec3 corners[] = {c - u - v, c + u - v, c + u + v, c - u + v};
    const float uvs[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        obj << "v " << corners[i].x << ' ' << corners[i].y << ' ' << corners[i].z << '\n';
        obj << "vt " << uvs[i][0] << ' ' << uvs[i][1] << '\n';
    }
    const vec3 n = normalize(glm::cross(u, v));
    obj << "vn " << n.x << ' ' << n.y << ' ' << n.z << '\n';
    // Counter-clockwise seen from outside.
    obj << "f -4/-4/-1 -3/-3/-1 -2/-2/-1\n";
    obj << "f -4/-4/-1 -2/-2/-1 -1/-1/-1\n";
}

}  // namespace

std::string planeObj(float halfSize, const std::string& name)
{
    std::ostringstream obj;
    obj << "o " << name << '\n';
    appendQuad(obj, vec3(0.0f), vec3(0, 0, halfSize), vec3(halfSize, 0, 0));
    return obj.str();
}

std::string cubeObj(float halfSize, vec3 centre, const std::string& name)
{
    std::ostringstream obj;
    obj << "o " << name << '\n';
    const float h = halfSize;
    const vec3 x(h, 0, 0);
    const vec3 y(0, h, 0);
    const vec3 z(0, 0, h);
    appendQuad(obj, centre + x, y, z);
    appendQuad(obj, centre - x, z, y);
    appendQuad(obj, centre + y, z, x);
    appendQuad(obj, centre - y, x, z);
    appendQuad(obj, centre + z, x, y);
    appendQuad(obj, centre - z, y, x);
    return obj.str();
}

SceneFolder::SceneFolder() : previous(std::filesystem::current_path())
{
    std::filesystem::create_directory_symlink(previous / "Shader", dir.path() / "Shader");
    std::filesystem::create_directories(dir.path() / "models");
    std::filesystem::current_path(dir.path());
    writeImage("models/white.jpg", 255, 255, 255);
}

SceneFolder::~SceneFolder() { std::filesystem::current_path(previous); }

std::string SceneFolder::write(const std::string& name, const std::string& content) const
{
    dir.write(name, content);
    return name;
}

std::string SceneFolder::writeImage(const std::string& name, unsigned char r, unsigned char g,
                                    unsigned char b, unsigned char alpha) const
{
    FIBITMAP* image = FreeImage_Allocate(4, 4, alpha == 255 ? 24 : 32);
    RGBQUAD colour{};
    colour.rgbRed = r;
    colour.rgbGreen = g;
    colour.rgbBlue = b;
    colour.rgbReserved = alpha;
    for (unsigned y = 0; y < 4; ++y) {
        for (unsigned x = 0; x < 4; ++x) {
            FreeImage_SetPixelColor(image, x, y, &colour);
        }
    }
    const std::filesystem::path path = dir.path() / name;
    std::filesystem::create_directories(path.parent_path());
    FreeImage_Save(FreeImage_GetFIFFromFilename(name.c_str()), image, path.string().c_str(), 0);
    FreeImage_Unload(image);
    return name;
}

}  // namespace frostline::test
