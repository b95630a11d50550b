// frostline_assetview: pictures of the generated assets for a look, drawn in
// software from the files as the game imports them (Assimp, FreeImage).
// Run from the runtime folder:
//   frostline_assetview model <file.obj> <out.png> [yaw pitch]
//   frostline_assetview level <out.png> <eye x y z> <target x y z>
//   frostline_assetview map <out.png>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <FreeImage.h>
#include <glm/gtc/matrix_transform.hpp>

#include "tools/assetgen/LevelLayout.h"
#include "tools/assetgen/RaceRoute.h"
#include "tools/assetview/SoftwareRenderer.h"

using namespace frostline;

namespace {

struct ViewMesh {
    std::vector<glm::vec3> positions, normals;
    std::vector<glm::vec2> uvs;
    std::vector<unsigned> indices;
    SampledTexture texture;
};

/// Imports a model as the game does and loads each mesh's texture from the trimmed path.
std::vector<ViewMesh> loadModel(const std::string& path)
{
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, aiProcess_JoinIdenticalVertices | aiProcess_Triangulate |
                                                       aiProcess_GenSmoothNormals);
    std::vector<ViewMesh> meshes;
    if (!scene) {
        std::fprintf(stderr, "cannot import %s: %s\n", path.c_str(), importer.GetErrorString());
        return meshes;
    }
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* mesh = scene->mMeshes[m];
        ViewMesh view;
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            view.positions.emplace_back(mesh->mVertices[v].x, mesh->mVertices[v].y, mesh->mVertices[v].z);
            view.normals.emplace_back(mesh->mNormals[v].x, mesh->mNormals[v].y, mesh->mNormals[v].z);
            if (mesh->HasTextureCoords(0)) {
                view.uvs.emplace_back(mesh->mTextureCoords[0][v].x, mesh->mTextureCoords[0][v].y);
            }
        }
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            for (unsigned k = 0; k < 3; ++k) {
                view.indices.push_back(mesh->mFaces[f].mIndices[k]);
            }
        }
        aiString file;
        std::string texture = "models/white.jpg";
        if (aiGetMaterialTexture(scene->mMaterials[mesh->mMaterialIndex], aiTextureType_DIFFUSE, 0, &file) ==
            AI_SUCCESS) {
            const std::string text = file.C_Str();
            const auto at = text.find("models");
            texture = at == std::string::npos ? "" : text.substr(at);
        }
        view.texture = loadTexture(texture);
        meshes.push_back(std::move(view));
    }
    return meshes;
}

/// Sun from (0.4, -1, -0.5) with a cool ambient, as the level is lit.
glm::vec3 sunlit(const SampledTexture& texture, const Fragment& f)
{
    const glm::vec3 toSun = glm::normalize(glm::vec3(-0.4f, 1.0f, 0.5f));
    const glm::vec3 albedo = glm::vec3(texture.sample(f.uv));
    const float diffuse = std::max(glm::dot(f.normal, toSun), 0.0f);
    return glm::min(albedo * (glm::vec3(0.25f, 0.4f, 0.45f) + 0.8f * diffuse), glm::vec3(1.0f));
}

void draw(SoftwareRenderer& renderer, const std::vector<ViewMesh>& model, const glm::mat4& transform)
{
    for (const ViewMesh& mesh : model) {
        renderer.drawTriangles(mesh.positions, mesh.normals, mesh.uvs, mesh.indices, transform,
                               [&](const Fragment& f) { return sunlit(mesh.texture, f); });
    }
}

