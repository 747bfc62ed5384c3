#pragma once

#include "engine/PimVoxelGrid.h"
#include "engine/VoxelCodeTable.h"
#include "engine/VoxelMesh.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <tuple>

// One visible unit face: the voxel it belongs to and the face direction.
struct UnitFace
{
    int x, y, z, face;
    bool operator<(const UnitFace& o) const { return std::tie(x, y, z, face) < std::tie(o.x, o.y, o.z, o.face); }
    bool operator==(const UnitFace&) const = default;
};

// What a unit face shows.
struct FaceLook
{
    std::uint8_t index; // tile or colour index
    bool colour;
    bool flipped;
    bool translucent;
    bool operator==(const FaceLook&) const = default;
};

using FaceSet = std::map<UnitFace, FaceLook>;

// Code of voxel (x, y, z), which may lie one step outside the chunk (then a neighbour's voxel).
using VoxelReader = std::function<std::uint16_t(int x, int y, int z)>;

// Faces a per-voxel culled mesher shows, by the rule: opaque faces show unless the voxel across is
// opaque; translucent faces only against empty voxels.
FaceSet ExpectedFaces(const VoxelReader& read, const VoxelCodeTable& table);

// A reader over a chunk and its linked neighbours (0 where no neighbour is linked).
VoxelReader ReaderOf(const PimVoxelGrid& chunk);

// Unit faces covered by a mesh's quads. Every quad is also checked for shape, winding, texture
// order and its place in the opaque / translucent order; problems go to `problems`.
FaceSet MeshFaces(const VoxelMesh& mesh, std::string& problems);

// The first few differences between two face sets; empty when they are equal.
std::string FaceDifference(const FaceSet& expected, const FaceSet& got);
