#include "ui/GatePointer.h"

#include <cmath>
#include <limits>

#include <glm/gtc/type_ptr.hpp>

#include "app/Globals.h"
#include "app/RaceState.h"
#include "physics/SightWorld.h"
#include "render/ShaderProgram.h"
#include "render/World.h"
#include "scene/GateMarker.h"
#include "ui/ScreenQuad.h"

namespace frostline::ui {

namespace {

/// Room kept between the arrow's centre and the screen's edges (pixels): enough for
/// the arrow, and above and below it the clock, the message line, the points and
/// the gate count.
constexpr float sideMargin = 70.0f;
constexpr float topMargin = 210.0f;
constexpr float bottomMargin = 130.0f;

/// The arrow, pointing right, about its centre (pixels): a head and a shaft.
constexpr float arrowShape[] = {
    36.0f, 0.0f, 3.0f, 30.0f, 3.0f, -30.0f,  // head
    -33.0f, -12.0f, 3.0f, -12.0f, 3.0f, 12.0f,  // shaft
    -33.0f, -12.0f, 3.0f, 12.0f, -33.0f, 12.0f,
};

/// How much larger the dark rim is drawn behind the arrow.
constexpr float rimSize = 1.3f;
const vec4 arrowColour(1.0f, 0.60f, 0.02f, 1.0f);
const vec4 rimColour(0.08f, 0.04f, 0.0f, 0.85f);

/// The place of point in the sign's own frame: the middle of its mesh box.
vec3 signCentre(scene::GateMarker& marker)
{
    vec3 boxMin(0.0f);
    vec3 boxMax(0.0f);
    scene::meshesBox(marker, boxMin, boxMax);
    const vec4 centre = marker.getModelMatrix() * vec4(0.5f * (boxMin + boxMax), 1.0f);
    return vec3(centre);
}

/// How far inside the board's corners the points looked for lie (of the half size).
constexpr float boardCornerInset = 0.8f;
/// Distance from the arrow's centre to its tip, and the gap kept between the tip and
/// a hidden sign's place (pixels).
constexpr float arrowTip = 36.0f;
constexpr float tipGap = 14.0f;

/// A corner of the board of marker (k = 0..7), or its middle (k < 0), in world space;
/// inset moves the corners toward the middle (1: the corners themselves).
vec3 boardPoint(scene::GateMarker& marker, int k, float inset)
{
    // The board is the sign's first mesh (the pole comes after it).
    const scene::MeshEntry& board = marker.meshes->front();
    const vec3 middle = 0.5f * (board.boxMin + board.boxMax);
    const vec3 half = 0.5f * (board.boxMax - board.boxMin) * inset;
    const vec3 corner = k < 0 ? vec3(0.0f) : vec3(k & 1 ? 1 : -1, k & 2 ? 1 : -1, k & 4 ? 1 : -1);
    return vec3(marker.getModelMatrix() * vec4(middle + corner * half, 1.0f));
}

/// How far the board of marker reaches on the screen from screen (its middle, NDC), in pixels.
float signFootprint(scene::GateMarker& marker, const mat4& viewProjection, vec2 screen, float width,
                    float height)
{
    float reach = 0.0f;
    for (int k = 0; k < 8; ++k) {
        const vec4 clip = viewProjection * vec4(boardPoint(marker, k, 1.0f), 1.0f);
        if (clip.w > 0.0f) {
            const vec2 offset = (vec2(clip) / clip.w - screen) * vec2(0.5f * width, 0.5f * height);
            reach = std::max(reach, glm::length(offset));
        }
    }
    return reach;
}

/// Turns the guide to a sign that is on the screen but hidden (behind a hill, a tree)
/// into an arrow pointing at its place: just below it, pointing up (above it, pointing
/// down, where there is no room below), its tip clear of the sign's footprint (pixels).
void pointAtHiddenSign(GateGuide& guide, float footprint, float width, float height)
{
    const vec2 half(0.5f * width, 0.5f * height);
    const vec2 sign = guide.screen * half;
    const float offset = footprint + arrowTip + tipGap;
    const bool below = sign.y - offset >= -(half.y - bottomMargin);
    vec2 arrow(sign.x, below ? sign.y - offset : sign.y + offset);
    arrow.x = std::clamp(arrow.x, -(half.x - sideMargin), half.x - sideMargin);
    guide.inView = false;
    guide.hidden = true;
    guide.pointer = true;
    guide.angle = below ? 90.0f : -90.0f;
    guide.pointerPosition = arrow / half;
}

}  // namespace

bool signSeen(scene::GateMarker& marker, const mat4& viewProjection, vec3 eye, const SightWorld* sight)
{
    if (marker.meshes->empty()) {
        return false;
    }
    for (int k = -1; k < 8; ++k) {
        const vec3 point = boardPoint(marker, k, boardCornerInset);
        const vec4 clip = viewProjection * vec4(point, 1.0f);
        const bool onScreen = clip.w > 0.0f && std::fabs(clip.x) <= clip.w && std::fabs(clip.y) <= clip.w;
        if (onScreen && (!sight || sight->lineOfSight(eye, point, static_cast<scene::Shape*>(&marker)))) {
            return true;
        }
    }
    return false;
}

GateGuide guideToPoint(const mat4& viewProjection, vec3 point, float width, float height)
{
    GateGuide guide;
    guide.active = true;
    const vec4 clip = viewProjection * vec4(point, 1.0f);
    if (clip.w > 0.0f) {
        const vec2 ndc = vec2(clip) / clip.w;
        if (std::fabs(ndc.x) <= 1.0f && std::fabs(ndc.y) <= 1.0f) {
            guide.inView = true;
            guide.screen = ndc;
            return guide;
        }
    }
    // Toward the projection, in pixels: for a point in front clip.xy / w points there;
    // behind the eye w changes sign and the projection is mirrored, so clip.xy itself
    // keeps the point's own side. Straight behind, the arrow points down.
    vec2 toward(clip.x * width, clip.y * height);
    if (glm::length(toward) < 1e-6f * (width + height)) {
        toward = vec2(0.0f, -1.0f);
    }
    toward = glm::normalize(toward);
    guide.pointer = true;
    guide.angle = std::atan2(toward.y, toward.x) / degreesToRadians;

    // From the screen's centre along that direction to the edge of the inset frame.
    const float halfWidth = std::max(0.5f * width - sideMargin, 1.0f);
    const float halfUp = std::max(0.5f * height - topMargin, 1.0f);
    const float halfDown = std::max(0.5f * height - bottomMargin, 1.0f);
    const float reachX = std::fabs(toward.x) > 1e-6f ? halfWidth / std::fabs(toward.x)
                                                     : std::numeric_limits<float>::max();
    const float halfY = toward.y >= 0.0f ? halfUp : halfDown;
    const float reachY = std::fabs(toward.y) > 1e-6f ? halfY / std::fabs(toward.y)
                                                     : std::numeric_limits<float>::max();
    const vec2 pixels = toward * std::min(reachX, reachY);
    guide.pointerPosition = vec2(pixels.x / (0.5f * width), pixels.y / (0.5f * height));
    return guide;
}

GateGuide guideToNextGate(World& world, const RaceState& race)
{
    if (race.gameOver || !world.camera) {
        return {};
    }
    for (scene::GateMarker* marker : world.gateMarkers) {
        if (marker->number != race.nextCheckpoint) {
            continue;
        }
        const mat4 viewProjection = world.camera->projection * inverse(world.camera->getModelMatrix());
        const float width = static_cast<float>(windowWidth), height = static_cast<float>(windowHeight);
        const vec3 centre = signCentre(*marker);
        GateGuide guide = guideToPoint(viewProjection, centre, width, height);
        guide.gate = marker->number;
        const bool seen = signSeen(*marker, viewProjection, world.camera->position, world.sight.get());
        if (seen && !guide.inView) {
            // Only an edge of the sign is on the screen: that is enough to ride by.
            const vec4 clip = viewProjection * vec4(centre, 1.0f);
            guide.screen =
                clip.w > 0.0f ? glm::clamp(vec2(clip) / clip.w, vec2(-1.0f), vec2(1.0f)) : vec2(0.0f);
            guide.inView = true;
            guide.pointer = false;
        } else if (!seen && guide.inView) {
            pointAtHiddenSign(guide, signFootprint(*marker, viewProjection, guide.screen, width, height),
                              width, height);
        }
        return guide;
    }
    return {};
}

GatePointer::GatePointer()
{
    program = new ShaderProgram("Shader/pointer.vert", "Shader/pointer.frag");
    translateLocation = glGetUniformLocation(program->program, "translate");
    scaleLocation = glGetUniformLocation(program->program, "scale");
    directionLocation = glGetUniformLocation(program->program, "direction");
    sizeLocation = glGetUniformLocation(program->program, "size");
    colorLocation = glGetUniformLocation(program->program, "color");

    vertexCount = static_cast<GLsizei>(std::size(arrowShape) / 2);
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(arrowShape), arrowShape, GL_STATIC_DRAW);
    attachVec2Attribute(program->program, "vPosition", vertexBuffer);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

GatePointer::~GatePointer()
{
    releaseVertexArray(vertexArray, vertexBuffer);
    delete program;
    program = nullptr;
}

void GatePointer::draw(const GateGuide& guide) const
{
    if (!guide.pointer || !program) {
        return;
    }
    glUseProgram(program->program);
    glUniform2f(translateLocation, guide.pointerPosition.x, guide.pointerPosition.y);
    glUniform2f(scaleLocation, 2.0f / static_cast<float>(windowWidth),
                2.0f / static_cast<float>(windowHeight));
    const float radians = guide.angle * degreesToRadians;
    glUniform2f(directionLocation, std::cos(radians), std::sin(radians));
    glBindVertexArray(vertexArray);
    // The dark rim first, then the arrow over it.
    glUniform1f(sizeLocation, rimSize);
    glUniform4fv(colorLocation, 1, glm::value_ptr(rimColour));
    glDrawArrays(GL_TRIANGLES, 0, vertexCount);
    glUniform1f(sizeLocation, 1.0f);
    glUniform4fv(colorLocation, 1, glm::value_ptr(arrowColour));
    glDrawArrays(GL_TRIANGLES, 0, vertexCount);
    glBindVertexArray(0);
}

}  // namespace frostline::ui
