// The 3D game: camera, sun, the five shader programs of the 3D passes, the render
// targets, the scene objects, the player's sled and its two snow sprays. update
// and renderFrame are its per-frame entry points.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <vector>

#include <GL/glew.h>

#include "scene/Camera.h"
#include "scene/Math.h"
#include "scene/SceneObject.h"

namespace frostline {

class ShaderProgram;
class PhysicsWorld;
class RaceState;
class SightWorld;
struct ShadowTarget;
class ShadowCache;
struct SceneTarget;
struct CompositeTarget;
struct VelocityTarget;

namespace scene {
class ControllerShape;
class ParticleSystem;
class DirectionalLight;
class GateMarker;
class GhostRider;
class Shape;
}  // namespace scene

/// Frame rate (frames / s) against which blurScale is normalised; 60, 30 while boosting.
extern float blurReferenceRate;
/// Objects the last scene pass considered (hidden ones not counted).
extern int totalObjectCount;
/// Objects the last scene pass drew.
extern int drawnObjectCount;

/// Uniform locations cached once at construction.
struct UniformLocations {
    GLint mvpLocation = -1;              ///< basic "modelViewProjectionMatrix"
    GLint normalMatrixLocation = -1;     ///< basic "normalMatrix"
    GLint prevMvpLocation = -1;          ///< basic "prevMVPMatrix"
    GLint blurScaleLocation = -1;        ///< postprocess "blurScale"
    GLint velocityTextureLocation = -1;  ///< postprocess "velocityTexture"
    GLint blurTextureLocation = -1;      ///< postprocess "blurTexture"
    GLint shadowMapLocation = -1;        ///< basic "shadowMap"
    GLint depthBiasMvpLocation = -1;     ///< basic "DepthBiasMVP"
    GLint depthMvpLocation = -1;         ///< DepthRTT "depthMVP"
    GLint transparencyLocation = -1;     ///< basic "transparency"
    GLint distantMvpLocation = -1;           ///< distant "modelViewProjectionMatrix"
    GLint distantPrevMvpLocation = -1;       ///< distant "prevMVPMatrix"
    GLint distantNormalMatrixLocation = -1;  ///< distant "normalMatrix"
};

/// What the sprays need of the sled each frame.
struct SledSprayState {
    mat4 modelMatrix{1.0f};          ///< the sled's object-to-world matrix
    float speed = 0.0f;              ///< speed along the heading (world units / s)
    float maxSpeed = 1.0f;           ///< top speed of the forward key (world units / s)
    bool leftSprayActive = false;    ///< the left runner throws snow
    bool rightSprayActive = false;   ///< the right runner throws snow
};

/// What every shape of a scene pass is drawn with (view, projection and the sun's map).
struct ScenePassView {
    mat4 viewProjection;  ///< world to clip space
    mat4 view;            ///< world to view space
    mat4 shadowBias;      ///< world to the sun's depth-map texture space [0, 1]
};

/// Blending in the scene pass. Blending an opaque shape gives the shape itself, while
/// the blend unit reads back both targets for every fragment: opaque shapes are drawn
/// without (the plain way blends every shape). The state changes only between an
/// opaque shape and one that is not, and is given back as found when the pass ends.
class SceneBlending {
public:
    /// Starts from the current state; plainPasses blends every shape while blending is on.
    explicit SceneBlending(bool plainPasses);
    /// Gives the blending state back as it was found.
    ~SceneBlending();
    SceneBlending(const SceneBlending&) = delete;
    SceneBlending& operator=(const SceneBlending&) = delete;

    /// Blending as this shape needs it.
    void forShape(const scene::Shape& shape);
    /// Blending as an opaque shape needs it.
    void forOpaque();
    /// Blending on, whatever the game's setting: what is translucent by nature.
    void forTranslucent();

private:
    void set(bool wanted);
    bool enabled;         ///< blending was on when the pass began
    bool now;             ///< blending is on
    bool blendEverything; ///< the plain way
};

/// What a World is built with.
enum class LevelContent {
    Full,   ///< the physics scene and the whole level (the game)
    Empty,  ///< GPU resources only: no physics scene, no level, no player, no sprays
};

class World {
public:
    /// The game's World: programs, targets, the physics scene and the level.
    World();
    /// A World with or without its level; an Empty one is filled by its user
    /// (shapes inserted into objects, optionally player and sprays set).
    explicit World(LevelContent content);
    /// Releases quad, sprays, the object set, targets, programs, player, light, camera.
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    /// Per-frame step with deltaTime (s): visible objects update, the sprays follow
    /// the sled (when there is one) and blurScale is set (kept when deltaTime <= 0).
    void update();
    /// Shadow pass, scene pass (into sceneTarget when motionBlur is on or the scene is
    /// drawn below the window's size), sprays, and the blur composite onto the window
    /// when motionBlur is on (else the scene stretched over it when it is smaller).
    void renderFrame();

