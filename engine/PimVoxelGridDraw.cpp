// The drawing side of PimVoxelGrid: programs, light, fog, colour tables, upload and draw.
#include "engine/PimVoxelGrid.h"

#include "engine/PimAssert.h"
#include "engine/PimDrawContext.h"
#include "engine/PimDrawStats.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimShader.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"
#include "engine/PimVector4.h"

#include <GL/glew.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <mutex>
#include <cstdint>
#include <vector>

namespace
{
constexpr int kAtlasUnit = 0;
constexpr int kColourTableUnit = 1;
constexpr float kAmbient = 0.45f;

// Everything shared by all chunks; main thread only, except the deletion queue.
struct DrawShared
{
    PimShader faceProgram;
    PimShader cellBackProgram;
    PimVector4 light{-0.3f, -0.8f, -0.5f, 1.0f};
    float fogStart = 192.0f;
    float fogEnd = 448.0f;
    PimGLBuffer quadIndices{PimGLBuffer::Kind::Indices};
    // 256 x 1 pictures of the plain and special colour tables, re-filled when a table changed.
    PimTexture colourTables[2];
    std::uint32_t colourTableVersions[2] = {~0u, ~0u};
    PimTexture white;

    // Buffers of chunks de-initialised off the main thread, deleted by the next main-thread call.
    std::mutex pendingMutex;
    std::vector<PimGLBuffer> pendingDeletion;
};

DrawShared& Shared()
{
    static DrawShared* shared = new DrawShared(); // never destroyed: chunks may outlive statics
    return *shared;
}

void DeletePendingBuffers()
{
    std::vector<PimGLBuffer> doomed;
    {
        std::lock_guard hold(Shared().pendingMutex);
        doomed.swap(Shared().pendingDeletion);
    }
    // Destroying them here, on the main thread, deletes the GL names.
}

bool EnsureIndexBuffer()
{
    DrawShared& shared = Shared();
    if (shared.quadIndices.HasData())
        return true;
    const std::vector<std::uint16_t>& pattern = VoxelMesh::QuadIndexPattern();
    return shared.quadIndices.Upload(pattern.data(), pattern.size() * sizeof(std::uint16_t));
}

const PimTexture& ColourTableTexture(bool special)
{
    DrawShared& shared = Shared();
    const int which = special ? 1 : 0;
    PimTexture& texture = shared.colourTables[which];
    const std::uint32_t version = PimVoxelGrid::GetColorTableVersion(special);
    if (!texture.IsValid() || shared.colourTableVersions[which] != version)
    {
        const PimColor* table = PimVoxelGrid::GetColorTable(special);
        std::array<std::uint8_t, 256 * 4> rgba{};
        for (int i = 0; i < 256; ++i)
        {
            rgba[static_cast<std::size_t>(i) * 4 + 0] = table[i].r;
            rgba[static_cast<std::size_t>(i) * 4 + 1] = table[i].g;
            rgba[static_cast<std::size_t>(i) * 4 + 2] = table[i].b;
            rgba[static_cast<std::size_t>(i) * 4 + 3] = 255; // colour voxels are opaque
        }
        texture.Create(256, 1, rgba);
        texture.SetFilter(PimTextureFilter::Nearest);
        texture.SetWrap(PimTextureWrap::Clamp);
        shared.colourTableVersions[which] = version;
    }
    return texture;
}

const PimTexture& WhiteTexture()
{
    PimTexture& white = Shared().white;
    if (!white.IsValid())
    {
        white.Create(1, 1, PimColor(255, 255, 255, 255));
        white.SetFilter(PimTextureFilter::Nearest);
    }
    return white;
}

void SetMatrix(const PimShader& shader, const char* name, const PimMatrix4x4& matrix)
{
    const GLint location = shader.GetUniformLocation(name);
    if (location < 0)
        return;
    const std::array<float, 16> columns = matrix.GetFloppedMatrixDataArray();
    glUniformMatrix4fv(location, 1, GL_FALSE, columns.data());
}

// Sets the uniforms both programs share and points the packed attribute at the bound buffer.
GLint Prepare(const PimShader& shader, const PimMatrix4x4& mvp)
{
    const DrawShared& shared = Shared();
    shader.Use();
    SetMatrix(shader, "MVP", mvp);
    glUniform1i(shader.GetUniformLocation("Atlas"), kAtlasUnit);
    glUniform1i(shader.GetUniformLocation("ColourTable"), kColourTableUnit);
    glUniform4f(shader.GetUniformLocation("LightDirection"), shared.light.x, shared.light.y, shared.light.z,
                shared.light.w);
    glUniform1f(shader.GetUniformLocation("Ambient"), kAmbient);
    const PimColor fog = PimVoxelGrid::fogColor;
    glUniform3f(shader.GetUniformLocation("FogColour"), fog.r / 255.0f, fog.g / 255.0f, fog.b / 255.0f);
    glUniform2f(shader.GetUniformLocation("FogRange"), shared.fogStart, shared.fogEnd);
    const GLint packed = shader.GetAttributeLocation("vPacked");
    if (packed >= 0)
    {
        glEnableVertexAttribArray(static_cast<GLuint>(packed));
        glVertexAttribIPointer(static_cast<GLuint>(packed), 1, GL_UNSIGNED_INT, sizeof(VoxelVertex), nullptr);
    }
    return packed;
}

void Finish(GLint packed)
{
    if (packed >= 0)
        glDisableVertexAttribArray(static_cast<GLuint>(packed));
}
} // namespace

