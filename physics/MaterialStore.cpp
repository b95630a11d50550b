#include "physics/MaterialStore.h"

namespace frostline {

Material* MaterialStore::createMaterial(float staticFriction, float dynamicFriction, float restitution)
{
    materials.push_back(std::make_unique<Material>(Material{staticFriction, dynamicFriction, restitution}));
    return materials.back().get();
}

}  // namespace frostline
