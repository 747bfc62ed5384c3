#include "engine/PimVoxelGrid.h"
#include "engine/VoxelArrayStock.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{
// The chunk's array, made by one differing write on a chunk of `fill`.
const std::uint16_t* GiveArray(PimVoxelGrid& chunk, std::uint16_t fill)
{
    chunk.LockVoxelMutex();
    chunk.FillVoxels(fill);
    chunk.UnLockVoxelMutex();
    chunk.SetVoxel(9, 0, 0, 0, false, false);
    chunk.LockVoxelMutex();
    const std::uint16_t* codes = chunk.GetVoxels();
    chunk.UnLockVoxelMutex();
    return codes;
}
}

TEST(VoxelArrayStock, AnArrayAChunkDropsIsTheNextOneTakenWithNoCodeOfItsFormerChunk)
{
    PimVoxelGrid first;
    const std::uint16_t* dropped = GiveArray(first, 0);
    first.DeInitialize();

    PimVoxelGrid second;
    // The recycled array starts as the chunk's single value everywhere, not as what it held.
    EXPECT_EQ(GiveArray(second, 4), dropped);
    EXPECT_EQ(second.GetVoxel(0, 0, 0), 9);
    EXPECT_EQ(second.GetVoxel(1, 0, 0), 4);
    EXPECT_EQ(second.GetVoxel(31, 31, 31), 4);
    std::uint16_t value = 0;
    EXPECT_FALSE(second.IsUniform(value));
}

TEST(VoxelArrayStock, KeepsNoMoreThanItsLimit)
{
    // More chunks with arrays than the stock keeps: every spare is taken, then all come back.
    std::vector<std::unique_ptr<PimVoxelGrid>> chunks;
    for (std::size_t index = 0; index < VoxelArrayStock::kSpareLimit + 8; ++index)
    {
        chunks.push_back(std::make_unique<PimVoxelGrid>());
        GiveArray(*chunks.back(), 1);
    }
    EXPECT_EQ(VoxelArrayStock::SpareCount(), 0u);
    chunks.clear();
    EXPECT_EQ(VoxelArrayStock::SpareCount(), VoxelArrayStock::kSpareLimit);
}
