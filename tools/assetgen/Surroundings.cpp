#include "tools/assetgen/Surroundings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <glm/gtc/matrix_transform.hpp>

#include "tools/assetgen/Models.h"
#include "tools/assetgen/Shapes.h"
#include "tools/assetgen/TerrainShaper.h"

namespace frostline {

namespace {

/// How high the mountains rise above the course's edge at their foot and at the
/// horizon, and over which distances (world units).
constexpr float bankRise = 14.0f;
constexpr float bankRun = 45.0f;
constexpr float mountainAltitude = 330.0f;
constexpr float mountainAboveEdge = 150.0f;
constexpr float mountainFoot = 150.0f;
constexpr float mountainTop = 580.0f;
/// Ridged relief on the mountains: amplitude, and the distance over which it grows (world units).
constexpr float reliefAmplitude = 130.0f;
constexpr float reliefFoot = 60.0f;
constexpr float reliefRun = 520.0f;
/// The mountains' texture: pixels along each side.
constexpr int mountainTexels = 768;

/// Ridged noise, 0..1, sharp crests where the noise crosses its middle.
float ridged(glm::vec2 p, unsigned seed)
{
    return 1.0f - std::abs(2.0f * valueNoise(glm::vec3(p.x, 0.5f, p.y), seed) - 1.0f);
}

/// A deterministic number 0..1 for the k-th choice about something at index i.
float chance(int i, int k, unsigned seed)
{
    return latticeNoise(i, k, 3, seed);
}

/// Appends triangle a, b, c facing up, whatever order the corners come in.
void addUpward(Mesh& mesh, std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    const glm::vec3 pa = mesh.vertices[a].position, pb = mesh.vertices[b].position,
                    pc = mesh.vertices[c].position;
    if (glm::cross(pb - pa, pc - pa).y >= 0.0f) {
        mesh.addIndices(a, b, c);
    } else {
        mesh.addIndices(a, c, b);
    }
}

/// Height of the triangle of mesh below (x, z), or NaN.
float heightOn(const Mesh& mesh, glm::vec2 p)
{
    for (std::size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
        const glm::vec3 a = mesh.vertices[mesh.indices[i]].position;
        const glm::vec3 b = mesh.vertices[mesh.indices[i + 1]].position;
        const glm::vec3 c = mesh.vertices[mesh.indices[i + 2]].position;
        if (p.x < std::min({a.x, b.x, c.x}) || p.x > std::max({a.x, b.x, c.x}) ||
            p.y < std::min({a.z, b.z, c.z}) || p.y > std::max({a.z, b.z, c.z})) {
            continue;
        }
        const glm::vec2 v0(b.x - a.x, b.z - a.z), v1(c.x - a.x, c.z - a.z), v2(p.x - a.x, p.y - a.z);
        const float det = v0.x * v1.y - v1.x * v0.y;
        if (std::abs(det) < 1e-9f) {
            continue;
        }
        const float u = (v2.x * v1.y - v1.x * v2.y) / det, v = (v0.x * v2.y - v2.x * v0.y) / det;
        if (u >= -1e-5f && v >= -1e-5f && u + v <= 1.0f + 1e-5f) {
            return a.y + u * (b.y - a.y) + v * (c.y - a.y);
        }
    }
    return std::nanf("");
}

/// A coordinate as the game reads it back from the model file (six significant digits).
float asWritten(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", static_cast<double>(value));
    return std::strtof(text, nullptr);
}

/// Reorders the triangles of mesh as the game sorts a large mesh into runs of neighbours
/// (by the cell of an 8 x 8 grid over the two longest sides of its box that holds each
/// triangle's centre, the rows running back and forth, keeping the order within a cell).
/// Written in that order, the game's runs draw the triangles in the file's order, and
/// where two firs meet at the same depth the same one wins either way.
void sortLikeTheGame(Mesh& mesh, int cellsPerSide)
{
    glm::vec3 low(1e30f), high(-1e30f);
    std::vector<glm::vec3> written;
    for (const MeshVertex& v : mesh.vertices) {
        written.emplace_back(asWritten(v.position.x), asWritten(v.position.y), asWritten(v.position.z));
        low = glm::min(low, written.back());
        high = glm::max(high, written.back());
    }
    const glm::vec3 size = high - low;
    int axes[3] = {0, 1, 2};
    std::sort(axes, axes + 3, [&](int a, int b) { return size[a] > size[b]; });
    const auto cellAlong = [&](float value, int axis) {
        const int cell =
            static_cast<int>((value - low[axis]) / size[axis] * static_cast<float>(cellsPerSide));
        return std::clamp(cell, 0, cellsPerSide - 1);
    };
    const std::size_t faces = mesh.indices.size() / 3;
    std::vector<int> cellOf(faces);
    for (std::size_t f = 0; f < faces; ++f) {
        const glm::vec3 centre = (written[mesh.indices[3 * f]] + written[mesh.indices[3 * f + 1]] +
                                  written[mesh.indices[3 * f + 2]]) /
                                 3.0f;
        const int row = cellAlong(centre[axes[1]], axes[1]), column = cellAlong(centre[axes[0]], axes[0]);
        cellOf[f] = row * cellsPerSide + (row % 2 == 0 ? column : cellsPerSide - 1 - column);
    }
    std::vector<std::size_t> order(faces);
    for (std::size_t f = 0; f < faces; ++f) {
        order[f] = f;
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return cellOf[a] < cellOf[b]; });
    std::vector<std::uint32_t> sorted;
    for (std::size_t f : order) {
        sorted.insert(sorted.end(), mesh.indices.begin() + 3 * f, mesh.indices.begin() + 3 * f + 3);
    }
    mesh.indices.swap(sorted);
}

}  // namespace

