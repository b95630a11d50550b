#include "render/FrameCost.h"

#include <cstring>

#include <GL/glew.h>

namespace frostline {

namespace {

/// Whether the current context draws with the processor: Mesa's software renderers.
bool drawsWithProcessor()
{
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (!renderer) {
        return true;  // no answer: the frame's own time is the safe measure
    }
    return std::strstr(renderer, "llvmpipe") || std::strstr(renderer, "softpipe");
}

}  // namespace

void FrameCostMeter::start() { start(!drawsWithProcessor()); }

void FrameCostMeter::start(bool useTimerQueries)
{
    release();
    useQueries = useTimerQueries;
    if (useQueries) {
        glGenQueries(queueLength, queries.data());
    }
}

void FrameCostMeter::release()
{
    if (queries[0] != 0) {
        if (inFrame) {
            glEndQuery(GL_TIME_ELAPSED);
        }
        glDeleteQueries(queueLength, queries.data());
    }
    queries.fill(0);
    pending.fill(false);
    next = 0;
    inFrame = false;
    latest = -1.0f;
}

void FrameCostMeter::beginFrame()
{
    if (!useQueries || inFrame) {
        return;
    }
    // A query still out from queueLength frames ago is not waited for: this frame goes unmeasured.
    if (pending[next]) {
        return;
    }
    glBeginQuery(GL_TIME_ELAPSED, queries[next]);
    inFrame = true;
}

void FrameCostMeter::endFrame()
{
    if (!useQueries) {
        return;
    }
    if (inFrame) {
        glEndQuery(GL_TIME_ELAPSED);
        pending[next] = true;
        next = (next + 1) % queueLength;
        inFrame = false;
    }
    // The results in, oldest first; the newest one read is the latest.
    for (int k = 0; k < queueLength; ++k) {
        const int slot = (next + k) % queueLength;
        if (!pending[slot]) {
            continue;
        }
        GLint available = GL_FALSE;
        glGetQueryObjectiv(queries[slot], GL_QUERY_RESULT_AVAILABLE, &available);
        if (available != GL_TRUE) {
            break;
        }
        GLuint64 nanoseconds = 0;
        glGetQueryObjectui64v(queries[slot], GL_QUERY_RESULT, &nanoseconds);
        latest = static_cast<float>(static_cast<double>(nanoseconds) * 1e-6);
        pending[slot] = false;
    }
}

float FrameCostMeter::latestMs(float frameMs)
{
    if (!useQueries) {
        return frameMs;
    }
    const float result = latest;
    latest = -1.0f;
    return result;
}

}  // namespace frostline
