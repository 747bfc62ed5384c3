#pragma once

#include <cstdint>

// The six faces of a voxel, and the six sides of a chunk, in the one order the engine uses
// everywhere: the face textures of a VoxelData, the face number in a mesh vertex and the side
// number of PimVoxelGrid::SetGridSide.
enum VoxelFace : std::uint8_t
{
    VoxelFacePosZ = 0,
    VoxelFaceNegZ = 1,
    VoxelFaceNegX = 2,
    VoxelFacePosX = 3,
    VoxelFacePosY = 4,
    VoxelFaceNegY = 5,
};

inline constexpr int kVoxelFaceCount = 6;

struct VoxelFaceStep
{
    int x;
    int y;
    int z;
};

// Unit step from a voxel (or chunk) to its neighbour across each face.
inline constexpr VoxelFaceStep kVoxelFaceSteps[kVoxelFaceCount] = {
    {0, 0, 1}, {0, 0, -1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0},
};

// The face of the neighbour that touches each face.
inline constexpr std::uint8_t kVoxelOpposingFace[kVoxelFaceCount] = {1, 0, 3, 2, 5, 4};
