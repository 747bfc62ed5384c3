#pragma once

#include "engine/PimVector3.h"

#include <cstdint>

class EditTarget;

// The filled parallelogram with corners p1, p2, p3 and p1 + (p3 - p2): from every voxel of the
// edge p1 to p2, a line along p3 - p2; then one rebuild. Main thread only.
namespace ParallelogramTool
{
void Draw(EditTarget& target, const PimVector3& p1, const PimVector3& p2, const PimVector3& p3, std::uint16_t colour);
}
