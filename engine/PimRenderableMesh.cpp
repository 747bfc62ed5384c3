#include "engine/PimRenderableMesh.h"

#include "engine/PimAssert.h"
#include "engine/PimDrawContext.h"
#include "engine/PimDrawStats.h"
#include "engine/PimShader.h"
#include "engine/PimSystem.h"
#include "engine/PimVertexAttributes.h"

#include <GL/glew.h>

#include <algorithm>
#include <array>
#include <cstddef>

namespace
{
constexpr std::array<PimVertexAttribute, 5> Attributes{{
    {"vPos", 3, GL_FLOAT, false, offsetof(PimMeshVertex, position)},
    {"vNorm", 3, GL_FLOAT, false, offsetof(PimMeshVertex, normal)},
    {"vUv", 2, GL_FLOAT, false, offsetof(PimMeshVertex, uv)},
    {"vColor", 4, GL_UNSIGNED_BYTE, true, offsetof(PimMeshVertex, color)},
    {"vLight", 1, GL_FLOAT, false, offsetof(PimMeshVertex, light)},
}};

void SetMatrix(GLint location, const PimMatrix4x4& matrix)
{
    if (location < 0)
        return;
    const std::array<float, 16> columns = matrix.GetFloppedMatrixDataArray();
    glUniformMatrix4fv(location, 1, GL_FALSE, columns.data());
}
}

bool PimRenderableMesh::SetMesh(std::vector<PimMeshVertex> newVertices, std::vector<std::uint32_t> newIndices)
{
    const std::size_t count = newVertices.size();
    const bool inRange = std::all_of(newIndices.begin(), newIndices.end(), [count](std::uint32_t index) { return index < count; });
    if (newIndices.size() % 3 != 0 || !inRange)
    {
        PimAssert::Assert(false, "PimRenderableMesh::SetMesh() - indices are not whole triangles of the vertices");
        return false;
    }
    vertices = std::move(newVertices);
    indices = std::move(newIndices);
    buffersStale = true;
    return true;
}

void PimRenderableMesh::SetLocation(const PimVector3& newLocation)
{
    location = newLocation;
}

void PimRenderableMesh::SetOrientation(const PimMatrix4x4& newOrientation)
{
    orientation = newOrientation;
}

PimMatrix4x4 PimRenderableMesh::GetModelMatrix() const
{
    return PimMatrix4x4::CreateTranslation(location) * orientation;
}

bool PimRenderableMesh::Upload()
{
    if (!buffersStale && vertexBuffer.HasData() && indexBuffer.HasData())
        return true;
    if (!vertexBuffer.Upload(vertices.data(), vertices.size() * sizeof(PimMeshVertex))
        || !indexBuffer.Upload(indices.data(), indices.size() * sizeof(std::uint32_t)))
        return false;
    buffersStale = false;
    return true;
}

void PimRenderableMesh::Draw()
{
    if (!shader || !shader->IsValid() || indices.empty() || !PimSystem::HasGL() || !Upload())
        return;
    shader->Use();
    const PimMatrix4x4 model = GetModelMatrix();
    SetMatrix(shader->GetUniformLocation("MVP"), PimDrawContext::GetViewProjection() * model);
    SetMatrix(shader->GetUniformLocation("Model"), model);
    const GLint light = shader->GetUniformLocation("LightDirection");
    if (light >= 0)
        glUniform3f(light, lightDirection.x, lightDirection.y, lightDirection.z);

    vertexBuffer.Bind();
    indexBuffer.Bind();
    const PimVertexAttributeScope attributes(*shader, Attributes, sizeof(PimMeshVertex));
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, nullptr);
    PimDrawStats::CountDrawCalls();
}
