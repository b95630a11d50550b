// The passes of a frame: the sun's depth map, the lit scene with its velocity
// image, the snow sprays and the motion-blur composite.
#include "render/World.h"

#include <array>
#include <functional>
#include <vector>

#include <glm/gtc/type_ptr.hpp>

#include "app/Globals.h"
#include "render/ParticleSystem.h"
#include "render/RenderScale.h"
#include "render/RenderTargets.h"
#include "render/ShaderProgram.h"
#include "render/ShadowCache.h"
#include "scene/GhostRider.h"
#include "scene/Light.h"
#include "scene/Shape.h"

namespace frostline {

namespace {

/// Sky behind the scene.
const vec3 skyColour(0.49f, 0.73f, 1.0f);

/// The sun's box in its own frame (world units): the volume that casts and takes
/// shadows, fixed around the world origin.
const mat4 lightProjection = orthographic(-200.0f, 200.0f, -100.0f, 200.0f, -250.0f, 150.0f);

/// The shape behind a scene object; the passes draw shapes only.
scene::Shape* visibleShape(scene::SceneObject* object)
{
    auto* shape = dynamic_cast<scene::Shape*>(object);
    return shape && !shape->hidden ? shape : nullptr;
}

/// Whether every mesh of shape lies wholly outside the clip volume of mvp.
bool outsideView(const scene::Shape& shape, const mat4& mvp)
{
    vec3 boxMin;
    vec3 boxMax;
    return scene::meshesBox(shape, boxMin, boxMax) && scene::boxOutsideView(mvp, boxMin, boxMax);
}

void uploadMatrix(GLint location, const mat4& m)
{
    glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(m));
}

}  // namespace

SceneBlending::SceneBlending(bool plainPasses)
    : enabled(glIsEnabled(GL_BLEND) == GL_TRUE), now(enabled), blendEverything(plainPasses)
{
}

SceneBlending::~SceneBlending() { set(enabled); }

void SceneBlending::forShape(const scene::Shape& shape)
{
    set(enabled && (blendEverything || !shape.isOpaque()));
}

void SceneBlending::forOpaque() { set(enabled && blendEverything); }

void SceneBlending::forTranslucent() { set(true); }

void SceneBlending::set(bool wanted)
{
    if (wanted != now) {
        wanted ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
        now = wanted;
    }
}

void World::renderFrame()
{
    const mat4 view = inverse(camera->getModelMatrix());
    const mat4 viewProjection = camera->projection * view;

    renderShadowPass();
    // Into the scene target for the blur, or to draw below the window's size; else
    // straight into the window.
    const bool offScreen = motionBlur || belowWindowSize();
    if (offScreen) {
        fitTargetsToScene();
        glBindFramebuffer(GL_FRAMEBUFFER, sceneTarget->framebuffer);
    }
    glEnable(GL_DEPTH_TEST);
    renderScenePass(viewProjection);
    renderSprays(viewProjection);
    if (motionBlur) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        renderPostProcess();
    } else if (offScreen) {
        // Without the blur the scene's own picture is stretched over the window.
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        withCoveringState([this] { stretchOverWindow(sceneTarget->imageTexture); });
    }
}

mat4 World::lightViewProjection()
{
    const vec3 towardLight = light->getDirection();
    return lightProjection * lookAt(towardLight, vec3(0.0f), vec3(0.0f, 1.0f, 0.0f));
}

