#include "world/BuildBudget.h"
#include "world/ChunkVisibility.h"
#include "world/LeftWindowChunks.h"
#include "world/VoxelWorld2.h"

#include "engine/PimAngle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
// Feeds frames at a rate for a number of seconds, 0.1 seconds apart, from `start`; returns the
// time after the last one.
double Feed(BuildBudget& budget, double rate, double start, double seconds)
{
    double now = start;
    for (; now < start + seconds; now += 0.1)
        budget.Sample(rate, now);
    return now;
}
}

TEST(BuildBudget, StaysBetween8And32WhateverTheFrameRate)
{
    BuildBudget::Set(BuildBudget::kMinimum);
    BuildBudget budget(0.0);
    double now = Feed(budget, 120.0, 0.0, 200.0);
    EXPECT_EQ(BuildBudget::Get(), 32);
    now = Feed(budget, 10.0, now, 200.0);
    EXPECT_EQ(BuildBudget::Get(), 8);
    // Between 30 and 60 the budget holds; a broken rate is no sample at all.
    BuildBudget::Set(20);
    now = Feed(budget, 45.0, now, 20.0);
    now = Feed(budget, std::numeric_limits<double>::quiet_NaN(), now, 20.0);
    EXPECT_EQ(BuildBudget::Get(), 20);
    Feed(budget, std::numeric_limits<double>::infinity(), now, 20.0);
    EXPECT_EQ(BuildBudget::Get(), 20);

    BuildBudget::Set(-5);
    EXPECT_EQ(BuildBudget::Get(), 8);
    BuildBudget::Set(1000);
    EXPECT_EQ(BuildBudget::Get(), 32);
}

TEST(BuildBudget, MovesOneStepPerCheckOnTheMeanSinceTheLastCheck)
{
    BuildBudget::Set(10);
    BuildBudget budget(0.0);
    // A quarter of a second is not yet more than a quarter of a second.
    budget.Sample(100.0, 0.1);
    budget.Sample(100.0, 0.25);
    EXPECT_EQ(BuildBudget::Get(), 10);
    // A mean of (100 + 100 + 10) / 3 = 70 raises it, once.
    budget.Sample(10.0, 0.3);
    EXPECT_EQ(BuildBudget::Get(), 10 + BuildBudget::kStep);
    EXPECT_EQ(budget.GetSampleCount(), 0u);
    // The next mean starts afresh: 20 alone lowers it.
    budget.Sample(20.0, 0.6);
    EXPECT_EQ(BuildBudget::Get(), 10);
}

TEST(BuildBudget, ClimbsToTheTopWithinTwoSecondsOfFastFramesAndFallsAsFastBelow30)
{
    BuildBudget::Set(BuildBudget::kMinimum);
    BuildBudget budget(0.0);
    double now = Feed(budget, 90.0, 0.0, 1.0);
    EXPECT_GT(BuildBudget::Get(), BuildBudget::kMinimum);
    EXPECT_LT(BuildBudget::Get(), BuildBudget::kMaximum) << "a climb, not a jump";
    now = Feed(budget, 90.0, now, 1.0);
    EXPECT_EQ(BuildBudget::Get(), BuildBudget::kMaximum);
    Feed(budget, 25.0, now, 2.0);
    EXPECT_EQ(BuildBudget::Get(), BuildBudget::kMinimum);
}

TEST(BuildBudget, AFixedBudgetDoesNotAdaptUntilReleased)
{
    BuildBudget::Set(8);
    BuildBudget budget(0.0);
    budget.SetControl(17);
    EXPECT_TRUE(budget.IsFixed());
    EXPECT_EQ(BuildBudget::Get(), 17);
    double now = Feed(budget, 200.0, 0.0, 30.0);
    EXPECT_EQ(BuildBudget::Get(), 17);
    budget.SetControl(2);
    EXPECT_EQ(BuildBudget::Get(), 8);
    budget.SetControl(99);
    EXPECT_EQ(BuildBudget::Get(), 32);

    // Released: the first check comes a check interval after the first frame that follows.
    budget.SetControl(0);
    EXPECT_FALSE(budget.IsFixed());
    now += 100.0;
    budget.Sample(5.0, now);
    EXPECT_EQ(BuildBudget::Get(), 32);
    budget.Sample(5.0, now + BuildBudget::kCheckSeconds + 0.01);
    EXPECT_EQ(BuildBudget::Get(), 32 - BuildBudget::kStep);
}

