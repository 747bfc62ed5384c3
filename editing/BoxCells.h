#pragma once

#include "world/VoxelBox.h"

#include "engine/PimVector3.h"

#include <cstddef>

class EditTarget;

// What the two box fills share: the cells between a box's lower corner (inclusive) and upper
// corner (exclusive) that lie inside the container, and the write of a whole box of them under the
// engine's global build-channel lock followed by the target's rebuild. Main thread.
namespace BoxCells
{
// The box's cells clipped to [0, extent) on each axis: the lowest cell kept and a VoxelBox of the
// kept size (all 0). Corners are taken as whole voxels; an upper corner not above the lower one
// on some axis (a face dragged past the opposite face) keeps nothing (an empty box).
struct Clipped
{
    PimVector3 lower;
    VoxelBox cells;
};
Clipped Clip(const PimVector3& upper, const PimVector3& lower, const PimVector3& extent);

// Writes the non-empty cells at `lower` through the target, holding the global build-channel lock
// for the whole write, then EditTarget::Rebuild. Returns the voxels that changed.
std::size_t WriteLocked(EditTarget& target, const PimVector3& lower, const VoxelBox& cells);
}
