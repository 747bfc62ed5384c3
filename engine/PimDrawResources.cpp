#include "engine/PimDrawResources.h"

#include "engine/PimAssert.h"
#include "engine/PimContentFolder.h"
#include "engine/PimDrawStats.h"
#include "engine/PimGLBuffer.h"
#include "engine/PimShader.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"

#include <GL/glew.h>

#include <array>
#include <cstddef>
#include <string>

namespace
{
// A program loaded once per GL context; a failed load is not retried in the same context, so a
// missing file is reported once instead of every frame.
struct ContentProgram
{
    const char* name;
    PimShader shader;
    std::uint32_t triedGeneration = 0;

    const PimShader* Get()
    {
        const std::uint32_t generation = PimSystem::GetGLContextGeneration();
        if (generation == 0 || !PimSystem::IsMainThread())
            return nullptr;
        if (triedGeneration != generation)
        {
            triedGeneration = generation;
            const std::filesystem::path folder = PimContentFolder::Resolve("Graphics/Shaders");
            const std::string base = (folder / name).string();
            shader.LoadShader(base + ".vs", base + ".ps");
        }
        return shader.IsValid() ? &shader : nullptr;
    }
};

ContentProgram& Flat()
{
    static ContentProgram program{"pimFlat", {}, 0};
    return program;
}

ContentProgram& Picture()
{
    static ContentProgram program{"pimPicture", {}, 0};
    return program;
}

bool BindUnitQuadBuffer()
{
    static PimGLBuffer buffer(PimGLBuffer::Kind::Vertices);
    if (buffer.Bind())
        return true;
    // A triangle strip, counter-clockwise seen from +z: bottom-left, bottom-right, top-left, top-right.
    constexpr std::array<PimPictureVertex, 4> corners{{
        {-0.5f, -0.5f, 0.0f, 0.0f, 1.0f},
        {0.5f, -0.5f, 0.0f, 1.0f, 1.0f},
        {-0.5f, 0.5f, 0.0f, 0.0f, 0.0f},
        {0.5f, 0.5f, 0.0f, 1.0f, 0.0f},
    }};
    return buffer.Upload(corners.data(), sizeof(corners));
}

void SetMatrix(const PimShader& shader, const char* name, const PimMatrix4x4& matrix)
{
    const std::array<float, 16> columns = matrix.GetFloppedMatrixDataArray();
    glUniformMatrix4fv(shader.GetUniformLocation(name), 1, GL_FALSE, columns.data());
}

void SetColour(const PimShader& shader, PimColor colour)
{
    const PimVector4 c = colour.GetColorFloat4();
    glUniform4f(shader.GetUniformLocation("Colour"), c.x, c.y, c.z, c.w);
}
}

const PimShader* PimDrawResources::FlatShader()
{
    return Flat().Get();
}

const PimShader* PimDrawResources::PictureShader()
{
    return Picture().Get();
}

bool PimDrawResources::DrawPictureVertices(const PimTexture& texture, const PimMatrix4x4& mvp, PimColor colour,
                                           unsigned int mode, int first, int count)
{
    const PimShader* shader = PictureShader();
    if (!shader || count <= 0 || !texture.Bind(0))
        return false;
    shader->Use();
    SetMatrix(*shader, "MVP", mvp);
    SetColour(*shader, colour);
    glUniform1i(shader->GetUniformLocation("Picture"), 0);
    const GLint position = shader->GetAttributeLocation("vPos");
    const GLint uv = shader->GetAttributeLocation("vUv");
    if (position < 0 || uv < 0)
        return false;
    constexpr GLsizei stride = sizeof(PimPictureVertex);
    glEnableVertexAttribArray(static_cast<GLuint>(position));
    glVertexAttribPointer(static_cast<GLuint>(position), 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(PimPictureVertex, x)));
    glEnableVertexAttribArray(static_cast<GLuint>(uv));
    glVertexAttribPointer(static_cast<GLuint>(uv), 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(PimPictureVertex, u)));
    glDrawArrays(static_cast<GLenum>(mode), first, count);
    PimDrawStats::CountDrawCalls();
    glDisableVertexAttribArray(static_cast<GLuint>(position));
    glDisableVertexAttribArray(static_cast<GLuint>(uv));
    return true;
}

bool PimDrawResources::DrawFlatVertices(const PimMatrix4x4& mvp, PimColor colour, unsigned int mode, int first,
                                        int count)
{
    const PimShader* shader = FlatShader();
    if (!shader || count <= 0)
        return false;
    const GLint position = shader->GetAttributeLocation("vPos");
    if (position < 0)
        return false;
    shader->Use();
    SetMatrix(*shader, "MVP", mvp);
    SetColour(*shader, colour);
    glEnableVertexAttribArray(static_cast<GLuint>(position));
    glVertexAttribPointer(static_cast<GLuint>(position), 3, GL_FLOAT, GL_FALSE, sizeof(PimVector3), nullptr);
    glDrawArrays(static_cast<GLenum>(mode), first, count);
    PimDrawStats::CountDrawCalls();
    glDisableVertexAttribArray(static_cast<GLuint>(position));
    return true;
}

bool PimDrawResources::DrawUnitQuad(const PimTexture& texture, const PimMatrix4x4& mvp, PimColor colour)
{
    if (!PictureShader() || !BindUnitQuadBuffer())
        return false;
    return DrawPictureVertices(texture, mvp, colour, GL_TRIANGLE_STRIP, 0, 4);
}

PimGLCapabilityOff::PimGLCapabilityOff(Capability capability)
    : name(capability == Capability::Culling ? GL_CULL_FACE : GL_DEPTH_TEST), wasOn(glIsEnabled(name) == GL_TRUE)
{
    glDisable(name);
}

PimGLCapabilityOff::~PimGLCapabilityOff()
{
    if (wasOn)
        glEnable(name);
}

PimGLDepthWritesOff::PimGLDepthWritesOff()
{
    GLboolean writes = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &writes);
    wasOn = writes == GL_TRUE;
    glDepthMask(GL_FALSE);
}

PimGLDepthWritesOff::~PimGLDepthWritesOff()
{
    if (wasOn)
        glDepthMask(GL_TRUE);
}
