// The snow sprays thrown from the sled's runners: 10000 points with fixed launch
// velocities and start times in GPU buffers shared by every spray; all motion is
// computed by the "particlesystem" vertex stage from "systemTime".
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <GL/glew.h>

#include "scene/Shape.h"

namespace frostline {

/// Points drawn by every spray (and length of the shared buffers).
inline constexpr int particleCount = 10000;

/// The buffers all sprays draw from, built by the first spray and released by the last.
struct SharedParticleArrays {
    GLuint vertexArray = 0;      ///< "velocity" and "startTime" of every particle
    GLuint velocityBuffer = 0;   ///< 3 floats a particle: launch velocity (world units / s)
    GLuint startTimeBuffer = 0;  ///< 1 float a particle: start time (s)
    int users = 0;               ///< sprays alive; the arrays exist while it is above 0

    /// Every particle's "showHash" as the vertex stage computes it (the stage hides a
    /// particle when it is not below the strength threshold); empty when it could not be read.
    std::vector<float> showHashes;
    /// The same numbers in ascending order.
    std::vector<float> sortedShowHashes;
    /// Element buffer of the vertex array: every particle once, by ascending "showHash",
    /// so that the particles a strength shows are the first ones (written once).
    GLuint shownIndexBuffer = 0;
};

extern SharedParticleArrays sharedParticleArrays;  ///< the process-wide particle arrays

}  // namespace frostline

namespace frostline::scene {

class ParticleSystem : public Shape {
public:
    /// A model-less shape with identity matrix; builds the shared arrays on first use
    /// (seeding the C generator with the time) and looks up its four uniforms in program.
    ParticleSystem(ShaderProgram* program, ShaderProgram* secondProgram);
    /// Releases the shared arrays when this is the last spray.
    ~ParticleSystem() override;
    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;

    /// Draws every particle as a point at the timer's current time; the caller has
    /// uploaded the two matrices.
    void draw() override;

    float factor = 0.0f;            ///< spray strength 0..1-ish, scales count and size of the points
    GLint systemTimeLocation = -1;  ///< "systemTime" (s)
    GLint factorLocation = -1;      ///< "factor"
    GLint mvpLocation = -1;         ///< "modelViewProjectionMatrix"
    GLint prevMvpLocation = -1;     ///< "prevMVPMatrix"
    GLint pointScaleLocation = -1;  ///< "pointScale"
    /// The scene's pixels per window pixel (the render scale): flakes keep their size on
    /// the screen whatever size the scene is drawn at.
    float pointScale = 1.0f;
    /// Where "systemTime" comes from (s): the window library's timer; tests script it.
    std::function<double()> clock;
    /// Draws all particles, hidden ones included (the plain way); otherwise only those
    /// the strength shows. Both draw in the order of "showHash", so both give the same picture.
    bool drawEveryParticle = false;
};

}  // namespace frostline::scene
