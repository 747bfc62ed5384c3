#pragma once

#include "engine/PimColor.h"
#include "engine/PimGLBuffer.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimRenderableObject.h"
#include "engine/PimVector2.h"
#include "engine/PimVector3.h"

#include <cstdint>
#include <memory>
#include <vector>

class PimShader;

// One vertex of a PimRenderableMesh. The mesh feeds each field to the shader input of the same
// role when the shader has it: "vPos" (vec3), "vNorm" (vec3), "vUv" (vec2), "vColor" (vec4, bytes
// as 0 to 1) and "vLight" (float).
struct PimMeshVertex
{
    PimVector3 position;
    PimVector3 normal;
    PimVector2 uv;
    PimColor color{255, 255, 255, 255};
    float light = 1.0f;
};

// A triangle mesh drawn with a shader of the program's own: arrows, hands, small models. The
// vertices and indices are uploaded once after each change. Each draw sets the shader's uniforms
// it has: "MVP" (the draw context's view-projection x model), "Model" and "LightDirection" (vec3).
// The mesh draws with the GL state it finds, face culling included, so the caller chooses which
// faces to cull. Main thread only for Draw.
class PimRenderableMesh : public PimRenderableObject
{
public:
    void SetShader(std::shared_ptr<const PimShader> newShader) { shader = std::move(newShader); }
    const std::shared_ptr<const PimShader>& GetShader() const { return shader; }

    // Replaces vertices and indices (three per triangle, counter-clockwise fronts). Refused
    // (reported, mesh unchanged) when the index count is not a multiple of 3 or an index points
    // past the vertices.
    bool SetMesh(std::vector<PimMeshVertex> newVertices, std::vector<std::uint32_t> newIndices);
    const std::vector<PimMeshVertex>& GetVertices() const { return vertices; }
    const std::vector<std::uint32_t>& GetIndices() const { return indices; }

    void SetLocation(const PimVector3& newLocation);
    const PimVector3& GetLocation() const { return location; }
    // Rotation (and any scale) applied before the location.
    void SetOrientation(const PimMatrix4x4& newOrientation);
    const PimMatrix4x4& GetOrientation() const { return orientation; }
    void SetLightDirection(const PimVector3& direction) { lightDirection = direction; }
    const PimVector3& GetLightDirection() const { return lightDirection; }

    PimMatrix4x4 GetModelMatrix() const;

    // Nothing without a valid shader, without triangles or without GL.
    void Draw() override;

private:
    bool Upload();

    std::shared_ptr<const PimShader> shader;
    std::vector<PimMeshVertex> vertices;
    std::vector<std::uint32_t> indices;
    PimVector3 location;
    PimMatrix4x4 orientation;
    PimVector3 lightDirection{0.0f, 1.0f, 0.0f};
    PimGLBuffer vertexBuffer{PimGLBuffer::Kind::Vertices};
    PimGLBuffer indexBuffer{PimGLBuffer::Kind::Indices};
    bool buffersStale = true;
};
