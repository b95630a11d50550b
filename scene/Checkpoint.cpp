#include "scene/Checkpoint.h"

#include "app/Globals.h"

namespace frostline::scene {

std::int32_t nextCheckpointId = RaceStart{}.firstCheckpointId;

Checkpoint::Checkpoint(ShaderProgram* program, ShaderProgram* motionBlurProgram, const std::string& modelPath,
                       Material* material)
    : StaticShape(program, motionBlurProgram, modelPath, material, "Checkpoint", CollisionKind::Box),
      id(nextCheckpointId++)
{
}

Checkpoint::Checkpoint(const Checkpoint& source) : StaticShape(source), id(nextCheckpointId++) {}

}  // namespace frostline::scene
