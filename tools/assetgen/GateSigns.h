// The number signs that stand on the gates: one model for each gate number, and
// one picture for each number and look (a later gate, the gate to pass next, a
// gate passed); the game changes a sign's look by changing its faces' picture.
#pragma once

#include <string>
#include <vector>

#include "tools/assetgen/Image.h"
#include "tools/assetgen/Mesh.h"

namespace frostline {

/// How a gate's sign looks: plain for a later gate, bright for the next one, dim once passed.
enum class GateLook { Plain, Next, Passed };

/// The gates carry the numbers 1 to gateSignCount.
inline constexpr int gateSignCount = 5;
/// Side of a sign's picture (pixels).
inline constexpr int gateSignImageSize = 256;

/// File name of a sign's picture (without extension): "gatesign3_next" for gate 3, look
/// Next; the plain look's name, "gatesign3", is the model's and its faces' material's too.
std::string gateSignName(int number, GateLook look);
/// The sign's face: the gate's number, large, on a board coloured by the look.
Image makeGateSignImage(int number, GateLook look);
/// The sign in the gate's own frame: a cube above the gate's banner on a short pole,
/// the number on its four sides and its top, readable from any side and from above.
/// The faces' material is the plain look's picture (named as the sign).
std::vector<Mesh> makeGateSign(int number);

}  // namespace frostline
