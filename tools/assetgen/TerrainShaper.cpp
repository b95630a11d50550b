#include "tools/assetgen/TerrainShaper.h"

#include <algorithm>
#include <cmath>

#include "tools/assetgen/LevelLayout.h"
#include "tools/assetgen/RaceRoute.h"
#include "tools/assetgen/Shapes.h"

namespace frostline {

namespace {

/// Spline distances are measured in hundreds of world units, which keeps the system well scaled.
constexpr double splineUnit = 0.01;
/// Route anchors: spacing along the route and the sideways offsets of the trough profile (world units).
constexpr float routeSpacing = 4.0f;
constexpr float troughOffsets[] = {4.5f, 9.0f};
/// Rise of the trough's sides: height = troughCurve * offset^2 (world units).
constexpr float troughCurve = 0.022f;
/// Banking where the route turns tighter than a radius of widestBankedTurn: the outside
/// of a turn of radius r rises by bankGain * (1 / r - 1 / widestBankedTurn) per unit out
/// (a turn of radius 12 tilts by about 11 degrees), at most by steepestBank. Wide bends
/// stay level: on a tilt a sled riding straight drifts a little toward its high side.
constexpr float bankGain = 4.0f;
constexpr float widestBankedTurn = 30.0f;
constexpr float steepestBank = 0.3f;
/// Route samples either side over which its turning is measured.
constexpr int bankSpan = 2;
/// Bumps: amplitude (world units) and the distance from anchors over which they fade in.
constexpr float bumpAmplitude = 1.6f;
constexpr float bumpFadeNear = 6.0f;
constexpr float bumpFadeFar = 20.0f;

double kernel(double r)
{
    return r > 0.0 ? r * r * std::log(r) : 0.0;
}

/// Solves a x = b in place by Gaussian elimination with partial pivoting (a is n x n, row-major).
void solveDense(std::vector<double>& a, std::vector<double>& b, std::size_t n)
{
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t row = col + 1; row < n; ++row) {
            if (std::abs(a[row * n + col]) > std::abs(a[pivot * n + col])) {
                pivot = row;
            }
        }
        if (pivot != col) {
            std::swap_ranges(a.begin() + col * n, a.begin() + (col + 1) * n, a.begin() + pivot * n);
            std::swap(b[col], b[pivot]);
        }
        const double diagonal = a[col * n + col];
        for (std::size_t row = col + 1; row < n; ++row) {
            const double factor = a[row * n + col] / diagonal;
            if (factor == 0.0) {
                continue;
            }
            double* target = &a[row * n];
            const double* source = &a[col * n];
            for (std::size_t k = col; k < n; ++k) {
                target[k] -= factor * source[k];
            }
            b[row] -= factor * b[col];
        }
    }
    for (std::size_t col = n; col-- > 0;) {
        double sum = b[col];
        for (std::size_t k = col + 1; k < n; ++k) {
            sum -= a[col * n + k] * b[k];
        }
        b[col] = sum / a[col * n + col];
    }
}

}  // namespace

TerrainShaper::TerrainShaper()
{
    collectObjectAnchors();
    objectAnchorCount = points.size();
    collectRouteAnchors();
    fitSpline();
}

void TerrainShaper::addIfFree(const GroundAnchor& anchor, float minimumSpacing)
{
    for (const GroundAnchor& other : points) {
        if (glm::length(other.xz - anchor.xz) < minimumSpacing) {
            return;
        }
    }
    points.push_back(anchor);
}

