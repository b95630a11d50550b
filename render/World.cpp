#include "render/World.h"

#include "app/Globals.h"
#include "physics/ControllerShape.h"
#include "physics/PhysicsWorld.h"
#include "physics/SightWorld.h"
#include "render/ParticleSystem.h"
#include "render/RenderTargets.h"
#include "render/ShaderProgram.h"
#include "render/ShadowCache.h"
#include "scene/Collectable.h"
#include "scene/GateMarker.h"
#include "scene/GhostRider.h"
#include "scene/Light.h"
#include "scene/Shape.h"

namespace frostline {

float blurReferenceRate = RaceStart{}.blurReferenceRate;
int totalObjectCount = 0;
int drawnObjectCount = 0;

namespace {

/// Blur strength at the reference frame rate.
constexpr float blurAtReferenceRate = 0.8f;

/// Where the sprays sit in the sled's frame (world units).
const vec3 leftSprayOffset(-0.95f, -1.2f, 0.1f);
const vec3 rightSprayOffset(0.95f, -1.2f, 0.1f);

}  // namespace

World::World() : World(LevelContent::Full) {}

World::World(LevelContent content)
{
    camera = new scene::Camera();
    light = new scene::DirectionalLight(vec3(0.4f, -1.0f, -0.5f), vec3(1.0f, 1.0f, 1.0f));
    basicProgram = new ShaderProgram("Shader/basic.vert", "Shader/basic.frag");
    particleProgram = new ShaderProgram("Shader/particlesystem.vert", "Shader/particlesystem.frag");
    motionBlurProgram = new ShaderProgram("Shader/motionblur.vert", "Shader/motionblur.frag");
    postProcessProgram = new ShaderProgram("Shader/postprocess.vert", "Shader/postprocess.frag");
    upscaleProgram = new ShaderProgram("Shader/upscale.vert", "Shader/upscale.frag");
    velocityTarget = new VelocityTarget();
    velocityTarget->create();
    sceneTarget = new SceneTarget();
    sceneTarget->create();
    createScreenQuad();
    depthProgram = new ShaderProgram("Shader/DepthRTT.vert", "Shader/DepthRTT.frag");
    distantProgram = new ShaderProgram("Shader/distant.vert", "Shader/distant.frag");
    createShadowMap(shadowMapWidth, shadowMapHeight);
    depthBiasMatrix = mat4(vec4(0.5f, 0.0f, 0.0f, 0.0f), vec4(0.0f, 0.5f, 0.0f, 0.0f),
                           vec4(0.0f, 0.0f, 0.5f, 0.0f), vec4(0.5f, 0.5f, 0.5f, 1.0f));
    frustumPlanes = frustumPlanesFromProjection(camera->projection);
    lookUpUniforms();

    if (content == LevelContent::Full) {
        // The physics scene, then the level in its fixed order.
        PhysicsWorld& physicsWorld = PhysicsWorld::instance();
        physicsWorld.initPhysicsScene();
        createScenery(physicsWorld);
        createCheckpoints(physicsWorld);
        createCollectables(physicsWorld);
        createPlayer(physicsWorld);
        createSprays();
        createSightSurfaces();
        markMovingShapes();
        // A ghost of the sled, for the runs the player races against.
        ghost = std::make_unique<scene::GhostRider>(*player);
    }
}

void World::createShadowMap(GLsizei width, GLsizei height)
{
    // A map made before goes first.
    delete shadowCache;
    shadowCache = nullptr;
    if (shadowTarget) {
        shadowTarget->release();
        delete shadowTarget;
    }
    // Without a complete depth map the game still runs: lit, only without shadows.
    // The kept copy of the still shapes' depth is made at the game's size only.
    shadowTarget = new ShadowTarget();
    if (shadowTarget->create(width, height) && width == shadowMapWidth && height == shadowMapHeight) {
        shadowCache = new ShadowCache();
        if (!shadowCache->create()) {
            delete shadowCache;
            shadowCache = nullptr;
        }
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void World::markMovingShapes()
{
    if (!shadowCache) {
        return;
    }
    // The sled moves with its parts and the pick-ups spin: none of them belongs in the
    // still part of the depth map (anything else that moves is found out when it does).
    for (scene::SceneObject* object : objects) {
        if (auto* collectable = dynamic_cast<scene::Collectable*>(object)) {
            shadowCache->markMoving(collectable);
        }
    }
    if (player) {
        shadowCache->markMoving(player);
        shadowCache->markMoving(player->leftPart);
        shadowCache->markMoving(player->rightPart);
    }
}

World::~World()
{
    // Quad.
    if (quadBuffer != 0) {
        glDeleteBuffers(1, &quadBuffer);
        quadBuffer = 0;
    }
    if (quadVertexArray != 0) {
        glDeleteVertexArrays(1, &quadVertexArray);
        quadVertexArray = 0;
    }
    // Sprays; the last one releases the shared particle arrays.
    delete leftSpray;
    leftSpray = nullptr;
    delete rightSpray;
    rightSpray = nullptr;
    // The object set refers to the level; the level objects the World owns go with it.
    objects.clear();
    sight.reset();
    surroundings.reset();
    terrain = nullptr;
    levelObjects.clear();
    // Render targets.
    if (compositeTarget) {
        compositeTarget->release();
        delete compositeTarget;
        compositeTarget = nullptr;
    }
    velocityTarget->release();
    sceneTarget->release();
    shadowTarget->release();
    delete shadowCache;
    shadowCache = nullptr;
    delete velocityTarget;
    delete sceneTarget;
    delete shadowTarget;
    // Programs.
    delete basicProgram;
    delete motionBlurProgram;
    delete depthProgram;
    delete distantProgram;
    delete particleProgram;
    delete postProcessProgram;
    delete upscaleProgram;
    // The ghost shares the sled's meshes; then sled, sun, camera.
    ghost.reset();
    delete player;
    player = nullptr;
    delete light;
    delete camera;
}

void World::attachRace(RaceState& race)
{
    if (player) {
        player->raceState = &race;
    }
    for (scene::GateMarker* marker : gateMarkers) {
        marker->race = &race;
        marker->update(0.0f);
    }
}

void World::update()
{
    const float dt = deltaTime;
    for (scene::SceneObject* object : objects) {
        auto* shape = dynamic_cast<scene::Shape*>(object);
        if (shape && !shape->hidden) {
            shape->update(dt);
        }
    }
    if (player && leftSpray && rightSpray) {
        placeSprays(sledSprayState());
    }
    // A frame of no measurable length would make the blur unbounded: keep the last strength.
    if (dt > 0.0f) {
        blurScale = blurAtReferenceRate / dt / blurReferenceRate;
    }
}

SledSprayState World::sledSprayState()
{
    return {player->getModelMatrix(), player->speed, player->maxSpeed, player->leftSprayActive,
            player->rightSprayActive};
}

void World::placeSprays(const SledSprayState& sled)
{
    leftSpray->setModelMatrix(sled.modelMatrix);
    leftSpray->factor = sled.speed / sled.maxSpeed * 0.5f;
    leftSpray->translate(leftSprayOffset.x, leftSprayOffset.y, leftSprayOffset.z);
    rightSpray->setModelMatrix(sled.modelMatrix);
    rightSpray->factor = leftSpray->factor;
    rightSpray->translate(rightSprayOffset.x, rightSprayOffset.y, rightSprayOffset.z);
}

void World::createScreenQuad()
{
    // Two triangles over the whole of normalised device space.
    const float corners[] = {-1, -1, 1, -1, -1, 1, -1, 1, 1, -1, 1, 1};
    glGenVertexArrays(1, &quadVertexArray);
    glBindVertexArray(quadVertexArray);
    glGenBuffers(1, &quadBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(corners), corners, GL_STATIC_DRAW);
    const GLint location = glGetAttribLocation(postProcessProgram->program, "vPosition");
    if (location >= 0) {
        glEnableVertexAttribArray(static_cast<GLuint>(location));
        glVertexAttribPointer(static_cast<GLuint>(location), 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    glBindVertexArray(0);
}

void World::lookUpUniforms()
{
    const GLuint basic = basicProgram->program;
    const GLuint post = postProcessProgram->program;
    uniforms.mvpLocation = glGetUniformLocation(basic, "modelViewProjectionMatrix");
    uniforms.normalMatrixLocation = glGetUniformLocation(basic, "normalMatrix");
    uniforms.prevMvpLocation = glGetUniformLocation(basic, "prevMVPMatrix");
    uniforms.blurScaleLocation = glGetUniformLocation(post, "blurScale");
    uniforms.velocityTextureLocation = glGetUniformLocation(post, "velocityTexture");
    uniforms.blurTextureLocation = glGetUniformLocation(post, "blurTexture");
    uniforms.shadowMapLocation = glGetUniformLocation(basic, "shadowMap");
    uniforms.depthBiasMvpLocation = glGetUniformLocation(basic, "DepthBiasMVP");
    uniforms.depthMvpLocation = glGetUniformLocation(depthProgram->program, "depthMVP");
    uniforms.transparencyLocation = glGetUniformLocation(basic, "transparency");

    const GLuint distant = distantProgram->program;
    uniforms.distantMvpLocation = glGetUniformLocation(distant, "modelViewProjectionMatrix");
    uniforms.distantPrevMvpLocation = glGetUniformLocation(distant, "prevMVPMatrix");
    uniforms.distantNormalMatrixLocation = glGetUniformLocation(distant, "normalMatrix");

    // The composite's picture is read from unit 0 when it is stretched over the window.
    glUseProgram(upscaleProgram->program);
    glUniform1i(glGetUniformLocation(upscaleProgram->program, "pictureTexture"), 0);

    // The sun never changes: its uniforms are set once and kept by the programs.
    const vec3 direction = light->getDirection();
    const vec3 intensity = light->getIntensity();
    for (const GLuint program : {basic, distant}) {
        glUseProgram(program);
        glUniform3f(glGetUniformLocation(program, "lightDirection"), direction.x, direction.y, direction.z);
        glUniform3f(glGetUniformLocation(program, "lightIntensity"), intensity.x, intensity.y, intensity.z);
        glUniform3f(glGetUniformLocation(program, "ambient"), 0.0f, 0.3f, 0.3f);
    }
}

}  // namespace frostline
