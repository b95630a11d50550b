// Where the HUD sends the player: the next gate's sign on the screen, or, while
// the sign cannot be seen, an arrow with the gate's number beside it: at the
// screen's edge pointing toward a sign outside the view, or just below the place
// of a sign that a hill, a tree or a wall hides, pointing at that place.
#pragma once

#include <cstdint>

#include <GL/glew.h>

#include "scene/Math.h"

namespace frostline {
class World;
class RaceState;
class ShaderProgram;
class SightWorld;
namespace scene {
class GateMarker;
}
}  // namespace frostline

namespace frostline::ui {

/// What the HUD shows of the way to the next gate this frame.
struct GateGuide {
    bool active = false;         ///< there is a gate to pass next and the race is not decided
    std::int32_t gate = 0;       ///< the number of that gate
    bool inView = false;         ///< its sign is seen: on the screen, and nothing hides it
    bool hidden = false;         ///< its sign's place is on the screen but hidden: the arrow points there
    vec2 screen{0.0f};           ///< the sign's place on the screen while in view or hidden (NDC)
    bool pointer = false;        ///< the arrow is shown (active and not seen)
    float angle = 0.0f;          ///< the arrow's direction on the screen (degrees; 0 right, 90 up)
    vec2 pointerPosition{0.0f};  ///< the arrow's centre (NDC): at the screen's edge, or beside a hidden sign
};

/// The guide toward point (world units) seen through viewProjection on a window of
/// width x height pixels. The arrow points from the screen's centre toward the
/// point's projection; a point behind the eye, whose projection comes out mirrored,
/// is pointed at on its own side (left stays left), and straight behind is down.
GateGuide guideToPoint(const mat4& viewProjection, vec3 point, float width, float height);
/// Whether a player at eye sees the sign: a point of its board (the middle, or a corner
/// a little inside) lies on the screen of viewProjection with nothing the eye meets in
/// between. Without a sight world, on the screen is enough.
bool signSeen(scene::GateMarker& marker, const mat4& viewProjection, vec3 eye, const SightWorld* sight);
/// The guide toward the sign of the race's next gate from the World's camera, on
/// the window (windowWidth x windowHeight): the sign while it is seen, else the arrow
/// (beside its place when that is on the screen but hidden, never over the sign);
/// inactive once the race is decided.
GateGuide guideToNextGate(World& world, const RaceState& race);

/// Draws the arrow of a guide: a flat amber arrow with a dark rim, pointing along the
/// guide's angle. Owns its shader program ("Shader/pointer.vert", "Shader/pointer.frag"),
/// vertex buffer and vertex array.
class GatePointer {
public:
    /// Builds the program and the arrow's geometry (needs the GL context).
    GatePointer();
    /// Releases the program, buffer and vertex array.
    ~GatePointer();
    GatePointer(const GatePointer&) = delete;
    GatePointer& operator=(const GatePointer&) = delete;

    /// Draws the arrow when guide.pointer is set, with the current GL state.
    void draw(const GateGuide& guide) const;

private:
    ShaderProgram* program = nullptr;  ///< the arrow's program (owned)
    GLuint vertexBuffer = 0;           ///< the arrow's triangles, pixels about its centre, pointing right
    GLuint vertexArray = 0;            ///< binds "vPosition" to vertexBuffer
    GLint translateLocation = -1;      ///< "translate": the arrow's centre (NDC)
    GLint scaleLocation = -1;          ///< "scale": NDC per pixel
    GLint directionLocation = -1;      ///< "direction": cosine and sine of the angle
    GLint sizeLocation = -1;           ///< "size": 1 for the arrow, more for its rim
    GLint colorLocation = -1;          ///< "color": RGBA
    GLsizei vertexCount = 0;           ///< vertices in vertexBuffer
};

}  // namespace frostline::ui
