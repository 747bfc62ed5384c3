#include "pages/PictureCube.h"

#include "world/PerContextShader.h"
#include "world/VoxelCube.h"

#include "engine/PimContentFolder.h"
#include "engine/PimDrawContext.h"
#include "engine/PimDrawStats.h"
#include "engine/PimCamera.h"
#include "engine/PimGLBuffer.h"
#include "engine/PimSystem.h"
#include "engine/PimTime.h"
#include "engine/PimVertexAttributes.h"

#include <GL/glew.h>

#include <algorithm>
#include <array>
#include <cstddef>

namespace
{
struct CubeVertex
{
    float position[3];
    float normal[3];
    float uv[2];
};

constexpr int kIndexCount = 36;
constexpr float kLow = 0.01f;
constexpr float kHigh = 0.99f;

// One wall: its outward normal, the picture's right and up as seen from inside the cube, and its
// cell of the 3 x 2 picture (column, row).
struct Wall
{
    PimVector3 normal;
    PimVector3 right;
    PimVector3 up;
    int column;
    int row;
};
constexpr Wall kWalls[6] = {
    {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}, 0, 0},   {{0, 0, 1}, {-1, 0, 0}, {0, 1, 0}, 1, 0},
    {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}, 2, 0},   {{-1, 0, 0}, {0, 0, -1}, {0, 1, 0}, 0, 1},
    {{0, 0, -1}, {1, 0, 0}, {0, 1, 0}, 1, 1},  {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}, 2, 1},
};

struct CubeMesh
{
    std::array<CubeVertex, 24> vertices{};
    std::array<std::uint16_t, kIndexCount> indices{};
};

CubeMesh MakeMesh()
{
    CubeMesh mesh;
    const float half = (kHigh - kLow) * 0.5f;
    const PimVector3 middle(0.5f, 0.5f, 0.5f);
    for (int w = 0; w < 6; ++w)
    {
        const Wall& wall = kWalls[w];
        const PimVector3 centre = middle + wall.normal * half;
        const float u0 = wall.column / 3.0f, u1 = (wall.column + 1) / 3.0f;
        const float v0 = wall.row * 0.5f, v1 = v0 + 0.5f;
        const PimVector3 corners[4] = {centre - wall.right * half - wall.up * half, centre + wall.right * half - wall.up * half,
                                       centre + wall.right * half + wall.up * half, centre - wall.right * half + wall.up * half};
        const float uvs[4][2] = {{u0, v1}, {u1, v1}, {u1, v0}, {u0, v0}};
        for (int c = 0; c < 4; ++c)
        {
            CubeVertex& vertex = mesh.vertices[static_cast<std::size_t>(w * 4 + c)];
            vertex = {{corners[c].x, corners[c].y, corners[c].z},
                      {wall.normal.x, wall.normal.y, wall.normal.z},
                      {uvs[c][0], uvs[c][1]}};
        }
        // Counter-clockwise from outside: culling front faces leaves the inner walls.
        const std::uint16_t base = static_cast<std::uint16_t>(w * 4);
        const std::uint16_t order[6] = {0, 2, 1, 0, 3, 2};
        for (int i = 0; i < 6; ++i)
            mesh.indices[static_cast<std::size_t>(w * 6 + i)] = static_cast<std::uint16_t>(base + order[i]);
    }
    return mesh;
}

// Shared by every cube for the whole process (never destroyed: cubes may outlive the statics).
// Main thread only.
struct SharedCube
{
    PerContextShader program{[](PimShader& shader) {
        return shader.LoadShader(PimContentFolder::Resolve("Graphics/Shaders/pictureVoxelShader.vs").string(),
                                 PimContentFolder::Resolve("Graphics/Shaders/pictureVoxelShader.ps").string());
    }};
    PimGLBuffer vertices{PimGLBuffer::Kind::Vertices};
    PimGLBuffer indices{PimGLBuffer::Kind::Indices};
    // The frame in which a cube last read its picture file.
    std::uint64_t lastLoadFrame = ~std::uint64_t{0};
};

