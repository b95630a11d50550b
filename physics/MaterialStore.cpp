#include "physics/MaterialStore.h"

namespace frostline {

Material* MaterialStore::findOrCreateMaterial(float staticFriction, float dynamicFriction, float restitution)
{
    // Materials never change once made: a level built again (a new race) asks for the
    // same values and gets the same materials, so the store does not grow with races.
    for (const std::unique_ptr<Material>& material : materials) {
        if (material->staticFriction == staticFriction && material->dynamicFriction == dynamicFriction &&
            material->restitution == restitution) {
            return material.get();
        }
    }
    materials.push_back(std::make_unique<Material>(Material{staticFriction, dynamicFriction, restitution}));
    return materials.back().get();
}

}  // namespace frostline
