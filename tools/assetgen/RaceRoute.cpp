#include "tools/assetgen/RaceRoute.h"

#include <cmath>
#include <limits>

#include "tools/assetgen/LevelLayout.h"

namespace frostline {

namespace {

constexpr float unset = std::numeric_limits<float>::quiet_NaN();
/// Lead-in and lead-out distance before and after a gate, straight through it (world units).
constexpr float gateLead = 7.0f;
/// Distance from a gate over which the trough gives way to the gate's sideways tilt (world units).
constexpr float gateBlendNear = 5.0f;
constexpr float gateBlendFar = 14.0f;

/// The five gates of the level in their order (the checkpoint rows of the layout).
const PlacedObject& gateObject(int gate)
{
    int seen = 0;
    for (const PlacedObject& object : levelObjects) {
        if (object.contact == GroundContact::Gate && ++seen == gate) {
            return object;
        }
    }
    return levelObjects[0];
}

/// The gates' wings along the crossbar: from wingStart out to wingEnd of each gate (world units).
/// A wing's foot stays clear of the gate's own (4 out), and its steep side comes within a
/// sled's width of the post: a sled that misses the post meets the wing.
constexpr float wingStart = 8.0f;
constexpr float wingEnd[5] = {16.0f, 10.0f, 16.0f, 0.0f, 20.0f};  // gate 4 has a guide of its own

/// Which way the sled rides through each gate along the gate's own z axis (+1 or -1).
constexpr float gateSense[5] = {-1.0f, -1.0f, -1.0f, -1.0f, 1.0f};

/// Snow height under a pick-up so that the capsule, riding, passes through it.
float pickupGround(float x, float z)
{
    for (const PlacedObject& object : levelObjects) {
        if (object.contact == GroundContact::Hovers && object.position.x == x && object.position.z == z) {
            return object.position.y - sledRideHeight;
        }
    }
    return unset;
}

RouteControl at(float x, float z, float height = unset) { return {{x, z}, height, 0}; }
RouteControl pickup(float x, float z) { return {{x, z}, pickupGround(x, z), 0}; }

void addGate(std::vector<RouteControl>& controls, int gate)
{
    const PlacedObject& object = gateObject(gate);
    const glm::vec2 centre(object.position.x, object.position.z);
    const glm::vec2 travel = gateTravelDirection(gate);
    controls.push_back({centre - travel * gateLead, unset, 0});
    controls.push_back({centre, object.position.y, gate});
    controls.push_back({centre + travel * gateLead, unset, 0});
}

/// Centripetal Catmull-Rom point between p1 and p2 at t in 0..1.
glm::vec2 catmullRom(glm::vec2 p0, glm::vec2 p1, glm::vec2 p2, glm::vec2 p3, float t)
{
    auto knot = [](glm::vec2 a, glm::vec2 b) { return std::sqrt(std::max(glm::length(b - a), 1e-4f)); };
    const float t0 = 0.0f, t1 = t0 + knot(p0, p1), t2 = t1 + knot(p1, p2), t3 = t2 + knot(p2, p3);
    const float s = t1 + (t2 - t1) * t;
    const glm::vec2 a1 = (t1 - s) / (t1 - t0) * p0 + (s - t0) / (t1 - t0) * p1;
    const glm::vec2 a2 = (t2 - s) / (t2 - t1) * p1 + (s - t1) / (t2 - t1) * p2;
    const glm::vec2 a3 = (t3 - s) / (t3 - t2) * p2 + (s - t2) / (t3 - t2) * p3;
    const glm::vec2 b1 = (t2 - s) / (t2 - t0) * a1 + (s - t0) / (t2 - t0) * a2;
    const glm::vec2 b2 = (t3 - s) / (t3 - t1) * a2 + (s - t1) / (t3 - t1) * a3;
    return (t2 - s) / (t2 - t1) * b1 + (s - t1) / (t2 - t1) * b2;
}

}  // namespace

glm::vec2 gateTravelDirection(int gate)
{
    const float turn = glm::radians(gateObject(gate).turnY);
    // The gate's own z axis after its turn about Y; its posts stand along its x axis.
    return gateSense[gate - 1] * glm::vec2(std::sin(turn), std::cos(turn));
}

std::vector<RouteControl> raceRouteControls()
{
    const glm::vec3 start = levelObjects[std::size(levelObjects) - 1].position;
    std::vector<RouteControl> c;
    // Start: the sled faces +x on a shelf in the top corner, then rides down past snowflake 1.
    c.push_back(at(start.x, start.z, start.y - sledRideHeight - sledStartDrop));
    c.push_back(at(start.x + 9.0f, start.z + 0.5f));
    c.push_back(at(-42.0f, 97.0f));
    c.push_back(pickup(-21.4f, 95.2f));
    addGate(c, 1);
    // Gate 1 to 2: a wide right-hand bend across the shoulder, then east through gate 2.
    c.push_back(at(-12.0f, 66.0f));
    c.push_back(pickup(-25.3f, 58.6f));
    c.push_back(at(-41.0f, 48.0f));
    c.push_back(at(-53.0f, 36.0f));
    addGate(c, 2);
    // Gate 2 to 3: a long traverse east over the cow.
    c.push_back(pickup(-25.2f, 28.1f));
    c.push_back(at(0.0f, 27.0f));
    c.push_back(at(28.0f, 28.0f));
    c.push_back(at(52.0f, 30.5f));
    addGate(c, 3);
    // Gate 3 to 4: a right-hand turn back west and the long run down the fall line.
    c.push_back(at(88.0f, 14.0f));
    c.push_back(at(80.0f, 3.5f));
    c.push_back(pickup(63.5f, 0.2f));
    c.push_back(pickup(43.8f, -18.24f));
    c.push_back(pickup(18.55f, -48.3f));
    c.push_back(pickup(-20.17f, -69.0f));
    c.push_back(at(-39.5f, -79.2f));  // south of the stump, which stands on the straight line
    c.push_back(pickup(-55.1f, -79.4f));
    c.push_back(at(-68.0f, -82.5f));
    c.push_back(at(-74.0f, -89.0f));
    addGate(c, 4);
    // Gate 4 to 5: the last descent over the cow to the finish and the run-out.
    c.push_back(pickup(-24.2f, -113.0f));
    c.push_back(pickup(8.15f, -99.25f));
    c.push_back(pickup(28.78f, -89.7f));
    addGate(c, 5);
    c.push_back(at(85.0f, -97.0f));
    c.push_back(at(104.0f, -97.0f, 1.0f));
    return c;
}

std::vector<CourseWall> courseWalls()
{
    std::vector<CourseWall> walls = {
        // Beyond gate 1, round the outside of the turn toward gate 2: riding straight on from
        // gate 1 leads into it, not on down to gate 3.
        {{{16.0f, 86.0f}, {22.0f, 76.0f}, {22.0f, 64.0f}, {16.0f, 54.0f}}},
        // Beyond gate 3, round the outside of the turn back toward gate 4.
        {{{84.0f, 48.0f}, {97.0f, 40.0f}, {101.0f, 26.0f}, {98.0f, 12.0f}, {90.0f, 2.0f}}},
        // From gate 3 down toward gate 4, between the trees and rocks on either side of the line.
        {{{62.0f, 10.0f}, {48.0f, -2.0f}, {30.0f, -22.0f}, {20.0f, -34.0f}}},
        {{{78.0f, -4.0f}, {60.0f, -20.0f}, {42.0f, -38.0f}, {30.0f, -52.0f}}},
        // Gate 4 is met from above along its crossbar: beside the far side of the crossbar, a
        // wall brings a sled that rides for the gate onto its upper post.
        {{{-53.5f, -92.5f}, {-48.9f, -85.9f}}},
    };
    // Wings on both sides of every gate, along its crossbar: a sled that rides for the gate
    // and runs wide of a post meets a wing and slides along it to the gate.
    for (int gate = 1; gate <= 5; ++gate) {
        const PlacedObject& object = gateObject(gate);
        const glm::vec2 centre(object.position.x, object.position.z);
        const glm::vec2 travel = gateTravelDirection(gate);
        const glm::vec2 crossbar(-travel.y, travel.x);
        for (const float side : {-1.0f, 1.0f}) {
            if (wingEnd[gate - 1] > wingStart) {
                walls.push_back({{centre + crossbar * (side * wingStart),
                                  centre + crossbar * (side * wingEnd[gate - 1])}});
            }
        }
    }
    return walls;
}

std::vector<RouteSample> sampleRaceRoute(float spacing)
{
    const std::vector<RouteControl> c = raceRouteControls();
    const int count = static_cast<int>(c.size());

    // Walk the curve finely, noting the arc length at every control point.
    std::vector<glm::vec2> points;
    std::vector<float> arc;
    std::vector<float> controlArc(count, 0.0f);
    std::vector<int> gateAtPoint;
    constexpr int steps = 64;
    for (int i = 0; i + 1 < count; ++i) {
        const glm::vec2 p0 = c[std::max(i - 1, 0)].xz, p1 = c[i].xz, p2 = c[i + 1].xz;
        const glm::vec2 p3 = c[std::min(i + 2, count - 1)].xz;
        // Mirror the end points so the curve has a tangent at both ends.
        const glm::vec2 q0 = i == 0 ? 2.0f * p1 - p2 : p0;
        const glm::vec2 q3 = i + 2 >= count ? 2.0f * p2 - p1 : p3;
        for (int s = (i == 0 ? 0 : 1); s <= steps; ++s) {
            const glm::vec2 p = catmullRom(q0, p1, p2, q3, static_cast<float>(s) / steps);
            arc.push_back(points.empty() ? 0.0f : arc.back() + glm::length(p - points.back()));
            points.push_back(p);
        }
        controlArc[i + 1] = arc.back();
    }

    // Heights: straight grades by arc length between the controls that fix a height.
    auto heightAt = [&](float distance) {
        int before = 0, after = count - 1;
        for (int i = 0; i < count; ++i) {
            if (std::isnan(c[i].height)) {
                continue;
            }
            if (controlArc[i] <= distance) {
                before = i;
            }
            if (controlArc[i] >= distance) {
                after = i;
                break;
            }
        }
        if (before == after || controlArc[after] <= controlArc[before]) {
            return c[before].height;
        }
        const float t = (distance - controlArc[before]) / (controlArc[after] - controlArc[before]);
        return glm::mix(c[before].height, c[after].height, t);
    };

    std::vector<RouteSample> samples;
    std::size_t k = 0;
    for (float distance = 0.0f; distance <= arc.back(); distance += spacing) {
        while (k + 2 < arc.size() && arc[k + 1] < distance) {
            ++k;
        }
        const float t = (distance - arc[k]) / std::max(arc[k + 1] - arc[k], 1e-6f);
        RouteSample sample{};
        sample.xz = glm::mix(points[k], points[k + 1], t);
        sample.direction = glm::normalize(points[k + 1] - points[k]);
        sample.height = heightAt(distance);
        sample.distance = distance;
        sample.troughWeight = 1.0f;
        // Near a gate the snow tilts sideways with the gate's Z turn, so both feet stand on it.
        for (int i = 0; i < count; ++i) {
            if (c[i].gate == 0) {
                continue;
            }
            if (controlArc[i] <= distance + 1e-3f) {
                sample.lastGate = c[i].gate;
            }
            const float away = std::abs(distance - controlArc[i]);
            const float weight = 1.0f - glm::smoothstep(gateBlendNear, gateBlendFar, away);
            if (weight > 0.0f) {
                const PlacedObject& gate = gateObject(c[i].gate);
                const float turnY = glm::radians(gate.turnY), turnZ = glm::radians(gate.turnZ);
                const glm::vec2 crossbar(std::cos(turnY), -std::sin(turnY));
                sample.tiltGradient = weight * std::tan(turnZ) * crossbar;
                sample.troughWeight = 1.0f - weight;
            }
        }
        samples.push_back(sample);
    }
    return samples;
}

}  // namespace frostline
