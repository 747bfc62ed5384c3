#pragma once

#include "engine/PimVector3.h"

#include <cstdint>

class EditTarget;

// The filled disc with centre p1, in the plane of p1, p2 and p3, whose radius is the distance
// from p1 to p3: a line from every sample of its circle (CircleSamples) to the centre; then one
// rebuild. p2 only fixes the plane. Three points on one line fix no plane: nothing is written and
// false is returned (the editor refuses such a third point before it gets here).
// Main thread only.
namespace DiscTool
{
bool Draw(EditTarget& target, const PimVector3& p1, const PimVector3& p2, const PimVector3& p3, std::uint16_t colour);
}
