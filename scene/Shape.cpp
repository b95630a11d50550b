#include "scene/Shape.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>

#include <assimp/DefaultIOSystem.h>
#include <assimp/Importer.hpp>
#include <assimp/MemoryIOWrapper.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>

#include "app/FatalError.h"
#include "app/FileReading.h"
#include "physics/TriangleMesh.h"
#include "render/ShaderProgram.h"
#include "render/Texture.h"
#include "scene/MaterialLibraryCheck.h"

namespace frostline::scene {

namespace {

/// Joined identical vertices, triangles only, smooth normals where the file has none.
constexpr unsigned int importFlags =
    aiProcess_JoinIdenticalVertices | aiProcess_Triangulate | aiProcess_GenSmoothNormals;

/// Image drawn on meshes whose material names no texture, or one that does not load.
const char* const defaultTexturePath = "models/white.jpg";

/// The files the importer reads (the model and its material files), read as the game reads
/// every file: one that is a folder, cannot be read or fails while read is missing to the
/// importer, so a model is refused and a material file left out exactly as when missing.
class GameModelFiles : public Assimp::DefaultIOSystem {
public:
    /// Adds the path of every file opened to opened.
    explicit GameModelFiles(std::vector<std::string>& opened) : opened(opened) {}

    bool Exists(const char* path) const override { return isReadableFile(path); }

    Assimp::IOStream* Open(const char* path, const char* mode) override
    {
        if (std::string(mode).find_first_of("wa+") != std::string::npos) {
            return nullptr;  // the game writes no model files
        }
        opened.emplace_back(path);
        const std::optional<std::string> bytes = readWholeFile(path);
        if (!bytes) {
            return nullptr;
        }
        auto* copy = new uint8_t[bytes->size()];
        std::copy(bytes->begin(), bytes->end(), copy);
        return new Assimp::MemoryIOStream(copy, bytes->size(), true /* owns the copy */);
    }

    void Close(Assimp::IOStream* stream) override { delete stream; }

private:
    std::vector<std::string>& opened;
};

/// Stops the start with the parser's reason and the fatal message naming the model.
[[noreturn]] void refuseModel(const std::string& path, const std::string& reason)
{
    std::printf("Error parsing '%s': '%s'\n", path.c_str(), reason.c_str());
    std::fflush(stdout);
    fatalError("Could not import the model " + path);
}

/// Deletes every entry's buffers, vertex array and texture, then the list.
void releaseMeshes(MeshList* list)
{
    for (MeshEntry& entry : *list) {
        const GLuint buffers[] = {entry.positionBuffer, entry.indexBuffer, entry.normalBuffer,
                                  entry.texCoordBuffer, entry.chunkIndexBuffer};
        for (GLuint buffer : buffers) {
            if (buffer != 0) {
                glDeleteBuffers(1, &buffer);
            }
        }
        for (GLuint vertexArray : {entry.vertexArray, entry.chunkVertexArray}) {
            if (vertexArray != 0) {
                glDeleteVertexArrays(1, &vertexArray);
            }
        }
        delete entry.texture;
    }
    delete list;
}

/// While the game keeps its files: every model imported, by its path as asked for. Made
/// from the kept bytes, a second import would give the same scene.
std::map<std::string, std::shared_ptr<const aiScene>> keptScenes;

std::shared_ptr<MeshList> newMeshList() { return std::shared_ptr<MeshList>(new MeshList, releaseMeshes); }

/// Generates a buffer, binds it as GL_ARRAY_BUFFER and uploads size bytes.
GLuint uploadArrayBuffer(const void* data, size_t size)
{
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(size), data, GL_STATIC_DRAW);
    return buffer;
}

/// Points the named attribute of program at the bound array buffer (components floats
/// a vertex). A program that does not use the attribute is left alone.
void pointAttribute(const ShaderProgram* program, const char* name, GLint components)
{
    const GLint location = glGetAttribLocation(program->program, name);
    if (location < 0) {
        return;
    }
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, 0, nullptr);
}

