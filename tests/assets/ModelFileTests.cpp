// The generated models as the game imports them: meshes with normals and
// texture coordinates, textures that exist, faces wound outward, and the sled,
// legs and gate sized for the ride.
#include <cmath>
#include <filesystem>

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <FreeImage.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include "tools/assetgen/LevelLayout.h"

namespace frostline::test {

namespace {

const char* const modelFiles[] = {"models/terrain.obj",  "Models/rock.obj",      "Models/tree.obj",
                                  "Models/tree_fallen.obj", "Models/tree_stump.obj", "Models/billboard.obj",
                                  "models/checkpoint.obj", "models/cow.obj",      "models/snowflake.obj",
                                  "Models/torso.obj",     "Models/left.obj",      "Models/right.obj"};

/// An imported model, kept alive with its importer.
struct Imported {
    explicit Imported(const std::string& path)
        : scene(importer.ReadFile(path, aiProcess_JoinIdenticalVertices | aiProcess_Triangulate |
                                            aiProcess_GenSmoothNormals))
    {
    }
    /// Vertex positions of the first mesh.
    std::vector<glm::vec3> firstMesh() const
    {
        std::vector<glm::vec3> points;
        for (unsigned i = 0; scene && scene->mNumMeshes > 0 && i < scene->mMeshes[0]->mNumVertices; ++i) {
            const aiVector3D& v = scene->mMeshes[0]->mVertices[i];
            points.emplace_back(v.x, v.y, v.z);
        }
        return points;
    }
    Assimp::Importer importer;
    const aiScene* scene;
};

/// The texture path the game opens for a material: from "models" on.
std::string trimmedTexturePath(const aiMaterial* material)
{
    aiString path;
    if (aiGetMaterialTexture(material, aiTextureType_DIFFUSE, 0, &path) != AI_SUCCESS) {
        return "";
    }
    const std::string text = path.C_Str();
    const auto at = text.find("models");
    return at == std::string::npos ? "" : text.substr(at);
}

}  // namespace

TEST(GeneratedModels, ImportWithNormalsTexturesAndOutwardFaces)
{
    // Every model the level opens loads with lit, textured meshes whose front faces look outward,
    // so back-face culling never hides a visible side.
    for (const char* file : modelFiles) {
        SCOPED_TRACE(file);
        const Imported model(file);
        ASSERT_NE(model.scene, nullptr) << model.importer.GetErrorString();
        ASSERT_GE(model.scene->mNumMeshes, 1u);
        for (unsigned m = 0; m < model.scene->mNumMeshes; ++m) {
            const aiMesh* mesh = model.scene->mMeshes[m];
            EXPECT_TRUE(mesh->HasNormals());
            EXPECT_TRUE(mesh->HasTextureCoords(0));
            EXPECT_GT(mesh->mNumFaces, 0u);
            // The winding agrees with the written normals on every face.
            int inward = 0;
            for (unsigned f = 0; f < mesh->mNumFaces && mesh->HasNormals(); ++f) {
                const unsigned* i = mesh->mFaces[f].mIndices;
                auto p = [&](int k) {
                    return glm::vec3(mesh->mVertices[i[k]].x, mesh->mVertices[i[k]].y,
                                     mesh->mVertices[i[k]].z);
                };
                const glm::vec3 n(mesh->mNormals[i[0]].x, mesh->mNormals[i[0]].y, mesh->mNormals[i[0]].z);
                inward += glm::dot(glm::cross(p(1) - p(0), p(2) - p(0)), n) <= 0.0f;
            }
            EXPECT_EQ(inward, 0) << "mesh " << m;
            // The texture named by the material is there and decodes.
            const std::string texture = trimmedTexturePath(model.scene->mMaterials[mesh->mMaterialIndex]);
            ASSERT_FALSE(texture.empty()) << "mesh " << m << " has no texture under models/";
            FIBITMAP* image = FreeImage_Load(FreeImage_GetFileType(texture.c_str(), 0), texture.c_str(), 0);
            EXPECT_NE(image, nullptr) << texture;
            if (image) {
                FreeImage_Unload(image);
            }
        }
    }
}

TEST(GeneratedModels, SledRidesOnItsCapsuleAndSwingsItsLegsOut)
{
    // The capsule made from the torso has the radius the terrain was shaped for, the runners rest on the
    // snow, and each leg swung by 40 degrees drags its foot outward where the spray comes from.
    const std::vector<glm::vec3> torso = Imported("Models/torso.obj").firstMesh();
    ASSERT_FALSE(torso.empty());
    float radius = 0.0f, lowest = 0.0f;
    for (const glm::vec3& v : torso) {
        radius = std::max({radius, std::abs(v.x), std::abs(v.z)});
        lowest = std::min(lowest, v.y);
    }
    EXPECT_NEAR(radius, sledCapsuleRadius, 0.01f);
    EXPECT_NEAR(lowest, -(radius + 0.1f + 0.4f), 0.01f);

    for (const bool left : {true, false}) {
        SCOPED_TRACE(left ? "left" : "right");
        const std::vector<glm::vec3> leg =
            Imported(left ? "Models/left.obj" : "Models/right.obj").firstMesh();
        ASSERT_FALSE(leg.empty());
        const float side = left ? -1.0f : 1.0f;
        const glm::mat4 swing =
            glm::rotate(glm::mat4(1.0f), glm::radians(left ? 40.0f : -40.0f), glm::vec3(0, 1, 0));
        const glm::vec3 spray(0.95f * side, -1.2f, 0.1f);
        float outerAtRest = 0.0f, outerSwung = 0.0f, nearestToSpray = 1e9f;
        for (const glm::vec3& v : leg) {
            const glm::vec3 swung = glm::vec3(swing * glm::vec4(v, 1.0f));
            outerAtRest = std::max(outerAtRest, v.x * side);
            outerSwung = std::max(outerSwung, swung.x * side);
            nearestToSpray = std::min(nearestToSpray, glm::length(swung - spray));
        }
        EXPECT_GT(outerSwung, outerAtRest + 0.15f);
        EXPECT_LT(nearestToSpray, 0.35f);
    }
}

TEST(GeneratedModels, GateOpeningLetsTheSledThrough)
{
    // Between the posts, up to above the rider's head, nothing of the gate is in the sled's way.
    const std::vector<glm::vec3> gate = Imported("models/checkpoint.obj").firstMesh();
    ASSERT_FALSE(gate.empty());
    const float clearHalfWidth = sledCapsuleRadius + 2.0f;
    for (const glm::vec3& v : gate) {
        const bool inOpening = std::abs(v.x) < clearHalfWidth && v.y > 0.0f && v.y < 3.0f;
        EXPECT_FALSE(inOpening) << "vertex at " << v.x << ", " << v.y << ", " << v.z;
    }
}

}  // namespace frostline::test
