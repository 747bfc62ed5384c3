#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A GLSL program of a vertex and a fragment stage ("#version 150", OpenGL 3.2 core). Main thread
// only, like all GL.
//
// A source that does not compile or link is reported through PimAssert with the compiler's log,
// naming the stage and, for files, the paths; the shader is then invalid and the program goes on:
// Use binds no program and every location is -1. Without a GL context (the None display) loading
// returns false quietly and the shader stays invalid.
class PimShader
{
public:
    PimShader() = default;
    ~PimShader();
    PimShader(PimShader&& other) noexcept;
    PimShader& operator=(PimShader&& other) noexcept;
    PimShader(const PimShader&) = delete;
    PimShader& operator=(const PimShader&) = delete;

    // Files may use "\\" or "/" in their paths. Loading again replaces the previous program.
    bool LoadShader(std::string_view vertexPath, std::string_view fragmentPath);
    bool LoadShaderDirect(std::string_view vertexSource, std::string_view fragmentSource);

    // False before loading, after a failure, and once the GL context it was made in has closed.
    bool IsValid() const;
    // -1 for a name the program does not use, or when the shader is invalid.
    int GetAttributeLocation(const char* name) const;
    int GetUniformLocation(const char* name) const;
    // Makes this the current program (program 0 when invalid, so nothing stale draws).
    void Use() const;
    unsigned int GetProgram() const { return IsValid() ? program : 0; }

private:
    bool Build(std::string_view vertexSource, std::string_view fragmentSource, const std::string& origin);
    void Release();

    unsigned int program = 0;
    std::uint32_t glGeneration = 0;
};
