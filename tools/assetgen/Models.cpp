#include "tools/assetgen/Models.h"

#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

#include "tools/assetgen/LevelLayout.h"
#include "tools/assetgen/Palette.h"
#include "tools/assetgen/Shapes.h"

namespace frostline {

namespace {

glm::vec2 uv(Swatch swatch)
{
    return swatchUv(swatch);
}

/// A box split into n x n quads per face, so single quads can be painted.
Mesh makeSubdividedBox(glm::vec3 half, int n, glm::vec2 colour)
{
    Mesh mesh("box", "");
    for (int axis = 0; axis < 3; ++axis) {
        for (float sign : {-1.0f, 1.0f}) {
            glm::vec3 normal(0.0f);
            normal[axis] = sign;
            const glm::vec3 u = axis == 1 ? glm::vec3(1, 0, 0) : glm::vec3(0, 1, 0);
            const glm::vec3 v = glm::cross(normal, u);
            for (int i = 0; i < n; ++i) {
                for (int j = 0; j < n; ++j) {
                    auto corner = [&](int a, int b) {
                        const float s = -1.0f + 2.0f * a / n, t = -1.0f + 2.0f * b / n;
                        return (normal + u * s + v * t) * half;
                    };
                    // u x v points along the normal, so (u, v) order is counter-clockwise outside.
                    mesh.addQuad(corner(i, j), corner(i + 1, j), corner(i + 1, j + 1), corner(i, j + 1),
                                 colour);
                }
            }
        }
    }
    return mesh;
}

void add(Mesh& mesh, const Mesh& part, glm::vec3 offset = glm::vec3(0.0f))
{
    mesh.append(part, placeAt(offset));
}

}  // namespace

std::vector<Mesh> makeRock()
{
    Mesh rock("Rock", paletteMaterial);
    rock.append(makeEllipsoid({2.1f, 1.7f, 1.8f}, 5, 9, uv(Swatch::Rock), 0.16f, 3u), placeAt({0, 0.45f, 0}));
    rock.append(makeEllipsoid({1.0f, 0.8f, 0.9f}, 4, 7, uv(Swatch::Rock), 0.2f, 5u),
                placeAt({1.7f, 0.1f, 0.9f}, {0, 1, 0}, 30.0f));
    rock.append(makeEllipsoid({0.7f, 0.55f, 0.6f}, 4, 6, uv(Swatch::Rock), 0.2f, 9u),
                placeAt({-1.6f, 0.0f, -1.1f}));
    // Snow rests on the flat tops; the sides get a few shades of grey.
    paintTriangles(rock, [](glm::vec3 c, glm::vec3 n, glm::vec2& out) {
        if (n.y > 0.8f && c.y > 1.1f) {
            out = uv(Swatch::Snow);
        } else {
            const float shade = valueNoise(c * 1.3f, 17u);
            out = uv(shade < 0.38f ? Swatch::RockDark : shade > 0.62f ? Swatch::RockLight : Swatch::Rock);
        }
        return true;
    });
    return {rock};
}

namespace {

/// One tier of a fir's foliage standing at base: a green skirt of branch tips, and above
/// it, where the tier above does not cover it, snow lying on the branches (on most sides;
/// a few stay green, so the snow looks fallen, not painted). bottomCap closes it below.
void addFirTier(Mesh& foliage, float base, float radius, float height, int sides, float phaseDegrees,
                Swatch green, bool bottomCap, unsigned seed)
{
    constexpr float skirt = 0.32f;  // the height fraction of the tier the green skirt covers
    const glm::vec3 apex(0.0f, base + height, 0.0f), centre(0.0f, base, 0.0f);
    for (int i = 0; i < sides; ++i) {
        const float a0 = glm::radians(phaseDegrees) + 2.0f * glm::pi<float>() * i / sides;
        const float a1 = glm::radians(phaseDegrees) + 2.0f * glm::pi<float>() * (i + 1) / sides;
        // Counter-clockwise seen from above keeps the sides facing out.
        const glm::vec3 d0(std::cos(a0), 0.0f, -std::sin(a0)), d1(std::cos(a1), 0.0f, -std::sin(a1));
        const glm::vec3 b0 = centre + d0 * radius, b1 = centre + d1 * radius;
        const glm::vec3 m0 = glm::mix(b0, apex, skirt), m1 = glm::mix(b1, apex, skirt);
        const bool snowy = latticeNoise(i, static_cast<int>(base * 10.0f), 0, seed) > 0.2f;
        foliage.addQuad(b0, b1, m1, m0, uv(green));
        foliage.addTriangle(m0, m1, apex, uv(snowy ? Swatch::Snow : green));
        if (bottomCap) {
            foliage.addTriangle(centre, b1, b0, uv(Swatch::FirDark));
        }
    }
}

}  // namespace

std::vector<Mesh> makeTree()
{
    Mesh trunk("Trunk", paletteMaterial);
    add(trunk, makeFrustum(0.42f, 0.22f, 8.6f, 6, uv(Swatch::Bark), uv(Swatch::BarkDark)), {0, -0.4f, 0});
    Mesh foliage("Foliage", paletteMaterial);
    constexpr int layers = 5;
    for (int k = 0; k < layers; ++k) {
        const float base = 1.7f + 1.45f * k;
        const float radius = 2.8f - 0.46f * k;
        addFirTier(foliage, base, radius, 2.7f - 0.12f * k, 9, 17.0f * k,
                   k % 2 == 0 ? Swatch::FirDark : Swatch::FirMid, true, 41u);
    }
    return {trunk, foliage};
}

Mesh makeForestFir(unsigned seed)
{
    // The level's fir with fewer tiers and sides, closed below by nothing: seen from
    // beyond the border ridges, nobody looks under it.
    Mesh fir("Fir", paletteMaterial);
    add(fir, makeFrustum(0.42f, 0.0f, 3.4f, 4, uv(Swatch::Bark), uv(Swatch::BarkDark)), {0, -0.6f, 0});
    constexpr int layers = 3;
    for (int k = 0; k < layers; ++k) {
        addFirTier(fir, 1.7f + 2.1f * k, 2.9f - 0.7f * k, 3.6f - 0.3f * k, 7,
                   23.0f * k + 9.0f * static_cast<float>(seed % 5),
                   k % 2 == 0 ? Swatch::FirDark : Swatch::FirMid, false, seed);
    }
    return fir;
}

std::vector<Mesh> makeFallenTree()
{
    Mesh log("Log", paletteMaterial);
    const float r = 0.45f;
    log.append(makeLimb({-fallenTreeHalfLength, r, 0}, {fallenTreeHalfLength, r * 0.85f, 0}, r, r * 0.8f, 7,
                        uv(Swatch::Bark)), glm::mat4(1.0f));
    // Broken-off branch stubs.
    log.append(makeLimb({-1.4f, 0.7f, 0.1f}, {-1.0f, 1.3f, 0.5f}, 0.12f, 0.06f, 5, uv(Swatch::BarkDark)),
               glm::mat4(1.0f));
    log.append(makeLimb({0.9f, 0.6f, -0.2f}, {1.4f, 0.9f, -0.75f}, 0.11f, 0.05f, 5, uv(Swatch::BarkDark)),
               glm::mat4(1.0f));
    log.append(makeLimb({2.2f, 0.6f, 0.2f}, {2.5f, 1.1f, 0.45f}, 0.09f, 0.04f, 5, uv(Swatch::BarkDark)),
               glm::mat4(1.0f));
    paintTriangles(log, [](glm::vec3 c, glm::vec3 n, glm::vec2& out) {
        if (std::abs(n.x) > 0.95f && std::abs(c.x) > fallenTreeHalfLength - 0.05f) {
            out = uv(Swatch::WoodLight);  // the sawn ends
        } else if (n.y > 0.9f) {
            out = uv(Swatch::Snow);
        } else {
            return false;
        }
        return true;
    });
    return {log};
}

std::vector<Mesh> makeStump()
{
    Mesh stump("Stump", paletteMaterial);
    add(stump, makeFrustum(0.72f, 0.6f, 0.9f, 9, uv(Swatch::Bark), uv(Swatch::WoodLight)), {0, -0.2f, 0});
    add(stump, makeFrustum(0.42f, 0.36f, 0.03f, 9, uv(Swatch::WoodRing), uv(Swatch::WoodRing)), {0, 0.7f, 0});
    add(stump, makeFrustum(0.2f, 0.16f, 0.05f, 9, uv(Swatch::WoodLight), uv(Swatch::WoodRing)), {0, 0.7f, 0});
    for (int k = 0; k < 4; ++k) {
        const float a = glm::radians(40.0f + 90.0f * k);
        const glm::vec3 out(std::cos(a), 0.0f, std::sin(a));
        stump.append(makeLimb(out * 0.5f + glm::vec3(0, 0.25f, 0), out * 1.15f + glm::vec3(0, -0.1f, 0),
                              0.16f, 0.06f, 5, uv(Swatch::Bark)),
                     glm::mat4(1.0f));
    }
    // A cap of snow on one side of the cut.
    add(stump, makeEllipsoid({0.32f, 0.08f, 0.26f}, 3, 7, uv(Swatch::Snow)), {0.15f, 0.74f, 0.1f});
    return {stump};
}

std::vector<Mesh> makeBillboard()
{
    Mesh frame("Frame", paletteMaterial);
    for (float x : {-billboardPostOffset, billboardPostOffset}) {
        add(frame, makeBox({0.14f, 3.0f, 0.14f}, uv(Swatch::BarkDark)), {x, 2.6f, -0.16f});
    }
    add(frame, makeBox({3.25f, 1.35f, 0.08f}, uv(Swatch::BoardBack)), {0, 4.0f, 0});
    // A red rim around the painted face and a roof of snow.
    add(frame, makeBox({3.3f, 0.08f, 0.12f}, uv(Swatch::SledRed)), {0, 5.37f, 0});
    add(frame, makeBox({3.3f, 0.08f, 0.12f}, uv(Swatch::SledRed)), {0, 2.63f, 0});
    add(frame, makeBox({0.08f, 1.35f, 0.12f}, uv(Swatch::SledRed)), {-3.25f, 4.0f, 0});
    add(frame, makeBox({0.08f, 1.35f, 0.12f}, uv(Swatch::SledRed)), {3.25f, 4.0f, 0});
    add(frame, makeBox({3.35f, 0.07f, 0.2f}, uv(Swatch::Snow)), {0, 5.52f, 0});
    Mesh board("Board", billboardMaterial);
    const float z = 0.085f;
    const glm::vec3 a(-3.17f, 2.71f, z), b(3.17f, 2.71f, z), c(3.17f, 5.29f, z), d(-3.17f, 5.29f, z);
    const glm::vec3 n(0, 0, 1);
    const auto ia = board.addVertex({a, n, {0, 0}});
    const auto ib = board.addVertex({b, n, {1, 0}});
    const auto ic = board.addVertex({c, n, {1, 1}});
    const auto id = board.addVertex({d, n, {0, 1}});
    board.addIndices(ia, ib, ic);
    board.addIndices(ia, ic, id);
    return {frame, board};
}

std::vector<Mesh> makeCheckpoint()
{
    Mesh gate("Gate", paletteMaterial);
    const float postHalf = gateHalfWidth - gateFootOffset;
    constexpr int stripes = 9;
    constexpr float postHeight = 5.4f, below = 0.6f;
    for (float x : {-gateFootOffset, gateFootOffset}) {
        // Striped posts reaching a little into the snow, a yellow ball on top.
        for (int s = 0; s < stripes; ++s) {
            const float y0 = -below + (postHeight + below) * s / stripes;
            const float y1 = -below + (postHeight + below) * (s + 1) / stripes;
            add(gate,
                makeBox({postHalf, (y1 - y0) * 0.5f, postHalf},
                        uv(s % 2 ? Swatch::GateWhite : Swatch::GateRed)),
                {x, (y0 + y1) * 0.5f, 0});
        }
        add(gate, makeEllipsoid(glm::vec3(0.38f), 4, 8, uv(Swatch::GateYellow)), {x, postHeight + 0.3f, 0});
    }
    // The banner: a chequered strip with red edges between the posts.
    const float bannerY = 4.55f, bannerHalf = 0.45f, halfLength = gateFootOffset - postHalf;
    add(gate, makeBox({halfLength, 0.09f, 0.16f}, uv(Swatch::GateRed)), {0, bannerY + bannerHalf + 0.09f, 0});
    add(gate, makeBox({halfLength, 0.09f, 0.16f}, uv(Swatch::GateRed)), {0, bannerY - bannerHalf - 0.09f, 0});
    Mesh banner = makeSubdividedBox({halfLength, bannerHalf, 0.12f}, 1, uv(Swatch::GateWhite));
    Mesh chequer("banner", "");
    constexpr int columns = 14, rows = 3;
    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < rows; ++j) {
            const float x0 = -halfLength + 2.0f * halfLength * i / columns,
                        x1 = -halfLength + 2.0f * halfLength * (i + 1) / columns;
            const float y0 = bannerY - bannerHalf + 2.0f * bannerHalf * j / rows;
            const float y1 = bannerY - bannerHalf + 2.0f * bannerHalf * (j + 1) / rows;
            const glm::vec2 colour = uv((i + j) % 2 ? Swatch::Black : Swatch::GateWhite);
            chequer.addQuad({x0, y0, 0.121f}, {x1, y0, 0.121f}, {x1, y1, 0.121f}, {x0, y1, 0.121f}, colour);
            chequer.addQuad({x1, y0, -0.121f}, {x0, y0, -0.121f}, {x0, y1, -0.121f}, {x1, y1, -0.121f},
                            colour);
        }
    }
    add(gate, banner, {0, bannerY, 0});
    add(gate, chequer);
    // Pennants on the balls, pointing along the crossbar.
    for (float x : {-gateFootOffset, gateFootOffset}) {
        const float s = x < 0 ? -1.0f : 1.0f;
        add(gate, makeLimb({x, postHeight + 0.5f, 0}, {x, postHeight + 1.3f, 0}, 0.04f, 0.03f, 4,
                           uv(Swatch::Black)));
        gate.addTriangle({x, postHeight + 1.3f, 0}, {x, postHeight + 0.95f, 0},
                         {x - s * 0.6f, postHeight + 1.15f, 0}, uv(Swatch::GateYellow));
        gate.addTriangle({x, postHeight + 0.95f, 0}, {x, postHeight + 1.3f, 0},
                         {x - s * 0.6f, postHeight + 1.15f, 0}, uv(Swatch::GateYellow));
    }
    return {gate};
}

