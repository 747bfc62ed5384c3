#include "world/WorldAddressing.h"

#include <cmath>

namespace WorldAddressing
{
bool IsInsideWorld(const PimVector3& p)
{
    return p.x >= 0.0f && p.x < kWorldSizeX && p.y >= 0.0f && p.y < kWorldSizeY && p.z >= 0.0f &&
           p.z < kWorldSizeZ;
}

PimVector3 ChunkOrigin(const PimVector3& p)
{
    const float side = static_cast<float>(kChunkSide);
    return {std::floor(std::floor(p.x) / side) * side, std::floor(std::floor(p.y) / side) * side,
            std::floor(std::floor(p.z) / side) * side};
}

std::uint64_t ChunkKey(const PimVector3& origin)
{
    const auto cx = static_cast<std::uint64_t>(static_cast<std::int64_t>(origin.x) / kChunkSide);
    const auto cy = static_cast<std::uint64_t>(static_cast<std::int64_t>(origin.y) / kChunkSide);
    const auto cz = static_cast<std::uint64_t>(static_cast<std::int64_t>(origin.z) / kChunkSide);
    return (cy * kChunksZ + cz) * kChunksX + cx;
}

int WindowSlot(const PimVector3& p, int windowOriginX, int windowOriginZ)
{
    const PimVector3 cell = p.Integerize();
    const float side = static_cast<float>(kChunkSide);
    const int x = static_cast<int>(std::floor(cell.x / side)) - windowOriginX;
    const int y = static_cast<int>(std::floor(cell.y / side));
    const int z = static_cast<int>(std::floor(cell.z / side)) - windowOriginZ;
    if (y < 0 || y >= kWindowY || x < 0 || x >= kWindowX || z < 0 || z >= kWindowZ)
        return -1;
    return (y * kWindowZ + z) * kWindowX + x;
}
}
