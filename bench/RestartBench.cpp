// What a player waits for when racing again: from Enter once the race is decided
// to the new race's first frame finished on the screen (the old race taken down,
// the loading screen, the level built again, one frame simulated, drawn and
// finished with glFinish), on the real level after the game's own start-up.
#include <benchmark/benchmark.h>

#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/FileReading.h"
#include "app/Globals.h"
#include "app/MainLoop.h"
#include "app/RaceState.h"
#include "physics/PhysicsWorld.h"
#include "physics/Scene.h"
#include "tests/support/GlTestContext.h"
#include "ui/Hud.h"

namespace frostline {

namespace {

/// Resident memory of this process (MB), from /proc.
double residentMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0.0;
}

void BM_RaceAgain(benchmark::State& state)
{
    if (!test::ensureGlContext()) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    if (PhysicsWorld::instance().scene && PhysicsWorld::instance().scene->getActorCount() > 0) {
        state.SkipWithError("another level is loaded: run this benchmark on its own (--benchmark_filter)");
        return;
    }
    // The game's start-up, then a frame of the first race.
    test::startLikeTheGame();
    ui::initUserInterface();
    keepFilesRead(true);
    initScene();
    raceState->paused = false;
    std::vector<double> milliseconds;
    for (auto _ : state) {
        raceState->gameOver = true;
        const auto start = std::chrono::steady_clock::now();
        restartRace();
        deltaTime = 1.0f / 60.0f;
        simulateFrame();
        drawFrame();
        glFinish();
        const auto end = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(seconds);
        milliseconds.push_back(seconds * 1e3);
    }
    state.counters["resident_mb"] = residentMegabytes();
    releaseScene();
    keepFilesRead(false);
    if (!milliseconds.empty()) {
        const auto middle = milliseconds.begin() + milliseconds.size() / 2;
        std::nth_element(milliseconds.begin(), middle, milliseconds.end());
        state.counters["median_ms"] = *middle;
    }
}
BENCHMARK(BM_RaceAgain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(12);

}  // namespace

}  // namespace frostline