void TerrainShaper::collectObjectAnchors()
{
    for (const PlacedObject& object : levelObjects) {
        const glm::vec2 origin(object.position.x, object.position.z);
        const float y = object.position.y;
        const float turnY = glm::radians(object.turnY);
        // The object's own x axis on the ground plane after its turn about Y.
        const glm::vec2 alongX(std::cos(turnY), -std::sin(turnY));
        const std::string label = object.model;
        switch (object.contact) {
        case GroundContact::Stands:
            // A small level pad, so the mesh between grid points still meets the foot.
            addIfFree({origin, y, 0.0f, label}, 0.5f);
            for (const glm::vec2 pad :
                 {glm::vec2(1, 0), glm::vec2(-1, 0), glm::vec2(0, 1), glm::vec2(0, -1)}) {
                addIfFree({origin + pad * 1.2f, y, 0.0f, label + " pad"}, 0.5f);
            }
            if (label == "Models/billboard.obj") {
                addIfFree({origin + alongX * billboardPostOffset, y, 0.0f, label + " post"}, 0.5f);
                addIfFree({origin - alongX * billboardPostOffset, y, 0.0f, label + " post"}, 0.5f);
            }
            break;
        case GroundContact::Lies: {
            // A level bed under the whole trunk, so neither end floats or sinks between grid points.
            const glm::vec2 across(-alongX.y, alongX.x);
            const float reach = fallenTreeHalfLength + 1.2f;
            for (float along = -reach; along <= reach + 0.01f; along += reach / 3) {
                for (float side : {-1.0f, 0.0f, 1.0f}) {
                    addIfFree({origin + alongX * along + across * side, y, 0.0f, label + " bed"}, 0.5f);
                }
            }
            break;
        }
        case GroundContact::Gate: {
            // Both feet on the snow: the crossbar tilts by the gate's turn about Z.
            const float turnZ = glm::radians(object.turnZ);
            const glm::vec2 foot = alongX * gateFootOffset * std::cos(turnZ);
            const float rise = gateFootOffset * std::sin(turnZ);
            addIfFree({origin, y, 0.0f, label}, 0.5f);
            addIfFree({origin + foot, y + rise, 0.0f, label + " foot"}, 0.5f);
            addIfFree({origin - foot, y - rise, 0.0f, label + " foot"}, 0.5f);
            pins.insert(pins.end(), {origin, origin + foot, origin - foot});
            break;
        }
        case GroundContact::Hovers:
            addIfFree({origin, y - sledRideHeight, 0.0f, label}, 0.5f);
            break;
        case GroundContact::Start:
            addIfFree({origin, y - sledRideHeight - sledStartDrop, 0.0f, "start"}, 0.5f);
            break;
        }
    }
}

void TerrainShaper::collectRouteAnchors()
{
    const std::vector<RouteSample> route = sampleRaceRoute(routeSpacing);
    // The route's centre line first, so the trough sides give way to it where the route loops.
    for (const RouteSample& sample : route) {
        addIfFree({sample.xz, sample.height, 0.02f, "route"}, 2.5f);
    }
    for (float offset : troughOffsets) {
        for (std::size_t k = 0; k < route.size(); ++k) {
            const RouteSample& sample = route[k];
            const glm::vec2 side(-sample.direction.y, sample.direction.x);
            // Turning toward side is positive: that side is the inside, the other is banked up.
            const RouteSample& before = route[k >= bankSpan ? k - bankSpan : 0];
            const RouteSample& after = route[std::min(k + bankSpan, route.size() - 1)];
            const float turning =
                (before.direction.x * after.direction.y - before.direction.y * after.direction.x) /
                std::max(after.distance - before.distance, 1e-3f);
            const float tight = std::max(std::abs(turning) - 1.0f / widestBankedTurn, 0.0f);
            const float bank =
                glm::clamp(-bankGain * std::copysign(tight, turning), -steepestBank, steepestBank) *
                sample.troughWeight;
            for (float sign : {-1.0f, 1.0f}) {
                const glm::vec2 xz = sample.xz + side * (sign * offset);
                // Keep the trough away from the objects' own anchors, whose heights win.
                bool nearObject = false;
                for (std::size_t i = 0; i < objectAnchorCount; ++i) {
                    nearObject = nearObject || glm::length(points[i].xz - xz) < 6.0f;
                }
                if (nearObject) {
                    continue;
                }
                const float height = sample.height + glm::dot(sample.tiltGradient, side * (sign * offset)) +
                                     sample.troughWeight * troughCurve * offset * offset +
                                     bank * sign * offset;
                addIfFree({xz, height, 0.05f, "trough"}, 3.5f);
            }
        }
    }
}

