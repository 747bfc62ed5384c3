#include "world/ChunkBlock.h"

#include <gtest/gtest.h>

TEST(ChunkBlock, ChunksAreLaidOutXInnerThenZThenY)
{
    ChunkBlock block;
    block.Create(2, 1, 3);
    EXPECT_EQ(block.GetTotalChunks(), 6);
    EXPECT_EQ(block.GetXSize(), 64);
    EXPECT_EQ(block.GetYSize(), 32);
    EXPECT_EQ(block.GetZSize(), 96);
    ASSERT_NE(block.GetChunk(1, 0, 2), nullptr);
    EXPECT_EQ(block.GetChunk(1, 0, 2), block.GetChunk(5));
    EXPECT_EQ(block.GetChunk(5)->GetLocation(), PimVector3(32, 0, 64));
    EXPECT_EQ(block.GetChunk(1)->GetLocation(), PimVector3(32, 0, 0));
    EXPECT_EQ(block.GetChunk(2)->GetLocation(), PimVector3(0, 0, 32));
    EXPECT_EQ(block.GetChunk(6), nullptr);
    EXPECT_EQ(block.GetChunk(2, 0, 0), nullptr);
    EXPECT_EQ(block.GetTransform(), PimMatrix4x4::Identity());
    EXPECT_FALSE(block.GetSpecialColors());
}

TEST(ChunkBlock, WritesStopAtTheBlocksFarFaces)
{
    ChunkBlock block;
    block.Create(2, 1, 3);
    const PimVector3 origin(100, 50, -20);
    block.SetLocation(origin);

    // local = size on one axis is outside; size - 0.01 is the last voxel.
    EXPECT_EQ(block.SetVoxel(9, origin + PimVector3(64, 0, 0), origin), 0);
    EXPECT_EQ(block.SetVoxel(9, origin + PimVector3(0, 0, -0.01f), origin), 0);
    block.SetVoxel(9, origin + PimVector3(63.99f, 31.99f, 95.99f), origin);
    EXPECT_EQ(block.GetChunk(1, 0, 2)->GetVoxel(31, 31, 31), 9);
    EXPECT_EQ(block.GetVoxel(origin + PimVector3(63.5f, 31.5f, 95.5f), origin), 9);
    EXPECT_EQ(block.GetVoxel(origin + PimVector3(64, 31.5f, 95.5f), origin), 0);
    // Writing the same code again reports the code that was there.
    EXPECT_EQ(block.SetVoxel(9, origin + PimVector3(63, 31, 95), origin), 9);
    EXPECT_FALSE(block.GetChunk(0)->IsEditedSinceSave());
    EXPECT_TRUE(block.GetChunk(5)->IsEditedSinceSave());
}

TEST(ChunkBlock, PositionsOfTheBlocksOwnFrameFindTheirChunk)
{
    ChunkBlock block;
    block.Create(3, 2, 1);
    block.SetVoxelAt(5, {70, 40, 3}, false, false);
    EXPECT_EQ(block.GetChunk(2, 1, 0)->GetVoxel(6, 8, 3), 5);
    EXPECT_EQ(block.GetVoxelAt({70.9f, 40.2f, 3.7f}), 5);
    // Positions past an edge do not wrap into another row of chunks.
    EXPECT_EQ(block.SetVoxelAt(5, {96, 0, 0}, false, false), 0);
    EXPECT_EQ(block.SetVoxelAt(5, {0, 0, 32}, false, false), 0);
    EXPECT_EQ(block.SetVoxelAt(5, {-0.5f, 0, 0}, false, false), 0);
    EXPECT_EQ(block.GetVoxelAt({0, 0, 32}), 0);
    for (int i = 0; i < block.GetTotalChunks(); ++i)
        EXPECT_EQ(block.GetChunk(i)->IsEditedSinceSave(), i == 5) << i;
}

TEST(ChunkBlock, MovingTheBlockMovesEveryChunk)
{
    ChunkBlock block;
    block.Create(2, 2, 2);
    block.SetLocation({10, 20, 30});
    block.SetLocation({-6, 20, 30.5f});
    EXPECT_EQ(block.GetLocation(), PimVector3(-6, 20, 30.5f));
    EXPECT_EQ(block.GetChunk(0)->GetLocation(), PimVector3(-6, 20, 30.5f));
    EXPECT_EQ(block.GetChunk(1, 1, 1)->GetLocation(), PimVector3(26, 52, 62.5f));
}

TEST(ChunkBlock, BuildMeshesEveryChunkWithTheBlocksColours)
{
    ChunkBlock block;
    block.Create(2, 1, 1);
    block.SetSpecialColors(true);
    block.SetVoxelAt(0xFF03, {1, 1, 1}, false, false);
    block.Build();
    for (int i = 0; i < block.GetTotalChunks(); ++i)
    {
        PimVoxelGrid* chunk = block.GetChunk(i);
        EXPECT_TRUE(chunk->IsUsingSpecialColors());
        EXPECT_GE(chunk->GetGridStatus(), PimVoxelGrid::kStatusBuilt) << i;
    }
    EXPECT_GT(block.GetChunk(0)->GetMeshBytes(), 0u);

    // Creating again replaces the chunks.
    block.Create(1, 1, 1);
    EXPECT_EQ(block.GetTotalChunks(), 1);
    EXPECT_EQ(block.GetVoxelAt({1, 1, 1}), 0);
}
