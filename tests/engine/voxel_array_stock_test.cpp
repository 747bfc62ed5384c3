#include "engine/PimVoxelGrid.h"
#include "engine/VoxelArrayStock.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
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

TEST(VoxelArrayStock, KeepsNoMoreThanItsLimitOnceEveryArrayIsBack)
{
    // More chunks with arrays than the stock keeps: the spares are taken and new slabs made, whose
    // arrays are all distinct; when all come back, wholly free slabs are freed down to the limit.
    std::vector<std::unique_ptr<PimVoxelGrid>> chunks;
    std::set<const std::uint16_t*> arrays;
    for (std::size_t index = 0; index < VoxelArrayStock::kSpareLimit + 8; ++index)
    {
        chunks.push_back(std::make_unique<PimVoxelGrid>());
        arrays.insert(GiveArray(*chunks.back(), 1));
    }
    EXPECT_EQ(arrays.size(), chunks.size());
    EXPECT_LT(VoxelArrayStock::SpareCount(), VoxelArrayStock::kArraysPerSlab) << "only the last slab's rest";
    chunks.clear();
    EXPECT_GE(VoxelArrayStock::SpareCount(), VoxelArrayStock::kSpareLimit);
    EXPECT_LT(VoxelArrayStock::SpareCount(), VoxelArrayStock::kSpareLimit + VoxelArrayStock::kArraysPerSlab);
}