/// The diffuse texture of a material, or the default image.
Texture* chooseTexture(const aiScene& scene, unsigned int materialIndex)
{
    aiString materialPath;
    const bool hasTexture = materialIndex < scene.mNumMaterials &&
                            aiGetMaterialTexture(scene.mMaterials[materialIndex], aiTextureType_DIFFUSE, 0,
                                                 &materialPath) == AI_SUCCESS;
    if (!hasTexture) {
        std::cout << "No texture found! Falling back to default texture" << std::endl;
        auto* texture = new Texture(defaultTexturePath);
        texture->load();
        return texture;
    }
    return loadTextureOrDefault(trimTexturePath(materialPath.C_Str()));
}

}  // namespace

Texture* loadTextureOrDefault(const std::string& path)
{
    auto* texture = new Texture(path);
    if (texture->load()) {
        return texture;
    }
    std::cout << "Failed to load texture: " << path << "! Falling back to default texture" << std::endl;
    delete texture;
    texture = new Texture(defaultTexturePath);
    texture->load();
    return texture;
}

std::string trimTexturePath(const std::string& materialPath)
{
    const size_t start = materialPath.find("models");
    const std::string trimmed = start == std::string::npos ? std::string() : materialPath.substr(start);
    return trimmed.size() <= 1023 ? trimmed : materialPath;
}

Shape::Shape(ShaderProgram* program, ShaderProgram* motionBlurProgram, const std::string& modelPath)
    : Shape(program, motionBlurProgram)
{
    const std::shared_ptr<const aiScene> scene = importModel(modelPath);
    buildMeshes(*scene);
}

Shape::Shape(ShaderProgram* program, ShaderProgram* motionBlurProgram)
    : program(program), motionBlurProgram(motionBlurProgram), meshes(newMeshList())
{
    colorTextureLocation = glGetUniformLocation(program->program, "colorTexture");
}

Shape::~Shape() = default;

std::shared_ptr<const aiScene> Shape::importModel(const std::string& path)
{
    if (!filesKept()) {
        keptScenes.clear();
    } else if (const auto kept = keptScenes.find(path); kept != keptScenes.end()) {
        return kept->second;
    }
    std::cout << "\nImporting file: " << path << std::endl;
    // A material file the importer would crash on is refused before it reads it.
    const std::string materialFault = materialLibraryFault(path);
    if (!materialFault.empty()) {
        refuseModel(path, materialFault);
    }
    std::vector<std::string> filesRead{path};  // (the check above reads the model)
    Assimp::Importer importer;
    importer.SetIOHandler(new GameModelFiles(filesRead));  // the importer owns it
    importer.ReadFile(path, importFlags);
    // Taking the scene away from the importer also clears its error text: keep it first.
    const std::string error = importer.GetErrorString();
    std::shared_ptr<const aiScene> scene(importer.GetOrphanedScene());
    if (!scene) {
        refuseModel(path, error);
    }
    // Every user draws and measures the first mesh: a file without one is as broken as an unreadable one.
    if (scene->mNumMeshes == 0) {
        fatalError("The model " + path + " holds no mesh");
    }
    if (filesKept()) {
        // From now on the scene is what is kept of the model's files.
        keptScenes.emplace(path, scene);
        for (const std::string& file : filesRead) {
            forgetKeptFile(file);
        }
    }
    return scene;
}

void Shape::buildChunks(MeshEntry& entry, const aiMesh& mesh, std::vector<std::uint32_t> indices) const
{
    std::vector<vec3> positions(mesh.mNumVertices);
    for (unsigned int v = 0; v < mesh.mNumVertices; ++v) {
        positions[v] = vec3(mesh.mVertices[v].x, mesh.mVertices[v].y, mesh.mVertices[v].z);
    }
    entry.chunks = sortIntoChunks(positions, indices, chunkCellsPerSide);

    // A second vertex array over the same vertex buffers, with the sorted indices.
    buildVertexArray(entry, indices, entry.chunkVertexArray, entry.chunkIndexBuffer);
}

