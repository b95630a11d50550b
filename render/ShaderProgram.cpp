#include "render/ShaderProgram.h"

#include <iostream>
#include <regex>
#include <sstream>
#include <vector>

#include "app/FatalError.h"
#include "app/FileReading.h"

namespace frostline {

namespace {

/// The whole file, or the fatal message that names it: missing, empty or unreadable
/// (a folder, a read error), there is no source to compile.
std::string readSource(const std::string& path)
{
    const std::string source = readWholeFile(path).value_or(std::string());
    if (source.empty()) {
        fatalError("Failed to open shader file: " + path);
    }
    return source;
}

/// source with each `#include "name"` line replaced by the file name of path's folder.
/// #line directives keep the compile log's line numbers each file's own.
std::string withIncludes(const std::string& path, const std::string& source)
{
    static const std::regex includeLine(R"re(^\s*#include\s+"([^"/\\]+)"\s*$)re");
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::istringstream lines(source);
    std::string result;
    std::string line;
    int number = 0;
    int included = 0;
    std::smatch match;
    while (std::getline(lines, line)) {
        ++number;
        if (std::regex_match(line, match, includeLine)) {
            result += "#line 1 " + std::to_string(++included) + "\n" + readSource(folder + match[1].str()) +
                      "\n#line " + std::to_string(number + 1) + " 0\n";
        } else {
            result += line + "\n";
        }
    }
    return result;
}

}  // namespace

ShaderProgram::ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath)
{
    program = glCreateProgram();
    if (program == 0) {
        fatalError("Didn't get a valid program handle");
    }
    // The vertex stage always comes first, so it is the one reported when both are missing.
    compileShader(vertexPath, GL_VERTEX_SHADER, vertexShader);
    compileShader(fragmentPath, GL_FRAGMENT_SHADER, fragmentShader);
    linkProgram();
}

ShaderProgram::~ShaderProgram()
{
    glDeleteProgram(program);
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
}

GLuint ShaderProgram::compileShader(const std::string& path, GLenum stageType, GLuint& member)
{
    const std::string source = withIncludes(path, readSource(path));
    const GLuint shader = glCreateShader(stageType);
    member = shader;
    if (shader == 0) {
        fatalError("Failed to create shader");
    }
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);

    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == 0 || !glIsShader(shader)) {
        GLint length = 0;
        glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        std::vector<char> log(static_cast<size_t>(length > 0 ? length : 1), '\0');
        glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, log.data());
        std::cout << path << " - Failed to compile shader: " << log.data() << std::endl;
        exitAfterPause();
    }
    return shader;
}

void ShaderProgram::linkProgram()
{
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glBindFragDataLocation(program, 0, "fragColor");
    glBindFragDataLocation(program, 1, "velocity");
    glLinkProgram(program);

    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status == 0) {
        GLint length = 0;
        glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
        std::vector<char> log(static_cast<size_t>(length > 0 ? length : 1), '\0');
        glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()), nullptr, log.data());
        std::cout << "Failed to link shader program" << std::endl << log.data() << std::endl;
        exitAfterPause();
    }
}

}  // namespace frostline
