#pragma once

#include "engine/PimVector3.h"

#include <cstdint>

class EditTarget;

// The 3-D flood fill tool: the region of the picked voxel's value, connected through faces,
// edges and corners (26 neighbours), takes the colour. Main thread only.
namespace FloodFill
{
constexpr int kMaxWrites = 10000;
constexpr int kMaxEntries = 10000;

// Nothing happens (0 returned, no rebuild) when the seed is empty. Otherwise the region is filled
// depth first, the seed included, until it ends, 10000 voxels were written or 10000 positions wait;
// then one rebuild. Returns the number of writes.
int Fill(EditTarget& target, const PimVector3& seed, std::uint16_t colour);
}
