// Cost of simulating one frame of the race on the real level, without drawing:
// the World update (every object, the sled's controller move with its hit report
// and the rules, the sprays) and the physics step, at 60 frames a second while
// the autopilot rides the race through its five gates. A finished race is taken
// down and a new one built outside the measured time.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "physics/PhysicsWorld.h"
#include "tests/level/RaceHarness.h"
#include "tests/support/GlTestContext.h"

namespace frostline {

namespace {

constexpr float frameTime = 1.0f / 60.0f;

/// A fresh race, just after the countdown.
std::unique_ptr<test::RaceHarness> newRace()
{
    auto race = std::make_unique<test::RaceHarness>();
    race->finishCountdown(frameTime);
    return race;
}

void BM_SimulateRaceFrame(benchmark::State& state)
{
    if (!test::ensureGlContext()) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    // Another level in this process would share the physics scene and double its bodies.
    if (PhysicsWorld::instance().scene && PhysicsWorld::instance().scene->getActorCount() > 0) {
        state.SkipWithError("another level is loaded: run this benchmark on its own (--benchmark_filter)");
        return;
    }
    std::unique_ptr<test::RaceHarness> race = newRace();
    std::vector<double> frameMilliseconds;
    for (auto _ : state) {
        race->steerTowardNextGate();
        const auto start = std::chrono::steady_clock::now();
        race->frame(frameTime);
        const auto end = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(seconds);
        frameMilliseconds.push_back(seconds * 1e3);
        if (race->race->gameOver) {
            state.PauseTiming();
            race.reset();
            race = newRace();
            state.ResumeTiming();
        }
    }
    // The median frame, as the frame-time target is stated.
    if (!frameMilliseconds.empty()) {
        auto middle = frameMilliseconds.begin() + frameMilliseconds.size() / 2;
        std::nth_element(frameMilliseconds.begin(), middle, frameMilliseconds.end());
        state.counters["median_ms"] = *middle;
    }
}
BENCHMARK(BM_SimulateRaceFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

}  // namespace frostline
