// Fuzz target: a model file of the level, malformed. It goes the way the level
// loads its scenery: import with the game's post-processing, meshes and
// textures onto the GPU, a box body and a cooked triangle-mesh body put into
// the physics scene and moved. Every input must either load or end in one of
// the import's fatal messages naming the file; a crash, a sanitizer report or
// any other fatal message is a fault. Runs in the runtime folder (shaders and
// the default texture) under a display.
// An input is the .obj text, optionally followed by a NUL byte and the text of
// a material file, which the model then names: texture paths get fuzzed too.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <fcntl.h>
#include <sanitizer/lsan_interface.h>
#include <unistd.h>

#include "physics/PhysicsWorld.h"
#include "render/ShaderProgram.h"
#include "scene/MaterialLibraryCheck.h"
#include "scene/StaticShape.h"
#include "tests/fuzz/FatalTrap.h"
#include "tests/support/GlTestContext.h"

namespace {

namespace fs = std::filesystem;
using namespace frostline;

std::string modelPath;
std::string materialPath;
ShaderProgram* program = nullptr;
Material* material = nullptr;

/// The messages with which the game may refuse a model at modelPath.
bool isImportRefusal(const std::string& message)
{
    return message == "Could not import the model " + modelPath ||
           message == "The model " + modelPath + " holds no mesh" ||
           message == "Could not build the collision mesh of " + modelPath;
}

/// Whether Assimp reads the model with the post-processing the game asks for.
bool assimpAccepts()
{
    Assimp::Importer probe;
    return probe.ReadFile(modelPath, aiProcess_JoinIdenticalVertices | aiProcess_Triangulate |
                                         aiProcess_GenSmoothNormals) != nullptr;
}

/// Builds one static shape of the model with the given body and places it in the scene.
void loadAsScenery(scene::CollisionKind kind)
{
    scene::StaticShape shape(program, program, modelPath, material, "rock", kind);
    PhysicsWorld::instance().scene->addActor(*shape.getActor());
    shape.setPosition(-65.0f, 117.0f, 41.0f);
    shape.rotateY(10.0f);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    // The model sits beside links to the level's material files, so that inputs
    // naming them reach the texture loading (texture paths are relative to here).
    char folder[] = "/tmp/frostline-model-fuzz-XXXXXX";
    if (!::mkdtemp(folder)) {
        std::perror("mkdtemp");
        std::abort();
    }
    for (const fs::directory_entry& entry : fs::directory_iterator("models")) {
        if (entry.path().extension() == ".mtl") {
            fs::create_symlink(fs::absolute(entry.path()), fs::path(folder) / entry.path().filename());
        }
    }
    modelPath = std::string(folder) + "/model.obj";
    materialPath = std::string(folder) + "/fuzz.mtl";

    if (!test::ensureGlContext()) {
        std::abort();
    }
    program = new ShaderProgram("Shader/basic.vert", "Shader/basic.frag");
    PhysicsWorld::instance().initPhysicsScene();
    material = PhysicsWorld::instance().physics->findOrCreateMaterial(0.5f, 0.5f, 0.5f);

    // The import log goes to standard output: keep the run's own report readable.
    // A texture path may name standard input: let it read nothing rather than wait.
    const int quiet = ::open("/dev/null", O_RDWR);
    ::dup2(quiet, STDOUT_FILENO);
    ::dup2(quiet, STDIN_FILENO);
    ::close(quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    {
        std::ofstream model(modelPath, std::ios::binary | std::ios::trunc);
        if (split != std::string::npos) {
            model << "mtllib fuzz.mtl\n";
            std::ofstream(materialPath, std::ios::binary | std::ios::trunc) << input.substr(split + 1);
        }
        model << input.substr(0, split);
    }
    // Assimp's OBJ importer leaks the mesh it was building when it refuses a file
    // (for example "OBJ: vertex index out of range"). That leak is the library's,
    // and the game stops at such a file anyway: refused files are loaded with leak
    // checking off, while every model Assimp accepts is checked in full.
    // A material file the importer would crash on never reaches it: the game must
    // refuse the model, and the probe below must not read it either.
    if (!scene::materialLibraryFault(modelPath).empty()) {
        try {
            loadAsScenery(scene::CollisionKind::Box);
        } catch (const fuzz::FatalExit& refusal) {
            if (isImportRefusal(refusal.message)) {
                return 0;
            }
            std::fprintf(stderr, "unexpected fatal message: '%s'\n", refusal.message.c_str());
        }
        std::fprintf(stderr, "the game did not refuse a model with a faulty material file\n");
        std::abort();
    }
    bool accepted = false;
    {
        __lsan::ScopedDisabler libraryLeaks;
        accepted = assimpAccepts();
    }
    try {
        if (accepted) {
            loadAsScenery(scene::CollisionKind::Box);
            loadAsScenery(scene::CollisionKind::TriangleMesh);
        } else {
            __lsan::ScopedDisabler libraryLeaks;
            loadAsScenery(scene::CollisionKind::Box);
            std::fprintf(stderr, "the game loaded a model that Assimp refuses\n");
            std::abort();
        }
    } catch (const fuzz::FatalExit& refusal) {
        if (!isImportRefusal(refusal.message)) {
            std::fprintf(stderr, "unexpected fatal message: '%s'\n", refusal.message.c_str());
            std::abort();
        }
    }
    return 0;
}