std::vector<Mesh> makeCow()
{
    Mesh cow("Cow", paletteMaterial);
    const float hoof = -sledRideHeight + 0.05f;
    add(cow, makeSubdividedBox({1.05f, 0.5f, 0.55f}, 4, uv(Swatch::CowWhite)), {0, 0.1f, 0});
    add(cow, makeSubdividedBox({0.34f, 0.3f, 0.3f}, 2, uv(Swatch::CowWhite)), {1.32f, 0.55f, 0});
    // Black patches where the noise is high; the patches follow the body, not the world.
    paintTriangles(cow, [](glm::vec3 c, glm::vec3, glm::vec2& out) {
        if (valueNoise(c * 2.2f + glm::vec3(3.1f), 29u) > 0.58f) {
            out = uv(Swatch::Black);
            return true;
        }
        return false;
    });
    add(cow, makeBox({0.2f, 0.16f, 0.26f}, uv(Swatch::CowPink)), {1.7f, 0.42f, 0});
    for (float z : {-0.31f, 0.31f}) {
        add(cow, makeBox({0.045f, 0.05f, 0.03f}, uv(Swatch::Black)),
            {1.5f, 0.5f, z * 0.6f + (z > 0 ? 0.1f : -0.1f)});
        cow.append(
            makeLimb({1.28f, 0.82f, z * 0.7f}, {1.36f, 1.08f, z * 1.35f}, 0.06f, 0.025f, 5, uv(Swatch::Horn)),
            glm::mat4(1.0f));
        add(cow, makeBox({0.06f, 0.08f, 0.14f}, uv(Swatch::CowWhite)), {1.18f, 0.72f, z * 1.35f});
    }
    for (float x : {-0.72f, 0.72f}) {
        for (float z : {-0.36f, 0.36f}) {
            const float top = -0.4f, shin = hoof + 0.14f;
            add(cow, makeBox({0.13f, (top - shin) * 0.5f, 0.13f}, uv(Swatch::CowWhite)),
                {x, (top + shin) * 0.5f, z});
            add(cow, makeBox({0.14f, 0.07f, 0.14f}, uv(Swatch::Black)), {x, hoof + 0.07f, z});
        }
    }
    add(cow, makeBox({0.22f, 0.1f, 0.2f}, uv(Swatch::CowPink)), {-0.45f, -0.45f, 0});
    cow.append(makeLimb({-1.05f, 0.5f, 0}, {-1.2f, -0.25f, 0}, 0.04f, 0.03f, 4, uv(Swatch::CowWhite)),
               glm::mat4(1.0f));
    add(cow, makeEllipsoid({0.07f, 0.12f, 0.07f}, 3, 5, uv(Swatch::Black)), {-1.21f, -0.3f, 0});
    return {cow};
}

