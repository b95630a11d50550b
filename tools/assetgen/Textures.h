// The pictures the models and the interface read: snow, the billboard's face,
// the fallback white, the glyph grid of the font and the three panels.
#pragma once

#include <string>

#include "tools/assetgen/Image.h"

namespace frostline {

/// Fine, tileable snow: 256 x 256, bluish white grain with a few glints.
Image makeSnowTexture();
/// The painted face of the billboard, 640 x 256 (the board's aspect).
Image makeBillboardTexture();
/// The fallback texture: plain white, 16 x 16.
Image makeWhiteTexture();

/// Side of the font image and of one glyph cell (pixels).
inline constexpr int fontImageSize = 1024;
inline constexpr int fontCellSize = 64;
/// Columns of a cell that the text renderer samples: from fontInkLeft up to, not including, fontInkRight.
inline constexpr int fontInkLeft = 15;
inline constexpr int fontInkRight = 48;
/// The 16 x 16 glyph grid: code c in column c mod 16, row c div 16 from the top, white with alpha.
Image makeFontImage();

/// Panel sizes (pixels) as the heads-up display shows them.
inline constexpr int helpPanelSize = 900;
inline constexpr int winPanelWidth = 664, winPanelHeight = 109;
inline constexpr int failPanelWidth = 703, failPanelHeight = 102;
/// The help panel: keys and rules, legible within the middle 740 rows (a 768-row screen cuts the rest).
Image makeHelpPanel();
/// The banner shown when the race is won; with gamepad, its line names the pad's buttons.
Image makeWinPanel(bool gamepad = false);
/// The banner shown when the race is lost; with gamepad, its line names the pad's buttons.
Image makeFailPanel(bool gamepad = false);

}  // namespace frostline
