// Fuzz target: options.ini as a player might leave it. Whatever the file holds,
// the reader returns a window size the game can open (1 to maxWindowSide on
// each side), agrees with the raw value whenever that is in range, and never
// crashes or trips a sanitizer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include <unistd.h>

#include "app/Options.h"

namespace {
std::string optionsPath;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    char folder[] = "/tmp/frostline-ini-fuzz-XXXXXX";
    if (!::mkdtemp(folder)) {
        std::perror("mkdtemp");
        std::abort();
    }
    optionsPath = std::string(folder) + "/options.ini";
    // The reader names each out-of-range value on standard output: keep the run quiet.
    std::cout.setstate(std::ios::failbit);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        std::ofstream file(optionsPath, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const frostline::WindowOptions options = frostline::readWindowOptions(optionsPath);
    const auto usable = [](int side) { return side >= 1 && side <= frostline::maxWindowSide; };
    if (!usable(options.width) || !usable(options.height)) {
        std::fprintf(stderr, "unusable window size %d x %d\n", options.width, options.height);
        std::abort();
    }
    // An in-range value is taken as it stands; anything else falls back to the default.
    const int width = frostline::readProfileInt(optionsPath, "Window", "width", 1024);
    const int height = frostline::readProfileInt(optionsPath, "window", "HEIGHT", 768);
    if (options.width != (usable(width) ? width : 1024) ||
        options.height != (usable(height) ? height : 768)) {
        std::fprintf(stderr, "window size %d x %d from raw values %d x %d\n", options.width, options.height,
                     width, height);
        std::abort();
    }
    return 0;
}
