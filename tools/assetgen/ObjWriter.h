// Writes a model as a Wavefront .obj with its .mtl beside it.
#pragma once

#include <string>
#include <vector>

#include "tools/assetgen/Mesh.h"

namespace frostline {

/// A material of the .mtl file: a name and the diffuse texture path the game opens
/// (relative to the runtime folder, starting with "models/").
struct ObjMaterial {
    std::string name;
    std::string texturePath;
};

/// Writes folder/fileName (.obj) and its .mtl; the meshes become objects in order,
/// so the first mesh is the model's body. Returns false when a file cannot be written.
bool writeObjModel(const std::string& folder, const std::string& fileName, const std::vector<Mesh>& meshes,
                   const std::vector<ObjMaterial>& materials);

}  // namespace frostline
