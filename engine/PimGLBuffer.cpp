#include "engine/PimGLBuffer.h"

#include "engine/PimAssert.h"
#include "engine/PimSystem.h"

#include <GL/glew.h>

#include <utility>

namespace
{
GLenum Target(PimGLBuffer::Kind kind)
{
    return kind == PimGLBuffer::Kind::Vertices ? GL_ARRAY_BUFFER : GL_ELEMENT_ARRAY_BUFFER;
}
}

PimGLBuffer::~PimGLBuffer()
{
    Release();
}

PimGLBuffer::PimGLBuffer(PimGLBuffer&& other) noexcept
    : kind(other.kind), name(std::exchange(other.name, 0u)), glGeneration(std::exchange(other.glGeneration, 0u))
{
}

PimGLBuffer& PimGLBuffer::operator=(PimGLBuffer&& other) noexcept
{
    if (this != &other)
    {
        Release();
        kind = other.kind;
        name = std::exchange(other.name, 0u);
        glGeneration = std::exchange(other.glGeneration, 0u);
    }
    return *this;
}

bool PimGLBuffer::Upload(const void* data, std::size_t bytes)
{
    if (!PimSystem::HasGL())
        return false;
    if (!PimSystem::IsMainThread())
    {
        PimAssert::Assert(false, "PimGLBuffer::Upload() - called off the main thread");
        return false;
    }
    if (bytes == 0 || data == nullptr)
    {
        Release();
        return false;
    }
    if (!HasData())
    {
        name = 0;
        glGenBuffers(1, &name);
        glGeneration = PimSystem::GetGLContextGeneration();
    }
    glBindBuffer(Target(kind), name);
    glBufferData(Target(kind), static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
    return true;
}

bool PimGLBuffer::HasData() const
{
    return name != 0 && glGeneration == PimSystem::GetGLContextGeneration();
}

bool PimGLBuffer::Bind() const
{
    if (!HasData() || !PimSystem::IsMainThread())
        return false;
    glBindBuffer(Target(kind), name);
    return true;
}

void PimGLBuffer::Release()
{
    if (HasData())
    {
        if (PimSystem::IsMainThread())
            glDeleteBuffers(1, &name);
        else
            PimAssert::Assert(false, "PimGLBuffer - GL buffer released off the main thread and leaked");
    }
    name = 0;
    glGeneration = 0;
}
