#include "sound/Sound.h"

#include <algorithm>
#include <iostream>

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include "sound/SoundFile.h"

namespace frostline {

namespace {

/// Long before the first frame: no cue counts as played recently.
constexpr double longAgo = -1.0e9;

ALint stateOf(ALuint source)
{
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

/// How many of names the current context knows as isName (alIsSource, alIsBuffer) says.
/// Name 0 never counts: it is OpenAL's empty buffer, which every context has.
template <std::size_t count>
int known(const std::array<unsigned, count>& names, ALboolean (*isName)(ALuint))
{
    return static_cast<int>(std::count_if(names.begin(), names.end(), [&](ALuint name) {
        return name != 0 && isName(name);
    }));
}

}  // namespace

Sound::Sound(const std::string& folder)
{
    cueStarted.fill(longAgo);
    voiceStarted.fill(longAgo);

    // 1. The default device and a context on it; without them the game plays silently.
    device = alcOpenDevice(nullptr);
    if (!device) {
        const ALCchar* name = alcGetString(nullptr, ALC_DEFAULT_DEVICE_SPECIFIER);
        const std::string reason =
            name && *name ? std::string("cannot open ") + name : "no playback device found";
        std::cout << "Sound: no device (" << reason << "), playing silently" << std::endl;
        return;
    }
    // The limiter keeps the rare moment when everything sounds at its loudest from clipping.
    const ALCint attributes[] = {ALC_OUTPUT_LIMITER_SOFT, ALC_TRUE, 0};
    context = alcCreateContext(device, attributes);
    if (!context || !alcMakeContextCurrent(context)) {
        std::cout << "Sound: no device (" << alcGetString(device, alcGetError(device))
                  << " creating a context), playing silently" << std::endl;
        release();
        return;
    }
    alListenerf(AL_GAIN, masterGain);
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);

    // 2. A buffer per file; a file that does not read leaves its sound silent.
    for (int i = 0; i < cueCount; ++i) {
        cueBuffers[i] = loadBuffer(folder, cueSettings[i].file);
    }
    for (int i = 0; i < loopCount; ++i) {
        loopBuffers[i] = loadBuffer(folder, loopSettings[i].file);
    }

    // 3. The loops, silent until the ride calls for them, and the one-shot voices.
    alGenSources(loopCount, loopSources.data());
    alGenSources(voiceCount, voices.data());
    if (alGetError() != AL_NO_ERROR) {
        std::cout << "Sound: no device (no sources to play on), playing silently" << std::endl;
        release();
        return;
    }
    for (int i = 0; i < loopCount; ++i) {
        alSourcei(loopSources[i], AL_BUFFER, static_cast<ALint>(loopBuffers[i]));
        alSourcei(loopSources[i], AL_LOOPING, AL_TRUE);
        alSourcef(loopSources[i], AL_GAIN, 0.0f);
    }
    // The loops sit on the listener (the wind and the runners are centred); each voice is
    // placed when it starts.
    for (ALuint source : loopSources) {
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    }
    for (ALuint source : voices) {
        alSourcef(source, AL_REFERENCE_DISTANCE, cueReferenceDistance);
    }
}

Sound::~Sound()
{
    release();
}

bool Sound::makeCurrent() const
{
    if (!context) {
        return false;
    }
    // OpenAL acts on whichever context is current: another sound may have made its own current.
    return alcGetCurrentContext() == context || alcMakeContextCurrent(context);
}

unsigned Sound::loadBuffer(const std::string& folder, const char* file)
{
    const std::string path = folder + "/" + file;
    SoundData data;
    std::string problem;
    if (!readSoundFile(path, data, problem)) {
        std::cout << "Sound: cannot read " << path << " (" << problem << "), that sound stays silent"
                  << std::endl;
        return 0;
    }
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, data.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, data.samples.data(),
                 static_cast<ALsizei>(data.samples.size() * sizeof(int16_t)), data.sampleRate);
    if (alGetError() != AL_NO_ERROR) {
        std::cout << "Sound: cannot play " << path << ", that sound stays silent" << std::endl;
        alDeleteBuffers(1, &buffer);
        return 0;
    }
    return buffer;
}

void Sound::update(const RaceEvents& events, const Ride& ride, float dt)
{
    if (!makeCurrent()) {
        return;
    }
    // Help, the free camera and M halt everything; what happens meanwhile is not heard.
    if (ride.paused || ride.muted) {
        if (!halted) {
            halt();
            alListenerf(AL_GAIN, ride.muted ? 0.0f : masterGain);
        }
        return;
    }
    if (halted) {
        alListenerf(AL_GAIN, masterGain);
        resume();
    }
    clock += dt;
    placeListener(ride.listener);

    // One-shots: now, or once the signal before them has sounded.
    for (const CuePlay& cue : cuesFor(events)) {
        if (cue.delay > 0.0f) {
            pending.push_back({cue, clock + cue.delay});
        } else {
            play(cue);
        }
    }
    for (auto it = pending.begin(); it != pending.end();) {
        if (it->at <= clock) {
            play(it->play);
            it = pending.erase(it);
        } else {
            ++it;
        }
    }

    // Loops: gain and pitch follow the ride (OpenAL smooths each change over its next mix).
    const LoopLevels levels = loopLevels(ride);
    for (int i = 0; i < loopCount; ++i) {
        alSourcef(loopSources[i], AL_GAIN, levels.gain[i]);
        alSourcef(loopSources[i], AL_PITCH, levels.pitch[i]);
    }
    if (!loopsStarted) {
        for (int i = 0; i < loopCount; ++i) {
            if (loopBuffers[i] != 0) {
                alSourcePlay(loopSources[i]);
            }
        }
        loopsStarted = true;
    }
}