const std::vector<float>& Surroundings::ringDistances()
{
    static const std::vector<float> distances = {0.0f,   5.0f,   12.0f,  22.0f,  36.0f,  56.0f,
                                                 85.0f,  125.0f, 170.0f, 220.0f, 280.0f, 340.0f,
                                                 405.0f, 470.0f, 530.0f, 580.0f};
    return distances;
}

Surroundings::Surroundings(const TerrainShaper& terrain, const Mesh& course) : terrain(terrain)
{
    // The course's outer edge, counter-clockwise seen from above: along the near row, up the
    // far column, back along the far row and down the near column.
    constexpr int nx = TerrainShaper::cellsX, nz = TerrainShaper::cellsZ;
    auto vertex = [&](int i, int j) { return course.vertices[static_cast<std::size_t>(j) * (nx + 1) + i]; };
    for (int i = 0; i < nx; ++i) edge.push_back(vertex(i, 0));
    for (int j = 0; j < nz; ++j) edge.push_back(vertex(nx, j));
    for (int i = nx; i > 0; --i) edge.push_back(vertex(i, nz));
    for (int j = nz; j > 0; --j) edge.push_back(vertex(0, j));

    low = glm::vec2(vertex(0, 0).position.x, vertex(0, 0).position.z);
    high = glm::vec2(vertex(nx, nz).position.x, vertex(nx, nz).position.z);
    centre = 0.5f * (low + high);

    edgeArc.push_back(0.0f);
    edgeIntegral.push_back(0.0);
    for (std::size_t k = 0; k < edge.size(); ++k) {
        const MeshVertex& a = edge[k];
        const MeshVertex& b = edge[(k + 1) % edge.size()];
        const float run = glm::length(glm::vec2(b.position.x - a.position.x, b.position.z - a.position.z));
        edgeArc.push_back(edgeArc.back() + run);
        edgeIntegral.push_back(edgeIntegral.back() + 0.5 * run * (a.position.y + b.position.y));
    }

    const float reach = glm::length(high - centre) + ringDistances().back() + 10.0f;
    textureLow = centre - glm::vec2(reach);
    textureSize = 2.0f * reach;
}

int Surroundings::ringSize(int ring) const
{
    const int all = static_cast<int>(edge.size());
    return ring <= 2 ? all : ring <= 5 ? all / 2 : all / 4;
}

glm::vec2 Surroundings::ringPoint(int ring, float t) const
{
    const std::size_t i = static_cast<std::size_t>(t) % edge.size();
    const glm::vec2 p(edge[i].position.x, edge[i].position.z);
    return p + glm::normalize(p - centre) * ringDistances()[static_cast<std::size_t>(ring)];
}

glm::vec2 Surroundings::nearestEdgePoint(glm::vec2 xz, float& distance) const
{
    const glm::vec2 q = glm::clamp(xz, low, high);
    distance = glm::length(xz - q);
    if (distance > 0.0f) {
        return q;
    }
    // Inside: the nearest side.
    const float toSide[4] = {xz.y - low.y, high.x - xz.x, high.y - xz.y, xz.x - low.x};
    const int side = static_cast<int>(std::min_element(toSide, toSide + 4) - toSide);
    const glm::vec2 onSide[4] = {{xz.x, low.y}, {high.x, xz.y}, {xz.x, high.y}, {low.x, xz.y}};
    return onSide[side];
}

