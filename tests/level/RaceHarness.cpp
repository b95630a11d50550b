#include "tests/level/RaceHarness.h"

#include <algorithm>
#include <cmath>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "app/GhostRace.h"
#include "app/Globals.h"
#include "app/MainLoop.h"
#include "controls/Gamepad.h"
#include "controls/KeyInput.h"
#include "level/Autopilot.h"
#include "scene/Camera.h"
#include "scene/Collectable.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/ScriptedGamepads.h"
#include "ui/GatePointer.h"
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
    world->attachRace(*race);
    controller = std::make_unique<controls::PlayerInputController>(*sled, *race);
    sled->chaseCamera->restoreState();
    frostline::world = world.get();
    frostline::raceState = race.get();
    startGhostRace();
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

scene::Checkpoint* RaceHarness::gate(int id) const { return gateNumbered(*world, id); }

RideInput RaceHarness::rideTowardNextGate() const
{
    return autopilotInput(*world, *race);
}

void RaceHarness::steerTowardNextGate()
{
    held = arrowKeysFor(rideTowardNextGate());
}

void RaceHarness::steerByTheHud()
{
    // How far off the middle (NDC) the sign may stand before the bot steers, and
    // within which it pushes on.
    constexpr float aimDeadband = 0.04f;
    constexpr float throttleBand = 0.4f;

    releaseAll();
    const ui::GateGuide guide = ui::guideToNextGate(*world, *race);
    if (!guide.active) {
        return;
    }
    if (guide.inView) {
        // The amber sign: keep it in the middle of the screen, push while it is ahead.
        if (guide.screen.x < -aimDeadband) {
            press(GLFW_KEY_LEFT);
        } else if (guide.screen.x > aimDeadband) {
            press(GLFW_KEY_RIGHT);
        }
        if (std::fabs(guide.screen.x) < throttleBand) {
            press(GLFW_KEY_UP);
        }
        return;
    }
    // The arrow: turn to its side; while it points back down the screen, brake too.
    const float radians = guide.angle * degreesToRadians;
    press(std::cos(radians) < 0.0f ? GLFW_KEY_LEFT : GLFW_KEY_RIGHT);
    if (std::sin(radians) < -0.5f) {
        press(GLFW_KEY_DOWN);
    }
}

void RaceHarness::steerTowardNextGate(ScriptedGamepads& gamepads)
{
    releaseAll();
    gamepads.rest();
    const RideInput input = rideTowardNextGate();
    // The stick's deflection beyond the dead zone is how hard it turns; left is negative.
    if (input.turn != 0.0f) {
        const float deflection =
            controls::stickDeadZone + (1.0f - controls::stickDeadZone) * std::fabs(input.turn);
        gamepads.setAxis(GLFW_GAMEPAD_AXIS_LEFT_X, input.turn > 0.0f ? -deflection : deflection);
    }
    gamepads.setAxis(GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER, input.push ? 1.0f : -1.0f);
    gamepads.setAxis(GLFW_GAMEPAD_AXIS_LEFT_TRIGGER, input.brake ? 1.0f : -1.0f);
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
