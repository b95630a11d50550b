// The sun's depth map kept from frame to frame. The sun never moves, so the depth
// of everything that stands still (the terrain, the scenery, the gates) is drawn
// once into a copy of the map. Each frame only the places where moving objects
// (the sled and its parts, the spinning pick-ups) were drawn the frame before are
// copied back from it, and the moving objects are drawn again. Depth testing keeps
// the nearest depth whatever the order of drawing, so the map is texel for texel
// the one a full clear and redraw gives, for a fraction of the work on 8000 x 4000.
#pragma once

#include <set>
#include <vector>

#include <GL/glew.h>

#include "render/RenderTargets.h"
#include "scene/Math.h"

namespace frostline {

namespace scene {
class Shape;
}

/// A rectangle of depth-map texels, [x0, x1) x [y0, y1).
struct TexelRect {
    GLint x0 = 0;
    GLint y0 = 0;
    GLint x1 = 0;
    GLint y1 = 0;
    /// True when the rectangle holds no texel.
    bool empty() const { return x0 >= x1 || y0 >= y1; }
};

/// The depth-map texels shape covers when drawn with depthMvp (model to the sun's clip
/// space), from the box around its meshes, one texel wider on each side; clamped to the map.
TexelRect shadowTexelRect(const scene::Shape& shape, const mat4& depthMvp);

/// Uploads depthViewProjection x the shape's model matrix to depthMvpLocation (the depth
/// program is bound) and draws the shape's depth.
void drawShapeDepth(scene::Shape& shape, const mat4& depthViewProjection, GLint depthMvpLocation);

class ShadowCache {
public:
    ShadowCache() = default;
    /// Releases the copy.
    ~ShadowCache();
    ShadowCache(const ShadowCache&) = delete;
    ShadowCache& operator=(const ShadowCache&) = delete;

    /// Builds the copy of the map (size and format of ShadowTarget); false when its
    /// framebuffer is incomplete (then the map must be drawn in full every frame).
    bool create();
    /// Deletes the copy; safe to call twice.
    void release();

    /// Treats shape as moving from the start: it is never drawn into the copy.
    void markMoving(const scene::Shape* shape);
    /// Forgets the copy and where moving objects were drawn: the next update draws the
    /// copy again and restores the whole map (after target was drawn by other means).
    void invalidate();

    /// Brings the depth of target up to date for shapes (the visible ones, in drawing
    /// order) as seen with depthViewProjection; the depth program is bound and reads its
    /// matrix at depthMvpLocation, and target's framebuffer, viewport and depth state
    /// are set. A shape counts as standing still while its model matrix and meshes stay
    /// as they were when the copy was drawn; one that changes is moving from then on and
    /// the copy is drawn again without it. Leaves target's framebuffer bound.
    void update(const ShadowTarget& target, const std::vector<scene::Shape*>& shapes,
                const mat4& depthViewProjection, GLint depthMvpLocation);

    /// Shapes whose depth the copy holds.
    std::size_t stillCount() const { return still.size(); }

private:
    /// A shape as it was drawn into the copy.
    struct StillShape {
        const scene::Shape* shape = nullptr;
        const void* meshes = nullptr;  ///< its mesh list
        mat4 model{1.0f};              ///< its model matrix
        bool operator==(const StillShape& other) const = default;
    };

    /// Clears the copy, draws the still shapes into it and copies all of it into target.
    void redrawCopy(const ShadowTarget& target, const std::vector<scene::Shape*>& stillShapes,
                    const mat4& depthViewProjection, GLint depthMvpLocation);
    /// Copies one rectangle of the copy into target's depth.
    void restore(const ShadowTarget& target, const TexelRect& rect) const;

    ShadowTarget copy;                       ///< depth of the still shapes alone
    bool valid = false;                      ///< the copy holds `still` as drawn with copyViewProjection
    mat4 copyViewProjection{1.0f};           ///< the sun's matrix the copy was drawn with
    GLint copyPolygonMode = GL_FILL;         ///< polygon mode the copy was drawn in
    std::vector<StillShape> still;           ///< what the copy holds, in drawing order
    std::set<const scene::Shape*> moving;    ///< shapes never drawn into the copy
    std::vector<TexelRect> drawnRects;       ///< where moving shapes were drawn into the target last time
};

}  // namespace frostline
