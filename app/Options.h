// The options from "options.ini": the window size (section "Window", keys "width" and
// "height") and the render scale (section "Graphics", key "renderScale").
#pragma once

#include <optional>
#include <string>

namespace frostline {

/// Reads an integer like the Windows private-profile reader: section and key
/// names are case-insensitive, the value's leading blanks are skipped and its
/// optional sign and decimal digits are taken (garbage reads as 0). A missing
/// file (or one that cannot be read, as readWholeFile says), section or key
/// gives defaultValue.
int readProfileInt(const std::string& path, const std::string& section, const std::string& key,
                   int defaultValue);

/// The value of key in section, with the blanks around it taken off, found as
/// readProfileInt finds it; nothing for a missing file, section or key.
std::optional<std::string> readProfileString(const std::string& path, const std::string& section,
                                             const std::string& key);

/// Window size read at start-up.
struct WindowOptions {
    int width = 1024;   ///< pixels
    int height = 768;   ///< pixels
};

/// Largest window side accepted from the file (pixels); larger values fall back.
inline constexpr int maxWindowSide = 16384;

/// Reads width and height from the file; a value of zero or less, or above
/// maxWindowSide, is named in one line on standard output and replaced by its default.
WindowOptions readWindowOptions(const std::string& path = "options.ini");

/// Smallest and largest fixed render scale accepted from the file (percent of the window's side).
inline constexpr int lowestRenderScalePercent = 50;
inline constexpr int highestRenderScalePercent = 100;

/// Graphics options read at start-up.
struct GraphicsOptions {
    /// The render scale in percent of the window's width and height, fixed from 50 to
    /// 100; 0 lets the game adapt it to the frame time.
    int renderScalePercent = 0;
};

/// Reads "renderScale" of section "Graphics": a whole number from 50 to 100 fixes the
/// scale; 0 or no key adapts it. Any other value (text, a fraction, out of range) is
/// named in one line on standard output and adapts it too.
GraphicsOptions readGraphicsOptions(const std::string& path = "options.ini");

}  // namespace frostline
