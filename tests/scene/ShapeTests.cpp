#include "scene/Shape.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "render/ShaderProgram.h"
#include "render/Texture.h"
#include "tests/scene/TestModels.h"
#include "tests/support/GlTestContext.h"

using namespace frostline;
using frostline::test::SceneFolder;

namespace {

/// The game's two shape programs, in a folder holding the test models.
class ShapeTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(test::ensureGlContext(), nullptr);
        basic = std::make_unique<ShaderProgram>("Shader/basic.vert", "Shader/basic.frag");
        motionBlur = std::make_unique<ShaderProgram>("Shader/motionblur.vert", "Shader/motionblur.frag");
    }

    std::unique_ptr<scene::Shape> load(const std::string& path)
    {
        return std::make_unique<scene::Shape>(basic.get(), motionBlur.get(), path);
    }

    /// Builds a shape from path and returns what it printed.
    std::string importLog(const std::string& path)
    {
        testing::internal::CaptureStdout();
        load(path);
        return testing::internal::GetCapturedStdout();
    }

    SceneFolder folder;
    std::unique_ptr<ShaderProgram> basic;
    std::unique_ptr<ShaderProgram> motionBlur;
};

/// Expects the lines to appear in the text in this order.
void expectInOrder(const std::string& text, std::initializer_list<std::string> lines)
{
    size_t at = 0;
    for (const std::string& line : lines) {
        const size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\nin:\n" << text;
        at = found + line.size();
    }
}

}  // namespace

TEST_F(ShapeTest, OneMeshModelWithoutTextureLogsItsImportInOrder)
{
    // The console shows the model's counts, then the fallback to the white texture.
    const std::string path = folder.write("plane.obj", test::planeObj(1.0f, "snowy"));
    const std::string log = importLog(path);
    EXPECT_EQ(log.rfind("\nImporting file: plane.obj\n", 0), 0u) << log;
    expectInOrder(
        log, {"Meshes: 1\n", "Materials: ", "Textures: 0\n", "name: 5\n", "Faces: 2\n", "Vertices: 4\n",
              "No texture found! Falling back to default texture\n", "Loading Texture: models/white.jpg\n"});
}

TEST_F(ShapeTest, TwoMeshesGiveTwoEntriesAndOnlyTheFirstSetsTheRadius)
{
    // A rock with a far-away second part: the bounding sphere is the rock's alone.
    const std::string reach =
        "v 3 4 0\nv 2.9 4 0\nv 3 3.9 0\nvt 0 0\nvn 0 0 1\nf -3/-1/-1 -2/-1/-1 -1/-1/-1\n";
    const std::string obj = test::cubeObj(0.5f, vec3(0.0f), "rock") + reach +
                            test::cubeObj(1.0f, vec3(100.0f, 0.0f, 0.0f), "far");
    const auto shape = load(folder.write("rock.obj", obj));

    ASSERT_EQ(shape->meshes->size(), 2u);
    EXPECT_EQ((*shape->meshes)[0].faceCount, 13u);
    EXPECT_EQ((*shape->meshes)[1].faceCount, 12u);
    EXPECT_FLOAT_EQ(shape->boundingRadius, 5.0f);
    for (const scene::MeshEntry& entry : *shape->meshes) {
        EXPECT_NE(entry.texture, nullptr);
        EXPECT_TRUE(glIsVertexArray(entry.vertexArray));
        EXPECT_TRUE(glIsBuffer(entry.positionBuffer));
        EXPECT_TRUE(glIsBuffer(entry.normalBuffer));
        EXPECT_TRUE(glIsBuffer(entry.texCoordBuffer));
        EXPECT_TRUE(glIsBuffer(entry.indexBuffer));
    }
}

