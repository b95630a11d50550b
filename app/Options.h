// The window size from "options.ini": section "Window", keys "width" and "height".
#pragma once

#include <string>

namespace frostline {

/// Reads an integer like the Windows private-profile reader: section and key
/// names are case-insensitive, the value's leading blanks are skipped and its
/// optional sign and decimal digits are taken (garbage reads as 0). A missing
/// file (or one that cannot be read, as readWholeFile says), section or key
/// gives defaultValue.
int readProfileInt(const std::string& path, const std::string& section, const std::string& key,
                   int defaultValue);

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

}  // namespace frostline