float Surroundings::edgeHeight(glm::vec2 q, float width) const
{
    // Arc length of q along the edge, in the order the edge was collected.
    const float w = high.x - low.x, d = high.y - low.y;
    float s;
    if (q.y <= low.y + 1e-3f && q.x < high.x) {
        s = q.x - low.x;
    } else if (q.x >= high.x - 1e-3f && q.y < high.y) {
        s = w + (q.y - low.y);
    } else if (q.y >= high.y - 1e-3f && q.x > low.x) {
        s = w + d + (high.x - q.x);
    } else {
        s = 2.0f * w + d + (high.y - q.y);
    }
    const float perimeter = edgeArc.back();
    // The integral of the height from the edge's start to arc length a (any a, wrapping round).
    auto integral = [&](float a) {
        const double turns = std::floor(a / perimeter);
        const float r = a - static_cast<float>(turns) * perimeter;
        const std::size_t k = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(
            std::upper_bound(edgeArc.begin(), edgeArc.end(), r) - edgeArc.begin() - 1, 0,
            static_cast<std::ptrdiff_t>(edge.size()) - 1));
        const float run = edgeArc[k + 1] - edgeArc[k];
        const float f = run > 0.0f ? (r - edgeArc[k]) / run : 0.0f;
        const float ha = edge[k].position.y, hb = edge[(k + 1) % edge.size()].position.y;
        const double partial = (r - edgeArc[k]) * (ha + 0.5 * f * (hb - ha));
        return turns * edgeIntegral.back() + edgeIntegral[k] + partial;
    };
    if (width < 0.01f) {
        const float e = 0.005f;
        return static_cast<float>((integral(s + e) - integral(s - e)) / (2.0 * e));
    }
    return static_cast<float>((integral(s + width) - integral(s - width)) / (2.0 * width));
}

float Surroundings::height(glm::vec2 xz) const
{
    float d = 0.0f, base = 0.0f;
    return height(xz, d, base);
}

float Surroundings::height(glm::vec2 xz, float& d, float& base) const
{
    const glm::vec2 q = nearestEdgePoint(xz, d);
    // The edge's height, smoothed more the further out: the ridge's small crests do not
    // run on as stripes.
    base = edgeHeight(q, std::min(d * 0.9f, 140.0f));
    // The peaks reach one altitude all round, and tower over the edge where it is high.
    const float peaks = std::max(base + mountainAboveEdge, mountainAltitude) - base;
    const float rise =
        bankRise * glm::smoothstep(0.0f, bankRun, d) + peaks * glm::smoothstep(mountainFoot, mountainTop, d);
    // Sharp ridges and peaks, growing from nothing at the edge.
    const float relief = 0.6f * ridged(xz / 210.0f, 51u) + 0.3f * ridged(xz / 90.0f, 52u) +
                         0.1f * ridged(xz / 37.0f, 53u);
    const float bumps = (valueNoise(glm::vec3(xz.x, 2.0f, xz.y) / 14.0f, 54u) - 0.5f) * 5.0f;
    return base + rise + reliefAmplitude * glm::smoothstep(reliefFoot, reliefRun, d) * relief +
           glm::smoothstep(0.0f, 20.0f, d) * bumps;
}

glm::vec3 Surroundings::normalAt(glm::vec2 xz) const
{
    const float e = 1.5f;
    const float dx = (height(xz + glm::vec2(e, 0)) - height(xz - glm::vec2(e, 0))) / (2 * e);
    const float dz = (height(xz + glm::vec2(0, e)) - height(xz - glm::vec2(0, e))) / (2 * e);
    return glm::normalize(glm::vec3(-dx, 1.0f, -dz));
}

glm::vec2 Surroundings::mountainUv(glm::vec2 xz) const
{
    return (xz - textureLow) / textureSize;
}

