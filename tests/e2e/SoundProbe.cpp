// frostline_soundprobe: measures a recording of a session for the end-to-end
// checks. Times are seconds from the recording's start.
//
//   frostline_soundprobe FILE length             seconds of sound
//   frostline_soundprobe FILE level FROM TO      RMS and peak of the span (dBFS)
//   frostline_soundprobe FILE onsets HZ          when a tone at HZ sets in, one time a line
//   frostline_soundprobe FILE present HZ FROM TO share (0..1) of the span the tone is heard in
//   frostline_soundprobe FILE loudness [FROM TO] integrated loudness (LUFS), sample peak (dBFS) and
//                                                true peak (dBTP) of the whole recording or the span
//   frostline_soundprobe FILE stereo FROM TO     level of the channels' difference against their sum
//                                                (dB, -200 when they are equal) and the left
//                                                channel's level minus the right's (dB)
//
// Loudness is ITU-R BS.1770's, through libebur128: K-weighted, in 400 ms blocks
// overlapping by three quarters, gated at -70 LUFS and then 10 LU below the
// loudness of what passed that gate.
//
// A tone is heard in a 40 ms window when its amplitude is above -50 dBFS and no more
// than 4 dB below the window's RMS (it is not just a part of louder noise); it sets in
// when it is heard after at least 150 ms without it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <ebur128.h>

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

/// The frames [first, end) of a recording, clipped to it.
struct Span {
    std::size_t first = 0;
    std::size_t end = 0;
};

Span spanOf(const Recording& r, double from, double to)
{
    const std::size_t frames = r.samples.size();
    const auto first = std::min(static_cast<std::size_t>(std::max(0.0, from) * r.sampleRate), frames);
    const auto end = std::min(static_cast<std::size_t>(std::max(0.0, to) * r.sampleRate), frames);
    return {first, std::max(first, end)};
}

/// Prints the integrated loudness, the sample peak and the true peak of the span.
int printLoudness(const Recording& r, Span span)
{
    const auto channels = static_cast<unsigned>(r.channels);
    ebur128_state* meter = ebur128_init(channels, static_cast<unsigned long>(r.sampleRate),
                                        EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK | EBUR128_MODE_TRUE_PEAK);
    if (!meter) {
        std::fprintf(stderr, "frostline_soundprobe: cannot measure %u channels\n", channels);
        return 1;
    }
    ebur128_add_frames_float(meter, r.frames.data() + span.first * channels, span.end - span.first);
    double loudness = 0.0, samplePeak = 0.0, truePeak = 0.0;
    ebur128_loudness_global(meter, &loudness);
    for (unsigned c = 0; c < channels; ++c) {
        double peakOf = 0.0;
        ebur128_sample_peak(meter, c, &peakOf);
        samplePeak = std::max(samplePeak, peakOf);
        ebur128_true_peak(meter, c, &peakOf);
        truePeak = std::max(truePeak, peakOf);
    }
    ebur128_destroy(&meter);
    // Nothing above the gate at all: as quiet as a level of silence.
    std::printf("%.1f %.1f %.1f\n", std::isfinite(loudness) ? loudness : -200.0,
                decibels(static_cast<float>(samplePeak)), decibels(static_cast<float>(truePeak)));
    return 0;
}

/// Prints how different the two channels are over the span, and which is louder.
int printStereo(const Recording& r, Span span)
{
    if (r.channels != 2) {
        std::fprintf(stderr, "frostline_soundprobe: %d channel(s), not two\n", r.channels);
        return 1;
    }
    double left = 0.0, right = 0.0, sum = 0.0, difference = 0.0;
    for (std::size_t i = span.first; i < span.end; ++i) {
        const double l = r.frames[2 * i], rr = r.frames[2 * i + 1];
        left += l * l;
        right += rr * rr;
        sum += (l + rr) * (l + rr);
        difference += (l - rr) * (l - rr);
    }
    const auto ratio = [](double a, double b) {
        return decibels(static_cast<float>(b > 0.0 ? std::sqrt(a / b) : 0.0));
    };
    std::printf("%.1f %.1f\n", ratio(difference, sum), left > 0.0 && right > 0.0 ? ratio(left, right) : 0.0f);
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: frostline_soundprobe FILE length | level FROM TO | onsets HZ"
                         " | present HZ FROM TO | loudness [FROM TO] | stereo FROM TO\n");
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
        std::printf("%.1f %.1f\n", decibels(rms(r.samples, first, count)),
                    decibels(peak(r.samples, first, count)));
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
    } else if (what == "loudness" && (argc == 3 || argc == 5)) {
        const Span whole{0, r.samples.size()};
        return printLoudness(r, argc == 5 ? spanOf(r, std::atof(argv[3]), std::atof(argv[4])) : whole);
    } else if (what == "stereo" && argc == 5) {
        return printStereo(r, spanOf(r, std::atof(argv[3]), std::atof(argv[4])));
    } else {
        return usage();
    }
    return 0;
}
