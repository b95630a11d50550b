#include "render/ParticleSystem.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <vector>

#include <GLFW/glfw3.h>

#include "render/ShaderProgram.h"

namespace frostline {

SharedParticleArrays sharedParticleArrays;

namespace {

/// Seeds the C generator with the time and uploads the launch velocities and start
/// times of every particle; the attribute locations come from program.
void buildSharedArrays(const ShaderProgram& program)
{
    std::vector<float> velocities(static_cast<size_t>(particleCount) * 3);
    std::vector<float> startTimes(static_cast<size_t>(particleCount));
    std::srand(static_cast<unsigned int>(std::time(nullptr)));
    // Start times accumulate in single precision, 0.01 s apart.
    float time = 0.0f;
    for (int i = 0; i < particleCount; ++i) {
        const float r1 = static_cast<float>(std::rand()) / static_cast<float>(RAND_MAX);
        const float r2 = static_cast<float>(std::rand()) / static_cast<float>(RAND_MAX);
        velocities[3 * i] = 10.0f * (r1 * r1 - 0.5f);
        velocities[3 * i + 1] = 10.0f;
        velocities[3 * i + 2] = 10.0f * (r2 * r2 + 0.5f);
        startTimes[i] = time;
        time += 0.01f;
    }

    SharedParticleArrays& arrays = sharedParticleArrays;
    glGenVertexArrays(1, &arrays.vertexArray);
    glBindVertexArray(arrays.vertexArray);
    const auto upload = [&program](GLuint& buffer, const std::vector<float>& data, const char* name,
                                   GLint size) {
        glGenBuffers(1, &buffer);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.size() * sizeof(float)), data.data(),
                     GL_STATIC_DRAW);
        const GLint location = glGetAttribLocation(program.program, name);
        if (location >= 0) {
            glEnableVertexAttribArray(static_cast<GLuint>(location));
            glVertexAttribPointer(static_cast<GLuint>(location), size, GL_FLOAT, GL_FALSE, 0, nullptr);
        }
    };
    upload(arrays.velocityBuffer, velocities, "velocity", 3);
    upload(arrays.startTimeBuffer, startTimes, "startTime", 1);
    glGenBuffers(1, &arrays.shownIndexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, arrays.shownIndexBuffer);
    glBindVertexArray(0);
}

/// Reads back every particle's "showHash" as program's vertex stage computes it: the
/// program is linked again with that output captured and the points run through it
/// once, without rasterising. A program without the output is linked back as it was
/// (the sprays then draw every particle).
std::vector<float> captureShowHashes(const ShaderProgram& program)
{
    const GLuint p = program.program;
    const char* captured[] = {"showHash"};
    glTransformFeedbackVaryings(p, 1, captured, GL_INTERLEAVED_ATTRIBS);
    glLinkProgram(p);
    GLint linked = GL_FALSE;
    glGetProgramiv(p, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        std::cout << "Spray particles: no \"showHash\" to read, every particle is drawn" << std::endl;
        glTransformFeedbackVaryings(p, 0, nullptr, GL_INTERLEAVED_ATTRIBS);
        glLinkProgram(p);
        return {};
    }

    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_TRANSFORM_FEEDBACK_BUFFER, buffer);
    glBufferData(GL_TRANSFORM_FEEDBACK_BUFFER, particleCount * sizeof(float), nullptr, GL_STATIC_READ);
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, buffer);
    glUseProgram(p);
    glEnable(GL_RASTERIZER_DISCARD);
    glBindVertexArray(sharedParticleArrays.vertexArray);
    glBeginTransformFeedback(GL_POINTS);
    glDrawArrays(GL_POINTS, 0, particleCount);
    glEndTransformFeedback();
    glBindVertexArray(0);
    glDisable(GL_RASTERIZER_DISCARD);

    std::vector<float> hashes(particleCount);
    glGetBufferSubData(GL_TRANSFORM_FEEDBACK_BUFFER, 0, particleCount * sizeof(float), hashes.data());
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, 0);
    glDeleteBuffers(1, &buffer);
    return hashes;
}

