// Cost of the heads-up display over a frame at the window size (1024 x 768 under
// Xvfb), closed with glFinish: the racing HUD (message, time, points and the
// frame statistics, 55 characters in all) and the same with the help and fail panels.
#include <benchmark/benchmark.h>

#include <GL/glew.h>

#include <algorithm>

#include "app/Globals.h"
#include "app/RaceState.h"
#include "bench/ProcessTime.h"
#include "tests/support/GlTestContext.h"
#include "ui/Hud.h"

namespace frostline {

namespace {

/// The HUD with the game's font and panels, over a race in progress.
RaceState& hudRace()
{
    static RaceState* race = nullptr;
    if (!race) {
        test::ensureGlContext();
        glEnable(GL_CULL_FACE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        ui::initUserInterface();
        race = new RaceState;
        race->points = 550;
        race->timeLeft = 17.25f;
        // Its countdown long over.
        countdownDone = true;
        ui::goAge = 10.0f;
    }
    raceState = race;
    return *race;
}

void drawHudFrames(benchmark::State& state, bool panels)
{
    RaceState& race = hudRace();
    showFrameTime = true;
    showHelp = panels;
    race.gameOver = panels;
    race.lost = panels;
    deltaTime = 1.0f / 60.0f;
    const double cpuStart = bench::processCpuMilliseconds();
    for (auto _ : state) {
        ui::showMessage("toggle Wireframe: 1");
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ui::drawHud();
        glFinish();
    }
    state.counters["all_threads_cpu_ms"] =
        (bench::processCpuMilliseconds() - cpuStart) /
        static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    showFrameTime = false;
    showHelp = false;
    raceState = nullptr;
}

void BM_HudRacing(benchmark::State& state)
{
    drawHudFrames(state, false);
}
BENCHMARK(BM_HudRacing)->Unit(benchmark::kMicrosecond);

void BM_HudWithHelpAndFailPanels(benchmark::State& state)
{
    drawHudFrames(state, true);
}
BENCHMARK(BM_HudWithHelpAndFailPanels)->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace frostline
