// Cost of each pass of a frame at the window size (1024 x 768 under Xvfb), each
// closed with glFinish so that the GPU's (under llvmpipe: the processor's) work
// is inside the measured time. Two scenes: a small test scene (a snow field with
// a few blocks) and the real level.
#include <benchmark/benchmark.h>

#include <GL/glew.h>


#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "app/Globals.h"
#include "bench/ProcessTime.h"
#include "physics/ControllerShape.h"
#include "render/ParticleSystem.h"
#include "render/RenderTargets.h"
#include "render/World.h"
#include "scene/GhostRider.h"
#include "scene/Shape.h"
#include "tests/scene/TestModels.h"
#include "tests/support/GlTestContext.h"
#include "tools/assetgen/RaceRoute.h"

namespace frostline {

namespace {

using bench::processCpuMilliseconds;

/// A World being measured, with the sled state its sprays are drawn for.
struct BenchScene {
    std::unique_ptr<World> world;
    std::vector<std::unique_ptr<scene::Shape>> shapes;  ///< the test scene's own shapes
    SledSprayState sled;                                ///< both runners throwing at top speed
};

/// A 40 x 40 snow field with nine blocks, both sprays in front of the camera.
BenchScene& testScene()
{
    static BenchScene* bench = nullptr;
    if (bench) {
        return *bench;
    }
    test::ensureGlContext();
    bench = new BenchScene;
    test::SceneFolder folder;
    World& world = *(bench->world = std::make_unique<World>(LevelContent::Empty));
    const auto add = [&](const std::string& name, const std::string& obj) {
        bench->shapes.push_back(std::make_unique<scene::Shape>(world.basicProgram, world.motionBlurProgram,
                                                               folder.write(name, obj)));
        world.objects.insert(bench->shapes.back().get());
    };
    add("ground.obj", test::planeObj(20.0f));
    for (int i = 0; i < 9; ++i) {
        add("block" + std::to_string(i) + ".obj",
            test::cubeObj(1.0f, vec3(static_cast<float>(i % 3) * 5.0f - 5.0f, 1.0f,
                                     static_cast<float>(i / 3) * -5.0f)));
    }
    world.camera->position = vec3(0.0f, 6.0f, 12.0f);
    world.camera->pitch = -25.0f;
    world.camera->update(0.0f);

    world.leftSpray = new scene::ParticleSystem(world.particleProgram, world.motionBlurProgram);
    world.rightSpray = new scene::ParticleSystem(world.particleProgram, world.motionBlurProgram);
    bench->sled.modelMatrix = translate(mat4(1.0f), vec3(0.0f, 2.0f, 0.0f));
    bench->sled.speed = 40.0f;
    bench->sled.maxSpeed = 40.0f;
    bench->sled.leftSprayActive = true;
    bench->sled.rightSprayActive = true;
    world.placeSprays(bench->sled);
    return *bench;
}

/// The game's level with its sled at the start, seen by the chase camera.
BenchScene& levelScene()
{
    static BenchScene* bench = nullptr;
    if (bench) {
        return *bench;
    }
    test::ensureGlContext();
    bench = new BenchScene;
    World& world = *(bench->world = std::make_unique<World>());
    // The sled at top speed, braking on both sides: every pass has work.
    world.player->speed = world.player->maxSpeed;
    world.player->leftSprayActive = true;
    world.player->rightSprayActive = true;
    world.player->updateChaseCamera();
    world.camera->update(0.0f);
    bench->sled = world.sledSprayState();
    world.placeSprays(bench->sled);
    return *bench;
}

mat4 viewProjectionOf(World& world)
{
    return world.camera->projection * inverse(world.camera->getModelMatrix());
}

/// Moves the camera half a unit along its view, back and forth: the chase camera
/// is always moving in the game, so the velocity image and the blur have work.
void stepCamera(World& world)
{
    static float step = 0.5f;
    step = -step;
    world.camera->move(scene::CameraMove::Forward, step);
    world.camera->update(0.0f);
}

/// Runs pass once per iteration, closed by glFinish; reports the frame's object counts
/// and the processor time of all threads per iteration.
template <typename Pass>
void measure(benchmark::State& state, BenchScene& bench, Pass pass)
{
    test::startLikeTheGame();
    World& world = *bench.world;
    // Two whole frames with the camera moving in between, so that every pass finds
    // the state a frame of the race leaves (and the shaders are compiled).
    world.renderFrame();
    stepCamera(world);
    world.renderFrame();
    glFinish();
    const double cpuStart = processCpuMilliseconds();
    for (auto _ : state) {
        pass(world, bench);
        glFinish();
    }
    state.counters["all_threads_cpu_ms"] =
        (processCpuMilliseconds() - cpuStart) /
        static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["objects"] = static_cast<double>(totalObjectCount);
}

void shadowPass(World& world, BenchScene&) { world.renderShadowPass(); }

void scenePass(World& world, BenchScene&)
{
    glBindFramebuffer(GL_FRAMEBUFFER, world.sceneTarget->framebuffer);
    world.renderScenePass(viewProjectionOf(world));
}

void spraysPass(World& world, BenchScene& bench)
{
    glBindFramebuffer(GL_FRAMEBUFFER, world.sceneTarget->framebuffer);
    world.drawSprays(viewProjectionOf(world), bench.sled);
}

/// The sprays of a sled at a third of top speed (about the ride's average): a weak
/// spray shows a third of its particles.
void spraysAtThirdSpeedPass(World& world, BenchScene& bench)
{
    SledSprayState sled = bench.sled;
    sled.speed = sled.maxSpeed / 3.0f;
    world.placeSprays(sled);
    glBindFramebuffer(GL_FRAMEBUFFER, world.sceneTarget->framebuffer);
    world.drawSprays(viewProjectionOf(world), sled);
}

void postProcessPass(World& world, BenchScene&) { world.renderPostProcess(); }

/// The frame as the game draws it, the camera moving (the test scene has no sled,
/// so no sprays).
void wholeFrame(World& world, BenchScene&)
{
    stepCamera(world);
    world.renderFrame();
}

template <void (*Pass)(World&, BenchScene&)>
void BM_TestScene(benchmark::State& state)
{
    measure(state, testScene(), Pass);
}

/// The level's passes at the render scale the benchmark's argument gives (percent).
template <void (*Pass)(World&, BenchScene&)>
void BM_Level(benchmark::State& state)
{
    BenchScene& bench = levelScene();
    bench.world->renderScale = static_cast<float>(state.range(0)) / 100.0f;
    bench.world->fitTargetsToScene();
    measure(state, bench, Pass);
    bench.world->renderScale = 1.0f;
    bench.world->fitTargetsToScene();
}

/// Median of values (0 when empty).
double median(std::vector<double> values)
{
    if (values.empty()) {
        return 0.0;
    }
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2),
                     values.end());
    return values[values.size() / 2];
}

