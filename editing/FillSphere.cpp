#include "editing/FillSphere.h"

#include "editing/BoxCells.h"
#include "editing/EditTarget.h"

namespace FillSphere
{
std::size_t Fill(EditTarget& target, const PimVector3& upperCorner, const PimVector3& lowerCorner, std::uint16_t colour)
{
    BoxCells::Clipped box = BoxCells::Clip(upperCorner, lowerCorner, target.GetExtent());
    if (box.cells.IsEmpty() || colour == 0)
        return 0;
    const PimVector3 upper = upperCorner.Integerize();
    const PimVector3 lower = lowerCorner.Integerize();
    const PimVector3 centre = (upper + lower) * 0.5f;
    const PimVector3 half = (upper - lower) * 0.5f;
    VoxelBox& cells = box.cells;
    for (int y = 0; y < cells.GetSizeY(); ++y)
    {
        const float qy = (box.lower.y + static_cast<float>(y) - centre.y) / half.y;
        for (int z = 0; z < cells.GetSizeZ(); ++z)
        {
            const float qz = (box.lower.z + static_cast<float>(z) - centre.z) / half.z;
            const float rest = qy * qy + qz * qz;
            if (rest > 1.0f)
                continue;
            std::uint16_t* row = cells.Row(y, z);
            for (int x = 0; x < cells.GetSizeX(); ++x)
            {
                const float qx = (box.lower.x + static_cast<float>(x) - centre.x) / half.x;
                if (qx * qx + rest <= 1.0f)
                    row[x] = colour;
            }
        }
    }
    return BoxCells::WriteLocked(target, box.lower, cells);
}
}