void World::renderShadowPass()
{
    if (!shadowTarget->complete) {
        return;  // no map to draw into: the scene pass samples one that lights everything
    }
    glBindFramebuffer(GL_FRAMEBUFFER, shadowTarget->framebuffer);
    glViewport(0, 0, shadowTarget->width, shadowTarget->height);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glUseProgram(depthProgram->program);
    const mat4 depthViewProjection = lightViewProjection();
    std::vector<scene::Shape*> shapes;
    for (scene::SceneObject* object : objects) {
        if (scene::Shape* shape = visibleShape(object)) {
            shapes.push_back(shape);
        }
    }

    if (shadowCache && !plainPasses) {
        shadowCache->update(*shadowTarget, shapes, depthViewProjection, uniforms.depthMvpLocation);
    } else {
        // The whole map, cleared and drawn again; the kept copy no longer matches it.
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (scene::Shape* shape : shapes) {
            drawShapeDepth(*shape, depthViewProjection, uniforms.depthMvpLocation);
        }
        if (shadowCache) {
            shadowCache->invalidate();
        }
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

glm::ivec2 World::sceneSize() const
{
    if (renderScale >= 1.0f) {
        return {windowWidth, windowHeight};
    }
    return {scaledSide(windowWidth, renderScale), scaledSide(windowHeight, renderScale)};
}

bool World::belowWindowSize() const { return sceneSize() != glm::ivec2(windowWidth, windowHeight); }

void World::stretchOverWindow(GLuint texture)
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);
    glUseProgram(upscaleProgram->program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBindVertexArray(quadVertexArray);
    glDrawArrays(GL_TRIANGLES, 0, 6);
}

void World::withCoveringState(const std::function<void()>& draw)
{
    // What covers every pixel of the window is drawn without blending and without the
    // depth test: blending a picture of alpha 1 gives the picture, and the window's old
    // contents and depth are never seen. The plain way blends and tests as ever.
    const bool covering = compositeCoversWindow();
    const bool skipBlending = covering && glIsEnabled(GL_BLEND);
    const bool skipDepthTest = covering && glIsEnabled(GL_DEPTH_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    if (skipBlending) {
        glDisable(GL_BLEND);
    }
    if (skipDepthTest) {
        glDisable(GL_DEPTH_TEST);
    }
    draw();
    if (skipBlending) {
        glEnable(GL_BLEND);
    }
    if (skipDepthTest) {
        glEnable(GL_DEPTH_TEST);
    }
    if (wireframe) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    }
}

void World::fitTargetsToScene()
{
    const glm::ivec2 size = sceneSize();
    if (sceneTarget->width != size.x || sceneTarget->height != size.y) {
        sceneTarget->release();
        sceneTarget->create(size.x, size.y);
    }
    const bool stretched = size != glm::ivec2(windowWidth, windowHeight);
    if (compositeTarget &&
        (!stretched || compositeTarget->width != size.x || compositeTarget->height != size.y)) {
        compositeTarget->release();
        delete compositeTarget;
        compositeTarget = nullptr;
    }
    if (stretched && !compositeTarget) {
        compositeTarget = new CompositeTarget();
        compositeTarget->create(size.x, size.y);
    }
}

void World::renderScenePass(const mat4& viewProjection)
{
    const glm::ivec2 size = sceneSize();
    glViewport(0, 0, size.x, size.y);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    clearSceneTarget(skyColour.r, skyColour.g, skyColour.b);

    drawnObjectCount = 0;
    totalObjectCount = 0;
    const ScenePassView pass{viewProjection, inverse(camera->getModelMatrix()),
                             depthBiasMatrix * lightViewProjection()};
    SceneBlending blending(plainPasses);

    // The terrain lies behind nearly everything else: drawn after the other shapes, its
    // pixels hidden behind them fail the depth test before they are shaded (a
    // processor-drawn screen has no other early rejection). Then the land around it.
    for (scene::SceneObject* object : objects) {
        if (object != terrain) {
            drawSceneObject(object, pass, blending);
        }
    }
    if (terrain && objects.count(terrain) != 0) {
        drawSceneObject(terrain, pass, blending);
    }
    // The land around the course last: where the course and the level cover it, the
    // depth test turns its pixels away before they are shaded. It is opaque (the plain
    // way blends it all the same).
    if (surroundings && !surroundings->meshes->empty()) {
        blending.forOpaque();
        drawSurroundings(viewProjection);
    }
    // The ghost rider over all of it, translucent.
    drawGhost(pass, blending);
}

void World::drawSceneObject(scene::SceneObject* object, const ScenePassView& pass, SceneBlending& blending)
{
    scene::Shape* shape = visibleShape(object);
    if (!shape) {
        return;
    }
    ++totalObjectCount;
    const mat4 model = shape->getModelMatrix();
    const mat4 mvp = pass.viewProjection * model;

    // Small objects whose bounding sphere lies wholly outside the view are skipped;
    // planes and centre are both in view space, where lengths are world lengths.
    if (frustumCulling && shape->boundingRadius < cullingRadiusLimit) {
        const vec3 centre = vec3(pass.view * model * vec4(0.0f, 0.0f, 0.0f, 1.0f));
        if (!isSphereVisible(frustumPlanes, centre, shape->boundingRadius)) {
            return;
        }
    }

    ++drawnObjectCount;
    // A shape wholly outside the view covers no pixel: the savings leave out its
    // draw, while it counts as drawn and its matrix moves on, as in the plain way.
    if (!plainPasses && outsideView(*shape, mvp)) {
        shape->previousMvp = mvp;
        return;
    }
    glUseProgram(shape->program->program);
    setLitUniforms(model, mvp, shape->previousMvp, pass);
    blending.forShape(*shape);
    if (plainPasses) {
        shape->draw();
    } else {
        shape->drawInView(mvp);
    }
    shape->previousMvp = mvp;
}

void World::setLitUniforms(const mat4& model, const mat4& mvp, const mat4& previousMvp,
                           const ScenePassView& pass)
{
    uploadMatrix(uniforms.mvpLocation, mvp);
    uploadMatrix(uniforms.prevMvpLocation, previousMvp);
    const mat3 normalMatrix = mat3(glm::transpose(inverse(model)));
    glUniformMatrix3fv(uniforms.normalMatrixLocation, 1, GL_FALSE, glm::value_ptr(normalMatrix));
    uploadMatrix(uniforms.depthBiasMvpLocation, pass.shadowBias * model);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, shadowTarget->depthTexture);
    glUniform1i(uniforms.shadowMapLocation, 1);
}

