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

/// The board: half width and half height (world units), centre height above the gate's foot.
constexpr float boardHalfWidth = 2.6f;
constexpr float boardHalfHeight = 2.6f;
constexpr float boardCentreY = 8.9f;
constexpr float boardHalfDepth = 0.12f;
/// The pole rises from inside the banner's top bar to the board.
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

std::vector<Mesh> makeGateSign(int number, GateLook look)
{
    Mesh frame("SignFrame", paletteMaterial);
    const glm::vec2 wood = swatchUv(Swatch::BarkDark);
    const float poleTop = boardCentreY - boardHalfHeight;
    frame.append(makeBox({0.12f, 0.5f * (poleTop - poleBottomY), 0.12f}, wood),
                 placeAt({0.0f, 0.5f * (poleTop + poleBottomY), 0.0f}));
    // The board's four edges (no surface lies behind a face: at a distance the scene's
    // depth could not tell them apart) and a cap of snow; the faces are the picture.
    const float x0 = -boardHalfWidth, x1 = boardHalfWidth;
    const float y0 = boardCentreY - boardHalfHeight, y1 = boardCentreY + boardHalfHeight;
    const float zf = boardHalfDepth, zb = -boardHalfDepth;
    const glm::vec2 edge = swatchUv(Swatch::BoardBack);
    frame.addQuad({x0, y1, zf}, {x1, y1, zf}, {x1, y1, zb}, {x0, y1, zb}, edge);  // top
    frame.addQuad({x0, y0, zb}, {x1, y0, zb}, {x1, y0, zf}, {x0, y0, zf}, edge);  // bottom
    frame.addQuad({x0, y0, zb}, {x0, y0, zf}, {x0, y1, zf}, {x0, y1, zb}, edge);  // left
    frame.addQuad({x1, y0, zf}, {x1, y0, zb}, {x1, y1, zb}, {x1, y1, zf}, edge);  // right
    frame.append(makeBox({boardHalfWidth + 0.05f, 0.07f, boardHalfDepth + 0.06f}, swatchUv(Swatch::Snow)),
                 placeAt({0.0f, y1 + 0.07f, 0.0f}));

    Mesh face("SignFace", gateSignName(number, look));
    // Front (+z) and back (-z); the back's picture is turned so it reads from behind too.
    for (float side : {1.0f, -1.0f}) {
        const float z = side * boardHalfDepth;
        const glm::vec3 n(0.0f, 0.0f, side);
        const float left = side > 0 ? x0 : x1, right = side > 0 ? x1 : x0;
        const auto a = face.addVertex({{left, y0, z}, n, {0, 0}});
        const auto b = face.addVertex({{right, y0, z}, n, {1, 0}});
        const auto c = face.addVertex({{right, y1, z}, n, {1, 1}});
        const auto d = face.addVertex({{left, y1, z}, n, {0, 1}});
        face.addIndices(a, b, c);
        face.addIndices(a, c, d);
    }
    return {frame, face};
}

}  // namespace frostline
