// Cost of simulating one frame of the race on the real level, without drawing:
// the World update (every object, the sled's controller move with its hit report
// and the rules, the sprays) and the physics step, at 60 frames a second while
// the autopilot rides the race through its five gates. A finished race is taken
// down and a new one built outside the measured time.
// The sound's share of a frame is measured apart: what the main thread does for
// it (cues started, the loops' gain and pitch set) on the same ride; OpenAL's own
// thread mixes (on its null device unless ALSOFT_DRIVERS says otherwise).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/Globals.h"
#include "physics/PhysicsWorld.h"
#include "scene/Collectable.h"
#include "sound/Sound.h"
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

/// Median of a list of times (ms).
double median(std::vector<double> times)
{
    auto middle = times.begin() + times.size() / 2;
    std::nth_element(times.begin(), middle, times.end());
    return *middle;
}

/// A GL context and no other level in this process (it would share the physics scene and
/// double its bodies); otherwise the benchmark is skipped with the reason.
bool readyForARace(benchmark::State& state)
{
    if (!test::ensureGlContext()) {
        state.SkipWithError("no OpenGL context");
        return false;
    }
    if (PhysicsWorld::instance().scene && PhysicsWorld::instance().scene->getActorCount() > 0) {
        state.SkipWithError("another level is loaded: run this benchmark on its own (--benchmark_filter)");
        return false;
    }
    return true;
}

/// Ends an iteration measured from start: its time for the benchmark and in milliseconds for
/// the list; a finished race is replaced by a new one outside the measured time.
void endIteration(benchmark::State& state, std::chrono::steady_clock::time_point start,
                  std::vector<double>& milliseconds, std::unique_ptr<test::RaceHarness>& race)
{
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    milliseconds.push_back(seconds * 1e3);
    if (race->race->gameOver) {
        state.PauseTiming();
        race.reset();  // the old level leaves the physics scene before the new one comes
        race = newRace();
        state.ResumeTiming();
    }
}

/// The sound on OpenAL's null device unless ALSOFT_DRIVERS says otherwise; null without a device.
std::unique_ptr<Sound> openSound()
{
    setenv("ALSOFT_DRIVERS", "null", 0);
    auto sound = std::make_unique<Sound>("sounds");
    return sound->audible() ? std::move(sound) : nullptr;
}

/// Argument 1: the frame hands its events and the ride to the sound, as the game does; 0: silent.
void BM_SimulateRaceFrame(benchmark::State& state)
{
    if (!readyForARace(state)) {
        return;
    }
    std::unique_ptr<Sound> heard = state.range(0) != 0 ? openSound() : nullptr;
    if (state.range(0) != 0 && !heard) {
        state.SkipWithError("no sound device");
        return;
    }
    sound = heard.get();
    std::unique_ptr<test::RaceHarness> race = newRace();
    std::vector<double> frameMilliseconds;
    for (auto _ : state) {
        race->steerTowardNextGate();
        const auto start = std::chrono::steady_clock::now();
        race->frame(frameTime);
        endIteration(state, start, frameMilliseconds, race);
    }
    sound = nullptr;
    // The median frame, as the frame-time target is stated.
    if (!frameMilliseconds.empty()) {
        state.counters["median_ms"] = median(frameMilliseconds);
    }
}
BENCHMARK(BM_SimulateRaceFrame)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_SoundFrame(benchmark::State& state)
{
    if (!readyForARace(state)) {
        return;
    }
    std::unique_ptr<Sound> heard = openSound();
    if (!heard) {
        state.SkipWithError("no sound device");
        return;
    }
    std::unique_ptr<test::RaceHarness> race = newRace();
    // A pick-up a second and a gate every two, more than a race has.
    RaceEvent snowflake{RaceEventKind::PickedUp};
    snowflake.pickupKind = scene::Snowflake;
    const RaceEvent gate{RaceEventKind::GatePassed, 2};
    std::vector<double> frameMilliseconds;
    int frame = 0;
    for (auto _ : state) {
        race->steerTowardNextGate();
        race->frame(frameTime);
        RaceEvents events;
        if (frame % 60 == 0) {
            events.push_back(snowflake);
        }
        if (frame % 120 == 0) {
            events.push_back(gate);
        }
        ++frame;
        const auto start = std::chrono::steady_clock::now();
        heard->update(events, rideOf(*race->sled, *race->world->camera, *race->race, true), frameTime);
        endIteration(state, start, frameMilliseconds, race);
    }
    if (!frameMilliseconds.empty()) {
        state.counters["median_ms"] = median(frameMilliseconds);
        // The slowest frames are the machine's (another process ran), not the sound's.
        std::sort(frameMilliseconds.begin(), frameMilliseconds.end());
        state.counters["p99_ms"] = frameMilliseconds[frameMilliseconds.size() * 99 / 100];
    }
}
// Frames of about three races: the measured part is so short that a minimum time would ask for
// hundreds of races.
BENCHMARK(BM_SoundFrame)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(6000);

}  // namespace

}  // namespace frostline
