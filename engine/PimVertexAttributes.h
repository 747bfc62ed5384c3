#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

class PimShader;

// One attribute of an interleaved vertex: its name in the shader, its component count and GL
// component type (GL_FLOAT, GL_UNSIGNED_BYTE, ...), whether integer components are normalised
// to 0..1, and its byte offset inside the vertex.
struct PimVertexAttribute
{
    const char* name;
    int components;
    std::uint32_t type;
    bool normalised;
    std::size_t offset;
};

// Points a shader's attributes at the vertex buffer bound now, for the lifetime of the scope,
// and disables them again when it ends. Attributes the shader does not use (the compiler may
// drop them) are skipped. Main thread, with the shader's GL context current.
class PimVertexAttributeScope
{
public:
    static constexpr std::size_t kMostAttributes = 8;

    // At most kMostAttributes attributes; further ones are reported and ignored.
    PimVertexAttributeScope(const PimShader& shader, std::span<const PimVertexAttribute> attributes,
                            std::size_t stride);
    ~PimVertexAttributeScope();
    PimVertexAttributeScope(const PimVertexAttributeScope&) = delete;
    PimVertexAttributeScope& operator=(const PimVertexAttributeScope&) = delete;

private:
    std::array<int, kMostAttributes> locations{};
    std::size_t count = 0;
};
