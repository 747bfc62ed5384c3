#include "engine/PimShader.h"

#include "engine/PimAssert.h"
#include "engine/PimFilePath.h"
#include "engine/PimSystem.h"

#include <GL/glew.h>

#include <fstream>
#include <sstream>
#include <utility>

namespace
{
bool ReadSource(std::string_view path, std::string& source)
{
    std::ifstream file(PimFilePath(path).Native(), std::ios::binary);
    if (!file)
        return false;
    std::ostringstream text;
    text << file.rdbuf();
    source = text.str();
    return !file.bad();
}

std::string InfoLog(GLuint object, bool isProgram)
{
    GLint length = 0;
    if (isProgram)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
    {
        if (isProgram)
            glGetProgramInfoLog(object, length, nullptr, log.data());
        else
            glGetShaderInfoLog(object, length, nullptr, log.data());
    }
    while (!log.empty() && (log.back() == '\0' || log.back() == '\n'))
        log.pop_back();
    return log.empty() ? std::string("no log") : log;
}

// 0 when the stage does not compile; the failure has been reported.
GLuint CompileStage(GLenum stage, std::string_view source, const std::string& origin)
{
    const GLuint shader = glCreateShader(stage);
    const GLchar* text = source.data();
    const GLint length = static_cast<GLint>(source.size());
    glShaderSource(shader, 1, &text, &length);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_TRUE)
        return shader;
    const char* stageName = stage == GL_VERTEX_SHADER ? "vertex" : "fragment";
    PimAssert::Assert(false, origin + " - " + stageName + " shader does not compile: " + InfoLog(shader, false));
    glDeleteShader(shader);
    return 0;
}
}

PimShader::~PimShader()
{
    Release();
}

PimShader::PimShader(PimShader&& other) noexcept
    : program(std::exchange(other.program, 0u)), glGeneration(std::exchange(other.glGeneration, 0u))
{
}

PimShader& PimShader::operator=(PimShader&& other) noexcept
{
    if (this != &other)
    {
        Release();
        program = std::exchange(other.program, 0u);
        glGeneration = std::exchange(other.glGeneration, 0u);
    }
    return *this;
}

bool PimShader::LoadShader(std::string_view vertexPath, std::string_view fragmentPath)
{
    const std::string origin = "PimShader::LoadShader(" + std::string(vertexPath) + ", " + std::string(fragmentPath) + ")";
    std::string vertexSource;
    std::string fragmentSource;
    for (const auto& [path, source] : {std::pair{vertexPath, &vertexSource}, std::pair{fragmentPath, &fragmentSource}})
    {
        if (!ReadSource(path, *source))
        {
            Release();
            PimAssert::Assert(false, origin + " - cannot read " + std::string(path));
            return false;
        }
    }
    return Build(vertexSource, fragmentSource, origin);
}

bool PimShader::LoadShaderDirect(std::string_view vertexSource, std::string_view fragmentSource)
{
    return Build(vertexSource, fragmentSource, "PimShader::LoadShaderDirect()");
}

bool PimShader::Build(std::string_view vertexSource, std::string_view fragmentSource, const std::string& origin)
{
    Release();
    if (!PimSystem::HasGL())
        return false;
    if (!PimSystem::IsMainThread())
    {
        PimAssert::Assert(false, origin + " - called off the main thread");
        return false;
    }
    const GLuint vertex = CompileStage(GL_VERTEX_SHADER, vertexSource, origin);
    const GLuint fragment = vertex != 0 ? CompileStage(GL_FRAGMENT_SHADER, fragmentSource, origin) : 0;
    if (fragment == 0)
    {
        glDeleteShader(vertex);
        return false;
    }
    const GLuint linked = glCreateProgram();
    glAttachShader(linked, vertex);
    glAttachShader(linked, fragment);
    glLinkProgram(linked);
    glDetachShader(linked, vertex);
    glDetachShader(linked, fragment);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint status = GL_FALSE;
    glGetProgramiv(linked, GL_LINK_STATUS, &status);
    if (status != GL_TRUE)
    {
        PimAssert::Assert(false, origin + " - program does not link: " + InfoLog(linked, true));
        glDeleteProgram(linked);
        return false;
    }
    program = linked;
    glGeneration = PimSystem::GetGLContextGeneration();
    return true;
}

bool PimShader::IsValid() const
{
    return program != 0 && glGeneration == PimSystem::GetGLContextGeneration();
}

int PimShader::GetAttributeLocation(const char* name) const
{
    return IsValid() && name != nullptr ? glGetAttribLocation(program, name) : -1;
}

int PimShader::GetUniformLocation(const char* name) const
{
    return IsValid() && name != nullptr ? glGetUniformLocation(program, name) : -1;
}

void PimShader::Use() const
{
    if (PimSystem::HasGL())
        glUseProgram(IsValid() ? program : 0);
}

void PimShader::Release()
{
    if (IsValid() && PimSystem::IsMainThread())
        glDeleteProgram(program);
    program = 0;
    glGeneration = 0;
}
