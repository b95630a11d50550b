// The ghost rider: a copy of the player's sled and rider, made of the sled's own
// meshes, that takes the poses of a recorded run. It is drawn translucent in the
// scene pass and nowhere else: it has no body, casts no shadow and throws no snow.
#pragma once

#include <array>

#include "ghost/GhostRun.h"
#include "scene/Shape.h"

namespace frostline::scene {

class ControllerShape;

class GhostRider {
public:
    /// Copies of the sled's torso and side parts (their meshes shared, no new buffers).
    explicit GhostRider(ControllerShape& sled);

    /// Puts the torso at pose and swings the side parts as the sled's own swing.
    void place(const GhostPose& pose);
    /// The torso and the two side parts.
    std::array<Shape*, 3> parts() { return {&torso, &leftPart, &rightPart}; }

    bool shown = false;        ///< drawn this frame
    bool drawnBefore = false;  ///< the last frame drew it too: its parts' previousMvp hold that frame's

private:
    Shape torso;
    Shape leftPart;
    Shape rightPart;
};

}  // namespace frostline::scene
