#pragma once

#include "engine/PimVector3.h"

#include <cstdint>

class EditTarget;

// The filled triangle with corners p1, p2, p3 (whole-voxel points in picking order): three fans of
// lines, one from every voxel of each edge to the opposite corner, so that steep and thin
// triangles keep no holes; then one rebuild. Three points on one straight line write that line.
// Main thread only.
namespace TriangleTool
{
void Draw(EditTarget& target, const PimVector3& p1, const PimVector3& p2, const PimVector3& p3, std::uint16_t colour);
}