/// How many particles a spray of this strength shows: the first of the element buffer,
/// which lists them by their "showHash". As the vertex stage decides; the margin only
/// adds particles it then hides itself.
int shownParticles(float factor)
{
    const SharedParticleArrays& arrays = sharedParticleArrays;
    constexpr float margin = 1e-3f;
    const float threshold = std::clamp(factor * 2.0f, 0.0f, 1.0f) + margin;
    return static_cast<int>(std::lower_bound(arrays.sortedShowHashes.begin(), arrays.sortedShowHashes.end(),
                                             threshold) -
                            arrays.sortedShowHashes.begin());
}

/// Lists every particle in the element buffer once, by ascending "showHash": a spray of
/// any strength then draws the first ones of the list, and the list never changes.
void listParticlesByShowHash()
{
    SharedParticleArrays& arrays = sharedParticleArrays;
    std::vector<std::uint32_t> order(static_cast<size_t>(particleCount));
    for (int i = 0; i < particleCount; ++i) {
        order[static_cast<size_t>(i)] = static_cast<std::uint32_t>(i);
    }
    if (!arrays.showHashes.empty()) {
        std::stable_sort(order.begin(), order.end(), [&arrays](std::uint32_t a, std::uint32_t b) {
            return arrays.showHashes[a] < arrays.showHashes[b];
        });
    }
    glBindVertexArray(arrays.vertexArray);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, arrays.shownIndexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(order.size() * sizeof(std::uint32_t)),
                 order.data(), GL_STATIC_DRAW);
    glBindVertexArray(0);
}

void releaseSharedArrays()
{
    SharedParticleArrays& arrays = sharedParticleArrays;
    glDeleteBuffers(1, &arrays.startTimeBuffer);
    glDeleteBuffers(1, &arrays.velocityBuffer);
    glDeleteBuffers(1, &arrays.shownIndexBuffer);
    glDeleteVertexArrays(1, &arrays.vertexArray);
    arrays = SharedParticleArrays{};
}

}  // namespace

}  // namespace frostline

namespace frostline::scene {

ParticleSystem::ParticleSystem(ShaderProgram* program, ShaderProgram* secondProgram)
    : Shape(program, secondProgram), clock(glfwGetTime)
{
    modelMatrix = mat4(1.0f);
    if (sharedParticleArrays.users++ == 0) {
        buildSharedArrays(*program);
        SharedParticleArrays& arrays = sharedParticleArrays;
        arrays.showHashes = captureShowHashes(*program);
        arrays.sortedShowHashes = arrays.showHashes;
        std::sort(arrays.sortedShowHashes.begin(), arrays.sortedShowHashes.end());
        listParticlesByShowHash();
    }
    glUseProgram(program->program);
    systemTimeLocation = glGetUniformLocation(program->program, "systemTime");
    factorLocation = glGetUniformLocation(program->program, "factor");
    mvpLocation = glGetUniformLocation(program->program, "modelViewProjectionMatrix");
    prevMvpLocation = glGetUniformLocation(program->program, "prevMVPMatrix");
    pointScaleLocation = glGetUniformLocation(program->program, "pointScale");
}

ParticleSystem::~ParticleSystem()
{
    // Both sprays draw the same arrays: the last one alive releases them.
    if (--sharedParticleArrays.users == 0) {
        releaseSharedArrays();
    }
}

void ParticleSystem::draw()
{
    glEnable(GL_PROGRAM_POINT_SIZE);
    glUseProgram(program->program);
    glUniform1f(systemTimeLocation, static_cast<float>(clock()));
    glUniform1f(factorLocation, factor);
    glUniform1f(pointScaleLocation, pointScale);
    // Soft flakes must not hide each other through their transparent rims.
    glDepthMask(GL_FALSE);
    glBindVertexArray(sharedParticleArrays.vertexArray);
    // In the order of their "showHash": the hidden particles come last and are left out
    // (the vertex stage would only move them out of the view).
    const bool everyParticle = drawEveryParticle || sharedParticleArrays.showHashes.empty();
    glDrawElements(GL_POINTS, everyParticle ? particleCount : shownParticles(factor), GL_UNSIGNED_INT,
                   nullptr);
    glBindVertexArray(0);
    glDepthMask(GL_TRUE);
    glDisable(GL_PROGRAM_POINT_SIZE);
}

}  // namespace frostline::scene
