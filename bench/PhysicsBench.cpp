// The sled's controller over a terrain the size of the game's (a 130,050-triangle
// heightfield): one move per 60 Hz frame, and the cooking of that terrain mesh.
// Each prints its median, the figure that matters for a steady frame rate.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include <benchmark/benchmark.h>

#include "physics/PhysicsWorld.h"
#include "physics/TriangleMesh.h"
#include "tests/physics/PhysicsTestWorld.h"

namespace frostline {
namespace {

constexpr int terrainRows = 256;  // 2 x 255^2 = 130,050 triangles
constexpr float terrainSpacing = 1.0f;
constexpr float frame = 1.0f / 60.0f;
constexpr int moveSamples = 30000;  // over eight minutes of sledding

using Clock = std::chrono::steady_clock;

// Seconds of processor time used by this thread: on a machine shared with other
// work, the figure that wall time would blur.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

// Median and 99th percentile of the samples (seconds), as counters named after
// kind ("wall" or "cpu") and a printed line.
void reportSamples(benchmark::State& state, std::vector<double>& samples, const char* what, const char* kind,
                   double scale, const char* unit)
{
    if (samples.empty()) {
        return;
    }
    std::sort(samples.begin(), samples.end());
    const double median = samples[samples.size() / 2] * scale;
    const double p99 = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)] * scale;
    state.counters[std::string("median_") + kind + "_" + unit] = median;
    state.counters[std::string("p99_") + kind + "_" + unit] = p99;
    std::printf("%s (%s time): median %.2f %s, 99th percentile %.2f %s over %zu samples\n", what, kind,
                median, unit, p99, unit, samples.size());
}

void BM_TerrainMeshBuild(benchmark::State& state)
{
    const auto model = test::heightfield(terrainRows, terrainSpacing);
    std::vector<double> wall, cpu;
    wall.reserve(1000);
    cpu.reserve(1000);
    std::size_t triangles = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const double startCpu = threadSeconds();
        const TriangleMeshGeometry geometry = PhysicsWorld::triangleMeshGeometryFromMesh(*model);
        cpu.push_back(threadSeconds() - startCpu);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        wall.push_back(seconds);
        triangles = geometry.mesh ? geometry.mesh->getTriangleCount() : 0;
        benchmark::DoNotOptimize(geometry.mesh.get());
    }
    state.counters["triangles"] = double(triangles);
    reportSamples(state, wall, "terrain mesh build, 130,050 triangles", "wall", 1e3, "ms");
    reportSamples(state, cpu, "terrain mesh build, 130,050 triangles", "cpu", 1e3, "ms");
}
BENCHMARK(BM_TerrainMeshBuild)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

void BM_SledMoveOverTerrain(benchmark::State& state)
{
    // The game's set-up: one terrain actor and the sled's controller on it.
    PhysicsWorld world;
    world.initPhysicsScene();
    Material* material = world.physics->findOrCreateMaterial(0.5f, 0.5f, 0.5f);
    Actor* terrain = world.createStaticActor(
        PhysicsWorld::triangleMeshGeometryFromMesh(*test::heightfield(terrainRows, terrainSpacing)),
        *material);
    terrain->setName("Terrain");
    world.scene->addActor(*terrain);

    const float edge = 0.5f * terrainSpacing * (terrainRows - 1) - 5.0f;
    const glm::dvec3 start(-edge, test::hillHeight(-edge, -20.0f) + 1.0, -20.0);
    test::SledRider rider;
    rider.heading = glm::normalize(vec3(1.0f, 0.0f, 0.25f));
    CapsuleController* sled =
        world.createCapsuleController(CapsuleGeometry{0.5f, 0.01f}, start, material, &rider);

    std::vector<double> wall, cpu;
    wall.reserve(moveSamples);
    cpu.reserve(moveSamples);
    long grounded = 0;
    for (auto _ : state) {
        const auto begin = Clock::now();
        const double beginCpu = threadSeconds();
        const CollisionFlags flags = rider.step(*sled, frame);
        cpu.push_back(threadSeconds() - beginCpu);
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        state.SetIterationTime(seconds);
        wall.push_back(seconds);
        grounded += (flags & collisionDown) ? 1 : 0;

        // A sled's pace (the slope alone would make it ever faster); back to the top at the far edge.
        rider.speed = std::min(rider.speed, 30.0f);
        const glm::dvec3 p = sled->getPosition();
        if (p.x > edge || std::abs(p.z) > edge) {
            sled->setPosition(start);
            rider.speed = 0.0f;
        }
    }
    state.counters["grounded"] = benchmark::Counter(double(grounded) / double(state.iterations()));
    reportSamples(state, wall, "sled move over the terrain at 60 Hz", "wall", 1e6, "us");
    reportSamples(state, cpu, "sled move over the terrain at 60 Hz", "cpu", 1e6, "us");
}
BENCHMARK(BM_SledMoveOverTerrain)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(moveSamples);

}  // namespace
}  // namespace frostline
