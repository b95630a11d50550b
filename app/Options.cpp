#include "app/Options.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <iostream>
#include <sstream>

#include "app/FileReading.h"

namespace frostline {

namespace {

std::string trim(const std::string& text)
{
    const auto isBlank = [](unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isBlank(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && isBlank(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

bool equalsIgnoreCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

/// Optional sign, then decimal digits; stops at the first other character.
/// Saturates instead of overflowing.
int parseLeadingInt(const std::string& value)
{
    size_t i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    long long magnitude = 0;
    for (; i < value.size() && std::isdigit(static_cast<unsigned char>(value[i])); ++i) {
        magnitude = std::min<long long>(magnitude * 10 + (value[i] - '0'), 1LL + INT_MAX);
    }
    const long long result = negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<long long>(result, INT_MIN, INT_MAX));
}

}  // namespace

int readProfileInt(const std::string& path, const std::string& section, const std::string& key,
                   int defaultValue)
{
    const std::optional<std::string> value = readProfileString(path, section, key);
    return value ? parseLeadingInt(*value) : defaultValue;
}

std::optional<std::string> readProfileString(const std::string& path, const std::string& section,
                                             const std::string& key)
{
    // A file that cannot be read is a missing one: every key has its default.
    const std::optional<std::string> content = readWholeFile(path);
    if (!content) {
        return std::nullopt;
    }
    std::istringstream in(*content);
    bool inSection = false;
    std::string line;
    while (std::getline(in, line)) {
        const std::string text = trim(line);
        if (text.empty() || text[0] == ';') {
            continue;
        }
        if (text[0] == '[') {
            const size_t close = text.find(']');
            const std::string name =
                trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            inSection = equalsIgnoreCase(name, section);
            continue;
        }
        if (!inSection) {
            continue;
        }
        const size_t equals = text.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        if (equalsIgnoreCase(trim(text.substr(0, equals)), key)) {
            return trim(text.substr(equals + 1));
        }
    }
    return std::nullopt;
}

WindowOptions readWindowOptions(const std::string& path)
{
    WindowOptions options;
    const auto readSide = [&](const char* key, int fallback) {
        const int value = readProfileInt(path, "Window", key, fallback);
        if (value <= 0 || value > maxWindowSide) {
            std::cout << "options.ini: " << key << " " << value << " is out of range (1 to "
                      << maxWindowSide << "), using " << fallback << std::endl;
            return fallback;
        }
        return value;
    };
    options.width = readSide("width", options.width);
    options.height = readSide("height", options.height);
    return options;
}

GraphicsOptions readGraphicsOptions(const std::string& path)
{
    GraphicsOptions options;
    const std::optional<std::string> value = readProfileString(path, "Graphics", "renderScale");
    if (!value) {
        return options;
    }
    // Digits alone (a sign at most): "75" fixes the scale, "75 %", "0.75" or "high" do not.
    const std::string& text = *value;
    const size_t digitsFrom = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    const bool whole = text.size() > digitsFrom && text.size() - digitsFrom <= 9 &&
                       std::all_of(text.begin() + static_cast<std::ptrdiff_t>(digitsFrom), text.end(),
                                   [](unsigned char c) { return std::isdigit(c) != 0; });
    const int percent = whole ? parseLeadingInt(text) : -1;
    if (percent == 0 || (percent >= lowestRenderScalePercent && percent <= highestRenderScalePercent)) {
        options.renderScalePercent = percent;
        return options;
    }
    // The value is echoed within reason: a line of the file can be of any length.
    const std::string shown = text.size() > 40 ? text.substr(0, 40) + "..." : text;
    std::cout << "options.ini: renderScale \"" << shown << "\" is not a percent from "
              << lowestRenderScalePercent << " to " << highestRenderScalePercent
              << " (or 0), adapting the render scale to the frame time" << std::endl;
    return options;
}

}  // namespace frostline
