#include "scene/GhostRider.h"

#include "physics/ControllerShape.h"

namespace frostline::scene {

GhostRider::GhostRider(ControllerShape& sled)
    : torso(sled), leftPart(*sled.leftPart), rightPart(*sled.rightPart)
{
}

void GhostRider::place(const GhostPose& pose)
{
    // As the sled places its parts: the torso's matrix, the side parts swung about
    // its up axis, the left one way and the right the other.
    const mat4 model = modelMatrixOf(pose);
    torso.setModelMatrix(model);
    leftPart.setModelMatrix(model);
    leftPart.rotateY(pose.leftLean);
    rightPart.setModelMatrix(model);
    rightPart.rotateY(-pose.rightLean);
}

}  // namespace frostline::scene
