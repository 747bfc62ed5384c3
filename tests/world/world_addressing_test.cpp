#include "world/WorldAddressing.h"

#include <gtest/gtest.h>

using namespace WorldAddressing;

TEST(WorldAddressing, WorldBoundsAcceptTheLastFractionAndRefuseTheEdge)
{
    EXPECT_TRUE(IsInsideWorld({32767.9f, 0.0f, 0.0f}));
    EXPECT_TRUE(IsInsideWorld({0.0f, 511.5f, 32767.9f}));
    EXPECT_FALSE(IsInsideWorld({32768.0f, 0.0f, 0.0f}));
    EXPECT_FALSE(IsInsideWorld({0.0f, 512.0f, 0.0f}));
    EXPECT_FALSE(IsInsideWorld({0.0f, 0.0f, 32768.0f}));
    EXPECT_FALSE(IsInsideWorld({-0.01f, 0.0f, 0.0f}));
}

TEST(WorldAddressing, ChunkOriginAndKeyAtTheWorldsCorners)
{
    EXPECT_EQ(ChunkOrigin({31.99f, 0.5f, 32.0f}), PimVector3(0, 0, 32));
    EXPECT_EQ(ChunkOrigin({32767.9f, 511.9f, 32767.9f}), PimVector3(32736, 480, 32736));
    EXPECT_EQ(ChunkKey({0, 0, 0}), 0u);
    EXPECT_EQ(ChunkKey({32, 0, 0}), 1u);
    EXPECT_EQ(ChunkKey({0, 0, 32}), 1024u);
    EXPECT_EQ(ChunkKey({0, 32, 0}), 1024u * 1024u);
    EXPECT_EQ(ChunkKey({32736, 480, 32736}), 16u * 1024u * 1024u - 1u);
}

TEST(WorldAddressing, WindowSlotsCoverExactlyTheWindow)
{
    EXPECT_EQ(WindowSlot({0, 0, 0}, 0, 0), 0);
    EXPECT_EQ(WindowSlot({32 * 32 + 5, 15 * 32 + 1, 32 * 32 + 31.9f}, 0, 0), kWindowSlots - 1);
    EXPECT_EQ(WindowSlot({33 * 32, 0, 0}, 0, 0), -1);
    EXPECT_EQ(WindowSlot({0, 512, 0}, 0, 0), -1);
    // A window whose origin lies before the world's corner still finds the chunks inside it.
    EXPECT_EQ(WindowSlot({0, 0, 0}, -16, -16), (0 * 33 + 16) * 33 + 16);
    EXPECT_EQ(WindowSlot({100, 40, 200}, 4, 6), -1);
    EXPECT_EQ(WindowSlot({100, 40, 200}, 1, 2), (1 * 33 + 4) * 33 + 2);
}

TEST(WorldAddressing, RegionsAndTheirSlots)
{
    EXPECT_EQ(RegionOrigin({288, 32, 511}), PimVector3(256, 0, 256));
    EXPECT_EQ(RegionOrigin({32736, 480, 0}), PimVector3(32512, 256, 0));
    EXPECT_EQ(RegionKey({0, 0, 0}), 0u);
    EXPECT_EQ(RegionKey({256, 0, 0}), 256u);
    EXPECT_EQ(RegionKey({0, 0, 256}), 256u * 327680u);
    EXPECT_EQ(RegionKey({0, 256, 0}), 256ull * 327680u * 327680u);
    // A negative origin keys as the header's 32-bit integer reads back.
    EXPECT_EQ(RegionKey({-256, 0, 0}), RegionKey({4294967040.0f, 0, 0}));

    EXPECT_EQ(RegionSlot({256, 0, 256}, {256, 0, 256}), 0);
    EXPECT_EQ(RegionSlot({256 + 32, 64, 256 + 96}, {256, 0, 256}), 2 * 64 + 3 * 8 + 1);
    EXPECT_EQ(RegionSlot({480, 224, 480}, {256, 0, 256}), 511);
    EXPECT_EQ(RegionSlot({512, 0, 256}, {256, 0, 256}), -1);
    EXPECT_EQ(RegionSlot({224, 0, 256}, {256, 0, 256}), -1);
    EXPECT_EQ(RegionSlotOffset(2 * 64 + 3 * 8 + 1), PimVector3(32, 64, 96));
}

TEST(WorldAddressing, ChunkCoordinatesAndTheirSlots)
{
    EXPECT_EQ(ChunkOf({32767.9f, 511.9f, 0.5f}), (ChunkCoordinates{1023, 15, 0}));
    EXPECT_EQ(ChunkOf({-0.5f, 0, 0}), (ChunkCoordinates{-1, 0, 0}));
    EXPECT_EQ(WindowSlotOfChunk({1023, 15, 1023}, 991, 991), kWindowSlots - 1);
    EXPECT_EQ(WindowSlotOfChunk({1024, 15, 1023}, 991, 991), -1);
    // Saturated coordinates never wrap back into the window.
    EXPECT_EQ(ChunkOf({3e38f, 0, 0}).x, 2147483647);
    EXPECT_EQ(WindowSlotOfChunk({2147483647, 0, 0}, -2147483647 - 1, 0), -1);
}
