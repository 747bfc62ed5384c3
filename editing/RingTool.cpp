#include "editing/RingTool.h"

#include "editing/CircleSamples.h"
#include "editing/EditTarget.h"

bool RingTool::Draw(EditTarget& target, const PimVector3& p1, const PimVector3& p2, const PimVector3& p3,
                    std::uint16_t colour)
{
    if (!CircleSamples::SpanPlane(p3 - p1, p2 - p1))
        return false;
    for (const PimVector3& sample : CircleSamples::Around(p1 + PimVector3(0.5f, 0.5f, 0.5f), p3 - p1, p2 - p1))
        target.SetVoxel(colour, sample, false, false);
    target.Rebuild();
    return true;
}