/// What something costs a frame of the race, paired. The level's sled is put on the race
/// route at every twentieth of its length in turn, moving at top speed, and each iteration
/// draws that view twice, with the thing and without (turn switches it), which of the two
/// first changing every time; both start from the same previous frame, so both blur alike.
/// The host's load changes far more slowly than a frame, so the paired difference keeps
/// the thing's own cost where separate runs lose it in their spread. Reports the medians
/// of both frames and of their differences (wall time, ms) as name_ms, with_ms and
/// without_ms, at the render scale the argument gives (percent). placed runs after the
/// sled is put at a view.
void measureRouteCost(benchmark::State& state, const std::string& name, const std::function<void(bool)>& turn,
                      const std::function<void()>& placed = {})
{
    BenchScene& bench = levelScene();
    World& world = *bench.world;
    scene::ControllerShape& sled = *world.player;
    const std::vector<RouteSample> route = sampleRaceRoute(1.0f);
    constexpr int views = 20;
    std::vector<std::pair<vec3, float>> places;  // sled position and yaw (degrees)
    for (int k = 0; k < views; ++k) {
        const RouteSample& s = route[route.size() * k / views];
        places.emplace_back(vec3(s.xz.x, s.height + 1.3f, s.xz.y),
                            glm::degrees(std::atan2(-s.direction.x, -s.direction.y)));
    }
    const auto place = [&](int view) {
        const auto& [position, yaw] = places[static_cast<size_t>(view)];
        sled.respawnPosition = position;
        sled.respawnAngles = vec3(0.0f, yaw, 0.0f);
        sled.respawnHeading = vec3(-std::sin(glm::radians(yaw)), 0.0f, -std::cos(glm::radians(yaw)));
        sled.respawn();
        world.update();
        sled.speed = sled.maxSpeed;
        sled.updateChaseCamera();
        world.camera->update(0.0f);
        if (placed) {
            placed();
        }
    };
    // Every previous model-view-projection a frame reads, to draw a view twice alike.
    std::vector<mat4*> previous;
    for (scene::SceneObject* object : world.objects) {
        if (auto* shape = dynamic_cast<scene::Shape*>(object)) {
            previous.push_back(&shape->previousMvp);
        }
    }
    previous.push_back(&world.surroundings->previousMvp);
    previous.push_back(&world.leftSpray->previousMvp);
    previous.push_back(&world.rightSpray->previousMvp);
    for (scene::Shape* part : world.ghost->parts()) {
        previous.push_back(&part->previousMvp);
    }
    const auto timedFrame = [&](bool on, const std::vector<mat4>& before) {
        for (size_t i = 0; i < previous.size(); ++i) {
            *previous[i] = before[i];
        }
        turn(on);
        const auto start = std::chrono::steady_clock::now();
        world.renderFrame();
        glFinish();
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };

    test::startLikeTheGame();
    world.renderScale = static_cast<float>(state.range(0)) / 100.0f;
    place(0);
    world.renderFrame();
    glFinish();
    std::vector<double> with, without, cost;
    int view = 0;
    for (auto _ : state) {
        place(view);
        std::vector<mat4> before;
        for (const mat4* m : previous) {
            before.push_back(*m);
        }
        const bool onFirst = view % 2 == 0;
        const double first = timedFrame(onFirst, before);
        const double second = timedFrame(!onFirst, before);
        with.push_back(onFirst ? first : second);
        without.push_back(onFirst ? second : first);
        cost.push_back(with.back() - without.back());
        view = (view + 1) % views;
    }
    turn(true);
    world.renderScale = 1.0f;
    state.counters["with_ms"] = median(with);
    state.counters["without_ms"] = median(without);
    state.counters[name + "_ms"] = median(cost);
}

