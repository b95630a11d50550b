#include "tools/assetgen/ObjWriter.h"

#include <cstdio>
#include <fstream>

namespace frostline {

namespace {

/// Shortest text that reads back as the same float, without locale surprises.
std::string number(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", static_cast<double>(value));
    return text;
}

}  // namespace

bool writeObjModel(const std::string& folder, const std::string& fileName, const std::vector<Mesh>& meshes,
                   const std::vector<ObjMaterial>& materials)
{
    const std::string stem = fileName.substr(0, fileName.rfind('.'));
    std::ofstream mtl(folder + "/" + stem + ".mtl", std::ios::binary);
    for (const ObjMaterial& material : materials) {
        mtl << "newmtl " << material.name << "\nKa 0 0 0\nKd 1 1 1\nKs 0 0 0\nd 1\nillum 1\nmap_Kd "
            << material.texturePath << "\n\n";
    }

    std::ofstream obj(folder + "/" + fileName, std::ios::binary);
    obj << "# Frostline generated model\nmtllib " << stem << ".mtl\n";
    std::size_t base = 1;  // Wavefront indices count from 1 across the whole file
    for (const Mesh& mesh : meshes) {
        obj << "o " << mesh.name << "\n";
        for (const MeshVertex& v : mesh.vertices) {
            obj << "v " << number(v.position.x) << ' ' << number(v.position.y) << ' ' << number(v.position.z)
                << '\n';
        }
        for (const MeshVertex& v : mesh.vertices) {
            obj << "vt " << number(v.uv.x) << ' ' << number(v.uv.y) << '\n';
        }
        for (const MeshVertex& v : mesh.vertices) {
            obj << "vn " << number(v.normal.x) << ' ' << number(v.normal.y) << ' ' << number(v.normal.z)
                << '\n';
        }
        obj << "usemtl " << mesh.material << "\ns off\n";
        for (std::size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
            obj << 'f';
            for (int k = 0; k < 3; ++k) {
                const std::size_t index = base + mesh.indices[i + k];
                obj << ' ' << index << '/' << index << '/' << index;
            }
            obj << '\n';
        }
        base += mesh.vertices.size();
    }
    return static_cast<bool>(obj) && static_cast<bool>(mtl);
}

}  // namespace frostline
