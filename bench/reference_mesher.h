#pragma once

#include "engine/PimVoxelGrid.h"
#include "engine/VoxelMesh.h"

// The straightforward mesher the fast one is measured against: copies the chunk and a one-voxel
// border from its linked neighbours into a padded array, then emits one quad for every visible
// voxel face, without merging. Same visibility rule and vertex format as BuildGrid.
void ReferenceMesh(PimVoxelGrid& chunk, VoxelMesh& out);