/// What the land around the course costs a frame of the race.
void BM_RouteLandCost(benchmark::State& state)
{
    World& world = *levelScene().world;
    std::unique_ptr<scene::Shape> heldAside;
    measureRouteCost(state, "land_cost", [&](bool withLand) {
        if (withLand != static_cast<bool>(world.surroundings)) {
            std::swap(world.surroundings, heldAside);
        }
    });
}

/// What the ghost rider costs a frame of the race, riding eight units ahead of the sled
/// (about as near as it comes, where it covers the most).
void BM_RouteGhostCost(benchmark::State& state)
{
    World& world = *levelScene().world;
    measureRouteCost(
        state, "ghost_cost",
        [&](bool shown) {
            world.ghost->shown = shown;
            world.ghost->drawnBefore = true;
        },
        [&] {
            GhostPose pose = ghostPoseOf(world.player->getModelMatrix(), 0.0f, 0.0f);
            pose.position += world.player->heading * 8.0f;
            world.ghost->place(pose);
        });
    world.ghost->shown = false;
}

}  // namespace

BENCHMARK_TEMPLATE(BM_TestScene, shadowPass)
    ->Name("Render/TestScene/Shadow")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_TEMPLATE(BM_TestScene, scenePass)
    ->Name("Render/TestScene/Scene")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_TEMPLATE(BM_TestScene, spraysPass)
    ->Name("Render/TestScene/Sprays")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_TEMPLATE(BM_TestScene, postProcessPass)
    ->Name("Render/TestScene/PostProcess")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_TEMPLATE(BM_TestScene, wholeFrame)
    ->Name("Render/TestScene/Frame")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_TEMPLATE(BM_Level, shadowPass)
    ->Name("Render/Level/Shadow")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Arg(100)
    ->Arg(70)
    ->Arg(50);
BENCHMARK_TEMPLATE(BM_Level, scenePass)
    ->Name("Render/Level/Scene")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Arg(100)
    ->Arg(70)
    ->Arg(50)
    ->Arg(25)
    ->Arg(5);
BENCHMARK_TEMPLATE(BM_Level, spraysPass)
    ->Name("Render/Level/Sprays")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Arg(100)
    ->Arg(70)
    ->Arg(50);
BENCHMARK_TEMPLATE(BM_Level, postProcessPass)
    ->Name("Render/Level/PostProcess")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Arg(100)
    ->Arg(70)
    ->Arg(50);
BENCHMARK_TEMPLATE(BM_Level, wholeFrame)
    ->Name("Render/Level/Frame")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Arg(100)
    ->Arg(70)
    ->Arg(50);
// Last: it leaves the sprays weaker for whatever is measured after it.
BENCHMARK_TEMPLATE(BM_Level, spraysAtThirdSpeedPass)
    ->Name("Render/Level/SpraysAtThirdSpeed")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Arg(100);
// After the level's own: it moves the sled along the route.
BENCHMARK(BM_RouteLandCost)
    ->Name("Render/Route/LandCost")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(200)
    ->Arg(100)
    ->Arg(70);
BENCHMARK(BM_RouteGhostCost)
    ->Name("Render/Route/GhostCost")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(200)
    ->Arg(100)
    ->Arg(70);

}  // namespace frostline
