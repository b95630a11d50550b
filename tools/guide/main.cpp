// frostline_guide: the ghost rider's first line. Rides the race once as the game
// runs it, frame after frame at a fixed 60 frames a second, with the autopilot on
// the arrow keys, records the run as the game records a player's, and writes it
// when the race is won: the same file on every run of the same build.
//
// Usage: frostline_guide OUTPUT   (run from the runtime folder, under a display: the
// level is the game's own World, which needs a GL context)
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "app/Application.h"
#include "app/GhostRace.h"
#include "app/Globals.h"
#include "app/MainLoop.h"
#include "app/RaceState.h"
#include "controls/KeyInput.h"
#include "ghost/GhostRun.h"
#include "level/Autopilot.h"

using namespace frostline;

namespace {

/// The frame time of the ride (s).
constexpr float frameSeconds = 1.0f / 60.0f;
/// The longest ride (s), in case the sled gets stuck somewhere.
constexpr float longestRide = 300.0f;

/// The level's loading log while it is held back; shown should the ride end the process
/// early (a fatal error), as it is when the ride fails.
std::ostringstream* heldLog = nullptr;
std::streambuf* console = nullptr;

void showHeldLog()
{
    if (heldLog) {
        std::cout.rdbuf(console);
        std::cout << heldLog->str() << std::flush;
        heldLog = nullptr;
    }
}

/// A hidden window with a 3.3 core context, current; false when there is none.
bool openContext()
{
    if (!glfwInit()) {
        return false;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window = glfwCreateWindow(windowWidth, windowHeight, "Frostline guide", nullptr, nullptr);
    if (!window) {
        return false;
    }
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        return false;
    }
    glGetError();  // GLEW's core-profile probe leaves GL_INVALID_ENUM behind
    setStartGlState();
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: frostline_guide OUTPUT\n");
        return 2;
    }
    if (!openContext()) {
        std::fprintf(stderr, "frostline_guide: no OpenGL 3.3 context (is there a display?)\n");
        return 1;
    }
    // The level's loading log is held back, and shown only when something fails.
    std::ostringstream log;
    heldLog = &log;
    console = std::cout.rdbuf(log.rdbuf());
    std::atexit(showHeldLog);
    // No guide yet: the ride is recorded as a player's, and its win becomes the best run.
    ghostSession = GhostSession{};
    initScene();
    std::set<int> held;
    controls::setKeyReader([&held](GLFWwindow*, int key) { return held.count(key) > 0; });
    raceState->paused = false;
    deltaTime = frameSeconds;
    // To the win and a little beyond, which the game records too: the ghost rides on
    // through the last gate.
    for (float ridden = 0.0f; !ghostSession.ridesBest() && !raceState->lost && ridden < longestRide;
         ridden += frameSeconds) {
        held = raceStarted ? arrowKeysFor(autopilotInput(*world, *raceState)) : std::set<int>{};
        simulateFrame();
    }
    controls::setKeyReader({});
    const bool won = raceState->gameOver && !raceState->lost && ghostSession.ridesBest();
    const GhostRun* run = ghostSession.ride();
    int status = 1;
    if (won && run) {
        heldLog = nullptr;
        std::cout.rdbuf(console);
        std::ofstream out(argv[1], std::ios::binary);
        out << writeGhostRun(*run);
        if (out.flush()) {
            std::printf("guide: won in %.2f s, %zu samples\n", run->finishTime, run->samples.size());
            status = 0;
        }
    } else {
        showHeldLog();
        std::fprintf(stderr, "frostline_guide: the autopilot did not win the race\n");
    }
    shutdown();
    return status;
}