SharedCube& Shared()
{
    static SharedCube* shared = new SharedCube();
    return *shared;
}

constexpr PimVertexAttribute kAttributes[] = {
    {"vPos", 3, GL_FLOAT, false, offsetof(CubeVertex, position)},
    {"vNorm", 3, GL_FLOAT, false, offsetof(CubeVertex, normal)},
    {"vUv", 2, GL_FLOAT, false, offsetof(CubeVertex, uv)},
};
}

void PictureCube::SetPicturePath(const PimWString& path)
{
    picturePath = path;
    texture.Clear();
    loadTried = false;
}

void PictureCube::SetPicture(PimTexture picture)
{
    texture = std::move(picture);
    picturePath.clear();
    loadTried = true;
}

float PictureCube::FadeAt(float distanceSquared)
{
    return std::clamp(1.0f - distanceSquared / (kRange * kRange), 0.0f, 1.0f);
}

bool PictureCube::LoadWhenDue()
{
    if (loadTried)
        return texture.IsValid();
    SharedCube& shared = Shared();
    if (shared.lastLoadFrame == PimTime::FrameCount())
        return false;
    shared.lastLoadFrame = PimTime::FrameCount();
    loadTried = true;
    if (!texture.Load(picturePath.Narrow()))
        return false;
    texture.SetFilter(PimTextureFilter::LinearMipmap);
    texture.SetWrap(PimTextureWrap::Clamp);
    return true;
}

void PictureCube::Draw()
{
    const PimCamera* camera = PimDrawContext::GetCamera();
    if (camera == nullptr || !PimSystem::HasGL())
        return;
    const PimVector3 centre = position + PimVector3(0.5f, 0.5f, 0.5f);
    const float distanceSquared = camera->GetPosition().DistanceSquared(centre);
    if (distanceSquared > kRange * kRange || !LoadWhenDue())
        return;
    SharedCube& shared = Shared();
    const PimShader* shader = shared.program.Get();
    if (shader == nullptr)
        return;
    if (!shared.vertices.HasData())
    {
        const CubeMesh mesh = MakeMesh();
        shared.vertices.Upload(mesh.vertices.data(), sizeof(mesh.vertices));
        shared.indices.Upload(mesh.indices.data(), sizeof(mesh.indices));
    }
    shader->Use();
    const PimMatrix4x4 world = PimMatrix4x4::CreateTranslation(position);
    const std::array<float, 16> mvp = (PimDrawContext::GetViewProjection() * world).GetFloppedMatrixDataArray();
    glUniformMatrix4fv(shader->GetUniformLocation("MVP"), 1, GL_FALSE, mvp.data());
    glUniform4f(shader->GetUniformLocation("LightDirection"), VoxelCube::kLight.x, VoxelCube::kLight.y,
                VoxelCube::kLight.z, VoxelCube::kLight.w);
    glUniform1f(shader->GetUniformLocation("Fade"), FadeAt(distanceSquared));
    glUniform1i(shader->GetUniformLocation("Picture"), 0);
    glActiveTexture(GL_TEXTURE0);
    texture.Bind(0);
    shared.vertices.Bind();
    shared.indices.Bind();
    const GLboolean wasBlending = glIsEnabled(GL_BLEND);
    const GLboolean wasCulling = glIsEnabled(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    {
        const PimVertexAttributeScope attributes(*shader, kAttributes, sizeof(CubeVertex));
        glDrawElements(GL_TRIANGLES, kIndexCount, GL_UNSIGNED_SHORT, nullptr);
        PimDrawStats::CountDrawCalls();
    }
    glCullFace(GL_BACK);
    if (!wasCulling)
        glDisable(GL_CULL_FACE);
    if (!wasBlending)
        glDisable(GL_BLEND);
}
