// Surface materials of the physics actors, created and owned in one place.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace frostline {

/// Friction and bounce of a surface. The kinematic sled controller uses none of
/// them; they are kept with the actors for completeness.
struct Material {
    float staticFriction = 0.0f;   ///< friction coefficient at rest
    float dynamicFriction = 0.0f;  ///< friction coefficient while sliding
    float restitution = 0.0f;      ///< bounce, 0 (none) to 1 (elastic)
};

/// Creates materials and keeps them until the store is destroyed (at process exit).
class MaterialStore {
public:
    MaterialStore() = default;
    MaterialStore(const MaterialStore&) = delete;
    MaterialStore& operator=(const MaterialStore&) = delete;

    /// The material with these values, owned by the store (made on the first request for
    /// them); the pointer stays valid while the store lives.
    Material* findOrCreateMaterial(float staticFriction, float dynamicFriction, float restitution);

    /// Number of distinct materials made so far.
    std::size_t getMaterialCount() const { return materials.size(); }

private:
    std::vector<std::unique_ptr<Material>> materials;
};

}  // namespace frostline