    /// The sun's orthographic projection times its look-at view.
    mat4 lightViewProjection();
    /// Depth of every visible object into shadowTarget (nothing when it is incomplete);
    /// leaves framebuffer 0 bound.
    void renderShadowPass();
    /// Lit, shadowed objects into the bound framebuffer at sceneSize(): every shape, the
    /// terrain after the others, then the land around it; writes the counters.
    void renderScenePass(const mat4& viewProjection);
    /// One object of the scene pass: counted, culled and drawn unless hidden or out of
    /// view; its previousMvp follows.
    void drawSceneObject(scene::SceneObject* object, const ScenePassView& pass, SceneBlending& blending);
    /// Sets basicProgram's per-object uniforms for a shape at model whose clip matrix is
    /// mvp and was previousMvp the frame before, and binds the sun's map.
    void setLitUniforms(const mat4& model, const mat4& mvp, const mat4& previousMvp,
                        const ScenePassView& pass);
    /// The ghost rider, when shown: its nearest surface, translucent over the scene drawn
    /// so far (after the land, before the sprays). Not counted among the objects.
    void drawGhost(const ScenePassView& pass, SceneBlending& blending);
    /// The two sprays, only while the sled moves forward and per side when its flag is set.
    void renderSprays(const mat4& viewProjection);
    /// Blurs sceneTarget along its velocities onto the window; below the window's size,
    /// into compositeTarget at the scene's size, which is then stretched over the window
    /// with filtering.
    void renderPostProcess();

    /// The size the scene pass, the sprays and the composite draw at this frame (pixels):
    /// the window's at renderScale.
    glm::ivec2 sceneSize() const;
    /// Whether sceneSize() is below the window's: the scene is then drawn off screen and
    /// stretched over the window, with motion blur or without.
    bool belowWindowSize() const;
    /// Draws texture over the whole window, filtered (the window's framebuffer bound,
    /// the window's viewport left set).
    void stretchOverWindow(GLuint texture);
    /// Runs draw, which covers the whole window, with filled polygons and, unless the
    /// plain way, without blending or the depth test; the state is given back after.
    void withCoveringState(const std::function<void()>& draw);
    /// Makes sceneTarget, and below the window's size compositeTarget, sceneSize() large.
    void fitTargetsToScene();

    /// The sled's values the sprays follow; only meaningful while player is set.
    SledSprayState sledSprayState();
    /// Puts both sprays at their runners of the sled and sets their strength.
    void placeSprays(const SledSprayState& sled);
    /// Draws the surroundings, if any, leaving out (but for the plain way) their runs
    /// outside the view; their previousMvp follows.
    void drawSurroundings(const mat4& viewProjection);
    /// Draws the sprays for this sled state: nothing unless its speed is above 0;
    /// then each spray whose side is active, and every spray's previousMvp follows.
    void drawSprays(const mat4& viewProjection, const SledSprayState& sled);

    /// Makes shadowTarget at width x height texels (the game's shadowMapWidth x
    /// shadowMapHeight), and the kept copy of its still part at the game's size; replaces
    /// a map made before. A map the driver refuses costs the shadows only: one line
    /// says so and the level is drawn lit.
    void createShadowMap(GLsizei width, GLsizei height);
    /// Builds the full-screen quad of the post-process pass.
    void createScreenQuad();
    /// Caches uniforms and sets the light uniforms of basicProgram once.
    void lookUpUniforms();
    /// Tells the depth-map cache which shapes move from the start: the sled, its parts
    /// and the pick-ups.
    void markMovingShapes();

    // Level population (level/LevelPopulation.cpp), called in this order by World().
    /// Terrain, rocks, trees, stump, fallen tree and billboard.
    void createScenery(PhysicsWorld& physicsWorld);
    /// The five gates.
    void createCheckpoints(PhysicsWorld& physicsWorld);
    /// Cows and snowflakes.
    void createCollectables(PhysicsWorld& physicsWorld);
    /// The sled at its start, and its two side parts into objects.
    void createPlayer(PhysicsWorld& physicsWorld);
    /// leftSpray and rightSpray at the sled.
    void createSprays();
    /// sight: the surfaces of the level the eye meets, handed to the sled's chase camera.
    void createSightSurfaces();

