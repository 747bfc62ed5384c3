// The plane fill and the 3-D flood: their regions, limits and the plane's normal.

#include "tests/editing/voxel_target_fixture.h"

#include "editing/FloodFill.h"
#include "editing/PlaneFill.h"

namespace
{
using FillTools = VoxelTargetFixture;

PimVector3 C(int x, int y, int z)
{
    return PimVector3(x + 0.5f, y + 0.5f, z + 0.5f);
}

TEST_F(FillTools, TheFloodFillsTheTwentySixConnectedRegionOnly)
{
    // Two rods of blue touching at one edge (diagonal), and one apart.
    for (int x = 5; x <= 10; ++x)
        Put(kBlue, x, 5, 5);
    Put(kBlue, 11, 6, 6); // touches (10, 5, 5) at a corner
    Put(kBlue, 20, 5, 5); // apart
    EXPECT_EQ(FloodFill::Fill(target, C(5, 5, 5), kRed), 7);
    EXPECT_EQ(CellsOf(kRed).size(), 7u);
    EXPECT_EQ(At(11, 6, 6), kRed);
    EXPECT_EQ(At(20, 5, 5), kBlue);
}

TEST_F(FillTools, TheFloodOnEmptyDoesNothingAndWithItsOwnColourChangesNothing)
{
    EXPECT_EQ(FloodFill::Fill(target, C(3, 3, 3), kRed), 0);
    EXPECT_EQ(target.GetWriteCount(), 0u);
    // A big region in its own colour: the world is unchanged and the fill ends at its limit.
    for (int z = 0; z < 40; ++z)
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 40; ++x)
                Put(kBlue, x, y, z);
    const std::uint64_t before = target.GetWriteCount();
    const int writes = FloodFill::Fill(target, C(2, 2, 2), kBlue);
    EXPECT_GE(writes, FloodFill::kMaxWrites);
    EXPECT_LT(writes, FloodFill::kMaxWrites + 27);
    EXPECT_EQ(target.GetWriteCount() - before, static_cast<std::uint64_t>(writes));
    EXPECT_EQ(CellsOf(kBlue).size(), 16000u);
}

TEST_F(FillTools, TheFloodStopsAtTenThousandWrites)
{
    for (int z = 0; z < 40; ++z)
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 40; ++x)
                Put(kBlue, x, y, z);
    const int writes = FloodFill::Fill(target, C(2, 2, 2), kRed);
    EXPECT_GE(writes, FloodFill::kMaxWrites);
    EXPECT_LT(writes, FloodFill::kMaxWrites + 27);
    EXPECT_EQ(CellsOf(kRed).size(), static_cast<std::size_t>(writes));
}

TEST_F(FillTools, ThePlaneFillStaysInItsPlaneAndLeavesAnIsolatedSeed)
{
    // A 6 x 6 blue square in the x-z plane at y = 4, with a blue voxel above and below it.
    for (int z = 10; z < 16; ++z)
        for (int x = 10; x < 16; ++x)
            Put(kBlue, x, 4, z);
    Put(kBlue, 12, 5, 12);
    Put(kBlue, 12, 3, 12);
    EXPECT_EQ(PlaneFill::Fill(target, C(12, 4, 12), 1, kRed), 36);
    EXPECT_EQ(CellsOf(kRed).size(), 36u);
    EXPECT_EQ(At(12, 5, 12), kBlue);
    EXPECT_EQ(At(12, 3, 12), kBlue);

    // A lone voxel has no neighbour of its value in the plane: nothing changes, not even itself.
    Put(kBlue, 40, 40, 40);
    EXPECT_EQ(PlaneFill::Fill(target, C(40, 40, 40), 1, kRed), 0);
    EXPECT_EQ(At(40, 40, 40), kBlue);
}

TEST_F(FillTools, APlaneFillOfOpenAirEndsAtItsLimit)
{
    Put(kBlue, 0, 0, 0);
    const int writes = PlaneFill::Fill(target, C(1, 30, 1), 1, kRed);
    EXPECT_GE(writes, 4096 - 1) << "the whole layer of the block that is inside";
    EXPECT_LE(writes, PlaneFill::kMaxWrites + 3);
}

TEST_F(FillTools, ThePlaneNormalDoesNotDependOnThePickingOrder)
{
    // Points in the plane y = 2, picked in every order.
    const PimVector3 a(1, 2, 1), b(9, 2, 1), c(3, 2, 7);
    for (const auto& [p1, p2, p3] : {std::tuple{a, b, c}, std::tuple{a, c, b}, std::tuple{b, a, c}, std::tuple{c, b, a}})
        EXPECT_EQ(PlaneFill::NormalAxis(p1, p2, p3), 1);
    EXPECT_EQ(PlaneFill::NormalAxis({0, 0, 0}, {0, 5, 0}, {0, 0, 3}), 0);
    EXPECT_EQ(PlaneFill::NormalAxis({0, 0, 0}, {4, 0, 0}, {0, 5, 0}), 2);
}

TEST_F(FillTools, ThePlanePointRules)
{
    const PimVector3 first(5, 5, 5);
    EXPECT_TRUE(PlaneFill::AcceptsPoint({}, first));
    EXPECT_FALSE(PlaneFill::AcceptsPoint({first}, {6, 6, 6})) << "shares no coordinate with the first";
    EXPECT_TRUE(PlaneFill::AcceptsPoint({first}, {9, 5, 1}));
    EXPECT_FALSE(PlaneFill::AcceptsPoint({first}, first));
    const std::vector<PimVector3> two{first, {9, 5, 1}};
    EXPECT_TRUE(PlaneFill::AcceptsPoint(two, {1, 5, 8}));
    EXPECT_FALSE(PlaneFill::AcceptsPoint(two, {6, 7, 8})) << "shares no coordinate with the second";
    EXPECT_FALSE(PlaneFill::AcceptsPoint(two, {13, 5, -3})) << "on the line of the first two: no plane";
    EXPECT_FALSE(PlaneFill::AcceptsPoint(two, {9, 5, 1})) << "the last point again";
}
}
