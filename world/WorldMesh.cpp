#include "world/WorldMesh.h"

#include "world/ContentTexture.h"
#include "world/PerContextShader.h"
#include "world/WorldSetup.h"

#include "engine/PimDrawStats.h"
#include "engine/PimCamera.h"
#include "engine/PimContentFolder.h"
#include "engine/PimDrawContext.h"
#include "engine/PimShader.h"
#include "engine/PimSystem.h"
#include "engine/PimVertexAttributes.h"

#include <GL/glew.h>

#include <algorithm>
#include <array>
#include <cstddef>

namespace
{
constexpr int kTextureUnit = 0;
// The plane's texture repeats once per voxel, shifted by half a voxel: the grid picture draws
// its lines through its middle, which then falls on the voxel edges.
constexpr float kUvShift = 0.5f;

PerContextShader& Program()
{
    // Never destroyed: a world may be torn down after the statics.
    static PerContextShader* program = new PerContextShader([](PimShader& shader) {
        const auto path = [](const char* name) {
            return PimContentFolder::Resolve(std::string("Graphics/Shaders/") + name).string();
        };
        return shader.LoadShader(path("worldMeshVertexShader.sh"), path("worldMeshPixelShader.sh"));
    });
    return *program;
}

constexpr PimVertexAttribute kAttributes[] = {
    {"vPos", 3, GL_FLOAT, false, offsetof(WorldMeshVertex, position)},
    {"vCol", 3, GL_FLOAT, false, offsetof(WorldMeshVertex, colour)},
    {"vUv", 2, GL_FLOAT, false, offsetof(WorldMeshVertex, uv)},
};
} // namespace

WorldMesh::WorldMesh(const WorldSetup* worldSetup) : setup(worldSetup)
{
    Rebuild();
}

WorldMesh::~WorldMesh() = default;

void WorldMesh::Rebuild()
{
    modelMatrix = PimMatrix4x4::Identity();
    dirty = true;
    vertices.clear();
    indices.clear();
    const PimVector3 white(1.0f, 1.0f, 1.0f);
    for (const float x : {-kHalfSide, kHalfSide})
        for (const float z : {-kHalfSide, kHalfSide})
            vertices.push_back({{x, kPlaneHeight, z}, white, {x + kUvShift, z + kUvShift}});
    indices = {0, 1, 2, 2, 1, 3};
    indexCount = static_cast<std::uint32_t>(indices.size());
}

void WorldMesh::Initialize()
{
    if (!gridLoadTried)
    {
        gridLoadTried = true;
        gridTexture = LoadContentTexture("Graphics/Textures/modelgrid.png", PimTextureFilter::LinearMipmap,
                                         PimTextureWrap::Repeat);
    }
    Upload();
}

void WorldMesh::DeInitialize()
{
    vertexBuffer.Release();
    indexBuffer.Release();
    vertices.clear();
    indices.clear();
    dirty = false;
}

bool WorldMesh::Upload()
{
    if (!dirty)
    {
        if (vertexBuffer.HasData() && indexBuffer.HasData())
            return true;
        Rebuild(); // the lists were uploaded into a context that has since closed
    }
    if (!vertexBuffer.Upload(vertices.data(), vertices.size() * sizeof(WorldMeshVertex))
        || !indexBuffer.Upload(indices.data(), indices.size() * sizeof(std::uint16_t)))
        return false;
    vertices.clear();
    indices.clear();
    dirty = false;
    return true;
}

float WorldMesh::FadeAt(float cameraHeight)
{
    return std::min(1.0f, 1.0f - cameraHeight / kFadeHeight);
}

PimVector3 WorldMesh::AnchorFor(const PimVector3& cameraPosition)
{
    return PimVector3(cameraPosition.x, 0.0f, cameraPosition.z).Integerize();
}

void WorldMesh::Draw()
{
    if (const PimCamera* camera = PimDrawContext::GetCamera())
        DrawFrom(*camera);
}

const PimTexture* WorldMesh::ChooseTexture()
{
    if (!useOwnTexture && setup != nullptr && setup->GetPreviewPicture(1).IsValid())
        return &setup->GetPreviewPicture(1);
    if (!gridLoadTried)
        Initialize();
    return gridTexture.IsValid() ? &gridTexture : nullptr;
}

void WorldMesh::DrawFrom(const PimCamera& camera)
{
    const PimVector3 viewer = camera.GetPosition();
    fade = FadeAt(viewer.y);
    modelMatrix = PimMatrix4x4::CreateTranslation(AnchorFor(viewer));
    // Also refuses a NaN height.
    if (!(fade > 0.0f) || !PimSystem::HasGL() || !PimSystem::IsMainThread())
        return;
    const PimShader* shader = Program().Get();
    const PimTexture* texture = ChooseTexture();
    if (shader == nullptr || !Upload())
        return;

    const GLboolean wasCulling = glIsEnabled(GL_CULL_FACE);
    const GLboolean wasBlending = glIsEnabled(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    vertexBuffer.Bind();
    indexBuffer.Bind();
    shader->Use();
    glUniform1f(shader->GetUniformLocation("fade"), fade);
    glUniform1i(shader->GetUniformLocation("Grid"), kTextureUnit);
    glActiveTexture(GL_TEXTURE0 + kTextureUnit);
    if (texture == nullptr || !texture->Bind(kTextureUnit))
        glBindTexture(GL_TEXTURE_2D, 0);
    const std::array<float, 16> mvp = (camera.GetViewProjection() * modelMatrix).GetFloppedMatrixDataArray();
    glUniformMatrix4fv(shader->GetUniformLocation("MVP"), 1, GL_FALSE, mvp.data());
    {
        const PimVertexAttributeScope attributes(*shader, kAttributes, sizeof(WorldMeshVertex));
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indexCount), GL_UNSIGNED_SHORT, nullptr);
        PimDrawStats::CountDrawCalls();
    }

    if (wasCulling)
        glEnable(GL_CULL_FACE);
    if (!wasBlending)
        glDisable(GL_BLEND);
}