bool PimVoxelGrid::StaticInitialize(std::string_view voxelVs, std::string_view voxelPs, std::string_view cellBackVs,
                                    std::string_view cellBackPs)
{
    if (!PimSystem::HasGL())
        return false;
    if (!PimSystem::IsMainThread())
    {
        PimAssert::Assert(false, "PimVoxelGrid::StaticInitialize() - called off the main thread");
        return false;
    }
    DeletePendingBuffers();
    // PimShader reports a file it cannot read, compile or link, naming it.
    const bool face = Shared().faceProgram.LoadShader(voxelVs, voxelPs);
    const bool cellBack = Shared().cellBackProgram.LoadShader(cellBackVs, cellBackPs);
    return face && cellBack;
}

bool PimVoxelGrid::IsStaticInitialized()
{
    return Shared().faceProgram.IsValid() && Shared().cellBackProgram.IsValid();
}

void PimVoxelGrid::SetLightDirection(const PimVector4& direction)
{
    PimVector4 light = direction;
    light.Normalize();
    if (!std::isfinite(light.x) || !std::isfinite(light.y) || !std::isfinite(light.z) || !std::isfinite(light.w))
        light = PimVector4(0.0f, 0.0f, 0.0f, 1.0f);
    Shared().light = light;
}

PimVector4 PimVoxelGrid::GetLightDirection()
{
    return Shared().light;
}

void PimVoxelGrid::SetFogRange(float start, float end)
{
    if (!std::isfinite(start) || !std::isfinite(end))
        return;
    Shared().fogStart = start;
    // The shader divides by the difference.
    Shared().fogEnd = std::max(end, start + 0.001f);
}

void PimVoxelGrid::LoadTextures(std::shared_ptr<const PimTexture> atlas)
{
    std::lock_guard hold(glMutex);
    faceAtlas = std::move(atlas);
}

void PimVoxelGrid::LoadTextures(const PimTexture& atlas)
{
    LoadTextures(std::make_shared<const PimTexture>(atlas));
}

std::shared_ptr<const PimTexture> PimVoxelGrid::GetTextures() const
{
    std::lock_guard hold(glMutex);
    return faceAtlas;
}

std::uint32_t PimVoxelGrid::GetUploadedQuadCount() const
{
    std::lock_guard hold(glMutex);
    return uploadedQuads;
}

std::uint32_t PimVoxelGrid::GetUploadedOpaqueQuadCount() const
{
    std::lock_guard hold(glMutex);
    return uploadedOpaqueQuads;
}

bool PimVoxelGrid::GLLoad()
{
    if (!PimSystem::IsMainThread())
    {
        PimAssert::Assert(false, "PimVoxelGrid::GLLoad() - called off the main thread");
        return false;
    }
    DeletePendingBuffers();
    VoxelMesh mesh;
    if (!TakeBuiltMesh(mesh))
        return false;
    std::lock_guard hold(glMutex);
    uploadedQuads = 0;
    uploadedOpaqueQuads = 0;
    if (mesh.IsEmpty())
    {
        vertexBuffer.Release();
        return true;
    }
    if (!vertexBuffer.Upload(mesh.vertices.data(), mesh.vertices.size() * sizeof(VoxelVertex)))
        return false;
    uploadedQuads = mesh.QuadCount();
    uploadedOpaqueQuads = mesh.opaqueQuadCount;
    return true;
}

