// frostline_soundprobe: measures a recording of a session for the end-to-end
// checks. Times are seconds from the recording's start.
//
//   frostline_soundprobe FILE length             seconds of sound
//   frostline_soundprobe FILE level FROM TO      RMS and peak of the span (dBFS)
//   frostline_soundprobe FILE onsets HZ          when a tone at HZ sets in, one time a line
//   frostline_soundprobe FILE present HZ FROM TO share (0..1) of the span the tone is heard in
//
// A tone is heard in a 40 ms window when its amplitude is above -50 dBFS and no more
// than 4 dB below the window's RMS (it is not just a part of louder noise); it sets in
// when it is heard after at least 150 ms without it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/SoundAnalysis.h"

using namespace frostline::test;

namespace {

constexpr double window = 0.04;
constexpr double hop = 0.01;
constexpr double quietBefore = 0.15;

bool heard(const Recording& r, double at, float frequency)
{
    const auto first = static_cast<std::size_t>(at * r.sampleRate);
    const auto count = static_cast<std::size_t>(window * r.sampleRate);
    const float tone = decibels(toneAmplitude(r.samples, first, count, r.sampleRate, frequency));
    return tone > -50.0f && tone > decibels(rms(r.samples, first, count)) - 4.0f;
}

int usage()
{
    std::fprintf(stderr, "usage: frostline_soundprobe FILE length | level FROM TO | onsets HZ | present HZ FROM TO\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        return usage();
    }
    const Recording r = readRecording(argv[1]);
    if (!r.loaded()) {
        std::fprintf(stderr, "frostline_soundprobe: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string what = argv[2];
    if (what == "length") {
        std::printf("%.3f\n", r.seconds());
    } else if (what == "level" && argc == 5) {
        const double from = std::atof(argv[3]), to = std::atof(argv[4]);
        const auto first = static_cast<std::size_t>(from * r.sampleRate);
        const auto count = static_cast<std::size_t>(std::max(0.0, to - from) * r.sampleRate);
        std::printf("%.1f %.1f\n", decibels(rms(r.samples, first, count)), decibels(peak(r.samples, first, count)));
    } else if (what == "onsets" && argc == 4) {
        const auto frequency = static_cast<float>(std::atof(argv[3]));
        double lastHeard = -1.0e9;
        for (double at = 0.0; at + window <= r.seconds(); at += hop) {
            if (heard(r, at, frequency)) {
                if (at - lastHeard > quietBefore) {
                    std::printf("%.3f\n", at + window / 2);
                }
                lastHeard = at;
            }
        }
    } else if (what == "present" && argc == 6) {
        const auto frequency = static_cast<float>(std::atof(argv[3]));
        int windows = 0, heardIn = 0;
        for (double at = std::atof(argv[4]); at + window <= std::atof(argv[5]); at += hop) {
            ++windows;
            heardIn += heard(r, at, frequency) ? 1 : 0;
        }
        std::printf("%.2f\n", windows > 0 ? static_cast<double>(heardIn) / windows : 0.0);
    } else {
        return usage();
    }
    return 0;
}
