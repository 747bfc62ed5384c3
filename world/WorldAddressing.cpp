#include "world/WorldAddressing.h"

#include <cmath>
#include <limits>

namespace WorldAddressing
{
namespace
{
// floor(v), saturated to the int range; NaN gives 0.
int FloorToInt(float v)
{
    const double f = std::floor(static_cast<double>(v));
    if (!(f == f))
        return 0;
    if (f <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    if (f >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<int>(f);
}

// The truncated value as a 32-bit unsigned integer, negative values wrapping as two's complement;
// values that are not finite or beyond +-2^62 give 0.
std::uint64_t AsUnsigned32(float v)
{
    const double t = std::trunc(static_cast<double>(v));
    constexpr double kLimit = 4611686018427387904.0; // 2^62
    if (!(t > -kLimit && t < kLimit))
        return 0;
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(t));
}
}

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

ChunkCoordinates ChunkOf(const PimVector3& p)
{
    const PimVector3 cell = p.Integerize();
    const float side = static_cast<float>(kChunkSide);
    return {FloorToInt(cell.x / side), FloorToInt(cell.y / side), FloorToInt(cell.z / side)};
}

int WindowSlotOfChunk(const ChunkCoordinates& c, int windowOriginX, int windowOriginZ)
{
    // In 64 bits: a saturated coordinate minus a window origin must not wrap into the window.
    const std::int64_t x = std::int64_t(c.x) - windowOriginX;
    const std::int64_t z = std::int64_t(c.z) - windowOriginZ;
    if (c.y < 0 || c.y >= kWindowY || x < 0 || x >= kWindowX || z < 0 || z >= kWindowZ)
        return -1;
    return static_cast<int>((c.y * kWindowZ + z) * kWindowX + x);
}

int WindowSlot(const PimVector3& p, int windowOriginX, int windowOriginZ)
{
    return WindowSlotOfChunk(ChunkOf(p), windowOriginX, windowOriginZ);
}

PimVector3 RegionOrigin(const PimVector3& chunkLocation)
{
    const float side = static_cast<float>(kRegionSide);
    return (chunkLocation / side).Integerize() * side;
}

std::uint64_t RegionKey(const PimVector3& regionOrigin)
{
    constexpr std::uint64_t kStride = 327680;
    return (AsUnsigned32(regionOrigin.y) * kStride + AsUnsigned32(regionOrigin.z)) * kStride +
           AsUnsigned32(regionOrigin.x);
}

int RegionSlot(const PimVector3& chunkLocation, const PimVector3& regionOrigin)
{
    const PimVector3 offset = (chunkLocation - regionOrigin) / static_cast<float>(kChunkSide);
    const int cx = FloorToInt(offset.x);
    const int cy = FloorToInt(offset.y);
    const int cz = FloorToInt(offset.z);
    if (cx < 0 || cx >= kRegionChunks || cy < 0 || cy >= kRegionChunks || cz < 0 || cz >= kRegionChunks)
        return -1;
    return (cy * kRegionChunks + cz) * kRegionChunks + cx;
}

PimVector3 RegionSlotOffset(int slot)
{
    const int s = slot & (kRegionSlots - 1);
    return PimVector3(static_cast<float>(s % kRegionChunks), static_cast<float>(s / (kRegionChunks * kRegionChunks)),
                      static_cast<float>(s / kRegionChunks % kRegionChunks)) *
           static_cast<float>(kChunkSide);
}
}
