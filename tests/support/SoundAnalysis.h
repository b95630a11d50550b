// Measuring sound files: levels, the strength of one frequency and the strongest
// frequency, for the generator's tests and the recording of a session.
#pragma once

#include <string>
#include <vector>

namespace frostline::test {

/// A sound file's samples, channels mixed to one, in -1..1, and as the file holds them.
struct Recording {
    std::vector<float> samples;
    std::vector<float> frames;  ///< every channel's samples, interleaved (left first)
    int channels = 0;
    int sampleRate = 0;
    bool loaded() const { return sampleRate > 0; }
    /// Seconds of sound.
    double seconds() const { return sampleRate > 0 ? static_cast<double>(samples.size()) / sampleRate : 0.0; }
};

/// Reads path through libsndfile; an empty Recording when it does not read.
Recording readRecording(const std::string& path);

/// Decibels relative to full scale of an amplitude (-200 for 0).
float decibels(float amplitude);
/// Loudest sample of samples [first, first + count) (clipped to the recording), 0..1.
float peak(const std::vector<float>& samples, std::size_t first, std::size_t count);
/// Root mean square of the same span, 0..1.
float rms(const std::vector<float>& samples, std::size_t first, std::size_t count);
/// Amplitude (0..1) of the sinusoid at frequency (Hz) in the same span (Goertzel, Hann window).
float toneAmplitude(const std::vector<float>& samples, std::size_t first, std::size_t count, int sampleRate,
                    float frequency);
/// The frequency (Hz) between low and high, in steps of step, with the largest amplitude in the span.
float strongestFrequency(const std::vector<float>& samples, std::size_t first, std::size_t count,
                         int sampleRate, float low, float high, float step);

}  // namespace frostline::test
