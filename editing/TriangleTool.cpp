#include "editing/TriangleTool.h"

#include "editing/EditTarget.h"
#include "editing/VoxelLine.h"

void TriangleTool::Draw(EditTarget& target, const PimVector3& p1, const PimVector3& p2, const PimVector3& p3,
                        std::uint16_t colour)
{
    const auto fan = [&](const PimVector3& from, const PimVector3& to, const PimVector3& corner) {
        for (const PimVector3& cell : VoxelLine::EdgeCells(from, to))
            VoxelLine::Between(target, cell, corner, colour);
    };
    fan(p3, p1, p2);
    fan(p1, p2, p3);
    fan(p2, p3, p1);
    target.Rebuild();
}
