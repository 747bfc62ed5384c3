#pragma once

#include "engine/PimVector3.h"

#include <cstddef>

class EditTarget;

// Empties the box between two corners in any container: each axis ordered to min and max, min
// held at 0 or more, every cell from min (inclusive) to max (exclusive) set to 0. Then
// EditTarget::Rebuild and a forced rebuild of what the box covers (EditTarget::ForceRebuildBox),
// so chunks that became empty stop drawing what they held. Returns the voxels that changed. Main
// thread.
namespace ClearBox
{
std::size_t Clear(EditTarget& target, const PimVector3& corner, const PimVector3& otherCorner);
}