void Shape::buildVertexArray(const MeshEntry& entry, const std::vector<std::uint32_t>& indices,
                             GLuint& vertexArray, GLuint& indexBuffer) const
{
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint32_t)),
                 indices.data(), GL_STATIC_DRAW);
    if (entry.positionBuffer != 0) {
        glBindBuffer(GL_ARRAY_BUFFER, entry.positionBuffer);
        pointAttribute(program, "vPosition", 3);
        pointAttribute(motionBlurProgram, "vPosition", 3);
    }
    if (entry.normalBuffer != 0) {
        glBindBuffer(GL_ARRAY_BUFFER, entry.normalBuffer);
        pointAttribute(program, "vNormal", 3);
    }
    glBindBuffer(GL_ARRAY_BUFFER, entry.texCoordBuffer);
    pointAttribute(program, "vTexCoord", 2);
    glBindVertexArray(0);
}

void Shape::buildMeshes(const aiScene& scene)
{
    std::cout << "Meshes: " << scene.mNumMeshes << "\n"
              << "Materials: " << scene.mNumMaterials << "\n"
              << "Textures: " << scene.mNumTextures << std::endl;

    for (unsigned int m = 0; m < scene.mNumMeshes; ++m) {
        const aiMesh& mesh = *scene.mMeshes[m];
        std::cout << "name: " << mesh.mName.length << "\n"
                  << "Faces: " << mesh.mNumFaces << "\n"
                  << "Vertices: " << mesh.mNumVertices << std::endl;

        MeshEntry entry;
        entry.vertexCount = mesh.mNumVertices;
        entry.faceCount = mesh.mNumFaces;
        entry.materialIndex = mesh.mMaterialIndex;

        // Three indices a face; a point or line left by triangulation becomes a
        // degenerate triangle (its last index repeated), which draws nothing.
        std::vector<std::uint32_t> indices;
        indices.reserve(static_cast<size_t>(mesh.mNumFaces) * 3);
        for (unsigned int f = 0; f < mesh.mNumFaces; ++f) {
            const aiFace& face = mesh.mFaces[f];
            for (unsigned int i = 0; i < 3; ++i) {
                indices.push_back(face.mNumIndices == 0 ? 0
                                                        : face.mIndices[std::min(i, face.mNumIndices - 1)]);
            }
        }

        const size_t vertexBytes = static_cast<size_t>(mesh.mNumVertices) * 3 * sizeof(float);
        if (mesh.HasPositions() && mesh.mNumVertices > 0) {
            entry.boxMin = entry.boxMax = vec3(mesh.mVertices[0].x, mesh.mVertices[0].y, mesh.mVertices[0].z);
            for (unsigned int v = 1; v < mesh.mNumVertices; ++v) {
                const vec3 p(mesh.mVertices[v].x, mesh.mVertices[v].y, mesh.mVertices[v].z);
                entry.boxMin = glm::min(entry.boxMin, p);
                entry.boxMax = glm::max(entry.boxMax, p);
            }
            entry.positionBuffer = uploadArrayBuffer(mesh.mVertices, vertexBytes);
        }
        if (mesh.HasNormals() && mesh.mNumVertices > 0) {
            entry.normalBuffer = uploadArrayBuffer(mesh.mNormals, vertexBytes);
        }

        // Texture coordinates exist for every mesh: (0, 0) where the file has none.
        std::vector<float> texCoords(static_cast<size_t>(mesh.mNumVertices) * 2, 0.0f);
        if (mesh.HasTextureCoords(0)) {
            for (unsigned int v = 0; v < mesh.mNumVertices; ++v) {
                texCoords[2 * v] = mesh.mTextureCoords[0][v].x;
                texCoords[2 * v + 1] = mesh.mTextureCoords[0][v].y;
            }
        }
        entry.texCoordBuffer = uploadArrayBuffer(texCoords.data(), texCoords.size() * sizeof(float));
        buildVertexArray(entry, indices, entry.vertexArray, entry.indexBuffer);

        entry.texture = chooseTexture(scene, entry.materialIndex);
        if (mesh.HasPositions() && mesh.mNumFaces >= chunkedMeshMinFaces) {
            buildChunks(entry, mesh, indices);
        }
        if (mesh.HasPositions() && (mesh.mPrimitiveTypes & aiPrimitiveType_TRIANGLE)) {
            entry.surface = TriangleMesh::build(mesh);
        }
        meshes->push_back(entry);
    }

    // The bounding sphere is measured on the first mesh only, about the model origin.
    boundingRadius = 0.0f;
    if (scene.mNumMeshes > 0) {
        const aiMesh& first = *scene.mMeshes[0];
        for (unsigned int v = 0; v < first.mNumVertices; ++v) {
            const aiVector3D& p = first.mVertices[v];
            boundingRadius = std::max(boundingRadius, length(vec3(p.x, p.y, p.z)));
        }
    }
}

