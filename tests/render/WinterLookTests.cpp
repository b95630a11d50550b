// The level as a player sees it: the real World rendered from fixed views (the
// start, between gates 2 and 3, the last gate, the free camera high above the
// start) and from points along the race, measured over the rendered frames.
// Snow in the sun reads white, the shade a soft blue-grey, faces turned from the
// sun stay readable, and below the horizon there is always ground, never the
// sky's clear colour.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "app/RaceState.h"
#include "ghost/GhostRun.h"
#include "physics/ControllerShape.h"
#include "render/RenderTargets.h"
#include "render/World.h"
#include "scene/Checkpoint.h"
#include "scene/GhostRider.h"
#include "scene/Terrain.h"
#include "tests/support/GlTestContext.h"
#include "tools/assetgen/RaceRoute.h"
#include "ui/Hud.h"

using namespace frostline;

namespace {

/// Where the sled starts (the level's start) and how high the free camera looks from.
const vec3 startPosition(-70.0f, 150.0f, 96.0f);
constexpr float freeCameraHeight = 150.0f;

/// One rendered frame: colour of the window, the scene's depth, and where the snow
/// of the course (the terrain's first mesh) is the front-most surface.
struct Picture {
    std::vector<unsigned char> rgba;
    std::vector<float> depth;
    std::vector<bool> snow;
};

/// The figures measured over a picture's snow: the course, the banks and the mountains.
struct SnowFigures {
    int snowPixels = 0;
    int sunlitPixels = 0;        ///< snow pixels brighter than 0.55 in luminance
    double sunlitRedOverBlue = 0.0;  ///< mean red over mean blue of those
    double meanSaturation = 0.0;     ///< mean of max - min of the channels over all snow pixels
    double darkestLuminance = 0.0;   ///< the 1st percentile of the snow's luminance
};

double luminance(const unsigned char* p)
{
    return (0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2]) / 255.0;
}

SnowFigures measureSnow(const Picture& picture)
{
    SnowFigures figures;
    double red = 0.0, blue = 0.0, saturation = 0.0;
    std::vector<double> luminances;
    for (size_t i = 0; i < picture.snow.size(); ++i) {
        if (!picture.snow[i]) {
            continue;
        }
        const unsigned char* p = &picture.rgba[i * 4];
        const double y = luminance(p);
        luminances.push_back(y);
        saturation += (std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]})) / 255.0;
        if (y > 0.55) {
            ++figures.sunlitPixels;
            red += p[0];
            blue += p[2];
        }
    }
    figures.snowPixels = static_cast<int>(luminances.size());
    if (figures.snowPixels == 0) {
        return figures;
    }
    figures.meanSaturation = saturation / figures.snowPixels;
    figures.sunlitRedOverBlue = blue > 0.0 ? red / blue : 0.0;
    std::nth_element(luminances.begin(), luminances.begin() + luminances.size() / 100, luminances.end());
    figures.darkestLuminance = luminances[luminances.size() / 100];
    return figures;
}

class WinterLookTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(test::ensureGlContext(), nullptr);
        world = std::make_unique<World>();
        sled = world->player;
        for (scene::SceneObject* object : world->objects) {
            terrain = terrain ? terrain : dynamic_cast<scene::Terrain*>(object);
        }
        ASSERT_NE(terrain, nullptr);
        test::startLikeTheGame();
    }

    void TearDown() override
    {
        world.reset();
        raceState = nullptr;
    }

    /// The sled at rest on the route at arc length distance, looking along it; the chase camera behind.
    void placeSledOnRoute(float distance)
    {
        const std::vector<RouteSample> route = sampleRaceRoute(1.0f);
        const RouteSample& s =
            route[std::min(route.size() - 1, static_cast<size_t>(std::max(distance, 0.0f)))];
        sled->respawnPosition = vec3(s.xz.x, s.height + 1.3f, s.xz.y);
        // The heading after a turn by yaw about Y is (-sin yaw, 0, -cos yaw).
        const float yaw = glm::degrees(std::atan2(-s.direction.x, -s.direction.y));
        sled->respawnAngles = vec3(0.0f, yaw, 0.0f);
        sled->respawnHeading = vec3(s.direction.x, 0.0f, s.direction.y);
        sled->respawn();
        settle();
    }

    /// One step as the game takes it (the drawn sled follows its body), then the chase camera.
    void settle()
    {
        world->update();
        sled->speed = 0.0f;
        sled->updateChaseCamera();
        world->camera->update(0.0f);
    }

    /// The free camera above the start at the given height, turned and tilted (degrees).
    void placeFreeCamera(float height, float yaw, float pitch)
    {
        world->camera->position = startPosition + vec3(0.0f, height, 0.0f);
        world->camera->yaw = yaw;
        world->camera->pitch = pitch;
        world->camera->roll = 0.0f;
        world->camera->update(0.0f);
    }

    /// Arc length along the route where the sled has passed gate - 1 and rides toward gate.
    static float routeDistanceBefore(int gate, float fraction)
    {
        const std::vector<RouteSample> route = sampleRaceRoute(1.0f);
        float from = -1.0f, to = -1.0f;
        for (const RouteSample& s : route) {
            if (s.lastGate == gate - 1) {
                from = from < 0.0f ? s.distance : from;
                to = s.distance;
            }
        }
        return from + (to - from) * fraction;
    }

    /// Renders the frame as the game does (still, so the composite shows the scene as
    /// drawn), reads it, then draws the ground alone (the course, the banks and the
    /// mountains) to find where it is in front.
    Picture render(const std::string& name, bool withHud = false)
    {
        Picture picture;
        world->blurScale = 0.0f;
        world->plainPasses = false;
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        world->renderFrame();
        if (withHud) {
            ui::drawHud();
        }
        glFinish();
        keepFrame(name);
        picture.rgba = readColour();
        picture.depth = readSceneDepth();

        // The ground alone: every other shape hidden.
        std::vector<scene::Shape*> hiddenNow;
        for (scene::SceneObject* object : world->objects) {
            auto* shape = dynamic_cast<scene::Shape*>(object);
            if (shape && shape != terrain && !shape->hidden) {
                shape->hidden = true;
                hiddenNow.push_back(shape);
            }
        }
        const std::shared_ptr<scene::MeshList> allMeshes = terrain->meshes;
        terrain->meshes = std::make_shared<scene::MeshList>(1, allMeshes->front());
        // The land around the course is ground too, but for its forest (banks, forest, mountains).
        const std::shared_ptr<scene::MeshList> around = world->surroundings->meshes;
        EXPECT_EQ(around->size(), 3u);
        world->surroundings->meshes = std::make_shared<scene::MeshList>();
        for (size_t i : {size_t{0}, size_t{2}}) {
            if (i < around->size()) {
                world->surroundings->meshes->push_back((*around)[i]);
            }
        }
        world->plainPasses = true;
        world->renderFrame();
        glFinish();
        const std::vector<float> snowDepth = readSceneDepth();
        terrain->meshes = allMeshes;
        world->surroundings->meshes = around;
        for (scene::Shape* shape : hiddenNow) {
            shape->hidden = false;
        }
        world->plainPasses = false;

        picture.snow.resize(snowDepth.size());
        for (size_t i = 0; i < snowDepth.size(); ++i) {
            picture.snow[i] = snowDepth[i] < 1.0f && snowDepth[i] == picture.depth[i];
        }
        return picture;
    }

    /// Pixels whose view ray points below the horizon by more than half a degree, yet
    /// where nothing was drawn (the scene's depth still holds its clear value).
    int voidBelowHorizon(const Picture& picture) const
    {
        const mat4 inverseViewProjection =
            inverse(world->camera->projection * inverse(world->camera->getModelMatrix()));
        const vec3 eye = world->camera->position;
        int count = 0;
        for (int y = 0; y < windowHeight; ++y) {
            for (int x = 0; x < windowWidth; ++x) {
                const vec2 ndc((x + 0.5f) / windowWidth * 2.0f - 1.0f,
                               (y + 0.5f) / windowHeight * 2.0f - 1.0f);
                const vec4 far = inverseViewProjection * vec4(ndc, 1.0f, 1.0f);
                const vec3 ray = normalize(vec3(far) / far.w - eye);
                if (ray.y < -0.01f && picture.depth[static_cast<size_t>(y) * windowWidth + x] >= 1.0f) {
                    ++count;
                }
            }
        }
        return count;
    }

    static std::vector<unsigned char> readColour()
    {
        std::vector<unsigned char> rgba(static_cast<size_t>(windowWidth) * windowHeight * 4);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, windowWidth, windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }

    std::vector<float> readSceneDepth() const
    {
        std::vector<float> depth(static_cast<size_t>(windowWidth) * windowHeight);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, world->sceneTarget->framebuffer);
        glReadPixels(0, 0, windowWidth, windowHeight, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return depth;
    }

    /// Keeps the window's picture for a look when FROSTLINE_FRAME_DIR names a folder.
    static void keepFrame(const std::string& name)
    {
        if (const char* dir = std::getenv("FROSTLINE_FRAME_DIR")) {
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            test::savePixelsPng(std::string(dir) + "/" + name + ".png");
        }
    }

    std::unique_ptr<World> world;
    scene::ControllerShape* sled = nullptr;
    scene::Terrain* terrain = nullptr;
};

