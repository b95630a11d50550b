#include "level/Autopilot.h"

#include <algorithm>
#include <cmath>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "app/RaceState.h"
#include "physics/ControllerShape.h"
#include "render/World.h"
#include "scene/Checkpoint.h"

namespace frostline {

namespace {

// Heading error (degrees) left alone, beyond which a stick is pushed all the way,
// below which the sled speeds up, and above which it brakes when faster than brakeSpeed.
constexpr float aimDeadband = 2.0f;
constexpr float fullTurnAngle = 10.0f;
constexpr float throttleAngle = 20.0f;
constexpr float brakeAngle = 50.0f;
constexpr float brakeSpeed = 8.0f;  // world units / s

}  // namespace

scene::Checkpoint* gateNumbered(World& world, int id)
{
    for (scene::SceneObject* object : world.objects) {
        auto* gate = dynamic_cast<scene::Checkpoint*>(object);
        if (gate && gate->id == id) {
            return gate;
        }
    }
    return nullptr;
}

RideInput steerToward(scene::ControllerShape& sled, vec3 target)
{
    RideInput input;
    const vec3 position = sled.getPosition();
    const vec2 toTarget = glm::normalize(vec2(target.x - position.x, target.z - position.z));
    const vec2 ahead = glm::normalize(vec2(sled.heading.x, sled.heading.z));
    // Positive: the target lies to the left, a turn by a positive yaw.
    const float cross = ahead.y * toTarget.x - ahead.x * toTarget.y;
    const float error = static_cast<float>(std::atan2(cross, glm::dot(ahead, toTarget))) / degreesToRadians;
    if (std::fabs(error) > aimDeadband) {
        input.turn = std::clamp(error / fullTurnAngle, -1.0f, 1.0f);
    }
    input.push = std::fabs(error) < throttleAngle;
    input.brake = !input.push && std::fabs(error) > brakeAngle && sled.speed > brakeSpeed;
    return input;
}

RideInput autopilotInput(World& world, const RaceState& race)
{
    scene::Checkpoint* next =
        race.gameOver || !world.player ? nullptr : gateNumbered(world, race.nextCheckpoint);
    return next ? steerToward(*world.player, next->getPosition()) : RideInput{};
}

std::set<int> arrowKeysFor(const RideInput& input)
{
    std::set<int> keys;
    if (input.turn > 0.0f) {
        keys.insert(GLFW_KEY_LEFT);
    } else if (input.turn < 0.0f) {
        keys.insert(GLFW_KEY_RIGHT);
    }
    if (input.push) {
        keys.insert(GLFW_KEY_UP);
    } else if (input.brake) {
        keys.insert(GLFW_KEY_DOWN);
    }
    return keys;
}

}  // namespace frostline
