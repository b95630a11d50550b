// The shared colour atlas of the scenery models: an 8 x 8 grid of flat colour
// swatches in "models/palette.png", so one mesh can carry many colours.
#pragma once

#include <glm/glm.hpp>

#include "tools/assetgen/Image.h"

namespace frostline {

/// The colours of the atlas, in swatch order (row by row from the top left).
enum class Swatch {
    Snow, SnowShade, FirDark, FirMid, FirLight, Bark, BarkDark, WoodLight,
    WoodRing, RockDark, Rock, RockLight, GateRed, GateWhite, GateYellow, Black,
    CowWhite, CowPink, Horn, Ice, IceBright, SledRed, SledWood, Metal,
    Jacket, JacketDark, Trousers, Skin, Beanie, Boot, BoardBack, Scarf,
    Glove,
    Count
};

/// Texture coordinate of a swatch's centre (v = 0 is the image's bottom row).
glm::vec2 swatchUv(Swatch swatch);
/// The atlas image, 128 x 128 pixels, 16 x 16 pixels per swatch.
Image paletteImage();

}  // namespace frostline
