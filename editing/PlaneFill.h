#pragma once

#include "engine/PimVector3.h"

#include <cstdint>
#include <vector>

class EditTarget;

// The plane fill tool: three picked points name an axis-aligned plane through the first one, and
// the region of the first point's value in that plane is flooded with the colour. Main thread only.
namespace PlaneFill
{
constexpr int kMaxWrites = 10000;
constexpr int kMaxEntries = 10000;

// Whether `cell` may be the next point after `points` (0, 1 or 2 already picked). The second point
// must share a coordinate with the first; the third one with the first and one with the second,
// and must not lie on the line of the first two (three such points name no plane). With points
// picked, the cell must differ from the first and the last. The editor flashes on a refusal; its
// general rules (distance, repeats) apply as well.
bool AcceptsPoint(const std::vector<PimVector3>& points, const PimVector3& cell);

// The plane's normal axis (0 x, 1 y, 2 z): the largest component, by magnitude, of
// (p2 - p1) x (p3 - p1), so the order in which the points were picked does not matter.
int NormalAxis(const PimVector3& p1, const PimVector3& p2, const PimVector3& p3);

// Floods from seed within the plane across `normalAxis`: every in-plane neighbour (four per voxel)
// holding the seed's value takes the colour, depth first, until the region ends, 10000 voxels were
// written or 10000 positions wait. The seed itself changes only when a neighbour reaches it back.
// Ends with one rebuild. Returns the number of writes.
int Fill(EditTarget& target, const PimVector3& seed, int normalAxis, std::uint16_t colour);
}
