#include "render/ShadowCache.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/type_ptr.hpp>

#include "scene/Shape.h"

namespace frostline {

namespace {

/// Texels added on each side of a shape's rectangle: rasterised edges and lines
/// reach at most half a texel past the projected box.
constexpr float rectMargin = 1.0f;

/// The rectangle of the whole map.
constexpr TexelRect wholeMap{0, 0, shadowMapWidth, shadowMapHeight};

}  // namespace

TexelRect shadowTexelRect(const scene::Shape& shape, const mat4& depthMvp)
{
    vec3 boxMin;
    vec3 boxMax;
    if (!scene::meshesBox(shape, boxMin, boxMax)) {
        return {};
    }
    // The eight corners in the sun's clip space (orthographic: w stays 1).
    vec2 low(INFINITY);
    vec2 high(-INFINITY);
    for (int corner = 0; corner < 8; ++corner) {
        const vec3 p((corner & 1) ? boxMax.x : boxMin.x, (corner & 2) ? boxMax.y : boxMin.y,
                     (corner & 4) ? boxMax.z : boxMin.z);
        const vec4 clip = depthMvp * vec4(p, 1.0f);
        const vec2 texel = (vec2(clip) / clip.w * 0.5f + 0.5f) * vec2(shadowMapWidth, shadowMapHeight);
        low = glm::min(low, texel);
        high = glm::max(high, texel);
    }
    const auto clampX = [](float x) {
        return static_cast<GLint>(std::clamp(x, 0.0f, float(shadowMapWidth)));
    };
    const auto clampY = [](float y) {
        return static_cast<GLint>(std::clamp(y, 0.0f, float(shadowMapHeight)));
    };
    return {clampX(std::floor(low.x - rectMargin)), clampY(std::floor(low.y - rectMargin)),
            clampX(std::ceil(high.x + rectMargin)), clampY(std::ceil(high.y + rectMargin))};
}

void drawShapeDepth(scene::Shape& shape, const mat4& depthViewProjection, GLint depthMvpLocation)
{
    const mat4 depthMvp = depthViewProjection * shape.getModelMatrix();
    glUniformMatrix4fv(depthMvpLocation, 1, GL_FALSE, glm::value_ptr(depthMvp));
    shape.drawDepth();
}

ShadowCache::~ShadowCache() { release(); }

bool ShadowCache::create()
{
    const bool complete = copy.create();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return complete;
}

void ShadowCache::release()
{
    copy.release();
    invalidate();
}

void ShadowCache::markMoving(const scene::Shape* shape) { moving.insert(shape); }

void ShadowCache::invalidate()
{
    valid = false;
    still.clear();
    drawnRects.clear();
}

void ShadowCache::update(const ShadowTarget& target, const std::vector<scene::Shape*>& shapes,
                         const mat4& depthViewProjection, GLint depthMvpLocation)
{
    // Sort the shapes: a still one that has changed since the copy was drawn moves from now on.
    std::vector<scene::Shape*> stillShapes;
    std::vector<scene::Shape*> movingShapes;
    std::vector<StillShape> nowStill;
    for (scene::Shape* shape : shapes) {
        if (moving.count(shape) == 0) {
            const StillShape now{shape, shape->meshes.get(), shape->getModelMatrix()};
            const auto before = std::find_if(still.begin(), still.end(),
                                             [shape](const StillShape& s) { return s.shape == shape; });
            if (before == still.end() || *before == now) {
                stillShapes.push_back(shape);
                nowStill.push_back(now);
                continue;
            }
            moving.insert(shape);
        }
        movingShapes.push_back(shape);
    }

    // The copy is drawn again when what stands still, the sun or the polygon mode changed;
    // otherwise only the places the moving shapes covered last time are restored.
    GLint polygonMode[2] = {GL_FILL, GL_FILL};
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    if (!valid || nowStill != still || depthViewProjection != copyViewProjection ||
        polygonMode[0] != copyPolygonMode) {
        still = std::move(nowStill);
        copyViewProjection = depthViewProjection;
        copyPolygonMode = polygonMode[0];
        redrawCopy(target, stillShapes, depthViewProjection, depthMvpLocation);
    } else {
        for (const TexelRect& rect : drawnRects) {
            restore(target, rect);
        }
    }

    // The moving shapes over the restored map.
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    drawnRects.clear();
    for (scene::Shape* shape : movingShapes) {
        drawShapeDepth(*shape, depthViewProjection, depthMvpLocation);
        const TexelRect rect = shadowTexelRect(*shape, depthViewProjection * shape->getModelMatrix());
        if (!rect.empty()) {
            drawnRects.push_back(rect);
        }
    }
}

void ShadowCache::redrawCopy(const ShadowTarget& target, const std::vector<scene::Shape*>& stillShapes,
                             const mat4& depthViewProjection, GLint depthMvpLocation)
{
    glBindFramebuffer(GL_FRAMEBUFFER, copy.framebuffer);
    glClear(GL_DEPTH_BUFFER_BIT);
    for (scene::Shape* shape : stillShapes) {
        drawShapeDepth(*shape, depthViewProjection, depthMvpLocation);
    }
    restore(target, wholeMap);
    valid = true;
}

void ShadowCache::restore(const ShadowTarget& target, const TexelRect& rect) const
{
    // Same size and format on both sides and no scissor: the driver copies the texels as they are.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, copy.framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target.framebuffer);
    glBlitFramebuffer(rect.x0, rect.y0, rect.x1, rect.y1, rect.x0, rect.y0, rect.x1, rect.y1,
                      GL_DEPTH_BUFFER_BIT, GL_NEAREST);
}

}  // namespace frostline
