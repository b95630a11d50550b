// The game's sound: the one owner of every OpenAL object (the device, its
// context, a buffer per sound file, the loop sources and a few one-shot voices).
// It listens to the race through one door, update(), once a frame: the frame's
// race events and the ride. OpenAL's own thread mixes; this class only starts,
// stops, places and sets gain and pitch. Its context is made current wherever it
// acts, so two instances never touch each other's sources. Without a device it
// plays nothing and says so.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/RaceEvents.h"
#include "sound/SoundMix.h"

// OpenAL's own names of its device and context types (ALCdevice, ALCcontext).
struct ALCdevice_struct;
struct ALCcontext_struct;

namespace frostline {

class Sound {
public:
    /// Opens the default playback device and reads every sound from folder ("sounds").
    /// Without a device: "Sound: no device (<reason>), playing silently" on standard
    /// output. A file that does not read: one line naming it, that sound stays silent.
    explicit Sound(const std::string& folder);
    /// Stops everything and releases the OpenAL objects (release).
    ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    /// One frame of dt seconds: plays the cues the events call for and sets the loops for the
    /// ride; while the ride is paused or muted everything halts and new cues are dropped.
    void update(const RaceEvents& events, const Ride& ride, float dt);
    /// A new race starts from silence: every source stops at once, waiting cues are dropped,
    /// paused voices stay stopped and the loops start again from silence on the next frame.
    void startRace();
    /// Stops every source and releases sources, buffers, context and device; safe to call twice.
    void release();

    /// A device is open: the game is heard.
    bool audible() const { return context != nullptr; }
    /// The sound's clip for a cue or loop was read (false: that sound stays silent).
    bool hasCue(Cue cue) const { return cueBuffers[static_cast<int>(cue)] != 0; }
    bool hasLoop(Loop loop) const { return loopBuffers[static_cast<int>(loop)] != 0; }
    /// Number of sources playing now (loops and voices), as OpenAL reports them.
    int playingSources() const;
    /// Number of sources this sound holds (loops and voices), as OpenAL knows them.
    int sourcesHeld() const;
    /// Number of buffers this sound holds (one a file that read), as OpenAL knows them.
    int buffersHeld() const;

private:
    /// A cue waiting for its delay to pass.
    struct Pending {
        CuePlay play;
        double at = 0.0;  ///< on this sound's clock (s)
    };

    /// Makes this sound's context the current one; false without a context.
    bool makeCurrent() const;
    /// Reads folder/file into a new buffer; 0 (with a line) when it does not read.
    unsigned loadBuffer(const std::string& folder, const char* file);
    /// Places the listener at the camera (position and orientation).
    void placeListener(const Listener& listener);
    /// Starts a cue on a free voice (or the longest-playing one), unless it played too recently;
    /// placed where it happened or centred on the listener.
    void play(const CuePlay& cue);
    /// Stops every source and forgets waiting cues.
    void stopAll();
    /// Pauses every playing source (help, free camera, M).
    void halt();
    /// Plays the loops again and resumes the voices that were paused.
    void resume();

    ALCdevice_struct* device = nullptr;
    ALCcontext_struct* context = nullptr;
    std::array<unsigned, cueCount> cueBuffers{};
    std::array<unsigned, loopCount> loopBuffers{};
    std::array<unsigned, loopCount> loopSources{};
    std::array<unsigned, voiceCount> voices{};
    std::array<double, voiceCount> voiceStarted{};   ///< when each voice was last started (s)
    std::array<double, cueCount> cueStarted{};       ///< when each cue was last started (s)
    std::vector<Pending> pending;
    double clock = 0.0;    ///< seconds of frames this sound has heard
    bool halted = false;   ///< paused or muted now
    bool loopsStarted = false;
};

}  // namespace frostline