void expectWinterSnow(const std::string& view, const SnowFigures& f)
{
    SCOPED_TRACE(view);
    std::printf("%-22s snow pixels %6d, sunlit %6d, red/blue in the sun %.3f, mean saturation %.3f, "
                "darkest 1%% luminance %.3f\n",
                view.c_str(), f.snowPixels, f.sunlitPixels, f.sunlitRedOverBlue, f.meanSaturation,
                f.darkestLuminance);
    ASSERT_GT(f.snowPixels, 20000) << "the view shows snow";
    ASSERT_GT(f.sunlitPixels, 2000) << "some snow lies in the sun";
    EXPECT_GE(f.sunlitRedOverBlue, 0.85) << "snow in the sun reads white, not turquoise";
    EXPECT_LE(f.meanSaturation, 0.15) << "the snow is a soft blue-grey at most, never saturated teal";
    EXPECT_GE(f.darkestLuminance, 0.35) << "snow in shade and turned from the sun stays readable";
}

}  // namespace

TEST_F(WinterLookTest, TheFixedViewsShowWhiteSnowSoftShadeAndNoVoid)
{
    // From the start, between gates 2 and 3, before the last gate and with the race
    // won, a player sees white snow in the sun, soft blue-grey shade, and ground
    // right up to the horizon.
    const std::vector<RouteSample> route = sampleRaceRoute(1.0f);
    ASSERT_FALSE(route.empty());
    struct View {
        std::string name;
        float distance;  ///< along the route; below 0 the level's own start
    };
    const View views[] = {
        {"start", -1.0f},
        {"between-gates-2-and-3", routeDistanceBefore(3, 0.5f)},
        {"last-gate", routeDistanceBefore(5, 1.0f) - 14.0f},
    };
    for (const View& view : views) {
        if (view.distance < 0.0f) {
            settle();
        } else {
            placeSledOnRoute(view.distance);
        }
        const Picture picture = render(view.name);
        expectWinterSnow(view.name, measureSnow(picture));
        EXPECT_EQ(voidBelowHorizon(picture), 0) << view.name;
    }

    // The race won: the same view behind its panel.
    RaceState race;
    race.gameOver = true;
    race.lost = false;
    race.paused = false;
    raceState = &race;
    frostline::world = world.get();
    ui::initUserInterface();
    ui::showMessage(" ");
    const Picture won = render("win-panel", true);
    ui::shutdownUserInterface();
    frostline::world = nullptr;
    raceState = nullptr;
    EXPECT_EQ(voidBelowHorizon(won), 0);
}

