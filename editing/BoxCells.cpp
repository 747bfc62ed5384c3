#include "editing/BoxCells.h"

#include "editing/EditTarget.h"

#include "engine/PimVoxelGrid.h"

#include <algorithm>
#include <cmath>

namespace BoxCells
{
Clipped Clip(const PimVector3& upperCorner, const PimVector3& lowerCorner, const PimVector3& extent)
{
    const PimVector3 upper = upperCorner.Integerize();
    const PimVector3 lower = lowerCorner.Integerize();
    Clipped clipped;
    int size[3] = {0, 0, 0};
    for (int axis = 0; axis < 3; ++axis)
    {
        const float from = std::max(lower[axis], 0.0f);
        const float to = std::min(upper[axis], std::floor(extent[axis]));
        clipped.lower[axis] = from;
        size[axis] = to > from ? static_cast<int>(to - from) : 0;
    }
    clipped.cells.Resize(size[0], size[1], size[2]);
    return clipped;
}

std::size_t WriteLocked(EditTarget& target, const PimVector3& lower, const VoxelBox& cells)
{
    std::size_t changed = 0;
    {
        PimVoxelGrid::BuildChannelsLock global;
        changed = target.WriteBox(lower, cells, true);
    }
    target.Rebuild();
    return changed;
}
}