std::vector<Mesh> makeSnowflake()
{
    Mesh flake("Snowflake", paletteMaterial);
    const float thickness = 0.07f;
    auto bar = [&](glm::vec2 from, glm::vec2 to, float width, Swatch colour) {
        const glm::vec2 d = to - from;
        const float length = glm::length(d);
        const float angle = glm::degrees(std::atan2(d.y, d.x));
        const glm::vec2 mid = (from + to) * 0.5f;
        flake.append(makeBox({length * 0.5f, width, thickness}, uv(colour)),
                     placeAt({mid.x, mid.y, 0}, {0, 0, 1}, angle));
    };
    for (int arm = 0; arm < 6; ++arm) {
        const float a = glm::radians(90.0f + 60.0f * arm);
        const glm::vec2 d(std::cos(a), std::sin(a));
        bar({0, 0}, d * 0.96f, 0.075f, Swatch::IceBright);
        for (float at : {0.45f, 0.72f}) {
            const float branch = at < 0.5f ? 0.3f : 0.22f;
            for (float side : {-1.0f, 1.0f}) {
                const float b = a + side * glm::radians(55.0f);
                bar(d * at, d * at + glm::vec2(std::cos(b), std::sin(b)) * branch, 0.05f, Swatch::Ice);
            }
        }
    }
    flake.append(makeLimb({0, 0, -0.1f}, {0, 0, 0.1f}, 0.22f, 0.22f, 6, uv(Swatch::Ice)), glm::mat4(1.0f));
    return {flake};
}

