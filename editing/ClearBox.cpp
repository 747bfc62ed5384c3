#include "editing/ClearBox.h"

#include "editing/EditTarget.h"

#include "world/VoxelBox.h"

namespace ClearBox
{
std::size_t Clear(EditTarget& target, const PimVector3& corner, const PimVector3& otherCorner)
{
    const PimVector3 a = corner.Integerize();
    const PimVector3 b = otherCorner.Integerize();
    const PimVector3 low = PimVector3::Max(PimVector3::Min(a, b), PimVector3(0.0f, 0.0f, 0.0f));
    const PimVector3 high = PimVector3::Max(a, b);
    const PimVector3 size = high - low;
    if (size.x <= 0.0f || size.y <= 0.0f || size.z <= 0.0f)
        return 0;
    const VoxelBox empty(static_cast<int>(size.x), static_cast<int>(size.y), static_cast<int>(size.z));
    const std::size_t changed = target.WriteBox(low, empty, false);
    target.Rebuild();
    target.ForceRebuildBox(low, high);
    return changed;
}
}
