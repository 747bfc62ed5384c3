#include "editing/FillCube.h"

#include "editing/BoxCells.h"
#include "editing/EditTarget.h"

#include <algorithm>

namespace FillCube
{
std::size_t Fill(EditTarget& target, const PimVector3& upper, const PimVector3& lower, std::uint16_t colour)
{
    BoxCells::Clipped box = BoxCells::Clip(upper, lower, target.GetExtent());
    if (box.cells.IsEmpty() || colour == 0)
        return 0;
    box.cells.Resize(box.cells.GetSizeX(), box.cells.GetSizeY(), box.cells.GetSizeZ(), colour);
    return BoxCells::WriteLocked(target, box.lower, box.cells);
}
}