std::vector<Mesh> makeTorso()
{
    Mesh sled("Sled", paletteMaterial);
    const float runnerY = -1.46f;
    // Runners on the snow with their fronts curled up.
    for (float x : {-0.38f, 0.38f}) {
        add(sled, makeBox({0.035f, 0.04f, 0.9f}, uv(Swatch::Metal)), {x, runnerY, 0.05f});
        sled.append(makeLimb({x, runnerY, -0.84f}, {x, -1.33f, -0.95f}, 0.035f, 0.035f, 4, uv(Swatch::Metal)),
                    glm::mat4(1.0f));
        sled.append(makeLimb({x, -1.33f, -0.95f}, {x, -1.2f, -0.9f}, 0.035f, 0.035f, 4, uv(Swatch::Metal)),
                    glm::mat4(1.0f));
        for (float z : {-0.55f, 0.1f, 0.75f}) {
            add(sled, makeBox({0.03f, 0.06f, 0.05f}, uv(Swatch::SledWood)), {x, -1.36f, z});
        }
        // Hand rails along the sides.
        sled.append(makeLimb({x * 1.18f, -1.2f, -0.65f}, {x * 1.18f, -1.2f, 0.85f}, 0.03f, 0.03f, 5,
                             uv(Swatch::SledRed)),
                    glm::mat4(1.0f));
    }
    add(sled, makeBox({0.44f, 0.035f, 0.035f}, uv(Swatch::SledRed)), {0, -1.2f, -0.9f});
    for (float x : {-0.3f, -0.1f, 0.1f, 0.3f}) {
        add(sled, makeBox({0.085f, 0.03f, 0.875f}, uv(Swatch::SledWood)), {x, -1.27f, 0.125f});
    }
    for (float z : {-0.72f, 0.95f}) {
        add(sled, makeBox({0.44f, 0.04f, 0.05f}, uv(Swatch::SledRed)), {0, -1.26f, z});
    }
    // The rider sitting on the middle of the sled, facing -z.
    add(sled, makeBox({0.22f, 0.1f, 0.17f}, uv(Swatch::Trousers)), {0, -1.13f, 0.1f});
    sled.append(makeLimb({0, -1.12f, 0.12f}, {0, -0.55f, 0.2f}, 0.24f, 0.26f, 8, uv(Swatch::Jacket)),
                glm::mat4(1.0f));
    sled.append(makeLimb({0, -0.56f, 0.2f}, {0, -0.45f, 0.19f}, 0.17f, 0.15f, 8, uv(Swatch::Scarf)),
                glm::mat4(1.0f));
    add(sled, makeBox({0.06f, 0.16f, 0.03f}, uv(Swatch::Scarf)), {0.09f, -0.62f, 0.46f});
    add(sled, makeEllipsoid(glm::vec3(0.18f), 4, 8, uv(Swatch::Skin)), {0, -0.27f, 0.18f});
    add(sled, makeEllipsoid({0.195f, 0.13f, 0.195f}, 3, 8, uv(Swatch::Beanie)), {0, -0.17f, 0.18f});
    add(sled, makeEllipsoid(glm::vec3(0.07f), 3, 6, uv(Swatch::GateWhite)), {0, -0.03f, 0.18f});
    add(sled, makeBox({0.14f, 0.045f, 0.03f}, uv(Swatch::Ice)), {0, -0.27f, 0.01f});
    for (float s : {-1.0f, 1.0f}) {
        const glm::vec3 shoulder(s * 0.27f, -0.62f, 0.2f), elbow(s * 0.37f, -0.9f, 0.0f),
            hand(s * 0.44f, -1.13f, -0.25f);
        sled.append(makeLimb(shoulder, elbow, 0.085f, 0.08f, 6, uv(Swatch::Jacket)), glm::mat4(1.0f));
        sled.append(makeLimb(elbow, hand, 0.075f, 0.065f, 6, uv(Swatch::JacketDark)), glm::mat4(1.0f));
        add(sled, makeEllipsoid(glm::vec3(0.085f), 3, 6, uv(Swatch::Glove)), hand);
    }
    return {sled};
}

std::vector<Mesh> makeLeg(bool left)
{
    Mesh leg(left ? "LeftLeg" : "RightLeg", paletteMaterial);
    const glm::vec3 hip(-0.13f, -1.1f, 0.02f), knee(-0.3f, -0.88f, -0.38f), ankle(-0.55f, -1.16f, -0.62f);
    leg.append(makeLimb(hip, knee, 0.11f, 0.09f, 6, uv(Swatch::Trousers)), glm::mat4(1.0f));
    leg.append(makeLimb(knee, ankle, 0.09f, 0.075f, 6, uv(Swatch::Trousers)), glm::mat4(1.0f));
    add(leg, makeEllipsoid({0.1f, 0.09f, 0.16f}, 3, 6, uv(Swatch::Boot)), {-0.57f, -1.22f, -0.68f});
    if (left) {
        return {leg};
    }
    // The right leg mirrors the left across the sled's middle.
    Mesh right(leg.name, leg.material);
    right.append(leg, glm::scale(glm::mat4(1.0f), glm::vec3(-1.0f, 1.0f, 1.0f)));
    return {right};
}

}  // namespace frostline
