#pragma once

#include "engine/PimVector3.h"

#include <cstdint>

class EditTarget;

// The outline of the disc of DiscTool (centre p1, plane of p1, p2, p3, radius |p3 - p1|): every
// sample of its circle is written; then one rebuild. Three points on one line fix no plane:
// nothing is written and false is returned. Main thread only.
namespace RingTool
{
bool Draw(EditTarget& target, const PimVector3& p1, const PimVector3& p2, const PimVector3& p3, std::uint16_t colour);
}
