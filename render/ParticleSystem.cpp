#include "render/ParticleSystem.h"

#include <cstdlib>
#include <ctime>
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
    const auto upload = [&program](GLuint& buffer, const std::vector<float>& data, const char* name, GLint size) {
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
    glBindVertexArray(0);
}

void releaseSharedArrays()
{
    SharedParticleArrays& arrays = sharedParticleArrays;
    glDeleteBuffers(1, &arrays.startTimeBuffer);
    glDeleteBuffers(1, &arrays.velocityBuffer);
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
    }
    glUseProgram(program->program);
    systemTimeLocation = glGetUniformLocation(program->program, "systemTime");
    factorLocation = glGetUniformLocation(program->program, "factor");
    mvpLocation = glGetUniformLocation(program->program, "modelViewProjectionMatrix");
    prevMvpLocation = glGetUniformLocation(program->program, "prevMVPMatrix");
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
    // Soft flakes must not hide each other through their transparent rims.
    glDepthMask(GL_FALSE);
    glBindVertexArray(sharedParticleArrays.vertexArray);
    glDrawArrays(GL_POINTS, 0, particleCount);
    glBindVertexArray(0);
    glDepthMask(GL_TRUE);
    glDisable(GL_PROGRAM_POINT_SIZE);
}

}  // namespace frostline::scene
