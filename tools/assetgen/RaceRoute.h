// The line a sled rides from the start through gates 1 to 5: control points
// joined by a smooth curve, with the snow height the terrain gives along it.
// The terrain is carved along this line; a driver can follow it to win.
#pragma once

#include <vector>

#include <glm/glm.hpp>

namespace frostline {

/// A point of the route as the generator samples it (world units, y up).
struct RouteSample {
    glm::vec2 xz;            ///< position on the ground plane (x, z)
    glm::vec2 direction;     ///< unit travel direction on the ground plane
    float height;            ///< snow height under the route
    float distance;          ///< arc length from the start along the ground plane
    glm::vec2 tiltGradient;  ///< sideways rise of the snow near a gate (height per unit in x and z)
    float troughWeight;      ///< 1 where the route runs in a trough, 0 under a gate
    int lastGate;            ///< number of the last gate passed at this point (0 before gate 1)
};

/// One control point of the route: position and snow height (NaN: interpolated).
struct RouteControl {
    glm::vec2 xz;
    float height;
    int gate;  ///< 1..5 when this is a gate's centre, otherwise 0
};

/// A wall of snow a sled cannot climb, along a line on the ground: where the straight way
/// to the next gate would meet a tree or run wide of a turn, it keeps the sled on the line.
struct CourseWall {
    std::vector<glm::vec2> crest;  ///< the wall's top, point by point (x, z), world units
};

/// The course's walls.
std::vector<CourseWall> courseWalls();
/// The route's control points in riding order, gates included with their lead-in and lead-out points.
std::vector<RouteControl> raceRouteControls();
/// The route sampled every spacing world units along its length, start first.
std::vector<RouteSample> sampleRaceRoute(float spacing);
/// Travel direction through gate number (1..5) on the ground plane, unit length.
glm::vec2 gateTravelDirection(int gate);

}  // namespace frostline