TEST_F(WinterLookTest, TheFreeCameraHighAboveTheStartSeesMountainsAllRound)
{
    // 150 units above the start, looking down the valley and then all round: snow on
    // the course, and no edge of the world anywhere below the horizon.
    placeFreeCamera(freeCameraHeight, -40.0f, -42.0f);
    const Picture overview = render("free-camera");
    expectWinterSnow("free-camera", measureSnow(overview));
    EXPECT_EQ(voidBelowHorizon(overview), 0);
    for (float yaw : {0.0f, 90.0f, 180.0f, 270.0f}) {
        placeFreeCamera(freeCameraHeight, yaw, -12.0f);
        EXPECT_EQ(voidBelowHorizon(render("free-camera-yaw-" + std::to_string(int(yaw)))), 0)
            << "yaw " << yaw;
    }
}

TEST_F(WinterLookTest, NoVoidShowsFromAnyPointOfTheRace)
{
    // Riding the race, every twentieth of the way, looking ahead; and just after R at each
    // gate, where the sled lands at the gate's foot: ground everywhere below the horizon.
    const std::vector<RouteSample> route = sampleRaceRoute(1.0f);
    for (int k = 0; k < 20; ++k) {
        const float distance = route.back().distance * k / 20.0f;
        placeSledOnRoute(distance);
        EXPECT_EQ(voidBelowHorizon(render("route-" + std::to_string(k))), 0) << "at " << distance;
    }
    for (int gate = 1; gate <= 5; ++gate) {
        const float atGate = routeDistanceBefore(gate + 1, 0.0f);
        placeSledOnRoute(atGate);
        for (scene::SceneObject* object : world->objects) {
            if (auto* checkpoint = dynamic_cast<scene::Checkpoint*>(object);
                checkpoint && checkpoint->id == gate) {
                sled->respawnPosition = checkpoint->getPosition();
            }
        }
        sled->respawn();
        settle();
        EXPECT_EQ(voidBelowHorizon(render("after-r-at-gate-" + std::to_string(gate))), 0) << "gate " << gate;
    }
}

TEST_F(WinterLookTest, BelowFullSizeTheLevelIsWholeAndTheHudUntouched)
{
    // At 70 % and 50 % of the window's size the start looks as at full size, only
    // softer: no black or stretched edge, every part of the level in its place; the
    // clock, the points and the gate count are drawn pixel for pixel as at full size.
    RaceState race;
    race.timeLeft = 7.25f;
    raceState = &race;
    frostline::world = world.get();
    ui::initUserInterface();
    ui::showMessage(" ");
    settle();
    std::string look = "scale-";
    const auto frame = [&](float scale) {
        world->renderScale = scale;
        world->blurScale = 0.0f;
        world->renderFrame();
        ui::drawHud();
        glFinish();
        keepFrame(look + std::to_string(int(scale * 100.0f)));
        return readColour();
    };
    const std::vector<unsigned char> full = frame(1.0f);
    // Without the blur (F6) too, the scene is stretched from its smaller picture.
    for (const float scale : {0.7f, 0.5f, -0.5f}) {
        motionBlur = scale > 0.0f;
        const std::vector<unsigned char> scaled = frame(std::fabs(scale));
        motionBlur = true;
        // Mean difference from the full-size picture, over the whole window and along
        // its four edges (a band of 4 pixels), where a border or a stretch would show.
        double all = 0.0, edges = 0.0;
        int edgePixels = 0, black = 0;
        for (int y = 0; y < windowHeight; ++y) {
            for (int x = 0; x < windowWidth; ++x) {
                const size_t i = (static_cast<size_t>(y) * windowWidth + x) * 4;
                const int d = std::abs(full[i] - scaled[i]) + std::abs(full[i + 1] - scaled[i + 1]) +
                              std::abs(full[i + 2] - scaled[i + 2]);
                all += d;
                if (x < 4 || y < 4 || x >= windowWidth - 4 || y >= windowHeight - 4) {
                    edges += d;
                    ++edgePixels;
                    // Dark where the full-size picture is not: a black border.
                    black += std::max({scaled[i], scaled[i + 1], scaled[i + 2]}) < 40 &&
                             std::max({full[i], full[i + 1], full[i + 2]}) >= 80;
                }
            }
        }
        all /= static_cast<double>(windowWidth) * windowHeight;
        edges /= edgePixels;
        std::printf("scale %.2f%s: mean difference %.1f, along the edges %.1f, dark edge pixels %d\n",
                    std::fabs(scale), scale > 0.0f ? "" : " without blur", all, edges, black);
        EXPECT_LT(all, 12.0) << scale;
        EXPECT_LT(edges, 12.0) << scale;
        EXPECT_EQ(black, 0) << scale;
    }

    // With every shape hidden the world is sky at any size: the frames must be the
    // same to the last pixel, heads-up display and all.
    std::vector<scene::Shape*> hidden;
    for (scene::SceneObject* object : world->objects) {
        if (auto* shape = dynamic_cast<scene::Shape*>(object); shape && !shape->hidden) {
            shape->hidden = true;
            hidden.push_back(shape);
        }
    }
    std::unique_ptr<scene::Shape> land = std::move(world->surroundings);
    look = "sky-scale-";
    const std::vector<unsigned char> skyFull = frame(1.0f);
    EXPECT_EQ(frame(0.7f), skyFull);
    EXPECT_EQ(frame(0.5f), skyFull);
    world->surroundings = std::move(land);
    for (scene::Shape* shape : hidden) {
        shape->hidden = false;
    }
    world->renderScale = 1.0f;
    ui::shutdownUserInterface();
    frostline::world = nullptr;
    raceState = nullptr;
}