    /// The race the level plays: the sled applies its rules, the gates' signs show its progress.
    void attachRace(RaceState& race);

    scene::Camera* camera = nullptr;                ///< the view camera (owned)
    scene::ControllerShape* player = nullptr;       ///< the sled (owned); null in test scenes
    FrustumPlanes frustumPlanes{};                  ///< view-space planes of camera->projection
    ShaderProgram* basicProgram = nullptr;          ///< lit, shadowed, textured objects (owned)
    ShaderProgram* particleProgram = nullptr;       ///< snow sprays (owned)
    ShaderProgram* postProcessProgram = nullptr;    ///< motion-blur composite (owned)
    ShaderProgram* depthProgram = nullptr;          ///< shadow depth pass (owned)
    ShaderProgram* distantProgram = nullptr;        ///< the land around the course (owned)
    ShaderProgram* upscaleProgram = nullptr;        ///< stretches the composite over the window (owned)
    ShadowTarget* shadowTarget = nullptr;           ///< the sun's depth map (owned)
    ShaderProgram* motionBlurProgram = nullptr;     ///< second program of every shape (owned)
    VelocityTarget* velocityTarget = nullptr;       ///< spare velocity target (owned)
    SceneTarget* sceneTarget = nullptr;             ///< colour + velocity + depth (owned)
    /// The blurred picture at the scene's size while that is below the window's (owned);
    /// null at the window's size.
    CompositeTarget* compositeTarget = nullptr;
    /// Fraction of the window's width and height at which the scene pass, the sprays and
    /// the blur composite draw (0.5 to 1), set by the game before each frame. The
    /// heads-up display is always drawn at the window's size.
    float renderScale = 1.0f;
    std::set<scene::SceneObject*> objects;          ///< what the passes draw, by address (not owned)
    scene::DirectionalLight* light = nullptr;       ///< the sun (owned)
    scene::ParticleSystem* leftSpray = nullptr;     ///< spray at the left runner (owned)
    scene::ParticleSystem* rightSpray = nullptr;    ///< spray at the right runner (owned)
    float blurScale = 0.8f;                         ///< motion-blur strength of this frame
    mat4 depthBiasMatrix{1.0f};                     ///< light clip space [-1, 1] to texture space [0, 1]
    UniformLocations uniforms;                      ///< cached uniform locations
    GLuint quadVertexArray = 0;                     ///< full-screen quad
    GLuint quadBuffer = 0;                          ///< its six 2D positions

    /// Draws every pass the plain way: the whole depth map cleared and redrawn each
    /// frame, every shape and terrain run handed to the draw, every spray particle
    /// handed to the draw, the window cleared and blended under the composite. The
    /// picture is the same either way (within one level where floating-point work runs
    /// in another order); the plain way is kept for the test that compares both.
    bool plainPasses = false;

    /// True when this frame's blur composite (or the scene stretched over the window)
    /// writes every pixel of a window of `windowWidth` x `windowHeight`, without blending
    /// and without the depth test: whatever the window held before is never seen, so
    /// clearing it would be wasted. The plain way clears and blends as ever.
    bool compositeCoversWindow() const;
    /// The still part of the sun's depth map, kept between frames (owned); null when
    /// its target could not be built, and then the map is drawn in full.
    ShadowCache* shadowCache = nullptr;

    /// Level objects the World owns (the player excepted), destroyed when the
    /// object set is emptied at teardown. Level population may hand its objects here.
    std::vector<std::unique_ptr<scene::SceneObject>> levelObjects;
    /// The land around the course (the terrain model's meshes after the course): drawn
    /// after every shape, with distantProgram, at the terrain's place; neither in the
    /// object set nor in the sun's depth map. Null in test scenes.
    std::unique_ptr<scene::Shape> surroundings;
    /// The terrain whose place the surroundings share (owned through levelObjects).
    scene::Shape* terrain = nullptr;
    /// The gates' number signs in gate order (owned through levelObjects).
    std::vector<scene::GateMarker*> gateMarkers;
    /// The ghost rider (owned): a translucent copy of the sled that replays a run; made
    /// with the player, null without one.
    std::unique_ptr<scene::GhostRider> ghost;
    /// How much of the ghost rider covers what lies behind it (0 to 1).
    float ghostOpacity = 0.55f;
    /// What the eye meets: the snow, the land, trees, rocks, gates and signs (owned); null
    /// in test scenes.
    std::unique_ptr<SightWorld> sight;
};

}  // namespace frostline