void Sound::placeListener(const Listener& listener)
{
    alListener3f(AL_POSITION, listener.position.x, listener.position.y, listener.position.z);
    const ALfloat orientation[] = {listener.at.x, listener.at.y, listener.at.z,
                                   listener.up.x, listener.up.y, listener.up.z};
    alListenerfv(AL_ORIENTATION, orientation);
}

void Sound::play(const CuePlay& cue)
{
    const auto index = static_cast<int>(cue.cue);
    const CueSettings& settings = cueSettings[index];
    if (cueBuffers[index] == 0 || clock - cueStarted[index] < settings.minimumGap) {
        return;
    }
    // A free voice, or else the one that has played longest.
    int voice = 0;
    for (int i = 0; i < voiceCount; ++i) {
        if (stateOf(voices[i]) != AL_PLAYING && stateOf(voices[i]) != AL_PAUSED) {
            voice = i;
            break;
        }
        if (voiceStarted[i] < voiceStarted[voice]) {
            voice = i;
        }
    }
    const ALuint source = voices[voice];
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(cueBuffers[index]));
    alSourcef(source, AL_GAIN, settings.gain);
    alSourcef(source, AL_PITCH, cue.pitch);
    // Placed cues sound from where they happened; the rest sit on the listener.
    const vec3 at = cue.placed ? cue.where : vec3(0.0f);
    alSourcei(source, AL_SOURCE_RELATIVE, cue.placed ? AL_FALSE : AL_TRUE);
    alSource3f(source, AL_POSITION, at.x, at.y, at.z);
    alSourcePlay(source);
    voiceStarted[voice] = clock;
    cueStarted[index] = clock;
}

void Sound::halt()
{
    // Pausing a source that is not playing changes nothing.
    alSourcePausev(loopCount, loopSources.data());
    alSourcePausev(voiceCount, voices.data());
    halted = true;
}

void Sound::resume()
{
    for (int i = 0; i < loopCount; ++i) {
        if (loopsStarted && loopBuffers[i] != 0) {
            alSourcePlay(loopSources[i]);
        }
    }
    for (ALuint voice : voices) {
        if (stateOf(voice) == AL_PAUSED) {
            alSourcePlay(voice);
        }
    }
    halted = false;
}

void Sound::startRace()
{
    if (!makeCurrent()) {
        return;
    }
    stopAll();
    // The loops start again from silence with the race's first frame; what the last race
    // paused or muted is forgotten (the next frame halts again if the game is still muted).
    for (ALuint source : loopSources) {
        alSourcef(source, AL_GAIN, 0.0f);
        alSourcef(source, AL_PITCH, 1.0f);
    }
    loopsStarted = false;
    halted = false;
    alListenerf(AL_GAIN, masterGain);
    cueStarted.fill(longAgo);
}

void Sound::stopAll()
{
    alSourceStopv(loopCount, loopSources.data());
    alSourceStopv(voiceCount, voices.data());
    pending.clear();
}

int Sound::playingSources() const
{
    if (!makeCurrent()) {
        return 0;
    }
    int playing = 0;
    for (ALuint source : loopSources) {
        playing += stateOf(source) == AL_PLAYING ? 1 : 0;
    }
    for (ALuint source : voices) {
        playing += stateOf(source) == AL_PLAYING ? 1 : 0;
    }
    return playing;
}

int Sound::sourcesHeld() const
{
    return makeCurrent() ? known(loopSources, alIsSource) + known(voices, alIsSource) : 0;
}

int Sound::buffersHeld() const
{
    return makeCurrent() ? known(cueBuffers, alIsBuffer) + known(loopBuffers, alIsBuffer) : 0;
}

void Sound::release()
{
    if (context) {
        // Stop first, so nothing is heard of the teardown; only this sound's own objects go.
        if (makeCurrent()) {
            stopAll();
            alDeleteSources(voiceCount, voices.data());
            alDeleteSources(loopCount, loopSources.data());
            for (unsigned& buffer : cueBuffers) {
                if (buffer != 0) {
                    alDeleteBuffers(1, &buffer);
                }
            }
            for (unsigned& buffer : loopBuffers) {
                if (buffer != 0) {
                    alDeleteBuffers(1, &buffer);
                }
            }
        }
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        context = nullptr;
    }
    if (device) {
        alcCloseDevice(device);
        device = nullptr;
    }
    cueBuffers.fill(0);
    loopBuffers.fill(0);
    loopSources.fill(0);
    voices.fill(0);
    pending.clear();
    loopsStarted = false;
    halted = false;
}

}  // namespace frostline