bool save(const SoftwareRenderer& renderer, const std::string& path)
{
    const bool saved = renderer.image().savePng(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", path.c_str());
    return saved;
}

int viewModel(const std::string& file, const std::string& out, float yaw, float pitch)
{
    const std::vector<ViewMesh> model = loadModel(file);
    glm::vec3 low(1e9f), high(-1e9f);
    for (const ViewMesh& mesh : model) {
        for (const glm::vec3& p : mesh.positions) {
            low = glm::min(low, p);
            high = glm::max(high, p);
        }
    }
    const glm::vec3 centre = (low + high) * 0.5f;
    const float radius = glm::length(high - low) * 0.5f;
    const glm::vec3 eye = centre + radius * 2.4f *
                                       glm::vec3(std::sin(glm::radians(yaw)) * std::cos(glm::radians(pitch)),
                                                 std::sin(glm::radians(pitch)),
                                                 std::cos(glm::radians(yaw)) * std::cos(glm::radians(pitch)));
    SoftwareRenderer renderer(640, 480);
    renderer.setViewProjection(glm::perspective(glm::radians(45.0f), 640.0f / 480.0f, 0.05f, 1000.0f) *
                               glm::lookAt(eye, centre, glm::vec3(0, 1, 0)));
    draw(renderer, model, glm::mat4(1.0f));
    return save(renderer, out) ? 0 : 1;
}

/// Every object of the level at its place and turn, the sled at its start.
void drawLevel(SoftwareRenderer& renderer)
{
    std::map<std::string, std::vector<ViewMesh>> models;
    auto model = [&](const std::string& path) -> const std::vector<ViewMesh>& {
        auto found = models.find(path);
        return found != models.end() ? found->second : models.emplace(path, loadModel(path)).first->second;
    };
    draw(renderer, model("models/terrain.obj"), glm::mat4(1.0f));
    for (const PlacedObject& object : levelObjects) {
        glm::mat4 m = glm::translate(glm::mat4(1.0f), object.position);
        if (object.contact == GroundContact::Start) {
            // The drawn sled: capsule centre settled on the snow, turned by yaw, lifted by 0.4.
            m = glm::translate(glm::mat4(1.0f), object.position - glm::vec3(0, sledStartDrop, 0));
            m = glm::rotate(m, glm::radians(object.turnY), glm::vec3(0, 1, 0));
            m = glm::translate(m, glm::vec3(0, 0.4f, 0));
            draw(renderer, model("Models/torso.obj"), m);
            draw(renderer, model("Models/left.obj"), m);
            draw(renderer, model("Models/right.obj"), m);
            continue;
        }
        m = glm::rotate(m, glm::radians(object.turnY), glm::vec3(0, 1, 0));
        m = glm::rotate(m, glm::radians(object.turnZ), glm::vec3(0, 0, 1));
        draw(renderer, model(object.model), m);
    }
}

int viewLevel(const std::string& out, glm::vec3 eye, glm::vec3 target)
{
    SoftwareRenderer renderer(1024, 768);
    renderer.setViewProjection(glm::perspective(glm::radians(70.0f), 1024.0f / 768.0f, 0.1f, 1000.0f) *
                               glm::lookAt(eye, target, glm::vec3(0, 1, 0)));
    drawLevel(renderer);
    return save(renderer, out) ? 0 : 1;
}

/// Top view: relief shading, slope colours (orange above 30 degrees, red above 60), contours every 5
/// units, the route in blue and the objects in black.
int viewMap(const std::string& out)
{
    const std::vector<ViewMesh> terrain = loadModel("models/terrain.obj");
    constexpr int size = 1024;
    SoftwareRenderer renderer(size, size);
    const float half = 160.0f;
    const glm::vec2 centre(20.0f, -14.0f);
    // Looking straight down with +x to the right and -z up the picture.
    renderer.setViewProjection(
        glm::ortho(centre.x - half, centre.x + half, -centre.y - half, -centre.y + half, -500.0f, 500.0f) *
        glm::lookAt(glm::vec3(0, 300, 0), glm::vec3(0, 0, 0), glm::vec3(0, 0, -1)));
    for (const ViewMesh& mesh : terrain) {
        renderer.drawTriangles(
            mesh.positions, mesh.normals, mesh.uvs, mesh.indices, glm::mat4(1.0f), [](const Fragment& f) {
                const float slope = glm::degrees(std::acos(std::clamp(f.normal.y, -1.0f, 1.0f)));
                glm::vec3 c = slope > 60   ? glm::vec3(0.9f, 0.1f, 0.1f)
                              : slope > 30 ? glm::vec3(1.0f, 0.7f, 0.4f)
                                           : glm::vec3(0.95f, 0.97f, 1.0f);
                c *= 0.55f +
                     0.45f * std::max(glm::dot(f.normal, glm::normalize(glm::vec3(-0.4f, 1.0f, 0.5f))), 0.0f);
                const float contour = std::abs(std::fmod(f.position.y + 1000.0f, 5.0f) - 2.5f);
                if (contour > 2.3f) {
                    c *= 0.6f;
                }
                return c;
            });
    }
    Image picture = renderer.image();
    auto pixel = [&](glm::vec2 xz) {
        return glm::ivec2(static_cast<int>((xz.x - centre.x + half) / (2 * half) * size),
                          static_cast<int>((xz.y - centre.y + half) / (2 * half) * size));
    };
    for (const RouteSample& s : sampleRaceRoute(0.5f)) {
        const glm::ivec2 p = pixel(s.xz);
        picture.blend(p.x, p.y, glm::vec4(0.1f, 0.3f, 1.0f, 1.0f));
        picture.blend(p.x + 1, p.y, glm::vec4(0.1f, 0.3f, 1.0f, 1.0f));
    }
    for (const PlacedObject& object : levelObjects) {
        const glm::ivec2 p = pixel({object.position.x, object.position.z});
        const glm::vec4 colour = object.contact == GroundContact::Gate     ? glm::vec4(0.9f, 0.0f, 0.6f, 1)
                                 : object.contact == GroundContact::Hovers ? glm::vec4(0.0f, 0.6f, 0.0f, 1)
                                                                           : glm::vec4(0, 0, 0, 1);
        for (int dy = -3; dy <= 3; ++dy) {
            for (int dx = -3; dx <= 3; ++dx) {
                picture.blend(p.x + dx, p.y + dy, colour);
            }
        }
    }
    const bool saved = picture.savePng(out);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", out.c_str());
    return saved ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    FreeImage_Initialise(FALSE);
    const std::string mode = argc > 1 ? argv[1] : "";
    int status = 2;
    if (mode == "model" && (argc == 4 || argc == 6)) {
        status = viewModel(argv[2], argv[3], argc == 6 ? std::atof(argv[4]) : 35.0f,
                           argc == 6 ? std::atof(argv[5]) : 20.0f);
    } else if (mode == "level" && argc == 9) {
        auto f = [&](int i) { return static_cast<float>(std::atof(argv[i])); };
        status = viewLevel(argv[2], {f(3), f(4), f(5)}, {f(6), f(7), f(8)});
    } else if (mode == "map" && argc == 3) {
        status = viewMap(argv[2]);
    } else {
        std::fprintf(
            stderr,
            "usage: %s model <file.obj> <out.png> [yaw pitch] | level <out.png> <eye xyz> <target xyz> | "
            "map <out.png>\n",
            argv[0]);
    }
    FreeImage_DeInitialise();
    return status;
}
