#include "tools/assetgen/Sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>

#include <sndfile.h>

namespace frostline {

namespace {

constexpr float pi = 3.14159265f;
constexpr float rate = static_cast<float>(soundSampleRate);

int samplesFor(float seconds)
{
    return static_cast<int>(std::lround(seconds * rate));
}

/// White noise in -1..1 from a fixed seed (xorshift32): the same on every machine.
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed) {}
    float next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    }

private:
    uint32_t state;
};

/// Two-pole state-variable filter; run() returns the band-pass output, low the low-pass one.
struct Filter {
    float low = 0.0f;
    float band = 0.0f;
    /// One sample through the filter with its centre at centre (Hz); damping 0.1 (sharp) .. 2 (wide).
    float run(float in, float centre, float damping)
    {
        const float f = 2.0f * std::sin(pi * std::min(centre, rate / 6.0f) / rate);
        low += f * band;
        const float high = in - low - damping * band;
        band += f * high;
        return band;
    }
};

/// Linear rise over attack and fall over release seconds, within a sound of length seconds.
float riseAndFall(float t, float attack, float release, float length)
{
    const float rise = attack > 0.0f ? std::min(t / attack, 1.0f) : 1.0f;
    const float fall = release > 0.0f ? std::clamp((length - t) / release, 0.0f, 1.0f) : 1.0f;
    return rise * fall;
}

/// Sum of harmonics at the fundamental's phase (radians): amplitudes[k] for harmonic k + 1.
float harmonics(float phase, const std::vector<float>& amplitudes)
{
    float sum = 0.0f;
    for (std::size_t k = 0; k < amplitudes.size(); ++k) {
        sum += amplitudes[k] * std::sin(phase * static_cast<float>(k + 1));
    }
    return sum;
}

/// A note added into samples from start (s) for length (s): harmonics of frequency with a short
/// rise and fall, at the given level.
void addNote(std::vector<float>& samples, float start, float length, float frequency, float level,
             const std::vector<float>& amplitudes, float release = 0.04f)
{
    const int first = samplesFor(start);
    const int count = samplesFor(length);
    for (int i = 0; i < count && first + i < static_cast<int>(samples.size()); ++i) {
        const float t = static_cast<float>(i) / rate;
        samples[first + i] += level * riseAndFall(t, 0.006f, release, length) *
                              harmonics(2.0f * pi * frequency * t, amplitudes);
    }
}

/// length seconds of sample(t), t in seconds, asked in order (filters keep their state).
std::vector<float> render(float length, const std::function<float(float)>& sample)
{
    std::vector<float> samples(samplesFor(length));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = sample(static_cast<float>(i) / rate);
    }
    return samples;
}

/// A loop of length seconds: sample(i) is asked for fade seconds more than the loop holds,
/// and that overhang is faded into the start, so the last sample runs on into the first.
/// Anything periodic in sample() must repeat within length.
std::vector<float> makeLoop(float length, float fade, const std::function<float(int)>& sample)
{
    const int n = samplesFor(length);
    const int overlap = samplesFor(fade);
    std::vector<float> raw(n + overlap);
    for (int i = 0; i < n + overlap; ++i) {
        raw[i] = sample(i);
    }
    std::vector<float> loop(raw.begin(), raw.begin() + n);
    for (int i = 0; i < overlap; ++i) {
        // Equal power: the two stretches of noise are unrelated.
        const float w = 0.5f * pi * static_cast<float>(i) / static_cast<float>(overlap);
        loop[i] = raw[i] * std::sin(w) + raw[n + i] * std::cos(w);
    }
    return loop;
}

/// A periodic wave of period seconds at sample i, between -1 and 1.
float cycle(int i, float period)
{
    return std::sin(2.0f * pi * static_cast<float>(i) / (period * rate));
}

// --- the signals --------------------------------------------------------------

std::vector<float> makeBeep()
{
    std::vector<float> s(samplesFor(0.15f), 0.0f);
    addNote(s, 0.0f, 0.15f, beepFrequency, 1.0f, {1.0f}, 0.04f);
    return s;
}

std::vector<float> makeGo()
{
    std::vector<float> s(samplesFor(0.6f), 0.0f);
    addNote(s, 0.0f, 0.6f, goFrequency, 1.0f, {1.0f, 0.15f}, 0.25f);
    return s;
}

