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