bool meshesBox(const Shape& shape, vec3& boxMin, vec3& boxMax)
{
    bool found = false;
    for (const MeshEntry& entry : *shape.meshes) {
        if (entry.positionBuffer == 0) {
            continue;
        }
        boxMin = found ? glm::min(boxMin, entry.boxMin) : entry.boxMin;
        boxMax = found ? glm::max(boxMax, entry.boxMax) : entry.boxMax;
        found = true;
    }
    return found;
}

Actor* Shape::getActor() { return nullptr; }

void Shape::update(float /*dt*/) {}

bool Shape::isOpaque() const
{
    return std::all_of(meshes->begin(), meshes->end(),
                       [](const MeshEntry& entry) { return entry.texture && entry.texture->opaque; });
}

void Shape::draw()
{
    for (const MeshEntry& entry : *meshes) {
        drawMesh(entry, nullptr);
    }
    glBindVertexArray(0);
}

void Shape::drawInView(const mat4& mvp)
{
    // A mesh without chunks is drawn whole by drawMesh itself.
    for (const MeshEntry& entry : *meshes) {
        drawMesh(entry, &mvp);
    }
    glBindVertexArray(0);
}

void Shape::drawMesh(const MeshEntry& entry, const mat4* mvp) const
{
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(entry.texture->target, entry.texture->textureName);
    glUniform1i(colorTextureLocation, 0);
    if (!mvp || entry.chunks.empty()) {
        glBindVertexArray(entry.vertexArray);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(entry.faceCount * 3), GL_UNSIGNED_INT, nullptr);
        return;
    }
    // One draw for each run of neighbouring chunks in view; each chunk is tested once.
    glBindVertexArray(entry.chunkVertexArray);
    std::uint32_t first = 0;
    std::uint32_t end = 0;
    const auto drawRun = [&first, &end] {
        if (end > first) {
            glDrawElements(
                GL_TRIANGLES, static_cast<GLsizei>(end - first), GL_UNSIGNED_INT,
                reinterpret_cast<const void*>(static_cast<std::uintptr_t>(first) * sizeof(std::uint32_t)));
        }
        first = end = 0;
    };
    for (const MeshChunk& chunk : entry.chunks) {
        if (boxOutsideView(*mvp, chunk.boxMin, chunk.boxMax)) {
            drawRun();
            continue;
        }
        if (end == first || chunk.firstIndex != end) {
            drawRun();
            first = end = chunk.firstIndex;
        }
        end += chunk.indexCount;
    }
    drawRun();
}

void Shape::drawDepth()
{
    // The vertex arrays already hold the position attribute at the depth program's
    // location (0), so nothing is enabled here: enabling attributes without a
    // vertex array bound is an error in a core context.
    for (const MeshEntry& entry : *meshes) {
        glBindVertexArray(entry.vertexArray);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(entry.faceCount * 3), GL_UNSIGNED_INT, nullptr);
    }
    glBindVertexArray(0);
}

}  // namespace frostline::scene