void Surroundings::addRings(Mesh& mesh, int from, int to, bool tiledSnow) const
{
    const float all = static_cast<float>(edge.size());
    std::vector<std::vector<std::uint32_t>> rings;
    for (int ring = from; ring <= to; ++ring) {
        std::vector<std::uint32_t> indices;
        const int n = ringSize(ring);
        for (int k = 0; k < n; ++k) {
            const float t = all * k / n;
            MeshVertex v;
            if (ring == 0) {
                v = edge[static_cast<std::size_t>(t)];  // the course's own edge vertex: no seam
            } else {
                const glm::vec2 xz = ringPoint(ring, t);
                v = {{xz.x, height(xz), xz.y}, normalAt(xz), glm::vec2(0.0f)};
            }
            const glm::vec2 xz(v.position.x, v.position.z);
            v.uv = tiledSnow ? (ring == 0 ? v.uv : xz / TerrainShaper::snowTile) : mountainUv(xz);
            indices.push_back(mesh.addVertex(v));
        }
        rings.push_back(std::move(indices));
    }
    // Stitch each ring to the next, walking both round together by their share of the edge.
    for (std::size_t r = 0; r + 1 < rings.size(); ++r) {
        const std::vector<std::uint32_t>& inner = rings[r];
        const std::vector<std::uint32_t>& outer = rings[r + 1];
        const std::size_t ni = inner.size(), no = outer.size();
        std::size_t i = 0, o = 0;
        while (i < ni || o < no) {
            // Advance on the ring whose next point comes first round the edge.
            const bool stepInner =
                o >= no || (i < ni && static_cast<double>(i + 1) / ni <= static_cast<double>(o + 1) / no);
            if (stepInner) {
                addUpward(mesh, inner[i % ni], inner[(i + 1) % ni], outer[o % no]);
                ++i;
            } else {
                addUpward(mesh, inner[i % ni], outer[(o + 1) % no], outer[o % no]);
                ++o;
            }
        }
    }
}

Mesh Surroundings::buildBanks(const std::string& snowMaterial) const
{
    Mesh banks("Banks", snowMaterial);
    addRings(banks, 0, firstMountainRing, true);
    return banks;
}

Mesh Surroundings::buildMountains() const
{
    Mesh rings("Mountains", mountainMaterial);
    addRings(rings, firstMountainRing, static_cast<int>(ringDistances().size()) - 1, false);
    // Flat faces, like the level's models: the sun picks out every facet of the peaks.
    Mesh mountains(rings.name, rings.material);
    for (std::size_t i = 0; i + 2 < rings.indices.size(); i += 3) {
        const MeshVertex& a = rings.vertices[rings.indices[i]];
        const MeshVertex& b = rings.vertices[rings.indices[i + 1]];
        const MeshVertex& c = rings.vertices[rings.indices[i + 2]];
        const glm::vec3 normal = glm::normalize(glm::cross(b.position - a.position, c.position - a.position));
        const std::uint32_t first = mountains.addVertex({a.position, normal, a.uv});
        mountains.addVertex({b.position, normal, b.uv});
        mountains.addVertex({c.position, normal, c.uv});
        mountains.addIndices(first, first + 1, first + 2);
    }
    return mountains;
}

Mesh Surroundings::buildForest(const Mesh& course, const Mesh& banks) const
{
    Mesh forest("Forest", paletteMaterial);
    const PlayArea& area = terrain.playArea();
    // Groups of firs along every side of the play area: on the border ridge and on the banks beyond.
    struct Side {
        glm::vec2 from, to, outward;
    };
    const Side sides[] = {
        {{area.minX, area.minZ}, {area.maxX, area.minZ}, {0, -1}},
        {{area.maxX, area.minZ}, {area.maxX, area.maxZ}, {1, 0}},
        {{area.maxX, area.maxZ}, {area.minX, area.maxZ}, {0, 1}},
        {{area.minX, area.maxZ}, {area.minX, area.minZ}, {-1, 0}},
    };
    constexpr float groupSpacing = 19.0f;
    int group = 0, fir = 0;
    for (const Side& side : sides) {
        const float length = glm::length(side.to - side.from);
        const glm::vec2 along = (side.to - side.from) / length;
        for (float s = groupSpacing * 0.5f; s < length + 40.0f; s += groupSpacing, ++group) {
            if (chance(group, 0, 61u) < 0.3f) {
                continue;  // a gap between the groups
            }
            // Half the groups stand on the ridge, the others further out on the banks.
            const float out = chance(group, 1, 61u) < 0.5f ? 5.0f + 8.0f * chance(group, 2, 61u)
                                                           : 22.0f + 50.0f * chance(group, 2, 61u);
            const glm::vec2 middle = side.from + along * (s - 20.0f) + side.outward * out;
            const int count = 2 + static_cast<int>(chance(group, 3, 61u) * 4.0f);
            for (int k = 0; k < count; ++k, ++fir) {
                const float angle = 6.2831853f * chance(fir, 4, 62u);
                const glm::vec2 xz =
                    middle + glm::vec2(std::cos(angle), std::sin(angle)) * (7.0f * chance(fir, 5, 62u));
                // Never within reach: no branch over the play area, and a clear stretch of the
                // ridge's foot beyond it.
                const float size = 0.9f + 0.8f * chance(fir, 6, 62u);
                const float outside =
                    std::max({area.minX - xz.x, xz.x - area.maxX, area.minZ - xz.y, xz.y - area.maxZ});
                if (outside < forestClearance + forestFirRadius * size) {
                    continue;
                }
                float ground = heightOn(course, xz);
                if (std::isnan(ground)) {
                    ground = heightOn(banks, xz);
                }
                if (std::isnan(ground)) {
                    continue;
                }
                glm::mat4 place =
                    placeAt({xz.x, ground - 0.3f, xz.y}, {0, 1, 0}, 360.0f * chance(fir, 7, 62u));
                place = glm::scale(place, glm::vec3(size));
                forest.append(makeForestFir(static_cast<unsigned>(fir)), place);
            }
        }
    }
    sortLikeTheGame(forest, 8);
    return forest;
}

