// Every drawable object of the scene: meshes imported from a model file, each
// with its own GPU buffers, vertex array and diffuse texture, drawn fully in the
// colour pass or as bare geometry in the shadow depth pass.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <GL/glew.h>
#include <assimp/scene.h>

#include "scene/MeshChunks.h"
#include "scene/SceneObject.h"

namespace frostline {
class ShaderProgram;
class Texture;
class Actor;
class TriangleMesh;
}  // namespace frostline

namespace frostline::scene {

/// One imported mesh on the GPU. The names are released with the list that holds them.
struct MeshEntry {
    std::uint32_t vertexCount = 0;    ///< vertices of the mesh
    std::uint32_t faceCount = 0;      ///< triangles of the mesh
    std::uint32_t materialIndex = 0;  ///< material of the mesh in the imported scene
    Texture* texture = nullptr;       ///< diffuse texture; never null after the build
    GLuint vertexArray = 0;           ///< vertex array of the mesh
    GLuint positionBuffer = 0;        ///< positions, 3 floats a vertex (0 when none)
    GLuint indexBuffer = 0;           ///< 32-bit triangle indices, 3 a face
    GLuint normalBuffer = 0;          ///< normals, 3 floats a vertex (0 when none)
    GLuint texCoordBuffer = 0;        ///< texture coordinates, 2 floats a vertex
    vec3 boxMin{0.0f};                ///< model-space box around the mesh's vertices
    vec3 boxMax{0.0f};
    /// A large mesh's triangles once more, sorted into runs of neighbours (empty for a
    /// small mesh): the colour pass can leave out the runs outside the view.
    std::vector<MeshChunk> chunks;
    GLuint chunkIndexBuffer = 0;  ///< the indices in chunk order
    GLuint chunkVertexArray = 0;  ///< the mesh's vertex buffers with the chunk-ordered indices
    /// The mesh's triangles cooked for probes (model space), what the eye meets of it;
    /// null for a mesh without triangles.
    std::shared_ptr<const TriangleMesh> surface;
};

/// The meshes of one model, in the model's mesh order. Shared by a shape and its
/// copies; the last holder deletes the buffers, vertex arrays and textures.
using MeshList = std::vector<MeshEntry>;

/// A loaded Texture for path (the caller owns it), or the default image, with the
/// fallback message, when it does not load.
Texture* loadTextureOrDefault(const std::string& path);

/// Texture path of a material with everything before the first "models" removed
/// (empty when "models" does not occur); a result over 1023 characters keeps the original.
std::string trimTexturePath(const std::string& materialPath);

class Shape : public SceneObject {
public:
    /// Imports modelPath and builds its meshes; a model that cannot be imported or
    /// has no mesh ends the start-up with a fatal error naming the file.
    Shape(ShaderProgram* program, ShaderProgram* motionBlurProgram, const std::string& modelPath);
    /// A shape without a model (no meshes, boundingRadius 0); derived classes may
    /// call importModel and buildMeshes themselves.
    Shape(ShaderProgram* program, ShaderProgram* motionBlurProgram);
    /// Copies share the mesh list (no new GPU buffers).
    Shape(const Shape& other) = default;
    Shape& operator=(const Shape&) = delete;
    /// Drops this shape's hold on the mesh list; the last holder releases it.
    ~Shape() override;

    /// Prints the import log and reads the file (joined vertices, triangles, smooth
    /// normals). A file that cannot be read, or holds no mesh, ends the start-up with
    /// a fatal error naming it (after "Error parsing" when unreadable), so the result
    /// is never null. While the game keeps its files (filesKept), a model is imported
    /// once and the same scene given again, without a word.
    static std::shared_ptr<const aiScene> importModel(const std::string& path);
    /// Turns every mesh of scene into a MeshEntry with buffers and a texture, and
    /// sets boundingRadius from the first mesh.
    void buildMeshes(const aiScene& scene);

    /// The physics body behind this shape; null for a plain shape.
    virtual Actor* getActor();
    /// Per-frame step (seconds); nothing for a plain shape.
    virtual void update(float dt);
    /// Colour pass: the caller has bound program and set the per-object uniforms.
    virtual void draw();
    /// Colour pass as draw(), leaving out the parts of large meshes that lie wholly
    /// outside the clip volume of mvp (this shape's model-view-projection). They would
    /// cover no pixel, so the picture is the same; a shape without such meshes draws.
    void drawInView(const mat4& mvp);
    /// Depth pass: the caller has bound the depth program and set its matrix.
    virtual void drawDepth();
    /// Whether every mesh draws a texture without transparent texels: blending
    /// such a shape over what is behind it gives the shape itself.
    bool isOpaque() const;

    ShaderProgram* program = nullptr;            ///< main program (not owned)
    ShaderProgram* motionBlurProgram = nullptr;  ///< second program; only its "vPosition" is fed (not owned)
    mat4 previousMvp{1.0f};                      ///< model-view-projection of the previous draw
    GLint colorTextureLocation = -1;             ///< "colorTexture" in program
    bool hidden = false;                         ///< neither updated nor drawn when set
    std::shared_ptr<MeshList> meshes;            ///< one entry per imported mesh, shared by copies
    float boundingRadius = 0.0f;                 ///< bounding sphere about the model origin (model units)

private:
    /// Sorts a large mesh's triangles (indices, three a face) into chunks and gives the
    /// entry its chunk-ordered index buffer and vertex array.
    void buildChunks(MeshEntry& entry, const aiMesh& mesh, std::vector<std::uint32_t> indices) const;
    /// Binds the mesh's texture and draws it: whole without mvp, else leaving out its
    /// chunks outside the clip volume of mvp.
    void drawMesh(const MeshEntry& entry, const mat4* mvp) const;
    /// A new vertex array over the entry's vertex buffers (each attribute at its place in
    /// both programs) with a new index buffer holding indices.
    void buildVertexArray(const MeshEntry& entry, const std::vector<std::uint32_t>& indices,
                          GLuint& vertexArray, GLuint& indexBuffer) const;
};

/// Model-space box around the vertices of every mesh of shape; false (box untouched)
/// when the shape has no mesh.
bool meshesBox(const Shape& shape, vec3& boxMin, vec3& boxMax);

}  // namespace frostline::scene