std::vector<float> makeChime()
{
    // A small bell: bright partials that die away faster the higher they are.
    const float length = 0.8f;
    const float partials[][3] = {
        {1.0f, 1.0f, 0.30f}, {2.0f, 0.35f, 0.18f}, {3.0f, 0.2f, 0.10f}, {4.2f, 0.12f, 0.05f}};
    return render(length, [&](float t) {
        float v = 0.0f;
        for (const auto& p : partials) {
            v += p[1] * std::exp(-t / p[2]) * std::sin(2.0f * pi * chimeFrequency * p[0] * t);
        }
        return v * riseAndFall(t, 0.002f, 0.05f, length);
    });
}

std::vector<float> makeGate()
{
    std::vector<float> s(samplesFor(0.36f), 0.0f);
    addNote(s, 0.0f, 0.13f, gateLowFrequency, 1.0f, {1.0f, 0.25f}, 0.03f);
    addNote(s, 0.13f, 0.23f, gateHighFrequency, 1.0f, {1.0f, 0.25f}, 0.12f);
    return s;
}

std::vector<float> makeBuzzer()
{
    // Two detuned square waves, rough and low, softened a little.
    const float length = 0.55f;
    Filter soften;
    return render(length, [&](float t) {
        const float a = std::sin(2.0f * pi * 110.0f * t) >= 0.0f ? 1.0f : -1.0f;
        const float b = std::sin(2.0f * pi * 116.5f * t) >= 0.0f ? 1.0f : -1.0f;
        soften.run(0.5f * (a + b), 1800.0f, 1.4f);
        return soften.low * riseAndFall(t, 0.01f, 0.06f, length);
    });
}

std::vector<float> makeMoo()
{
    // A sawtooth that sags in pitch with a wobble, through a mouth that opens and closes.
    const float length = 1.1f;
    Filter mouth;
    Filter body;
    float phase = 0.0f;
    return render(length, [&](float t) {
        const float pitch = 125.0f - 40.0f * t / length + 5.0f * std::sin(2.0f * pi * 6.0f * t);
        phase += pitch / rate;
        phase -= std::floor(phase);
        const float saw = 2.0f * phase - 1.0f;
        const float opening = std::sin(pi * t / length);
        const float formant = mouth.run(saw, 350.0f + 450.0f * opening, 0.5f);
        body.run(saw, 900.0f, 1.0f);
        return (formant + 0.4f * body.low) * riseAndFall(t, 0.12f, 0.3f, length);
    });
}

std::vector<float> makeThud()
{
    // A falling low tone under a short burst of dull noise.
    const float length = 0.3f;
    Noise noise(0x7401u);
    Filter dull;
    float phase = 0.0f;
    return render(length, [&](float t) {
        phase += (45.0f + 50.0f * std::exp(-t / 0.05f)) / rate;
        dull.run(noise.next(), 250.0f, 1.2f);
        const float body = std::sin(2.0f * pi * phase) * std::exp(-t / 0.07f);
        return (body + 1.5f * dull.low * std::exp(-t / 0.03f)) * riseAndFall(t, 0.002f, 0.05f, length);
    });
}

std::vector<float> makeSwoosh()
{
    // Noise through a band that sweeps up.
    const float length = 0.45f;
    Noise noise(0x5105u);
    Filter band;
    return render(length, [&](float t) {
        const float centre = 350.0f * std::pow(9.0f, t / length);
        const float shape = std::sin(pi * t / length);
        return band.run(noise.next(), centre, 0.5f) * shape * shape;
    });
}

std::vector<float> makeFanfare()
{
    // C E G and a held high C, brassy.
    const std::vector<float> brass = {1.0f, 0.5f, 0.33f, 0.22f, 0.12f};
    std::vector<float> s(samplesFor(1.5f), 0.0f);
    addNote(s, 0.00f, 0.16f, 523.25f, 0.8f, brass);
    addNote(s, 0.15f, 0.16f, 659.25f, 0.8f, brass);
    addNote(s, 0.30f, 0.16f, 783.99f, 0.8f, brass);
    addNote(s, 0.45f, 1.05f, fanfareLastFrequency, 0.9f, brass, 0.35f);
    return s;
}