TEST_F(ShapeTest, MaterialTexturePathsKeepTheModelsFolder)
{
    // An artist's absolute path still finds the texture in the game's models folder.
    EXPECT_EQ(scene::trimTexturePath("C:/art/models/rock.jpg"), "models/rock.jpg");
    EXPECT_EQ(scene::trimTexturePath("textures/rock.jpg"), "");
    EXPECT_EQ(scene::trimTexturePath("models/a/models/b.png"), "models/a/models/b.png");
    const std::string longPath = "x/models/" + std::string(1100, 'a') + ".png";
    EXPECT_EQ(scene::trimTexturePath(longPath), longPath);

    // A model whose material names an image under models/ draws that image; a path
    // without "models" falls back to white with the failure named.
    folder.writeImage("models/rock_grey.png", 128, 128, 128);
    folder.write("rock.mtl", "newmtl stone\nKd 1 1 1\nmap_Kd C:/art/models/rock_grey.png\n"
                             "newmtl lost\nKd 1 1 1\nmap_Kd textures/rock.jpg\n");
    const std::string cube = test::cubeObj(1.0f);
    const std::string textured = folder.write("stone.obj", "mtllib rock.mtl\nusemtl stone\n" + cube);
    const std::string lost = folder.write("lost.obj", "mtllib rock.mtl\nusemtl lost\n" + cube);

    testing::internal::CaptureStdout();
    const auto stone = load(textured);
    const std::string stoneLog = testing::internal::GetCapturedStdout();
    EXPECT_NE(stoneLog.find("Loading Texture: models/rock_grey.png\n"), std::string::npos) << stoneLog;
    EXPECT_EQ(stoneLog.find("Falling back"), std::string::npos) << stoneLog;
    EXPECT_EQ((*stone->meshes)[0].texture->path, "models/rock_grey.png");

    const std::string lostLog = importLog(lost);
    expectInOrder(lostLog,
                  {"Loading Texture: \n", "Failed to load texture: ! Falling back to default texture\n",
                   "Loading Texture: models/white.jpg\n"});
}

TEST_F(ShapeTest, ShapesOfOneModelOwnTheirBuffersWhileCopiesShareThem)
{
    // Three rocks from one file upload three times; copies of a rock upload nothing.
    const std::string path = folder.write("cube.obj", test::cubeObj(1.0f));
    auto first = load(path);
    auto second = load(path);
    auto third = load(path);
    std::set<GLuint> arrays;
    std::set<Texture*> textures;
    for (const auto* shape : {first.get(), second.get(), third.get()}) {
        ASSERT_EQ(shape->meshes->size(), 1u);
        arrays.insert((*shape->meshes)[0].vertexArray);
        textures.insert((*shape->meshes)[0].texture);
    }
    EXPECT_EQ(arrays.size(), 3u);
    EXPECT_EQ(textures.size(), 3u);

    const scene::MeshEntry entry = (*first->meshes)[0];
    auto copy = std::make_unique<scene::Shape>(*first);
    EXPECT_EQ(copy->meshes.get(), first->meshes.get());
    EXPECT_EQ(copy->boundingRadius, first->boundingRadius);

    // The original goes first: the copy still draws from live buffers.
    first.reset();
    EXPECT_TRUE(glIsVertexArray(entry.vertexArray));
    EXPECT_TRUE(glIsBuffer(entry.positionBuffer));
    EXPECT_NE(std::find(textureRegistry.begin(), textureRegistry.end(), entry.texture),
              textureRegistry.end());

    // The last holder releases buffers, vertex array and texture.
    const GLuint textureName = entry.texture->textureName;
    copy.reset();
    EXPECT_FALSE(glIsVertexArray(entry.vertexArray));
    EXPECT_FALSE(glIsBuffer(entry.positionBuffer));
    EXPECT_FALSE(glIsBuffer(entry.indexBuffer));
    EXPECT_FALSE(glIsTexture(textureName));
    EXPECT_EQ(std::find(textureRegistry.begin(), textureRegistry.end(), entry.texture),
              textureRegistry.end());
}