void TerrainShaper::fitSpline()
{
    // Thin-plate spline: [K + S, P; P^T, 0] [w; a] = [h; 0], P = (1, x, z).
    const std::size_t n = points.size(), size = n + 3;
    std::vector<double> a(size * size, 0.0), b(size, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        const glm::dvec2 pi = glm::dvec2(points[i].xz) * splineUnit;
        for (std::size_t j = 0; j < n; ++j) {
            a[i * size + j] = kernel(glm::length(pi - glm::dvec2(points[j].xz) * splineUnit));
        }
        a[i * size + i] += points[i].smoothing;
        const double p[3] = {1.0, pi.x, pi.y};
        for (int k = 0; k < 3; ++k) {
            a[i * size + n + k] = p[k];
            a[(n + k) * size + i] = p[k];
        }
        b[i] = points[i].height;
    }
    solveDense(a, b, size);
    weights = std::move(b);
}

float TerrainShaper::splineHeight(glm::vec2 xz) const
{
    const glm::dvec2 p = glm::dvec2(xz) * splineUnit;
    const std::size_t n = points.size();
    double sum = weights[n] + weights[n + 1] * p.x + weights[n + 2] * p.y;
    for (std::size_t i = 0; i < n; ++i) {
        sum += weights[i] * kernel(glm::length(p - glm::dvec2(points[i].xz) * splineUnit));
    }
    return static_cast<float>(sum);
}

float TerrainShaper::nearestObjectAnchor(glm::vec2 xz) const
{
    // The gates' anchors are left out: their vertices are pinned, and the walls keep clear
    // of them by their own shape.
    float nearest = 1e9f;
    for (std::size_t i = 0; i < objectAnchorCount; ++i) {
        const bool pinned = std::find(pins.begin(), pins.end(), points[i].xz) != pins.end();
        nearest = pinned ? nearest : std::min(nearest, glm::length(points[i].xz - xz));
    }
    return nearest;
}

float TerrainShaper::walls(glm::vec2 xz) const
{
    float raise = 0.0f;
    for (const CourseWall& wall : courseWalls()) {
        for (std::size_t i = 0; i + 1 < wall.crest.size(); ++i) {
            const glm::vec2 a = wall.crest[i], b = wall.crest[i + 1];
            const float t = glm::clamp(glm::dot(xz - a, b - a) / glm::dot(b - a, b - a), 0.0f, 1.0f);
            const float away = glm::length(xz - (a + (b - a) * t));
            raise = std::max(raise, wallHeight * (1.0f - glm::smoothstep(wallTop, wallTop + wallRun, away)));
        }
    }
    // Objects keep the ground the level puts them on.
    return raise > 0.0f ? raise * glm::smoothstep(3.5f, 6.0f, nearestObjectAnchor(xz)) : 0.0f;
}

float TerrainShaper::bumps(glm::vec2 xz) const
{
    float nearest = 1e9f;
    for (const GroundAnchor& anchor : points) {
        nearest = std::min(nearest, glm::length(anchor.xz - xz));
    }
    const float fade = glm::smoothstep(bumpFadeNear, bumpFadeFar, nearest);
    if (fade <= 0.0f) {
        return 0.0f;
    }
    const glm::vec3 p(xz.x, 0.0f, xz.y);
    const float broad = valueNoise(p / 26.0f, 11u) - 0.5f;
    const float fine = valueNoise(p / 9.0f, 23u) - 0.5f;
    return fade * bumpAmplitude * (1.4f * broad + 0.6f * fine);
}

float TerrainShaper::ridges(glm::vec2 xz) const
{
    const float outside = area.distanceOutside(xz);
    if (outside <= 0.0f) {
        return 0.0f;
    }
    // A steep bank (steeper than a sled can climb) and an uneven crest behind it.
    const float crest = valueNoise(glm::vec3(xz.x, 5.0f, xz.y) / 11.0f, 37u) - 0.5f;
    return ridgeHeight * glm::smoothstep(0.0f, ridgeRun, outside) +
           glm::smoothstep(ridgeRun * 0.5f, ridgeRun * 1.5f, outside) * 6.0f * crest;
}