void PimVoxelGrid::ReleaseGL()
{
    std::lock_guard hold(glMutex);
    uploadedQuads = 0;
    uploadedOpaqueQuads = 0;
    if (!vertexBuffer.HasData())
    {
        vertexBuffer.Release(); // forgets a name of a closed context; no GL call
        return;
    }
    if (PimSystem::IsMainThread())
    {
        vertexBuffer.Release();
        return;
    }
    std::lock_guard queue(Shared().pendingMutex);
    Shared().pendingDeletion.push_back(std::move(vertexBuffer));
    vertexBuffer = PimGLBuffer(PimGLBuffer::Kind::Vertices);
}

void PimVoxelGrid::DrawQuads(std::uint32_t firstQuad, std::uint32_t quadCount) const
{
    // The shared pattern covers kQuadsPerBatch quads; larger meshes are drawn batch by batch with
    // the base vertex of their batch.
    while (quadCount > 0)
    {
        const std::uint32_t batch = firstQuad / VoxelMesh::kQuadsPerBatch;
        const std::uint32_t inBatch = firstQuad % VoxelMesh::kQuadsPerBatch;
        const std::uint32_t count = std::min(quadCount, VoxelMesh::kQuadsPerBatch - inBatch);
        const std::uintptr_t offset = static_cast<std::uintptr_t>(inBatch) * VoxelMesh::kIndicesPerQuad * sizeof(std::uint16_t);
        glDrawElementsBaseVertex(GL_TRIANGLES, static_cast<GLsizei>(count * VoxelMesh::kIndicesPerQuad), GL_UNSIGNED_SHORT,
                                 reinterpret_cast<const void*>(offset),
                                 static_cast<GLint>(batch * VoxelMesh::kQuadsPerBatch * 4));
        PimDrawStats::CountDrawCalls();
        firstQuad += count;
        quadCount -= count;
    }
}

void PimVoxelGrid::Draw()
{
    if (!PimSystem::HasGL() || !PimSystem::IsMainThread())
        return;
    DeletePendingBuffers();
    const DrawShared& shared = Shared();
    if (!shared.faceProgram.IsValid())
        return;
    std::lock_guard hold(glMutex);
    if (uploadedQuads == 0 || !vertexBuffer.HasData() || !EnsureIndexBuffer())
        return;

    const PimMatrix4x4 model = PimMatrix4x4::CreateTranslation(GetLocation()) * PimMatrix4x4::CreateScale(GetScale());
    const PimMatrix4x4 mvp = PimDrawContext::GetViewProjection() * model;
    // Fog needs the distance from the eye: w of a perspective clip position is the distance
    // along the view axis, so the vertex shader needs MVP alone.

    if (!(faceAtlas && faceAtlas->Bind(kAtlasUnit)))
        WhiteTexture().Bind(kAtlasUnit);
    ColourTableTexture(IsUsingSpecialColors()).Bind(kColourTableUnit);
    glActiveTexture(GL_TEXTURE0);

    vertexBuffer.Bind();
    shared.quadIndices.Bind();

    const GLboolean wasBlending = glIsEnabled(GL_BLEND);
    const GLboolean wasCulling = glIsEnabled(GL_CULL_FACE);
    const GLboolean wasDepthTest = glIsEnabled(GL_DEPTH_TEST);
    GLboolean depthWrites = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    GLint cullMode = GL_BACK;
    glGetIntegerv(GL_CULL_FACE_MODE, &cullMode);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    GLint packed = Prepare(shared.faceProgram, mvp);
    const GLint opaquePass = shared.faceProgram.GetUniformLocation("OpaquePass");
    if (uploadedOpaqueQuads > 0)
    {
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
        glUniform1i(opaquePass, 1);
        DrawQuads(0, uploadedOpaqueQuads);
    }
    const std::uint32_t translucent = uploadedQuads - uploadedOpaqueQuads;
    if (translucent > 0)
    {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDepthMask(GL_FALSE);
        if (shared.cellBackProgram.IsValid())
        {
            Finish(packed);
            packed = Prepare(shared.cellBackProgram, mvp);
            glCullFace(GL_FRONT);
            DrawQuads(uploadedOpaqueQuads, translucent);
            glCullFace(GL_BACK);
            Finish(packed);
            packed = Prepare(shared.faceProgram, mvp);
        }
        glUniform1i(opaquePass, 0);
        DrawQuads(uploadedOpaqueQuads, translucent);
    }
    Finish(packed);

    glDepthMask(depthWrites);
    glCullFace(static_cast<GLenum>(cullMode));
    if (!wasCulling)
        glDisable(GL_CULL_FACE);
    if (!wasDepthTest)
        glDisable(GL_DEPTH_TEST);
    if (wasBlending)
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
}