TEST_F(WinterLookTest, TheGhostIsDrawnTranslucentWhereItsRunPutsIt)
{
    // A ghost six units ahead of the sled at the start: where it stands, the snow shows
    // through it, about half of it; it is not counted among the level's objects.
    settle();
    GhostPose pose = ghostPoseOf(sled->getModelMatrix(), 0.0f, 0.0f);
    pose.position += sled->heading * 6.0f;
    world->ghost->place(pose);
    const auto frame = [&](bool shown, float opacity) {
        world->ghost->shown = shown;
        world->ghostOpacity = opacity;
        world->blurScale = 0.0f;
        world->renderFrame();
        glFinish();
        return readColour();
    };
    const std::vector<unsigned char> without = frame(false, 0.55f);
    const int objects = totalObjectCount;
    const std::vector<unsigned char> solid = frame(true, 1.0f);
    const std::vector<unsigned char> ghostly = frame(true, 0.55f);
    keepFrame("ghost");
    EXPECT_EQ(totalObjectCount, objects);

    const vec4 clip =
        world->camera->projection * inverse(world->camera->getModelMatrix()) * vec4(pose.position, 1.0f);
    const vec2 expected = (vec2(clip) / clip.w * 0.5f + 0.5f) * vec2(windowWidth, windowHeight);
    double solidDifference = 0.0, ghostDifference = 0.0;
    vec2 sum(0.0f);
    int pixels = 0;
    for (size_t i = 0; i < without.size(); i += 4) {
        int d = 0, g = 0;
        for (size_t c = 0; c < 3; ++c) {
            d += std::abs(solid[i + c] - without[i + c]);
            g += std::abs(ghostly[i + c] - without[i + c]);
        }
        if (d > 60) {
            solidDifference += d;
            ghostDifference += g;
            sum += vec2(static_cast<float>((i / 4) % windowWidth), static_cast<float>((i / 4) / windowWidth));
            ++pixels;
        }
    }
    ASSERT_GT(pixels, 300) << "the ghost covers part of the view";
    EXPECT_LT(glm::length(sum / static_cast<float>(pixels) - expected), 40.0f) << "at its recorded place";
    const double shown = ghostDifference / solidDifference;
    std::printf("ghost: %d pixels, %.2f of the solid sled's difference from the snow\n", pixels, shown);
    EXPECT_GT(shown, 0.35);
    EXPECT_LT(shown, 0.75);
}
