// A gate of the race, numbered in the order gates are made (1 for the first).
#pragma once

#include <cstdint>

#include "scene/StaticShape.h"

namespace frostline::scene {

/// The id the next gate made receives; starts at 1.
extern std::int32_t nextCheckpointId;

class Checkpoint : public StaticShape {
public:
    /// A gate from modelPath with a box body named "Checkpoint" and the next id.
    Checkpoint(ShaderProgram* program, ShaderProgram* motionBlurProgram, const std::string& modelPath,
               Material* material);
    /// Another gate of the same model, with the next id (not the source's).
    Checkpoint(const Checkpoint& source);
    Checkpoint& operator=(const Checkpoint&) = delete;

    std::int32_t id = 0;  ///< place of the gate in the race order
};

}  // namespace frostline::scene