float TerrainShaper::height(float x, float z) const
{
    const glm::vec2 xz(x, z);
    return splineHeight(xz) + bumps(xz) + ridges(xz) + walls(xz);
}

Mesh TerrainShaper::buildMesh(const std::string& material) const
{
    const float x0 = area.minX - margin, x1 = area.maxX + margin;
    const float z0 = area.minZ - margin, z1 = area.maxZ + margin;
    const float stepX = (x1 - x0) / cellsX, stepZ = (z1 - z0) / cellsZ;
    auto gridX = [&](int i) { return x0 + stepX * i; };
    auto gridZ = [&](int j) { return z0 + stepZ * j; };

    // The grid's points, with the vertex nearest to each pin moved onto it; then heights.
    std::vector<glm::vec3> p((cellsX + 1) * (cellsZ + 1));
    auto at = [&](int i, int j) -> glm::vec3& { return p[j * (cellsX + 1) + i]; };
    for (int j = 0; j <= cellsZ; ++j) {
        for (int i = 0; i <= cellsX; ++i) {
            at(i, j) = glm::vec3(gridX(i), 0.0f, gridZ(j));
        }
    }
    for (const glm::vec2 pin : pins) {
        const int i = static_cast<int>(std::lround((pin.x - x0) / stepX));
        const int j = static_cast<int>(std::lround((pin.y - z0) / stepZ));
        at(i, j) = glm::vec3(pin.x, 0.0f, pin.y);
    }
    for (glm::vec3& point : p) {
        point.y = height(point.x, point.z);
    }
    Mesh mesh("Terrain", material);
    for (const glm::vec3& position : p) {
        mesh.addVertex({position, glm::vec3(0.0f), glm::vec2(position.x, position.z) / snowTile});
    }
    // Two triangles per cell, split along the diagonal that best matches the cell's centre height.
    auto index = [&](int i, int j) { return static_cast<std::uint32_t>(j * (cellsX + 1) + i); };
    for (int j = 0; j < cellsZ; ++j) {
        for (int i = 0; i < cellsX; ++i) {
            const float centre = height(gridX(i) + 0.5f * stepX, gridZ(j) + 0.5f * stepZ);
            const float mainDiagonal = 0.5f * (at(i, j).y + at(i + 1, j + 1).y);
            const float otherDiagonal = 0.5f * (at(i + 1, j).y + at(i, j + 1).y);
            // Counter-clockwise seen from above: (x0, z0) -> (x0, z1) -> (x1, z0).
            if (std::abs(mainDiagonal - centre) <= std::abs(otherDiagonal - centre)) {
                mesh.addIndices(index(i, j), index(i, j + 1), index(i + 1, j + 1));
                mesh.addIndices(index(i, j), index(i + 1, j + 1), index(i + 1, j));
            } else {
                mesh.addIndices(index(i, j), index(i, j + 1), index(i + 1, j));
                mesh.addIndices(index(i + 1, j), index(i, j + 1), index(i + 1, j + 1));
            }
        }
    }
    // Each vertex's normal is the mean of its triangles' (weighted by their area), so that
    // it agrees with every face it belongs to, also on the walls' steep sides.
    for (std::size_t k = 0; k + 2 < mesh.indices.size(); k += 3) {
        MeshVertex& a = mesh.vertices[mesh.indices[k]];
        MeshVertex& b = mesh.vertices[mesh.indices[k + 1]];
        MeshVertex& c = mesh.vertices[mesh.indices[k + 2]];
        const glm::vec3 face = glm::cross(b.position - a.position, c.position - a.position);
        a.normal += face;
        b.normal += face;
        c.normal += face;
    }
    for (MeshVertex& v : mesh.vertices) {
        v.normal = glm::normalize(v.normal);
    }
    return mesh;
}

}  // namespace frostline