std::vector<float> makeLose()
{
    // Four falling notes, slow; the last one wobbles.
    const std::vector<float> soft = {1.0f, 0.0f, 0.3f, 0.0f, 0.15f};
    std::vector<float> s(samplesFor(1.95f), 0.0f);
    const float notes[] = {392.0f, 370.0f, 349.2f};
    for (int k = 0; k < 3; ++k) {
        addNote(s, 0.32f * static_cast<float>(k), 0.3f, notes[k], 0.8f, soft, 0.06f);
    }
    const int first = samplesFor(0.96f);
    const float length = 0.99f;
    float phase = 0.0f;
    for (int i = 0; first + i < static_cast<int>(s.size()); ++i) {
        const float t = static_cast<float>(i) / rate;
        phase += (329.6f + 6.0f * std::sin(2.0f * pi * 5.0f * t)) / rate;
        s[first + i] += 0.8f * riseAndFall(t, 0.01f, 0.4f, length) * harmonics(2.0f * pi * phase, soft);
    }
    return s;
}

std::vector<float> makeWind()
{
    // Dark noise through a band that drifts, in gusts; everything repeats every 4 s.
    Noise noise(0x3171u);
    Filter dark;
    Filter band;
    return makeLoop(4.0f, 0.5f, [&](int i) {
        const float centre = 550.0f + 250.0f * cycle(i, 4.0f) + 120.0f * cycle(i, 4.0f / 3.0f);
        const float gust = 0.75f + 0.25f * cycle(i, 2.0f);
        dark.run(noise.next(), 700.0f, 1.4f);
        return gust * (0.6f * dark.low + band.run(dark.low, centre, 0.35f));
    });
}

std::vector<float> makeRunners()
{
    // The hiss of runners on snow: high noise with a faint rhythm of the snow's crust.
    Noise noise(0x4a11u);
    Filter high;
    return makeLoop(2.0f, 0.25f, [&](int i) {
        const float crust = 0.85f + 0.15f * cycle(i, 0.25f);
        return crust * high.run(noise.next(), 5200.0f, 1.1f);
    });
}

std::vector<float> makeScrape()
{
    // A dragged foot: grains of noise of uneven strength every 12 ms, in a middle band.
    Noise noise(0x2bb5u);
    Noise grains(0x91c3u);
    Filter band;
    const int grain = samplesFor(0.012f);
    float strength = 0.0f;
    return makeLoop(1.0f, 0.08f, [&](int i) {
        if (i % grain == 0) {
            strength = 0.3f + 0.7f * std::fabs(grains.next());
        }
        const float decay = std::exp(-static_cast<float>(i % grain) / (0.004f * rate));
        return band.run(noise.next() * strength * decay, 1400.0f, 0.7f);
    });
}

std::vector<float> makeBoost()
{
    // A whoosh that swells and sweeps twice a second.
    Noise noise(0x60057u);
    Filter band;
    return makeLoop(2.0f, 0.25f, [&](int i) {
        const float centre = 1100.0f + 700.0f * cycle(i, 0.5f);
        const float swell = 0.6f + 0.4f * cycle(i, 0.5f);
        return swell * band.run(noise.next(), centre, 0.3f);
    });
}

/// Scales samples so that the loudest one sits at soundPeak.
void normalise(std::vector<float>& samples)
{
    float loudest = 0.0f;
    for (float v : samples) {
        loudest = std::max(loudest, std::fabs(v));
    }
    if (loudest > 0.0f) {
        for (float& v : samples) {
            v *= soundPeak / loudest;
        }
    }
}

}  // namespace

std::vector<SoundClip> makeSounds()
{
    std::vector<SoundClip> clips = {
        {"beep.wav", makeBeep()},         {"go.wav", makeGo()},
        {"chime.wav", makeChime()},       {"moo.wav", makeMoo()},
        {"gate.wav", makeGate()},         {"buzzer.wav", makeBuzzer()},
        {"thud.wav", makeThud()},         {"swoosh.wav", makeSwoosh()},
        {"fanfare.wav", makeFanfare()},   {"lose.wav", makeLose()},
        {"wind.wav", makeWind(), true},   {"runners.wav", makeRunners(), true},
        {"scrape.wav", makeScrape(), true}, {"boost.wav", makeBoost(), true},
    };
    for (SoundClip& clip : clips) {
        normalise(clip.samples);
    }
    return clips;
}

bool writeSound(const std::string& folder, const SoundClip& clip)
{
    const std::string path = folder + "/" + clip.file;
    SF_INFO info{};
    info.samplerate = soundSampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
        return false;
    }
    const auto count = static_cast<sf_count_t>(clip.samples.size());
    const bool written = sf_write_float(file, clip.samples.data(), count) == count;
    sf_close(file);
    std::printf("%-20s %6.2f s%s\n", clip.file.c_str(), static_cast<double>(count) / soundSampleRate,
                clip.loop ? ", loop" : "");
    return written;
}

}  // namespace frostline
