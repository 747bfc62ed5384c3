#pragma once

#include "engine/VoxelFace.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// One corner of a chunk face quad: one 32-bit word, laid out for upload as it is.
//
//   bits  0-5   x  corner position in voxels inside the chunk, 0 to 32
//   bits  6-11  y
//   bits 12-17  z
//   bits 18-20  face: VoxelFace (0 +z, 1 -z, 2 -x, 3 +x, 4 +y, 5 -y), which gives the normal
//   bit  21     flipped: the face's texture code was negative, the tile is drawn mirrored
//   bits 22-29  index: atlas tile of a textured face, or colour index of a colour voxel (looked
//               up in the chunk's colour table at draw time, so redefining a colour needs no
//               rebuild)
//   bit  30     colour: set for colour voxels
//   bit  31     0
//
// For OpenGL 3.2 / GLSL 1.50: glVertexAttribIPointer(location, 1, GL_UNSIGNED_INT, 4, 0) into
// an `in uint`, decoded with shifts and masks. World position = chunk location + scale * xyz.
// Texture coordinates come from the position, so that a merged face repeats its tile once per
// voxel: with (right, up) of the face from kVoxelFaceRight / kVoxelFaceUp,
//   u = dot(xyz, right), negated when flipped;  v = -dot(xyz, up);
// and the fragment samples the rectangle (u0, v0)-(u1, v1) that
// PimVoxelGrid::CalculateTextureCoordinates gives for the tile at
//   (u0 + fract(u) * (u1 - u0), v0 + fract(v) * (v1 - v0)),
// which keeps every tile upright as seen from outside (v0 is the tile's top edge).
struct VoxelVertex
{
    std::uint32_t bits;

    static constexpr std::uint32_t kFlippedBit = 1u << 21;
    static constexpr std::uint32_t kColourBit = 1u << 30;

    static constexpr VoxelVertex Make(int x, int y, int z, int face, bool flipped, std::uint8_t index, bool colour)
    {
        return VoxelVertex{static_cast<std::uint32_t>(x) | (static_cast<std::uint32_t>(y) << 6) |
                           (static_cast<std::uint32_t>(z) << 12) | (static_cast<std::uint32_t>(face) << 18) |
                           (flipped ? kFlippedBit : 0u) | (static_cast<std::uint32_t>(index) << 22) | (colour ? kColourBit : 0u)};
    }

    constexpr int X() const { return static_cast<int>(bits & 63u); }
    constexpr int Y() const { return static_cast<int>((bits >> 6) & 63u); }
    constexpr int Z() const { return static_cast<int>((bits >> 12) & 63u); }
    constexpr int Face() const { return static_cast<int>((bits >> 18) & 7u); }
    constexpr bool IsFlipped() const { return (bits & kFlippedBit) != 0; }
    constexpr std::uint8_t Index() const { return static_cast<std::uint8_t>((bits >> 22) & 255u); }
    constexpr bool IsColour() const { return (bits & kColourBit) != 0; }
};
static_assert(sizeof(VoxelVertex) == 4, "VoxelVertex must stay 4 bytes for upload");

// Directions of a face's texture as seen from outside: u runs along `right`, v against `up`.
inline constexpr VoxelFaceStep kVoxelFaceRight[kVoxelFaceCount] = {
    {1, 0, 0}, {-1, 0, 0}, {0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {1, 0, 0},
};
inline constexpr VoxelFaceStep kVoxelFaceUp[kVoxelFaceCount] = {
    {0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1},
};

// A built chunk mesh: quads of four vertices each, corners in the order left-bottom,
// right-bottom, left-top, right-top as the face is seen from outside. The quads of opaque
// faces come first, then those of translucent faces (water, guides), which are drawn after the
// opaque ones with blending.
//
// Indices are not stored per chunk: every quad uses the pattern of QuadIndexPattern (two
// counter-clockwise triangles (b, b+1, b+2), (b+2, b+1, b+3) with b = 4 x quad). The pattern holds
// kQuadsPerBatch quads in 16-bit indices; a mesh with more quads is drawn in batches of
// kQuadsPerBatch quads, batch k with base vertex 4 x k x kQuadsPerBatch (glDrawElementsBaseVertex),
// the last batch drawing only the indices of its remaining quads.
struct VoxelMesh
{
    static constexpr std::uint32_t kQuadsPerBatch = 16384;
    static constexpr std::uint32_t kIndicesPerQuad = 6;

    std::vector<VoxelVertex> vertices;
    std::uint32_t opaqueQuadCount = 0;

    std::uint32_t QuadCount() const { return static_cast<std::uint32_t>(vertices.size() / 4); }
    std::uint32_t TranslucentQuadCount() const { return QuadCount() - opaqueQuadCount; }
    std::uint32_t TriangleCount() const { return QuadCount() * 2; }
    bool IsEmpty() const { return vertices.empty(); }
    std::size_t BytesHeld() const { return vertices.capacity() * sizeof(VoxelVertex); }

    // kQuadsPerBatch x 6 indices, shared by every mesh; built on first use, then read-only.
    static const std::vector<std::uint16_t>& QuadIndexPattern();
};
