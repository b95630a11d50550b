#include "tests/support/SoundAnalysis.h"

#include <algorithm>
#include <cmath>

#include <sndfile.h>

namespace frostline::test {

namespace {

constexpr double pi = 3.14159265358979;

/// The span [first, first + count) clipped to the samples.
std::pair<std::size_t, std::size_t> clip(const std::vector<float>& samples, std::size_t first,
                                         std::size_t count)
{
    first = std::min(first, samples.size());
    return {first, std::min(first + count, samples.size())};
}

}  // namespace

Recording readRecording(const std::string& path)
{
    Recording recording;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        return recording;
    }
    std::vector<float>& interleaved = recording.frames;
    interleaved.resize(static_cast<std::size_t>(info.frames) * info.channels);
    const sf_count_t frames = sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    recording.samples.resize(static_cast<std::size_t>(std::max<sf_count_t>(frames, 0)));
    for (std::size_t i = 0; i < recording.samples.size(); ++i) {
        float sum = 0.0f;
        for (int c = 0; c < info.channels; ++c) {
            sum += interleaved[i * info.channels + c];
        }
        recording.samples[i] = sum / static_cast<float>(info.channels);
    }
    recording.channels = info.channels;
    recording.sampleRate = info.samplerate;
    return recording;
}

float decibels(float amplitude)
{
    return amplitude > 0.0f ? 20.0f * std::log10(amplitude) : -200.0f;
}

float peak(const std::vector<float>& samples, std::size_t first, std::size_t count)
{
    const auto [begin, end] = clip(samples, first, count);
    float loudest = 0.0f;
    for (std::size_t i = begin; i < end; ++i) {
        loudest = std::max(loudest, std::fabs(samples[i]));
    }
    return loudest;
}

float rms(const std::vector<float>& samples, std::size_t first, std::size_t count)
{
    const auto [begin, end] = clip(samples, first, count);
    if (end <= begin) {
        return 0.0f;
    }
    double sum = 0.0;
    for (std::size_t i = begin; i < end; ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return static_cast<float>(std::sqrt(sum / static_cast<double>(end - begin)));
}

float toneAmplitude(const std::vector<float>& samples, std::size_t first, std::size_t count, int sampleRate,
                    float frequency)
{
    const auto [begin, end] = clip(samples, first, count);
    const std::size_t n = end - begin;
    if (n < 2 || sampleRate <= 0) {
        return 0.0f;
    }
    // Goertzel over a Hann window; the window's mean of 0.5 is divided out again.
    const double coefficient = 2.0 * std::cos(2.0 * pi * frequency / sampleRate);
    double previous = 0.0, beforePrevious = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double window =
            0.5 - 0.5 * std::cos(2.0 * pi * static_cast<double>(i) / static_cast<double>(n - 1));
        const double current = window * samples[begin + i] + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    const double power =
        previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
    return static_cast<float>(2.0 * std::sqrt(std::max(power, 0.0)) / (0.5 * static_cast<double>(n)));
}

float strongestFrequency(const std::vector<float>& samples, std::size_t first, std::size_t count,
                         int sampleRate, float low, float high, float step)
{
    float best = low;
    float bestAmplitude = -1.0f;
    for (float f = low; f <= high; f += step) {
        const float amplitude = toneAmplitude(samples, first, count, sampleRate, f);
        if (amplitude > bestAmplitude) {
            bestAmplitude = amplitude;
            best = f;
        }
    }
    return best;
}

}  // namespace frostline::test
