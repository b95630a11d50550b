// A GL program linked from one vertex and one fragment source file.
#pragma once

#include <string>

#include <GL/glew.h>

namespace frostline {

class ShaderProgram {
public:
    /// Builds the program from the two files (paths relative to the working
    /// directory) or ends the process with the fatal message of the failure. A line
    /// `#include "name.glsl"` in either file is replaced by that file of the same folder
    /// (GLSL that several programs share); a compile log counts the lines of each
    /// included file as source 1, 2, ... and the file's own as source 0.
    ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath);
    /// Deletes the program, then the vertex and fragment shader objects.
    ~ShaderProgram();

    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    GLuint program = 0;         ///< the linked program object
    GLuint vertexShader = 0;    ///< compiled vertex stage
    GLuint fragmentShader = 0;  ///< compiled fragment stage

private:
    GLuint compileShader(const std::string& path, GLenum stageType, GLuint& member);
    void linkProgram();
};

}  // namespace frostline
