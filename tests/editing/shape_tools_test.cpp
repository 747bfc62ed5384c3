// The shape tools' voxels: lines (the ray walk, the line between cells, edge cells), triangles,
// parallelograms, discs and rings, and the preview strip shown while their points are picked.

#include "tests/editing/voxel_target_fixture.h"

#include "editing/CircleSamples.h"
#include "editing/DiscTool.h"
#include "editing/ParallelogramTool.h"
#include "editing/RingTool.h"
#include "editing/ShapePreview.h"
#include "editing/ToolId.h"
#include "editing/TriangleTool.h"
#include "editing/VoxelLine.h"

#include <cmath>

namespace
{
using ShapeTools = VoxelTargetFixture;

PimVector3 P(int x, int y, int z)
{
    return PimVector3(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

TEST_F(ShapeTools, ALineBetweenEqualCellsWritesThatOneVoxel)
{
    VoxelLine::Between(target, P(4, 5, 6), P(4, 5, 6), kRed);
    EXPECT_EQ(CellsOf(kRed), (std::set<Cell>{{4, 5, 6}}));
    // The walk of no length writes its start and stops (no NaN steps through the container).
    const std::uint64_t before = target.GetWriteCount();
    EXPECT_EQ(VoxelLine::RayWalk(target, {2.5f, 2.5f, 2.5f}, {2.5f, 2.5f, 2.5f}, kBlue), 1);
    EXPECT_EQ(target.GetWriteCount(), before + 1);
}

TEST_F(ShapeTools, LinesAreSymmetricConnectedAndEndAtBothCells)
{
    VoxelLine::Between(target, P(0, 0, 0), P(5, 2, 0), kRed);
    VoxelLine::Between(target, P(5, 2, 0), P(0, 0, 0), kBlue);
    const std::set<Cell> forth = CellsOf(kRed);
    EXPECT_TRUE(forth.empty()) << "the second line wrote over every voxel of the first";
    const std::set<Cell> back = CellsOf(kBlue);
    EXPECT_TRUE(back.count({0, 0, 0}) && back.count({5, 2, 0}));

    // Drawn alone each way, the two directions give the same set; a long diagonal has no gaps.
    for (const auto& [a, b] : {std::pair{P(1, 1, 1), P(40, 23, 9)}, std::pair{P(60, 3, 2), P(2, 50, 33)}})
    {
        Open({0, 0, 0});
        VoxelLine::Between(target, a, b, kRed);
        const std::set<Cell> one = CellsOf(kRed);
        Open({0, 0, 0});
        VoxelLine::Between(target, b, a, kRed);
        EXPECT_EQ(CellsOf(kRed), one);
        for (const Cell& cell : one)
        {
            if (cell == Cell{static_cast<int>(a.x), static_cast<int>(a.y), static_cast<int>(a.z)})
                continue;
            bool touches = false;
            for (const Cell& other : one)
            {
                const int d = std::max({std::abs(std::get<0>(cell) - std::get<0>(other)),
                                        std::abs(std::get<1>(cell) - std::get<1>(other)),
                                        std::abs(std::get<2>(cell) - std::get<2>(other))});
                touches = touches || d == 1;
            }
            EXPECT_TRUE(touches) << "every voxel of the line touches another";
        }
    }
}

TEST_F(ShapeTools, AWalkFromAboveGroundStopsAtTheFirstVoxelBelowIt)
{
    Open({0.0f, -32.0f, 0.0f}); // the block reaches below y = 0
    VoxelLine::RayWalk(target, {3.5f, 5.5f, 3.5f}, {3.5f, -20.5f, 3.5f}, kRed);
    std::set<Cell> expected;
    for (int y = -1; y <= 5; ++y)
        expected.insert({3, y, 3});
    EXPECT_EQ(CellsOf(kRed), expected);
    // A walk that starts below the ground goes on to its end.
    Open({0.0f, -32.0f, 0.0f});
    VoxelLine::RayWalk(target, {3.5f, -5.5f, 3.5f}, {3.5f, -20.5f, 3.5f}, kRed);
    EXPECT_EQ(CellsOf(kRed).size(), 16u);
}

TEST_F(ShapeTools, EdgeCellsStepAlongTheLongestAxis)
{
    const std::vector<PimVector3> cells = VoxelLine::EdgeCells(P(0, 0, 0), P(4, 2, 1));
    ASSERT_EQ(cells.size(), 6u);
    EXPECT_EQ(cells.front(), P(0, 0, 0));
    EXPECT_EQ(cells[1], P(4, 2, 1));
    for (std::size_t i = 2; i < cells.size(); ++i)
        EXPECT_EQ(cells[i].x, static_cast<float>(i - 1));
    EXPECT_EQ(cells.back(), P(4, 2, 1));
    EXPECT_EQ(VoxelLine::EdgeCells(P(3, 3, 3), P(3, 3, 3)), (std::vector<PimVector3>{P(3, 3, 3), P(3, 3, 3)}));
    // A tie goes to the later axis: z over x.
    EXPECT_EQ(VoxelLine::EdgeCells(P(0, 0, 0), P(3, 0, 3)).size(), 5u);
}

TEST_F(ShapeTools, ATriangleIsFilledAndACollinearOneWritesItsLine)
{
    TriangleTool::Draw(target, P(2, 4, 2), P(30, 4, 2), P(2, 4, 40), kRed);
    const std::set<Cell> cells = CellsOf(kRed);
    EXPECT_TRUE(cells.count({10, 4, 10}) && cells.count({3, 4, 30}) && cells.count({20, 4, 5})) << "inside";
    EXPECT_FALSE(cells.count({25, 4, 30})) << "outside the hypotenuse";
    for (const Cell& cell : cells)
        EXPECT_EQ(std::get<1>(cell), 4) << "flat in its plane";

    Open({0, 0, 0});
    TriangleTool::Draw(target, P(1, 1, 1), P(11, 6, 1), P(21, 11, 1), kRed);
    const std::set<Cell> collinear = CellsOf(kRed);
    EXPECT_FALSE(collinear.empty());
    for (const Cell& cell : collinear)
        EXPECT_LE(std::abs(2 * (std::get<1>(cell) - 1) - (std::get<0>(cell) - 1)), 2) << "on the line";
    EXPECT_TRUE(collinear.count({1, 1, 1}) && collinear.count({11, 6, 1}) && collinear.count({21, 11, 1}));
}

TEST_F(ShapeTools, AParallelogramHasItsFourthCornerOppositeTheSecond)
{
    ParallelogramTool::Draw(target, P(2, 3, 2), P(20, 3, 2), P(26, 3, 12), kRed);
    const std::set<Cell> cells = CellsOf(kRed);
    EXPECT_TRUE(cells.count({2, 3, 2}) && cells.count({20, 3, 2}) && cells.count({26, 3, 12}) && cells.count({8, 3, 12}));
    EXPECT_TRUE(cells.count({14, 3, 7})) << "the middle";
    EXPECT_FALSE(cells.count({3, 3, 11})) << "outside its slanted side";
}

TEST_F(ShapeTools, RingsTakeFourPiRSamplesAndDiscsFillTheirCircle)
{
    for (float r : {1.0f, 7.5f, 100.0f})
    {
        const std::vector<PimVector3> samples = CircleSamples::Around({0, 0, 0}, {r, 0, 0}, {0, 0, 1});
        EXPECT_EQ(samples.size(), static_cast<std::size_t>(std::ceil(4.0f * PimAngle::Pi * r)));
        for (std::size_t i = 1; i < samples.size(); ++i)
            EXPECT_LE(samples[i].Distance(samples[i - 1]), 0.5f + 1e-3f);
        EXPECT_NEAR(samples.front().x, r, 1e-4f) << "the first sample lies towards the radius point";
    }
    // Centre (30, 5, 30), plane x-z (through p2), radius 10 towards p3.
    RingTool::Draw(target, P(30, 5, 30), P(30, 5, 45), P(40, 5, 30), kRed);
    const std::set<Cell> ring = CellsOf(kRed);
    EXPECT_TRUE(ring.count({40, 5, 30}) && ring.count({20, 5, 30}) && ring.count({30, 5, 40}) && ring.count({30, 5, 20}));
    EXPECT_FALSE(ring.count({30, 5, 30})) << "a ring is hollow";
    for (const Cell& cell : ring)
    {
        const float dx = std::get<0>(cell) - 30.0f, dz = std::get<2>(cell) - 30.0f;
        EXPECT_NEAR(std::sqrt(dx * dx + dz * dz), 10.0f, 1.5f);
        EXPECT_EQ(std::get<1>(cell), 5);
    }
    Open({0, 0, 0});
    DiscTool::Draw(target, P(30, 5, 30), P(30, 5, 45), P(40, 5, 30), kRed);
    const std::set<Cell> disc = CellsOf(kRed);
    for (int z = 22; z <= 38; ++z)
        for (int x = 22; x <= 38; ++x)
        {
            if ((x - 30) * (x - 30) + (z - 30) * (z - 30) <= 64)
            {
                EXPECT_TRUE(disc.count({x, 5, z})) << x << ", " << z;
            }
        }
    // Three points in a row fix no plane: nothing is written.
    const std::uint64_t writes = target.GetWriteCount();
    EXPECT_FALSE(RingTool::Draw(target, P(10, 5, 10), P(12, 5, 10), P(20, 5, 10), kRed));
    EXPECT_FALSE(DiscTool::Draw(target, P(10, 5, 10), P(12, 5, 10), P(20, 5, 10), kRed));
    EXPECT_EQ(target.GetWriteCount(), writes);
}

TEST_F(ShapeTools, ThePreviewShowsEachToolsShapeThroughTheCursor)
{
    const auto tool = [](ToolId id) { return static_cast<std::uint32_t>(id); };
    const PimVector3 cursor(10.2f, 0.5f, 3.7f);
    const std::vector<PimVector3> one{P(2, 0, 3)};
    const std::vector<PimVector3> two{P(2, 0, 3), P(8, 0, 3)};
    const PimVector3 c1(2.5f, 0.5f, 3.5f), c2(8.5f, 0.5f, 3.5f);
    EXPECT_TRUE(ShapePreview::StripPoints(tool(ToolId::LineTool), {}, cursor).empty());
    EXPECT_EQ(ShapePreview::StripPoints(tool(ToolId::LineTool), one, cursor), (std::vector<PimVector3>{cursor, c1}));
    EXPECT_EQ(ShapePreview::StripPoints(tool(ToolId::MagicTriangle), two, cursor), (std::vector<PimVector3>{c2, cursor, c1}));
    EXPECT_EQ(ShapePreview::StripPoints(tool(ToolId::MagicQuad), two, cursor),
              (std::vector<PimVector3>{c2, cursor, cursor - c2 + c1, c1, c2}));
    const std::vector<PimVector3> circle = ShapePreview::StripPoints(tool(ToolId::MagicRing), two, cursor);
    ASSERT_GT(circle.size(), 2u);
    EXPECT_EQ(circle[0], c1);
    EXPECT_EQ(circle[1], cursor);
    EXPECT_NEAR(circle[2].Distance(cursor), 0.0f, 1e-3f) << "the circle passes through the cursor";
    EXPECT_TRUE(ShapePreview::StripPoints(tool(ToolId::SingleVoxel), two, cursor).empty());
}
}