Image Surroundings::mountainTexture() const
{
    constexpr int n = mountainTexels;
    const float texel = textureSize / n;
    // Heights at the texel centres, then colours from height, slope and noise.
    std::vector<float> h(static_cast<std::size_t>(n) * n), out(h.size()), above(h.size());
    auto world = [&](int x, int y) {
        return textureLow + glm::vec2((x + 0.5f) * texel, (n - y - 0.5f) * texel);
    };
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * n + x;
            float base = 0.0f;
            h[i] = height(world(x, y), out[i], base);
            above[i] = h[i] - base;
        }
    }
    auto at = [&](int x, int y) {
        return h[static_cast<std::size_t>(std::clamp(y, 0, n - 1)) * n + std::clamp(x, 0, n - 1)];
    };
    const glm::vec3 snow(0.90f, 0.91f, 0.93f), rock(0.40f, 0.38f, 0.37f), forestGreen(0.10f, 0.19f, 0.13f);
    const glm::vec3 hazeBlue(0.74f, 0.81f, 0.93f);
    auto normalOver = [&](int x, int y, int reach) {
        const float gx = (at(x + reach, y) - at(x - reach, y)) / (2 * reach * texel);
        const float gz = (at(x, y - reach) - at(x, y + reach)) / (2 * reach * texel);
        return glm::normalize(glm::vec3(-gx, 1.0f, -gz));
    };
    const int faceReach = std::max(1, static_cast<int>(20.0f / texel));
    Image image(n, n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const glm::vec2 xz = world(x, y);
            // Slopes as steep as the mesh's faces show them (a face spans some 30 to 60 units).
            const float slope = glm::degrees(std::acos(normalOver(x, y, faceReach).y));
            const float d = out[static_cast<std::size_t>(y) * n + x];
            const float aboveEdge = above[static_cast<std::size_t>(y) * n + x];
            const float fine = valueNoise(glm::vec3(xz.x, 7.0f, xz.y) / 9.0f, 71u);
            const float broad = valueNoise(glm::vec3(xz.x, 7.0f, xz.y) / 40.0f, 72u);
            glm::vec3 colour = snow * (0.97f + 0.05f * fine);
            // Forest on the gentler slopes below the tree line: a tree a texel or so, thinning out
            // up the slope, in stands.
            const float treeLine = 90.0f + 60.0f * broad;
            const float density = (1.0f - glm::smoothstep(treeLine - 60.0f, treeLine, aboveEdge)) *
                                  (1.0f - glm::smoothstep(24.0f, 34.0f, slope)) *
                                  glm::smoothstep(0.3f, 0.6f, broad) * glm::smoothstep(8.0f, 30.0f, d);
            if (latticeNoise(x, y, 9, 73u) < density * 0.8f) {
                colour = glm::mix(forestGreen, snow, 0.15f * fine);
            }
            // Rock where the snow cannot hold, streaked with snow in its gullies.
            const float steep = glm::smoothstep(44.0f, 52.0f, slope + 14.0f * (broad - 0.5f));
            colour = glm::mix(colour, glm::mix(rock, snow, 0.3f * fine), steep * (0.6f + 0.4f * fine));
            // The air between: far slopes fade toward a pale blue, so the range reads as distant.
            const float haze = 0.4f * glm::smoothstep(40.0f, 600.0f, d);
            colour = glm::mix(colour, hazeBlue, haze);
            image.at(x, y) = glm::vec4(glm::min(colour, glm::vec3(1.0f)), 1.0f);
        }
    }
    return image;
}

}  // namespace frostline
