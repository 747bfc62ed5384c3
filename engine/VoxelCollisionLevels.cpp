#include "engine/VoxelCollisionLevels.h"

#include <algorithm>

namespace
{
constexpr int kSide = VoxelStorage::kSide;

constexpr std::size_t LevelOffset(int level)
{
    std::size_t offset = 0;
    for (int l = 1; l < level; ++l)
    {
        const std::size_t side = kSide >> l;
        offset += side * side * side;
    }
    return offset;
}

constexpr std::size_t kCellCount = LevelOffset(VoxelCollisionLevels::kTopLevel + 1);
} // namespace

std::size_t VoxelCollisionLevels::CellIndex(int level, int x, int y, int z)
{
    const std::size_t side = kSide >> level;
    return LevelOffset(level) + ((static_cast<std::size_t>(y >> level) * side + (z >> level)) * side + (x >> level));
}

void VoxelCollisionLevels::Build(const VoxelStorage& storage, const VoxelCodeTable& table)
{
    cells.assign(kCellCount, 0);
    std::uint16_t lastCode = 0;
    std::uint8_t lastClass = table.GetCollisionClass(0);
    for (int y = 0; y < kSide; ++y)
        for (int z = 0; z < kSide; ++z)
            for (int x = 0; x < kSide; ++x)
            {
                const std::uint16_t code = storage.Get((y * kSide + z) * kSide + x);
                if (code != lastCode)
                {
                    lastCode = code;
                    lastClass = table.GetCollisionClass(code);
                }
                std::uint8_t& cell = cells[CellIndex(1, x, y, z)];
                cell = std::max(cell, lastClass);
            }
    for (int level = 2; level <= kTopLevel; ++level)
    {
        const int finer = kSide >> (level - 1);
        for (int y = 0; y < finer; ++y)
            for (int z = 0; z < finer; ++z)
                for (int x = 0; x < finer; ++x)
                {
                    // Cell (x, y, z) of the finer level covers voxels from (x, y, z) << (level - 1).
                    const int shift = level - 1;
                    const std::uint8_t fine = cells[CellIndex(shift, x << shift, y << shift, z << shift)];
                    std::uint8_t& coarse = cells[CellIndex(level, x << shift, y << shift, z << shift)];
                    coarse = std::max(coarse, fine);
                }
    }
    valid = true;
}

void VoxelCollisionLevels::Raise(int x, int y, int z, std::uint8_t collisionClass)
{
    for (int level = 1; level <= kTopLevel; ++level)
    {
        std::uint8_t& cell = cells[CellIndex(level, x, y, z)];
        cell = std::max(cell, collisionClass);
    }
}
