#include "tests/level/RaceHarness.h"

#include <cmath>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "app/Globals.h"
#include "app/MainLoop.h"
#include "controls/KeyInput.h"
#include "scene/Camera.h"
#include "scene/Collectable.h"
#include "tests/support/GlTestContext.h"
#include "ui/Hud.h"

namespace frostline::test {

RaceHarness::RaceHarness()
{
    window = ensureGlContext();
    // Every run starts with the counters a fresh process has.
    scene::nextCheckpointId = 1;
    countdownTime = 3.0f;
    countdownDone = false;
    raceStarted = false;
    blurReferenceRate = 60.0f;

    // As the start-up does it.
    world = std::make_unique<World>();
    race = std::make_unique<RaceState>();
    sled = world->player;
    sled->raceState = race.get();
    controller = std::make_unique<controls::PlayerInputController>(*sled, *race);
    sled->chaseCamera->restoreState();
    frostline::world = world.get();
    frostline::raceState = race.get();
    frostline::activeController = controller.get();
    controls::setKeyReader([this](GLFWwindow*, int key) { return held.count(key) > 0; });

    // As the main loop does before its first frame.
    race->paused = false;
}

RaceHarness::~RaceHarness()
{
    controls::setKeyReader({});
    frostline::activeController = nullptr;
    frostline::raceState = nullptr;
    frostline::world = nullptr;
    controller.reset();
    world.reset();
    race.reset();
}

void RaceHarness::frame(float dt)
{
    deltaTime = dt;
    simulateFrame();
    // Drawing is left out: without its labels the HUD only keeps its clocks and
    // brakes the sled after the race.
    ui::drawHud();
}

void RaceHarness::finishCountdown(float dt)
{
    while (!raceStarted) {
        frame(dt);
    }
}

scene::Checkpoint* RaceHarness::gate(int id) const
{
    for (scene::SceneObject* object : world->objects) {
        auto* checkpoint = dynamic_cast<scene::Checkpoint*>(object);
        if (checkpoint && checkpoint->id == id) {
            return checkpoint;
        }
    }
    return nullptr;
}

void RaceHarness::steerTowardNextGate()
{
    // Heading error (degrees) tolerated without steering, below which the sled speeds
    // up, and above which it brakes when faster than brakeSpeed.
    constexpr float aimDeadband = 2.0f;
    constexpr float throttleAngle = 20.0f;
    constexpr float brakeAngle = 50.0f;
    constexpr float brakeSpeed = 8.0f;

    releaseAll();
    scene::Checkpoint* next = gate(race->nextCheckpoint);
    if (!next) {
        return;
    }
    // What a player sees: where the sled is, where it heads, where the gate stands.
    const vec3 position = sled->getPosition();
    const vec3 target = next->getPosition();
    const vec2 toGate = glm::normalize(vec2(target.x - position.x, target.z - position.z));
    const vec2 ahead = glm::normalize(vec2(sled->heading.x, sled->heading.z));
    // Positive: the gate lies to the left, a turn by a positive yaw.
    const float cross = ahead.y * toGate.x - ahead.x * toGate.y;
    const float error = static_cast<float>(std::atan2(cross, glm::dot(ahead, toGate))) / degreesToRadians;
    if (error > aimDeadband) {
        press(GLFW_KEY_LEFT);
    } else if (error < -aimDeadband) {
        press(GLFW_KEY_RIGHT);
    }
    if (std::fabs(error) < throttleAngle) {
        press(GLFW_KEY_UP);
    } else if (std::fabs(error) > brakeAngle && sled->speed > brakeSpeed) {
        press(GLFW_KEY_DOWN);
    }
}

int RaceHarness::totalPickUpPoints() const
{
    int total = 0;
    for (scene::SceneObject* object : world->objects) {
        if (auto* collectable = dynamic_cast<scene::Collectable*>(object)) {
            total += collectable->points;
        }
    }
    return total;
}

}  // namespace frostline::test
