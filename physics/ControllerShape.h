// The player's sled: a drawn torso with two swinging side parts whose body is a
// capsule character controller. It owns the motion model (speed along a heading,
// slope acceleration from the terrain, a constant fall, the cow boost), the chase
// camera and the reaction to everything the controller touches.
#pragma once

#include <limits>
#include <memory>

#include "physics/HitReport.h"
#include "scene/ChaseCamera.h"
#include "scene/Shape.h"

namespace frostline {
class CapsuleController;
class RaceState;
class SightWorld;
struct Material;
}  // namespace frostline

namespace frostline::scene {

class Camera;

class ControllerShape : public Shape, public HitReport {
public:
    /// Loads the torso and the two side parts, saves the camera's state and makes the
    /// capsule controller (sized from the torso) at the origin in the physics scene.
    ControllerShape(ShaderProgram* program, ShaderProgram* motionBlurProgram, Camera* camera,
                    Material* material);
    /// Releases the controller (with its actor) and the two side parts.
    ~ControllerShape() override;
    ControllerShape(const ControllerShape&) = delete;
    ControllerShape& operator=(const ControllerShape&) = delete;

    /// pitch += degrees; the model matrix is not touched.
    void rotateX(float degrees) override;
    /// yaw += degrees and the heading turns about the vertical by the same angle.
    void rotateY(float degrees) override;
    /// roll += degrees.
    void rotateZ(float degrees) override;
    /// The controller's centre (world units).
    vec3 getPosition() override;
    /// The controller's own actor.
    Actor* getActor() override;
    /// One frame of dt seconds: boost, slope, move (and respawn when it left the bounds),
    /// up direction, model matrix, leans, camera.
    void update(float dt) override;
    /// Puts the controller's centre at (x, y, z) (world units).
    virtual void setPosition(float x, float y, float z);

    /// Reacts to a touched shape by its actor's name (terrain, gate, pick-up, obstacle).
    void onShapeHit(const ControllerShapeHit& hit) override;
    /// Nothing: there is no other controller.
    void onControllerHit(const ControllersHit& hit) override;
    /// Nothing: there are no obstacles of that kind.
    void onObstacleHit(const ControllerObstacleHit& hit) override;

    /// On the ground: swings both parts out and slows toward 0 by brakeFactor * acceleration (per s).
    void brake(float dt);
    /// Back to the last gate passed (or the start) at rest, with its angles and heading.
    void respawn();
    /// Places the camera for a frame of dt seconds behind and above the sled, looking along
    /// the heading: at the sled's own place for it where the way there from the rider is
    /// clear, else pulled in before what is in the way (ChaseCamera). A dt of 0 places it
    /// afresh, as after a jump.
    void updateChaseCamera(float dt = 0.0f);

    bool grounded = true;              ///< the last move touched something below
    float pitch = 0.0f;                ///< accumulated turn about X (degrees)
    float yaw = 0.0f;                  ///< accumulated turn about Y (degrees); turns the model
    float roll = 0.0f;                 ///< accumulated turn about Z (degrees)
    vec3 heading{0.0f, 0.0f, -1.0f};   ///< unit travel direction, horizontal
    CapsuleController* controller = nullptr;  ///< the capsule body (owned)
    Camera* chaseCamera = nullptr;     ///< the world's camera, placed every frame (not owned)
    float speed = 0.0f;  ///< speed along heading; the slope may push it past maxSpeed or below 0
    float gravity = -9.81f;            ///< fall factor along the controller's up direction
    float turnRate = 60.0f;            ///< steering rate (degrees / s)
    float maxSpeed = 40.0f;            ///< ceiling of the forward key's acceleration
    float slopeAcceleration = 0.0f;    ///< speed change per s from the last terrain contact
    float acceleration = 2.5f;         ///< forward key's speed change per s
    float brakeFactor = 3.5f;          ///< braking deceleration = brakeFactor * acceleration
    float moveScale = 2.2f;            ///< displacement (world units) per s per unit of speed
    float maxLean = 40.0f;             ///< largest swing of a side part (degrees)
    float leanRate = 180.0f;           ///< swing rate of a side part (degrees / s)
    float leftLean = 0.0f;             ///< current swing of the left part (degrees)
    float rightLean = 0.0f;            ///< current swing of the right part (degrees)
    bool leftSprayActive = false;      ///< the left spray is drawn (leftLean != 0 after the last update)
    bool rightSprayActive = false;     ///< the right spray is drawn (rightLean != 0 after the last update)
    ChaseCameraSettings cameraSettings;  ///< where the chase camera wants to be and how it keeps clear
    ChaseCameraState cameraState;        ///< the chase camera's arm and lift now
    vec3 respawnPosition{0.0f};        ///< where respawn puts the controller
    vec3 respawnAngles{0.0f};          ///< pitch, yaw and roll restored by respawn (degrees)
    vec3 respawnHeading{0.0f};         ///< heading restored by respawn
    /// Lowest corner of the box the centre stays in (world units): a sled found outside
    /// it after a move has left the world and is put back as respawn does.
    vec3 boundsMin{std::numeric_limits<float>::lowest()};
    vec3 boundsMax{std::numeric_limits<float>::max()};  ///< highest corner of that box (world units)
    RaceState* raceState = nullptr;    ///< the race the rules are applied to; set after construction
    const SightWorld* sight = nullptr; ///< what the chase camera keeps clear of (not owned)
    vec3 groundNormal{0.0f, 1.0f, 0.0f};  ///< normal of the last terrain contact this frame
    Shape* leftPart = nullptr;         ///< left side part of the model (owned)
    Shape* rightPart = nullptr;        ///< right side part of the model (owned)
    float boostTime = 0.0f;            ///< boost seconds left; counts on below 0
    float boostFactor = 1.0f;          ///< 1.25 while boosting
    bool obstacleHit = false;          ///< an obstacle was touched during the current move
    vec3 obstacleHitAt{0.0f};          ///< where it was touched last (world space, world units)

private:
    /// One controller move of dt seconds along the heading plus the fall along up.
    void move(float dt);
    /// What the chase camera's step needs, measured in sight along arm.
    ChaseCameraProbe probeChaseCamera(const SightWorld& sight, const ChaseCameraArm& arm, vec3 heading) const;
};

}  // namespace frostline::scene