TEST(LeftWindowChunks, GivesUpItsOldestEntriesFirstAndForgetsTakenOnes)
{
    ChunkPool pool;
    auto texture = std::make_shared<PimTexture>();
    LeftWindowChunks left;
    const auto location = [](int cz) { return PimVector3(0.0f, 0.0f, static_cast<float>(cz) * 32.0f); };
    std::vector<PimVoxelGrid*> chunks;
    for (int cz = 0; cz < 4; ++cz)
    {
        chunks.push_back(pool.Take());
        chunks.back()->SetLocation(location(cz));
    }
    // Keys out of insertion order, so key order and age differ.
    for (int cz : {2, 0, 3, 1})
        EXPECT_TRUE(left.Add(WorldAddressing::ChunkKey(location(cz)), chunks[static_cast<std::size_t>(cz)]));
    EXPECT_FALSE(left.Add(WorldAddressing::ChunkKey(location(0)), chunks[1])) << "a key is kept once";
    EXPECT_FALSE(left.Add(99, nullptr));
    EXPECT_EQ(left.Size(), 4u);

    // Taking chunk 0 back into the window removes it from the age order too.
    bool reused = false;
    EXPECT_EQ(left.TakeForSlot(pool, location(0), texture, reused), chunks[0]);
    EXPECT_TRUE(reused);
    EXPECT_EQ(left.TakeOldest(), chunks[2]);
    // Chunk 0 enters again: now the newest.
    EXPECT_TRUE(left.Add(WorldAddressing::ChunkKey(location(0)), chunks[0]));
    EXPECT_EQ(left.TakeOldest(), chunks[3]);
    EXPECT_EQ(left.TakeOldest(), chunks[1]);
    EXPECT_EQ(left.TakeOldest(), chunks[0]);
    EXPECT_EQ(left.TakeOldest(), nullptr);
    EXPECT_TRUE(left.Empty());

    // A location the map does not hold gets a pool chunk.
    PimVoxelGrid* fresh = left.TakeForSlot(pool, location(7), texture, reused);
    EXPECT_FALSE(reused);
    EXPECT_EQ(fresh->GetLocation(), location(7));
    EXPECT_EQ(fresh->GetTextures(), texture);
    chunks.push_back(fresh);
    for (PimVoxelGrid* chunk : chunks)
        pool.GiveBack(chunk);
}

TEST(ChunkVisibility, NearChunksAlwaysCountFarOnesOnlyInFront)
{
    const PimVector3 eye(100.0f, 50.0f, 100.0f);
    const PimMatrix4x4 viewProjection =
        PimMatrix4x4::CreatePerspective(PimAngle::FromDegrees(90.0f), 1.0f, 0.1f, 512.0f) *
        PimMatrix4x4::CreateLookAt(eye, eye + PimVector3(0.0f, 0.0f, -1.0f), PimVector3(0.0f, 1.0f, 0.0f));
    float distance = 0.0f;
    EXPECT_TRUE(ChunkVisibility::IsVisible(eye + PimVector3(0.0f, 0.0f, -300.0f), eye, viewProjection, distance));
    EXPECT_FLOAT_EQ(distance, 300.0f);
    EXPECT_FALSE(ChunkVisibility::IsVisible(eye + PimVector3(0.0f, 0.0f, 300.0f), eye, viewProjection, distance));
    EXPECT_FALSE(ChunkVisibility::IsVisible(eye + PimVector3(300.0f, 0.0f, -10.0f), eye, viewProjection, distance));
    // Behind, but within 1.4 chunks.
    EXPECT_TRUE(ChunkVisibility::IsVisible(eye + PimVector3(0.0f, 0.0f, 44.0f), eye, viewProjection, distance));
    EXPECT_FALSE(ChunkVisibility::IsVisible(eye + PimVector3(0.0f, 0.0f, 45.0f), eye, viewProjection, distance));
}

TEST(VoxelWorld2, ExpectedBuildCountFollowsTheStoredRegions)
{
    EXPECT_EQ(VoxelWorld2::ExpectedBuildCount(0), 27);
    EXPECT_EQ(VoxelWorld2::ExpectedBuildCount(1), 512);
    EXPECT_EQ(VoxelWorld2::ExpectedBuildCount(15), 7680);
    EXPECT_EQ(VoxelWorld2::ExpectedBuildCount(16), 7720);
    EXPECT_EQ(VoxelWorld2::ExpectedBuildCount(std::numeric_limits<std::size_t>::max()), 7720);
}
