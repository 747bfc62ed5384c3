#include "world/VoxelCube.h"

#include "world/ContentTexture.h"
#include "world/PerContextShader.h"

#include "engine/PimDrawStats.h"
#include "engine/PimContentFolder.h"
#include "engine/PimDrawContext.h"
#include "engine/PimShader.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"
#include "engine/PimVertexAttributes.h"
#include "engine/PimVoxelGrid.h"
#include "engine/VoxelCodeTable.h"

#include <GL/glew.h>

#include <cstddef>
#include <string>

namespace
{
constexpr int kAtlasUnit = 0;

// A corner of a face and the corner of the face's atlas tile it shows: column 0 is u0 (the
// tile's left edge), 1 is u1; row 0 is v0 (the tile's top), 1 is v1.
struct FaceCorner
{
    PimVector3 position;
    int column;
    int row;
};

struct CubeFace
{
    VoxelFace codeFace; // which of the code's face textures it shows
    PimVector3 normal;
    FaceCorner corners[4];
};

// Side faces stand upright: the tile's top at y = +0.5, its left edge on the left as seen from
// outside. The bottom face reads as the chunks' bottom faces do (the tile's top towards +z); the
// top face runs its tile's columns along z and its rows along x.
constexpr CubeFace kCubeFaces[VoxelCubeMesh::kFaces] = {
    {VoxelFaceNegX, {-1, 0, 0}, {{{-.5f, -.5f, -.5f}, 0, 1}, {{-.5f, -.5f, .5f}, 1, 1}, {{-.5f, .5f, -.5f}, 0, 0}, {{-.5f, .5f, .5f}, 1, 0}}},
    {VoxelFacePosX, {1, 0, 0}, {{{.5f, -.5f, -.5f}, 1, 1}, {{.5f, .5f, -.5f}, 1, 0}, {{.5f, -.5f, .5f}, 0, 1}, {{.5f, .5f, .5f}, 0, 0}}},
    {VoxelFaceNegZ, {0, 0, -1}, {{{-.5f, -.5f, -.5f}, 1, 1}, {{-.5f, .5f, -.5f}, 1, 0}, {{.5f, -.5f, -.5f}, 0, 1}, {{.5f, .5f, -.5f}, 0, 0}}},
    {VoxelFacePosZ, {0, 0, 1}, {{{-.5f, -.5f, .5f}, 0, 1}, {{.5f, -.5f, .5f}, 1, 1}, {{-.5f, .5f, .5f}, 0, 0}, {{.5f, .5f, .5f}, 1, 0}}},
    {VoxelFaceNegY, {0, -1, 0}, {{{-.5f, -.5f, -.5f}, 0, 1}, {{.5f, -.5f, -.5f}, 1, 1}, {{-.5f, -.5f, .5f}, 0, 0}, {{.5f, -.5f, .5f}, 1, 0}}},
    {VoxelFacePosY, {0, 1, 0}, {{{-.5f, .5f, -.5f}, 0, 0}, {{-.5f, .5f, .5f}, 1, 0}, {{.5f, .5f, -.5f}, 0, 1}, {{.5f, .5f, .5f}, 1, 1}}},
};

std::string ShaderPath(const char* name)
{
    return PimContentFolder::Resolve(std::string("Graphics/Shaders/") + name).string();
}

// Shared by every cube for the whole process (never destroyed: cubes may outlive the statics).
PerContextShader& CubeProgram()
{
    static PerContextShader* program = new PerContextShader([](PimShader& shader) {
        return shader.LoadShader(ShaderPath("voxelShader.vs"), ShaderPath("voxelShader.ps"));
    });
    return *program;
}

const PimTexture& CubeAtlas()
{
    static const PimTexture* atlas = new PimTexture(
        LoadContentTexture("Graphics/Textures/VoxelTexturesTop1.png", PimTextureFilter::Nearest, PimTextureWrap::Clamp));
    return *atlas;
}

constexpr PimVertexAttribute kAttributes[] = {
    {"vPos", 3, GL_FLOAT, false, offsetof(PimVoxelVertex, position)},
    {"vNorm", 3, GL_FLOAT, false, offsetof(PimVoxelVertex, normal)},
    {"vColor", 4, GL_UNSIGNED_BYTE, true, offsetof(PimVoxelVertex, color)},
    {"vUv", 2, GL_FLOAT, false, offsetof(PimVoxelVertex, uv)},
};
} // namespace