void World::drawGhost(const ScenePassView& pass, SceneBlending& blending)
{
    if (!ghost || !ghost->shown) {
        if (ghost) {
            ghost->drawnBefore = false;
        }
        return;
    }
    // Only the ghost's nearest surface is blended in, once: its depth first, then its
    // colour where that depth is its own. The scene's depth keeps the ghost, so snow
    // flying behind it is hidden as behind the sled.
    glUseProgram(basicProgram->program);
    const std::array<scene::Shape*, 3> parts = ghost->parts();
    for (const bool colour : {false, true}) {
        if (colour) {
            glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
            glDepthFunc(GL_LEQUAL);
            glDepthMask(GL_FALSE);
            blending.forTranslucent();
            glUniform1f(uniforms.transparencyLocation, 1.0f - ghostOpacity);
        } else {
            glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        }
        for (scene::Shape* part : parts) {
            const mat4 model = part->getModelMatrix();
            const mat4 mvp = pass.viewProjection * model;
            // Shown again after a pause in its drawing, it has not moved on the screen.
            setLitUniforms(model, mvp, ghost->drawnBefore ? part->previousMvp : mvp, pass);
            part->draw();
            if (colour) {
                part->previousMvp = mvp;
            }
        }
    }
    ghost->drawnBefore = true;
    glUniform1f(uniforms.transparencyLocation, 0.0f);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
}

void World::drawSurroundings(const mat4& viewProjection)
{
    const mat4 model = terrain ? terrain->getModelMatrix() : mat4(1.0f);
    const mat4 mvp = viewProjection * model;
    glUseProgram(distantProgram->program);
    uploadMatrix(uniforms.distantMvpLocation, mvp);
    uploadMatrix(uniforms.distantPrevMvpLocation, surroundings->previousMvp);
    const mat3 normalMatrix = mat3(glm::transpose(inverse(model)));
    glUniformMatrix3fv(uniforms.distantNormalMatrixLocation, 1, GL_FALSE, glm::value_ptr(normalMatrix));
    if (plainPasses) {
        surroundings->draw();
    } else {
        surroundings->drawInView(mvp);
    }
    surroundings->previousMvp = mvp;
}

void World::renderSprays(const mat4& viewProjection)
{
    if (player && leftSpray && rightSpray) {
        drawSprays(viewProjection, sledSprayState());
    }
}

void World::drawSprays(const mat4& viewProjection, const SledSprayState& sled)
{
    if (sled.speed <= 0.0f) {
        return;
    }
    const std::pair<scene::ParticleSystem*, bool> sprays[] = {{leftSpray, sled.leftSprayActive},
                                                              {rightSpray, sled.rightSprayActive}};
    for (const auto& [spray, active] : sprays) {
        const mat4 mvp = viewProjection * spray->getModelMatrix();
        if (active) {
            spray->drawEveryParticle = plainPasses;
            spray->pointScale = static_cast<float>(sceneSize().y) / static_cast<float>(windowHeight);
            glUseProgram(spray->program->program);
            uploadMatrix(spray->mvpLocation, mvp);
            uploadMatrix(spray->prevMvpLocation, spray->previousMvp);
            spray->draw();
        }
        spray->previousMvp = mvp;
    }
}

bool World::compositeCoversWindow() const { return (motionBlur || belowWindowSize()) && !plainPasses; }

void World::renderPostProcess()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    // The quad replaces every pixel: the window's old contents need no clear (a clear
    // is a pass over the whole window for the processor), nor its depth a test.
    if (!compositeCoversWindow()) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    // Below the window's size the blur is worked out at the scene's size and then
    // stretched over the window: the composite's cost falls with the scene's pixels.
    const bool stretched = compositeTarget && compositeTarget->width == sceneTarget->width &&
                           compositeTarget->height == sceneTarget->height;
    withCoveringState([&] {
        if (stretched) {
            glBindFramebuffer(GL_FRAMEBUFFER, compositeTarget->framebuffer);
            glViewport(0, 0, compositeTarget->width, compositeTarget->height);
        } else {
            glViewport(0, 0, windowWidth, windowHeight);
        }
        glUseProgram(postProcessProgram->program);
        glUniform1f(uniforms.blurScaleLocation, blurScale);
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, sceneTarget->imageTexture);
        glActiveTexture(GL_TEXTURE2);
        glBindTexture(GL_TEXTURE_2D, sceneTarget->velocityTexture);
        glUniform1i(uniforms.blurTextureLocation, 1);
        glUniform1i(uniforms.velocityTextureLocation, 2);
        glBindVertexArray(quadVertexArray);
        glDrawArrays(GL_TRIANGLES, 0, 6);
        if (stretched) {
            // Every pixel of the window, filtered from the smaller picture.
            stretchOverWindow(compositeTarget->texture);
        }
    });
}

}  // namespace frostline
