#include "world/VoxelBox.h"

#include <algorithm>

void VoxelBox::Resize(int x, int y, int z, std::uint16_t fill)
{
    sizeX = std::max(x, 0);
    sizeY = std::max(y, 0);
    sizeZ = std::max(z, 0);
    if (sizeX == 0 || sizeY == 0 || sizeZ == 0)
        sizeX = sizeY = sizeZ = 0;
    cells.assign(static_cast<std::size_t>(sizeX) * static_cast<std::size_t>(sizeY) * static_cast<std::size_t>(sizeZ), fill);
}
