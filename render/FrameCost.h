// What a frame costs the renderer, for the render-scale governor. A graphics card
// reports the time its work took through timer queries, read a few frames later so
// that nothing waits for them; on a processor-drawn screen (Mesa's llvmpipe and
// softpipe) those queries do not see the rasteriser's threads, so the frame's own
// time stands for the cost there.
#pragma once

#include <array>

namespace frostline {

class FrameCostMeter {
public:
    /// Frames a query result is read after its frame: the card may run that far behind.
    static constexpr int queueLength = 4;

    /// Chooses the measure for the current context: timer queries unless the renderer
    /// draws with the processor (or the queries are forced off or on for tests).
    void start();
    /// As start(), with the choice given.
    void start(bool useTimerQueries);
    /// Deletes the queries; safe to call twice.
    void release();

    /// Marks the start of the frame's drawing (the first pass).
    void beginFrame();
    /// Marks its end (after the heads-up display, before the swap).
    void endFrame();
    /// The cost of the latest measured frame (ms): the card's time where timer queries
    /// measure it, else frameMs, the frame's own time. Negative when no result has come
    /// in since the last call.
    float latestMs(float frameMs);
    /// Whether the card's time is measured (rather than the frame's).
    bool measuresCard() const { return useQueries; }

private:
    bool useQueries = false;
    std::array<unsigned int, queueLength> queries{};  ///< GL query names
    std::array<bool, queueLength> pending{};
    int next = 0;             ///< the query the next frame uses
    bool inFrame = false;
    float latest = -1.0f;     ///< ms; negative: none since latestMs was last asked
};

}  // namespace frostline
