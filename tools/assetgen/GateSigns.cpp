#include "tools/assetgen/GateSigns.h"

#include "tools/assetgen/Models.h"
#include "tools/assetgen/Palette.h"
#include "tools/assetgen/Shapes.h"
#include "tools/assetgen/TextPainter.h"

namespace frostline {

namespace {

/// Board colour, rim colour and number colour of a look.
struct SignColours {
    glm::vec4 board, rim, number;
};

SignColours coloursOf(GateLook look)
{
    switch (look) {
    case GateLook::Next:  // bright amber with a white rim: the one to ride for
        return {{1.0f, 0.60f, 0.02f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {0.08f, 0.04f, 0.0f, 1.0f}};
    case GateLook::Passed:  // grey on grey: done with
        return {{0.42f, 0.44f, 0.47f, 1.0f}, {0.36f, 0.38f, 0.40f, 1.0f}, {0.62f, 0.64f, 0.66f, 1.0f}};
    case GateLook::Plain:
        break;
    }
    return {{0.96f, 0.96f, 0.97f, 1.0f}, {0.06f, 0.13f, 0.36f, 1.0f}, {0.06f, 0.13f, 0.36f, 1.0f}};
}

/// The sign is a cube on a pole: its number on the four sides and on top, so it reads
/// from any direction and from above. Half size and centre height above the gate's
/// foot (world units).
constexpr float boardHalfSize = 2.4f;
constexpr float boardCentreY = 8.3f;
/// The pole rises from inside the banner's top bar to the cube.
constexpr float poleBottomY = 5.0f;

}  // namespace

std::string gateSignName(int number, GateLook look)
{
    const char* suffix = look == GateLook::Next ? "_next" : look == GateLook::Passed ? "_passed" : "";
    return "gatesign" + std::to_string(number) + suffix;
}

Image makeGateSignImage(int number, GateLook look)
{
    const SignColours colours = coloursOf(look);
    constexpr float size = gateSignImageSize;
    // The board's colour reaches the edges, so mipmaps never mix in anything else.
    Image image(gateSignImageSize, gateSignImageSize, colours.rim);
    image.fillRoundedRect(14, 14, size - 14, size - 14, 18, colours.board);
    const TextPainter bold(std::string(dejaVuFolder) + "DejaVuSans-Bold.ttf");
    if (bold.valid()) {
        const std::string text = std::to_string(number);
        const InkBox ink = bold.measure(text, 220);
        // Centred on the ink, not on the pen: digits sit on the baseline.
        const float baseline = 0.5f * size - 0.5f * static_cast<float>(ink.top + ink.bottom);
        bold.drawCentred(image, text, 220, 0.5f * size, baseline, colours.number);
    }
    return image;
}

std::vector<Mesh> makeGateSign(int number)
{
    Mesh pole("SignPole", paletteMaterial);
    const float bottom = boardCentreY - boardHalfSize;
    pole.append(makeBox({0.12f, 0.5f * (bottom - poleBottomY), 0.12f}, swatchUv(Swatch::BarkDark)),
                placeAt({0.0f, 0.5f * (bottom + poleBottomY), 0.0f}));
    // A flat cap under the cube, so it does not look open from below.
    const float h = boardHalfSize, x0 = -h, x1 = h, z0 = -h, z1 = h, y0 = bottom, y1 = bottom + 2.0f * h;
    pole.addQuad({x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}, swatchUv(Swatch::BoardBack));

    // Each face shows the picture upright to someone standing in front of it; the top
    // reads from the gate's front. Corners counter-clockwise seen from outside.
    Mesh faces("SignFaces", gateSignName(number, GateLook::Plain));
    const auto face = [&](glm::vec3 a, glm::vec3 b, glm::vec3 c, glm::vec3 d) {
        const glm::vec3 n = glm::normalize(glm::cross(b - a, c - a));
        const auto ia = faces.addVertex({a, n, {0, 0}});
        const auto ib = faces.addVertex({b, n, {1, 0}});
        const auto ic = faces.addVertex({c, n, {1, 1}});
        const auto id = faces.addVertex({d, n, {0, 1}});
        faces.addIndices(ia, ib, ic);
        faces.addIndices(ia, ic, id);
    };
    face({x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1});  // front (+z)
    face({x1, y0, z0}, {x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0});  // back (-z)
    face({x1, y0, z1}, {x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1});  // right (+x)
    face({x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0});  // left (-x)
    face({x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}, {x0, y1, z0});  // top
    // The faces first: the first mesh sets the bounding sphere, and it reaches highest.
    return {faces, pole};
}

}  // namespace frostline