TEST_F(ShapeTest, UnreadableOrEmptyModelsStopTheStartWithTheFileNamed)
{
    // A missing file: the parser's complaint, then the fatal message naming it.
    EXPECT_FATAL_EXIT(load("models/nothere.obj"),
                      "Error parsing 'models/nothere.obj': '.*'\n.*models/nothere.obj");
    // A file with vertices but no faces holds no mesh to draw.
    const std::string empty = folder.write("empty.obj", "o nothing\nv 0 0 0\nv 1 0 0\n");
    EXPECT_FATAL_EXIT(load(empty), "empty.obj");
}

TEST_F(ShapeTest, MaterialFileWithATextureBeforeItsFirstMaterialIsRefusedBeforeTheImport)
{
    // The importer would crash on this file: the start stops with the usual message.
    const std::string stray = "map_Kd models/white.jpg\nnewmtl plain\nKd 1 1 1\n";
    folder.write("models/stray.mtl", stray);
    const std::string model = folder.write("models/stray.obj", "mtllib stray.mtl\n" + test::planeObj(1.0f));
    EXPECT_FATAL_EXIT(load(model),
                      "Error parsing 'models/stray.obj': 'material file models/stray.mtl: line 1 "
                      "'map_Kd models/white.jpg' comes before its first newmtl'\n.*"
                      "Could not import the model models/stray.obj");

    // A named file that is missing sends the importer to the model's own .mtl: checked too.
    const std::string fallback =
        folder.write("models/fallback.obj", "mtllib gone.mtl\n" + test::planeObj(1.0f));
    folder.write("models/fallback.mtl", "  bump models/white.jpg\nnewmtl plain\n");
    EXPECT_FATAL_EXIT(load(fallback), "Could not import the model models/fallback.obj");

    // The importer ends a line at NUL, form feed or carriage return as well: a
    // statement hidden behind one is still found, with its line counted right.
    const std::string hidden =
        folder.write("models/hidden.obj", "mtllib hidden.mtl\n" + test::planeObj(1.0f));
    folder.write("models/hidden.mtl",
                 std::string("# made by hand\r\n\0map_Kd models/white.jpg\nnewmtl plain\n", 54));
    EXPECT_FATAL_EXIT(load(hidden),
                      "line 3 'map_Kd models/white.jpg'.*Could not import the model models/hidden.obj");

    // Comments and blank lines above the first material are fine, and so is a
    // material file that is missing altogether.
    folder.write("models/commented.mtl", "# palette\n\n   \r\nnewmtl plain\nmap_Kd models/white.jpg\n");
    const std::string commented = folder.write("models/commented.obj",
                                               "mtllib   commented.mtl  \n" + test::planeObj(1.0f));
    EXPECT_EQ(load(commented)->meshes->size(), 1u);
    const std::string missing =
        folder.write("models/missing.obj", "mtllib missing.mtl\n" + test::planeObj(1.0f));
    EXPECT_EQ(load(missing)->meshes->size(), 1u);
}

TEST_F(ShapeTest, AShapeIsOpaqueOnlyWhenEveryMeshTextureIs)
{
    folder.writeImage("models/ice.png", 200, 220, 255, 128);
    folder.write("models/parts.mtl", "newmtl plain\nKd 1 1 1\nnewmtl ice\nKd 1 1 1\nmap_Kd models/ice.png\n");
    const std::string plain = folder.write("models/plain.obj", test::cubeObj(1.0f));
    const std::string icy = folder.write("models/icy.obj", "mtllib parts.mtl\nusemtl plain\n" +
                                                               test::cubeObj(1.0f, vec3(0.0f), "block") +
                                                               "usemtl ice\n" + test::planeObj(1.0f, "pane"));
    EXPECT_TRUE(load(plain)->isOpaque());
    const auto mixed = load(icy);
    ASSERT_EQ(mixed->meshes->size(), 2u);
    EXPECT_FALSE(mixed->isOpaque());
}
