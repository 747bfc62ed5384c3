#pragma once

#include "engine/PimColor.h"
#include "engine/PimGLBuffer.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"
#include "engine/PimVector4.h"
#include "engine/PimVoxelVertex.h"

#include <array>
#include <cstdint>
#include <optional>

struct VoxelData;
class VoxelCodeTable;

// The corners and triangles of one voxel cube, centred on the origin with sides of 1. Faces in
// this order, 4 corners each: -x, +x, -z, +z, -y, +y, each textured with the atlas tile of the
// matching face of the code (VoxelFace order in VoxelData). A face whose code is negative is
// flipped: its tile is mirrored left to right and its two triangles are wound the other way
// round, so it faces into the cube.
struct VoxelCubeMesh
{
    static constexpr int kFaces = 6;
    static constexpr int kVertexCount = 24;
    static constexpr int kIndexCount = 36;

    std::array<PimVoxelVertex, kVertexCount> vertices{};
    std::array<std::uint16_t, kIndexCount> indices{};

    // Any thread.
    static VoxelCubeMesh Make(const VoxelData& data, PimColor colour);
};

// One voxel code drawn as a cube in a colour: hands, palette swatches, colour previews, markers.
// Build it with a code and colour, place it (SetPosition, and SetTransform for its rotation and
// size), and Draw it in a draw pass. Every cube draws with the shared voxel program
// ("voxelShader.vs" / "voxelShader.ps", its unpacked vertex form), lit by one fixed light, and
// samples the voxel face atlas "VoxelTexturesTop1.png"; both are loaded by the first draw in each
// GL context. A cube that was never built draws nothing. Main thread only for Build and Draw.
class VoxelCube
{
public:
    // The direction towards the light shared by all cubes; w is its strength.
    static constexpr PimVector4 kLight{0.707f, 0.707f, 0.707f, 1.0f};

    VoxelCube() = default;
    VoxelCube(VoxelCube&&) noexcept = default;
    VoxelCube& operator=(VoxelCube&&) noexcept = default;
    VoxelCube(const VoxelCube&) = delete;
    VoxelCube& operator=(const VoxelCube&) = delete;

    // Builds the cube of a voxel code in the engine's code table (or the given one), replacing
    // the cube's previous buffers. Codes without a definition show the Unknown tile.
    void Build(std::uint16_t code, PimColor colour);
    void Build(std::uint16_t code, PimColor colour, const VoxelCodeTable& table);
    // Sets the program's uniforms, then draws the cube when it has been built.
    void Draw();

    void SetPosition(const PimVector3& newPosition) { position = newPosition; }
    const PimVector3& GetPosition() const { return position; }
    // Rotation and scale of the cube; its translation is replaced by the position when drawn.
    void SetTransform(const PimMatrix4x4& transform) { modelMatrix = transform; }
    // The model matrix of the last draw (identity before).
    const PimMatrix4x4& GetModelMatrix() const { return modelMatrix; }

    std::uint16_t GetCode() const { return code; }
    PimColor GetColour() const { return colour; }
    // The geometry of the last Build; empty before.
    const std::optional<VoxelCubeMesh>& GetMesh() const { return mesh; }

private:
    bool Upload();

    PimMatrix4x4 modelMatrix;
    PimVector3 position;
    std::uint16_t code = 0;
    PimColor colour{255, 255, 255, 255};
    std::optional<VoxelCubeMesh> mesh;
    PimGLBuffer vertexBuffer{PimGLBuffer::Kind::Vertices};
    PimGLBuffer indexBuffer{PimGLBuffer::Kind::Indices};
};
