// frostline_assetgen: writes every model and picture the game reads into one
// folder (the runtime folder's "models/") and, when a second folder is given,
// every sound into that one (the runtime folder's "sounds/"). Deterministic:
// the same sources give the same files.
// Usage: frostline_assetgen <models folder> [<sounds folder>]
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include <FreeImage.h>

#include "tools/assetgen/GateSigns.h"
#include "tools/assetgen/Models.h"
#include "tools/assetgen/ObjWriter.h"
#include "tools/assetgen/Palette.h"
#include "tools/assetgen/RaceRoute.h"
#include "tools/assetgen/Sounds.h"
#include "tools/assetgen/Surroundings.h"
#include "tools/assetgen/TerrainShaper.h"
#include "tools/assetgen/Textures.h"

using namespace frostline;

namespace {

const std::vector<ObjMaterial> paletteOnly = {{paletteMaterial, "models/palette.png"}};

bool writeModel(const std::string& folder, const std::string& file, const std::vector<Mesh>& meshes,
                const std::vector<ObjMaterial>& materials = paletteOnly)
{
    std::size_t triangles = 0;
    for (const Mesh& mesh : meshes) {
        triangles += mesh.indices.size() / 3;
    }
    const glm::vec3 box = meshes.front().halfExtents();
    std::printf("%-20s %6zu triangles, body half extents (%.2f, %.2f, %.2f), radius %.2f\n", file.c_str(),
                triangles, box.x, box.y, box.z, meshes.front().radius());
    return writeObjModel(folder, file, meshes, materials);
}

bool writeImage(const std::string& folder, const std::string& file, const Image& image)
{
    const std::string path = folder + "/" + file;
    const bool jpeg = file.size() > 4 && file.substr(file.size() - 4) == ".jpg";
    return jpeg ? image.saveJpg(path) : image.savePng(path);
}

/// Steepest slope (degrees) of the surface within a sled's width of the route, and the steepest descent along
/// it.
void reportRoute(const TerrainShaper& terrain)
{
    float steepest = 0.0f, steepestGrade = 0.0f, steepestClimb = 0.0f;
    glm::vec2 where(0.0f);
    const std::vector<RouteSample> route = sampleRaceRoute(1.0f);
    for (std::size_t i = 0; i < route.size(); ++i) {
        const RouteSample& s = route[i];
        const glm::vec2 side(-s.direction.y, s.direction.x);
        for (float offset : {-2.0f, 0.0f, 2.0f}) {
            const glm::vec2 p = s.xz + side * offset;
            const float e = 0.5f;
            const float dx = (terrain.height(p.x + e, p.y) - terrain.height(p.x - e, p.y)) / (2 * e);
            const float dz = (terrain.height(p.x, p.y + e) - terrain.height(p.x, p.y - e)) / (2 * e);
            const float slope = glm::degrees(std::atan(std::sqrt(dx * dx + dz * dz)));
            if (slope > steepest) {
                steepest = slope;
                where = p;
            }
        }
        if (i > 0) {
            const float rise = terrain.height(s.xz.x, s.xz.y) -
                               terrain.height(route[i - 1].xz.x, route[i - 1].xz.y);
            const float grade = glm::degrees(std::atan(rise / glm::length(s.xz - route[i - 1].xz)));
            steepestGrade = std::min(steepestGrade, grade);
            steepestClimb = std::max(steepestClimb, grade);
        }
    }
    std::printf(
        "route: %.0f units, steepest slope near it %.1f deg at (%.1f, %.1f), steepest descent %.1f deg, "
        "steepest climb %.1f deg\n",
        route.back().distance, steepest, where.x, where.y, -steepestGrade, steepestClimb);
}

/// The pictures: the fallback, the colour atlas, the snow, the billboard, the font and the
/// panels (the result banners also as a gamepad's).
bool writePictures(const std::string& folder)
{
    bool ok = writeImage(folder, "white.jpg", makeWhiteTexture());
    ok &= writeImage(folder, "palette.png", paletteImage());
    ok &= writeImage(folder, "snow.png", makeSnowTexture());
    ok &= writeImage(folder, "billboard.png", makeBillboardTexture());
    ok &= writeImage(folder, "font1.png", makeFontImage());
    ok &= writeImage(folder, "help.png", makeHelpPanel());
    ok &= writeImage(folder, "wintext.png", makeWinPanel());
    ok &= writeImage(folder, "failtext.png", makeFailPanel());
    ok &= writeImage(folder, "wintext_pad.png", makeWinPanel(true));
    ok &= writeImage(folder, "failtext_pad.png", makeFailPanel(true));
    return ok;
}

/// The models of the scenery, the gate, the pick-ups and the sled.
bool writeModels(const std::string& folder)
{
    bool ok = writeModel(folder, "rock.obj", makeRock());
    ok &= writeModel(folder, "tree.obj", makeTree());
    ok &= writeModel(folder, "tree_fallen.obj", makeFallenTree());
    ok &= writeModel(folder, "tree_stump.obj", makeStump());
    ok &= writeModel(folder, "billboard.obj", makeBillboard(),
                     {{paletteMaterial, "models/palette.png"}, {billboardMaterial, "models/billboard.png"}});
    ok &= writeModel(folder, "checkpoint.obj", makeCheckpoint());
    ok &= writeModel(folder, "cow.obj", makeCow());
    ok &= writeModel(folder, "snowflake.obj", makeSnowflake());
    ok &= writeModel(folder, "torso.obj", makeTorso());
    ok &= writeModel(folder, "left.obj", makeLeg(true));
    ok &= writeModel(folder, "right.obj", makeLeg(false));
    return ok;
}

/// The gates' number signs: a model for each number, whose faces show the plain look's
/// picture, and a picture for each number and look.
bool writeGateSigns(const std::string& folder)
{
    bool ok = true;
    for (int number = 1; number <= gateSignCount; ++number) {
        const std::string name = gateSignName(number, GateLook::Plain);
        ok &= writeModel(folder, name + ".obj", makeGateSign(number),
                         {{paletteMaterial, "models/palette.png"}, {name, "models/" + name + ".png"}});
        for (GateLook look : {GateLook::Plain, GateLook::Next, GateLook::Passed}) {
            ok &= writeImage(folder, gateSignName(number, look) + ".png", makeGateSignImage(number, look));
        }
    }
    return ok;
}

/// The terrain, shaped around all of the level's places: first the course (the sled's
/// ground), then the land around it, which nothing in the race can reach.
bool writeTerrain(const std::string& folder)
{
    const TerrainShaper terrain;
    const Mesh course = terrain.buildMesh("snow");
    const Surroundings surroundings(terrain, course);
    const Mesh banks = surroundings.buildBanks("snow");
    bool ok = writeImage(folder, "mountains.png", surroundings.mountainTexture());
    ok &= writeModel(folder, "terrain.obj",
                     {course, banks, surroundings.buildForest(course, banks), surroundings.buildMountains()},
                     {{"snow", "models/snow.png"}, {paletteMaterial, "models/palette.png"},
                      {mountainMaterial, "models/mountains.png"}});
    std::printf("terrain: %zu anchors\n", terrain.anchors().size());
    reportRoute(terrain);
    return ok;
}

/// Every sound of the game.
bool writeSounds(const std::string& folder)
{
    std::filesystem::create_directories(folder);
    bool ok = true;
    for (const SoundClip& clip : makeSounds()) {
        ok &= writeSound(folder, clip);
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <models folder> [<sounds folder>]\n", argv[0]);
        return 2;
    }
    const auto started = std::chrono::steady_clock::now();
    const std::string folder = argv[1];
    std::filesystem::create_directories(folder);

    FreeImage_Initialise(FALSE);
    bool ok = writePictures(folder);
    ok &= writeModels(folder);
    ok &= writeGateSigns(folder);
    ok &= writeTerrain(folder);
    FreeImage_DeInitialise();
    if (argc == 3) {
        ok &= writeSounds(argv[2]);
    }

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("assets %s in %.2f s\n", ok ? "written" : "FAILED", seconds);
    return ok ? 0 : 1;
}