VoxelCubeMesh VoxelCubeMesh::Make(const VoxelData& data, PimColor colour)
{
    VoxelCubeMesh mesh;
    for (int f = 0; f < kFaces; ++f)
    {
        const CubeFace& face = kCubeFaces[f];
        const int textureCode = data.faceTextures[face.codeFace];
        const bool flipped = textureCode < 0;
        float u[2];
        float v[2];
        PimVoxelGrid::CalculateTextureCoordinates(textureCode, u[0], v[0], u[1], v[1]);
        const int base = 4 * f;
        for (int c = 0; c < 4; ++c)
        {
            const FaceCorner& corner = face.corners[c];
            PimVoxelVertex& vertex = mesh.vertices[static_cast<std::size_t>(base + c)];
            vertex.position = corner.position;
            vertex.uv = {u[flipped ? 1 - corner.column : corner.column], v[corner.row]};
            vertex.normal = face.normal;
            vertex.light = 1.0f;
            vertex.color = colour;
        }
        const int b = base;
        const int order[6] = {b, b + 1, b + 2, b + 2, b + 1, b + 3};
        const int reversed[6] = {b + 3, b + 1, b + 2, b + 2, b + 1, b};
        for (int i = 0; i < 6; ++i)
            mesh.indices[static_cast<std::size_t>(6 * f + i)] = static_cast<std::uint16_t>(flipped ? reversed[i] : order[i]);
    }
    return mesh;
}

void VoxelCube::Build(std::uint16_t newCode, PimColor newColour)
{
    Build(newCode, newColour, VoxelCodeTable::GetInstance());
}

void VoxelCube::Build(std::uint16_t newCode, PimColor newColour, const VoxelCodeTable& table)
{
    code = newCode;
    colour = newColour;
    mesh = VoxelCubeMesh::Make(table.GetVoxelData(newCode), newColour);
    // The old buffers are replaced now when GL is there, else at the first draw that has it.
    vertexBuffer.Release();
    indexBuffer.Release();
    if (PimSystem::HasGL() && PimSystem::IsMainThread())
        Upload();
}

bool VoxelCube::Upload()
{
    if (vertexBuffer.HasData() && indexBuffer.HasData())
        return true;
    return vertexBuffer.Upload(mesh->vertices.data(), sizeof(mesh->vertices))
           && indexBuffer.Upload(mesh->indices.data(), sizeof(mesh->indices));
}

void VoxelCube::Draw()
{
    modelMatrix.SetTranslation(position);
    if (!PimSystem::HasGL() || !PimSystem::IsMainThread())
        return;
    const PimShader* shader = CubeProgram().Get();
    if (shader == nullptr)
        return;
    shader->Use();
    const std::array<float, 16> mvp = (PimDrawContext::GetViewProjection() * modelMatrix).GetFloppedMatrixDataArray();
    glUniform1i(shader->GetUniformLocation("ObjectVertices"), 1);
    glUniformMatrix4fv(shader->GetUniformLocation("MVP"), 1, GL_FALSE, mvp.data());
    glUniform4f(shader->GetUniformLocation("LightDirection"), kLight.x, kLight.y, kLight.z, kLight.w);
    glUniform1i(shader->GetUniformLocation("Atlas"), kAtlasUnit);
    if (!mesh || !Upload())
        return;

    vertexBuffer.Bind();
    indexBuffer.Bind();
    glActiveTexture(GL_TEXTURE0 + kAtlasUnit);
    if (!CubeAtlas().Bind(kAtlasUnit))
        glBindTexture(GL_TEXTURE_2D, 0);
    const GLboolean wasBlending = glIsEnabled(GL_BLEND);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    {
        const PimVertexAttributeScope attributes(*shader, kAttributes, sizeof(PimVoxelVertex));
        glDrawElements(GL_TRIANGLES, VoxelCubeMesh::kIndexCount, GL_UNSIGNED_SHORT, nullptr);
        PimDrawStats::CountDrawCalls();
    }
    if (!wasBlending)
        glDisable(GL_BLEND);
}
