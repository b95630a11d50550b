#include "physics/ControllerShape.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/RaceState.h"
#include "physics/PhysicsWorld.h"
#include "physics/SightWorld.h"
#include "render/World.h"
#include "scene/Camera.h"
#include "scene/Checkpoint.h"
#include "scene/Collectable.h"

namespace frostline::scene {

namespace {

/// Smallest half height of the capsule's cylinder (world units): the sled is nearly a sphere.
constexpr float minimumHalfHeight = 0.01f;
/// Motion shorter than this is dropped by a move (world units).
constexpr float minimumMoveDistance = 0.001f;
/// Slope acceleration per unit of cosine between ground normal and heading (speed / s).
constexpr float slopeGain = 3.0f;
/// Boost given by a cow: seconds and speed factor.
constexpr float boostDuration = 3.0f;
constexpr float boostSpeedFactor = 1.25f;
/// Motion-blur reference frame rate (frames / s) without and with a boost.
constexpr float normalBlurRate = 60.0f;
constexpr float boostBlurRate = 30.0f;
/// Lift of the drawn model above the capsule's centre, in the model's turned frame (world units).
constexpr float modelLift = 0.4f;

/// The game object behind a touched actor, as its owner stored it.
Shape* shapeOf(const Actor& actor)
{
    return static_cast<Shape*>(actor.userData);
}

}  // namespace

ControllerShape::ControllerShape(ShaderProgram* program, ShaderProgram* motionBlurProgram, Camera* camera,
                                 Material* material)
    : Shape(program, motionBlurProgram), chaseCamera(camera)
{
    camera->saveState();

    // The torso is this shape; the side parts swing on their own.
    const std::shared_ptr<const aiScene> torso = importModel("Models/torso.obj");
    buildMeshes(*torso);
    leftPart = new Shape(program, motionBlurProgram, "Models/left.obj");
    rightPart = new Shape(program, motionBlurProgram, "Models/right.obj");

    // Capsule from the torso's extents: as wide as the sled, practically a sphere.
    const BoxGeometry box = PhysicsWorld::boxGeometryFromMesh(*torso);
    CapsuleGeometry size;
    size.radius = std::max(box.halfExtents.x, box.halfExtents.z);
    size.halfHeight = std::max(box.halfExtents.z - size.radius, minimumHalfHeight);

    controller = PhysicsWorld::instance().createCapsuleController(size, glm::dvec3(0.0), material, this);
    controller->getActor()->setName("Player");
}

ControllerShape::~ControllerShape()
{
    if (controller) {
        controller->release();
        controller = nullptr;
    }
    delete leftPart;
    leftPart = nullptr;
    delete rightPart;
    rightPart = nullptr;
}

void ControllerShape::rotateX(float degrees)
{
    pitch += degrees;
}

void ControllerShape::rotateY(float degrees)
{
    yaw += degrees;
    const double radians = degrees * degreesToRadians;
    const float c = static_cast<float>(std::cos(radians));
    const float s = static_cast<float>(std::sin(radians));
    heading = vec3(heading.x * c + heading.z * s, heading.y, heading.z * c - heading.x * s);
}

void ControllerShape::rotateZ(float degrees)
{
    roll += degrees;
}

vec3 ControllerShape::getPosition()
{
    return vec3(controller->getPosition());
}

Actor* ControllerShape::getActor()
{
    return controller->getActor();
}

void ControllerShape::setPosition(float x, float y, float z)
{
    controller->setPosition(glm::dvec3(x, y, z));
}

void ControllerShape::update(float dt)
{
    // 1. Boost and the blur's reference rate.
    boostTime -= dt;
    if (boostTime <= 0.0f) {
        boostFactor = 1.0f;
        blurReferenceRate = normalBlurRate;
    } else {
        boostFactor = boostSpeedFactor;
        blurReferenceRate = boostBlurRate;
    }

    // 2.-4. Slope, then the move, which reports its contacts.
    speed += slopeAcceleration * dt;
    grounded = false;
    move(dt);
    // The level's walls and the controller keep the sled over the snow; should it still
    // get past them or under the snow, it would fall for ever, so it goes back to the
    // last gate as if the player had pressed R.
    const vec3 p = getPosition();
    if (glm::any(glm::lessThan(p, boundsMin)) || glm::any(glm::greaterThan(p, boundsMax))) {
        respawn();
    }

    // 5. The next move falls along the last terrain normal (or straight down).
    if (length(groundNormal) > 0.0f) {
        groundNormal = normalize(groundNormal);
    }
    controller->setUpDirection(groundNormal);

    // 6.-7. The model follows the capsule, turned upright and along the yaw.
    const Pose pose = controller->getActor()->getGlobalPose();
    modelMatrix = poseMatrix(pose.q, pose.p);
    SceneObject::rotateZ(-90.0f);
    SceneObject::rotateY(yaw);
    SceneObject::translate(0.0f, modelLift, 0.0f);
    leftPart->setModelMatrix(modelMatrix);
    rightPart->setModelMatrix(modelMatrix);

    // 8.-9. The side parts swing back at half the lean rate; the sprays follow them.
    const float decay = leanRate * dt * 0.5f;
    leftLean = std::max(leftLean - decay, 0.0f);
    rightLean = std::max(rightLean - decay, 0.0f);
    leftPart->rotateY(leftLean);
    leftSprayActive = leftLean != 0.0f;
    rightSprayActive = rightLean != 0.0f;
    rightPart->rotateY(-rightLean);

    // 10.-11. Camera, and a fresh start for the next frame's contacts.
    updateChaseCamera(dt);
    groundNormal = vec3(0.0f, 1.0f, 0.0f);
    obstacleHit = false;
}

void ControllerShape::move(float dt)
{
    const float k = moveScale * dt;
    const vec3 up = controller->getUpDirection();
    // The fall does not accumulate: nothing holding the sled, it sinks at a constant rate.
    const vec3 displacement = heading * (k * speed * boostFactor) + up * (gravity * k);
    const CollisionFlags flags = controller->move(displacement, minimumMoveDistance, dt);
    if (flags & collisionDown) {
        grounded = true;
    }
    // An obstacle halves the speed once per move, however often it was reported.
    if ((flags & collisionSides) && obstacleHit) {
        obstacleHit = false;
        speed *= 0.5f;
        if (raceState) {
            RaceEvent hit{RaceEventKind::ObstacleHit};
            hit.where = obstacleHitAt;
            raceState->events.push_back(hit);
        }
    }
}

void ControllerShape::onShapeHit(const ControllerShapeHit& hit)
{
    const char* name = hit.actor ? hit.actor->getName() : nullptr;
    if (!name) {
        obstacleHit = true;
        obstacleHitAt = vec3(hit.worldPos);
        return;
    }
    if (std::strcmp(name, "Terrain") == 0) {
        groundNormal = hit.worldNormal;
        slopeAcceleration =
            slopeGain * glm::dot(groundNormal, heading) / std::fabs(length(groundNormal) * length(heading));
        return;
    }
    if (std::strcmp(name, "Checkpoint") == 0) {
        auto* checkpoint = dynamic_cast<Checkpoint*>(shapeOf(*hit.actor));
        if (checkpoint && raceState) {
            respawnPosition = checkpoint->getPosition();
            respawnAngles = vec3(pitch, yaw, roll);
            respawnHeading = heading;
            raceState->passCheckpoint(*checkpoint);
        }
        return;
    }
    const bool isCow = std::strcmp(name, "Cow") == 0;
    if (isCow || std::strcmp(name, "Snowflake") == 0 || std::strcmp(name, "Star") == 0) {
        auto* collectable = dynamic_cast<Collectable*>(shapeOf(*hit.actor));
        if (collectable && raceState) {
            raceState->collect(*collectable);
            if (isCow) {
                boostTime = boostDuration;
            }
        }
        return;
    }
    // Rocks, trees, the stump, the billboard, the fallen tree, the border walls.
    obstacleHit = true;
    obstacleHitAt = vec3(hit.worldPos);
}

void ControllerShape::onControllerHit(const ControllersHit& /*hit*/) {}

void ControllerShape::onObstacleHit(const ControllerObstacleHit& /*hit*/) {}

void ControllerShape::brake(float dt)
{
    if (!grounded) {
        return;
    }
    const float swing = leanRate * dt;
    rightLean = std::min(rightLean + swing, maxLean);
    leftLean = std::min(leftLean + swing, maxLean);
    const float d = brakeFactor * acceleration * dt;
    if (speed > 0.0f) {
        speed = std::max(speed - d, 0.0f);
    }
    if (speed < 0.0f) {
        speed = std::min(speed + d, 0.0f);
    }
}

void ControllerShape::respawn()
{
    speed = 0.0f;
    pitch = respawnAngles.x;
    yaw = respawnAngles.y;
    roll = respawnAngles.z;
    heading = respawnHeading;
    setPosition(respawnPosition.x, respawnPosition.y, respawnPosition.z);
    updateChaseCamera();
    if (raceState) {
        raceState->events.push_back({RaceEventKind::Respawned});
    }
}

void ControllerShape::updateChaseCamera(float dt)
{
    // Measure along the arm of the lift kept so far, step, and put the eye on that arm.
    const ChaseCameraArm arm = chaseCameraArm(cameraSettings, cameraState.lift, getPosition(), heading);
    const ChaseCameraProbe probe =
        sight ? probeChaseCamera(*sight, arm, heading)
              : ChaseCameraProbe{glm::length(arm.wanted - arm.pivot), 0.0f,
                                 cameraSettings.shortestView * cameraSettings.settleBeyond};
    cameraState = stepChaseCamera(cameraSettings, cameraState, probe, dt);
    chaseCamera->position = arm.eyeAt(cameraState.arm);
    chaseCamera->forward = heading;
    chaseCamera->yaw = yaw;
    chaseCamera->roll = roll;
    chaseCamera->pitch = cameraSettings.pitch;
}

ChaseCameraProbe ControllerShape::probeChaseCamera(const SightWorld& sight, const ChaseCameraArm& arm,
                                                   vec3 heading) const
{
    const float margin = cameraSettings.margin;
    const float fullArm = glm::length(arm.wanted - arm.pivot);
    ChaseCameraProbe probe;
    if (sight.inTheOpen(arm.pivot)) {
        // Out along the arm to the first surface in the way.
        probe.clearArm = sight.clearance(arm.pivot, arm.wanted, margin);
    } else {
        // The rider's head is in a tree's branches or a gate the sled passes through:
        // the eye keeps out of whatever holds it, on the side of the wanted place.
        probe.clearArm = fullArm;
        probe.innerArm = fullArm - sight.clearance(arm.wanted, arm.pivot, margin);
    }
    // How far the middle of the view reaches from about where the eye will be.
    const float longView = cameraSettings.shortestView * cameraSettings.settleBeyond;
    const float armNow =
        std::clamp(cameraState.arm < 0.0f ? probe.clearArm : cameraState.arm, probe.innerArm, probe.clearArm);
    const vec3 eye = arm.eyeAt(armNow);
    probe.viewReach = sight.reach(eye, eye + chaseCameraView(cameraSettings, heading) * longView);
    return probe;
}

}  // namespace frostline::scene
