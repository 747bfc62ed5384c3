#pragma once

#include "engine/PimVector3.h"

#include <cstdint>
#include <vector>

class EditTarget;

// The voxel lines every shape tool is made of. All writes go through the EditTarget with the
// flags of shapes (false, false); none of these rebuilds meshes (the caller does, once per shape).
// Main thread only.
namespace VoxelLine
{
// Most steps of one walk after its start voxel.
constexpr int kMaxSteps = 1001;

// Walks from `from` towards `to` (float points), writing the start point and then the point at
// every voxel boundary crossed, until the voxel of `to` is written, the walk has gone 1.1 times
// the distance, or kMaxSteps steps were taken. A walk that starts at or above y = 0 stops at the
// first point below it. A walk of length 0 writes its one voxel. Returns the number of writes.
int RayWalk(EditTarget& target, const PimVector3& from, const PimVector3& to, std::uint16_t colour);

// The line between the voxels holding a and b: a walk from each voxel's centre to the middle of
// the two, so swapping a and b writes the same voxels. Equal cells write that one voxel.
void Between(EditTarget& target, const PimVector3& a, const PimVector3& b, std::uint16_t colour);

// The voxels along the edge from p to q, for filling shapes edge by edge: the voxels of p and q,
// then one voxel per whole step along the edge's longest axis (ties go to the later axis), up to
// q's voxel. q's voxel appears twice; equal voxels give [p, q].
std::vector<PimVector3> EdgeCells(const PimVector3& p, const PimVector3& q);
}
