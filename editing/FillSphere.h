#pragma once

#include "engine/PimVector3.h"

#include <cstddef>
#include <cstdint>

class EditTarget;

// The sphere fill tool: the ellipsoid inscribed in the selection box takes the colour. With the
// centre C = (upper + lower) / 2 and the semi-axes H = (upper - lower) / 2, the cell whose lower
// corner is p is written when |(p - C) / H|^2 <= 1. The test takes the cell's lower corner, not
// its centre, so the shape sits half a voxel from the box's centre towards the upper corner (a
// 10-voxel box fills x from 0 to 9 on its middle row, the diagonal from 3 to 7). Cells outside
// the container are skipped; the writes hold the global build-channel lock and
// EditTarget::Rebuild follows, as the cube fill's. Returns the voxels that changed. Main thread.
namespace FillSphere
{
std::size_t Fill(EditTarget& target, const PimVector3& upper, const PimVector3& lower, std::uint16_t colour);
}
