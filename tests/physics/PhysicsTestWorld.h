// Small worlds for the physics tests and the benchmark: models made in memory
// and the sled's movement rule, enough to ride a capsule controller as the game does.
#pragma once

#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include <assimp/scene.h>

#include "physics/PhysicsWorld.h"

namespace frostline::test {

using Triangle = std::array<unsigned, 3>;

/// A model with one mesh of the given vertices and triangles (indices are not checked).
inline std::unique_ptr<aiScene> makeModel(const std::vector<vec3>& vertices,
                                          const std::vector<Triangle>& triangles)
{
    auto model = std::make_unique<aiScene>();
    auto* mesh = new aiMesh();
    mesh->mNumVertices = static_cast<unsigned>(vertices.size());
    mesh->mVertices = new aiVector3D[vertices.size()];
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        mesh->mVertices[i] = aiVector3D(vertices[i].x, vertices[i].y, vertices[i].z);
    }
    mesh->mNumFaces = static_cast<unsigned>(triangles.size());
    mesh->mFaces = new aiFace[triangles.size()];
    for (std::size_t f = 0; f < triangles.size(); ++f) {
        mesh->mFaces[f].mNumIndices = 3;
        mesh->mFaces[f].mIndices = new unsigned[3];
        std::memcpy(mesh->mFaces[f].mIndices, triangles[f].data(), sizeof(unsigned) * 3);
    }
    model->mNumMeshes = 1;
    model->mMeshes = new aiMesh*[1]{mesh};
    return model;
}

/// A square of half size halfSize (world units) through origin, falling along +x by degrees.
inline std::unique_ptr<aiScene> tiltedPlane(float degrees, float halfSize, vec3 origin = vec3(0.0f))
{
    const float drop = std::tan(degrees * degreesToRadians) * halfSize;
    return makeModel({origin + vec3(-halfSize, drop, -halfSize), origin + vec3(-halfSize, drop, halfSize),
                      origin + vec3(halfSize, -drop, halfSize), origin + vec3(halfSize, -drop, -halfSize)},
                     {Triangle{0, 1, 2}, Triangle{0, 2, 3}});
}

/// Height of rolling hills over a slope falling along +x (world units).
inline float hillHeight(float x, float z)
{
    return -0.3f * x + 1.5f * std::sin(0.11f * x) * std::cos(0.07f * z) +
           0.4f * std::sin(0.37f * z + 0.2f * x);
}

/// A grid of columns x rows vertices at spacing (world units) from corner (x, z), each
/// at height(x, z): 2 x (columns - 1) x (rows - 1) triangles facing up.
template <typename Height>
std::unique_ptr<aiScene> gridMesh(vec2 corner, int columns, int rows, float spacing, Height height)
{
    std::vector<vec3> vertices;
    vertices.reserve(std::size_t(columns) * rows);
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            const float x = corner.x + i * spacing, z = corner.y + j * spacing;
            vertices.emplace_back(x, height(x, z), z);
        }
    }
    std::vector<Triangle> triangles;
    triangles.reserve(std::size_t(columns - 1) * (rows - 1) * 2);
    for (int j = 0; j + 1 < rows; ++j) {
        for (int i = 0; i + 1 < columns; ++i) {
            const unsigned a = j * columns + i, b = a + 1, c = a + columns, d = c + 1;
            triangles.push_back({a, c, b});
            triangles.push_back({b, c, d});
        }
    }
    return makeModel(vertices, triangles);
}

/// A heightfield of rows x rows vertices at spacing (world units), centred on the origin:
/// 2 x (rows - 1)^2 triangles.
inline std::unique_ptr<aiScene> heightfield(int rows, float spacing)
{
    const float half = 0.5f * spacing * float(rows - 1);
    return gridMesh(vec2(-half), rows, rows, spacing, hillHeight);
}

/// The sled's movement rule: speed along a horizontal heading, a slope term from
/// the terrain ("Terrain") contact and a constant fall along the controller's up.
class SledRider : public HitReport {
public:
    static constexpr float moveScale = 2.2f;
    static constexpr float gravity = -9.81f;

    /// One frame of dt seconds; returns the controller's collision flags.
    CollisionFlags step(CapsuleController& controller, float dt)
    {
        speed += slopeAcceleration * dt;
        touchedTerrain = false;
        hitCount = 0;
        const float k = moveScale * dt;
        const vec3 up = controller.getUpDirection();
        const CollisionFlags flags = controller.move(heading * (k * speed) + up * (gravity * k), 0.001f, dt);
        controller.setUpDirection(touchedTerrain ? groundNormal : vec3(0.0f, 1.0f, 0.0f));
        return flags;
    }

    void onShapeHit(const ControllerShapeHit& hit) override
    {
        ++hitCount;
        if (touches.size() < touches.capacity()) {  // never allocates inside a move
            touches.push_back(Touch{hit.actor->getName(), hit.actor, hit.actor->userData, hit.worldNormal});
        }
        if (hit.actor->getName() && std::strcmp(hit.actor->getName(), "Terrain") == 0) {
            touchedTerrain = true;
            groundNormal = hit.worldNormal;
            slopeAcceleration = 3.0f * glm::dot(groundNormal, heading) /
                                std::abs(glm::length(groundNormal) * glm::length(heading));
        }
        if (releaseOnTouch && hit.actor == releaseOnTouch) {
            releaseOnTouch->release();  // as the race rules do when a pick-up is collected
            releaseOnTouch = nullptr;
        }
    }
    void onControllerHit(const ControllersHit& hit) override { lastControllerHit = hit.other; }
    void onObstacleHit(const ControllerObstacleHit&) override {}

    vec3 heading{1.0f, 0.0f, 0.0f};  ///< unit, horizontal
    float speed = 0.0f;              ///< along heading (world units / s before moveScale)
    float slopeAcceleration = 0.0f;  ///< from the last terrain contact
    vec3 groundNormal{0.0f, 1.0f, 0.0f};
    bool touchedTerrain = false;     ///< during the last step
    int hitCount = 0;                ///< onShapeHit calls during the last step
    /// What onShapeHit saw; actor is only compared (it may have been released since).
    struct Touch {
        const char* name;
        const Actor* actor;
        void* userData;
        vec3 normal;
    };
    std::vector<Touch> touches;  ///< every hit, up to the capacity reserved by the test
    Actor* releaseOnTouch = nullptr;       ///< released inside onShapeHit when touched
    CapsuleController* lastControllerHit = nullptr;
};

}  // namespace frostline::test
