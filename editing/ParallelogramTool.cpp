#include "editing/ParallelogramTool.h"

#include "editing/EditTarget.h"
#include "editing/VoxelLine.h"

void ParallelogramTool::Draw(EditTarget& target, const PimVector3& p1, const PimVector3& p2, const PimVector3& p3,
                             std::uint16_t colour)
{
    const PimVector3 side = p3 - p2;
    for (const PimVector3& cell : VoxelLine::EdgeCells(p1, p2))
        VoxelLine::Between(target, cell, cell + side, colour);
    target.Rebuild();
}
