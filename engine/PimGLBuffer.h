#pragma once

#include <cstddef>
#include <cstdint>

// One GL buffer object (vertices or indices) owned by an engine drawable. Main thread only, like
// all GL.
//
// The name belongs to the GL context it was made in: after the display is reopened the buffer
// reports itself empty and the owner uploads its data again. Without a GL context nothing is made
// and Upload returns false quietly.
class PimGLBuffer
{
public:
    enum class Kind : std::uint8_t
    {
        Vertices,  // GL_ARRAY_BUFFER
        Indices,   // GL_ELEMENT_ARRAY_BUFFER
    };

    explicit PimGLBuffer(Kind kind) : kind(kind) {}
    ~PimGLBuffer();
    PimGLBuffer(PimGLBuffer&& other) noexcept;
    PimGLBuffer& operator=(PimGLBuffer&& other) noexcept;
    PimGLBuffer(const PimGLBuffer&) = delete;
    PimGLBuffer& operator=(const PimGLBuffer&) = delete;

    // Replaces the buffer's content (static draw) and leaves it bound. False without GL, off the
    // main thread (reported) or for an empty upload, which also frees the buffer.
    bool Upload(const void* data, std::size_t bytes);
    // True when the buffer holds an upload made in the current GL context.
    bool HasData() const;
    // Binds the buffer to its target; false when it holds nothing.
    bool Bind() const;
    void Release();

private:
    Kind kind;
    unsigned int name = 0;
    std::uint32_t glGeneration = 0;
};
