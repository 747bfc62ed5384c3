#pragma once

#include "engine/VoxelCodeTable.h"
#include "engine/VoxelStorage.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Coarse collision levels of a chunk: for level L from 1 to 5, the highest collision class found
// in each aligned cube of 2^L voxels (level 5 is the whole chunk). Built from the codes on the
// first coarse query after a change; raised in place by writes that only add collision.
// Not synchronised: the owning chunk's voxel lock guards it.
class VoxelCollisionLevels
{
public:
    static constexpr int kTopLevel = 5;

    bool IsValid() const { return valid; }
    void Invalidate() { valid = false; }
    void Build(const VoxelStorage& storage, const VoxelCodeTable& table);

    // Highest class in the level-`level` cube (1 to 5) that holds voxel (x, y, z).
    std::uint8_t Query(int level, int x, int y, int z) const { return cells[CellIndex(level, x, y, z)]; }
    // A voxel now has class `collisionClass`, which is not below what it had.
    void Raise(int x, int y, int z, std::uint8_t collisionClass);

    std::size_t BytesHeld() const { return cells.capacity(); }

private:
    static std::size_t CellIndex(int level, int x, int y, int z);

    std::vector<std::uint8_t> cells; // levels 1 to 5 one after the other, each (y, z, x) order
    bool valid = false;
};
