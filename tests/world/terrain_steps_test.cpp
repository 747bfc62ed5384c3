#include "world/TerrainSteps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using namespace TerrainSteps;

namespace
{
bool InsideWalkDisc(int x, int z, int width)
{
    const long long c = width / 2;
    return (x - c) * (x - c) + (z - c) * (z - c) <= c * c - 10;
}
}

TEST(TerrainSteps, WalkReentersOnTheFarSide)
{
    const int width = 100;
    EXPECT_EQ(WrapStep(-1, 1, width), width - 2);
    EXPECT_EQ(WrapStep(width - 1, 1, width), 0);
    EXPECT_EQ(WrapStep(0, 1, width), 0);
    EXPECT_EQ(WrapStep(width - 2, 1, width), width - 2);
    // With a brush of 3 the square still fits the map after the re-entry.
    EXPECT_EQ(WrapStep(-3, 3, width), width - 6);
    EXPECT_EQ(WrapStep(width - 3, 3, width), 0);
    EXPECT_EQ(WrapStep(width - 1, 3, width), 2);
}

TEST(TerrainSteps, WalksRaiseInsideTheDiscAndLowerOutsideIt)
{
    HeightMap map;
    map.Resize(40, 40, 7);
    TerrainRandom random(99);
    for (int walk = 0; walk < 200; ++walk)
        WalkStamp(map, 200, 1, random);

    int raised = 0;
    int lowered = 0;
    for (int z = 0; z < 40; ++z)
        for (int x = 0; x < 40; ++x)
        {
            const std::uint16_t h = map.At(x, z);
            ASSERT_TRUE(h == 7 || h == 0 || h == kWalkHeight) << x << "," << z << ": " << h;
            if (h == kWalkHeight)
            {
                EXPECT_TRUE(InsideWalkDisc(x, z, 40)) << x << "," << z;
                ++raised;
            }
            if (h == 0)
            {
                EXPECT_FALSE(InsideWalkDisc(x, z, 40)) << x << "," << z;
                ++lowered;
            }
        }
    EXPECT_GT(raised, 100);
    EXPECT_GT(lowered, 10);
}

TEST(TerrainSteps, WalksOnMapsSmallerThanTheBrushStayHarmless)
{
    TerrainRandom random(3);
    for (int side = 1; side <= 4; ++side)
    {
        HeightMap map;
        map.Resize(side, side + 1, 9);
        WalkStamp(map, 500, 3, random);
        WalkStamp(map, -5, 1, random);
        EXPECT_EQ(map.Samples().size(), static_cast<std::size_t>(side * (side + 1)));
    }
    HeightMap empty;
    WalkStamp(empty, 100, 1, random);
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(TerrainSteps, DiscPointsStayInsideTheMapAroundTheCentre)
{
    TerrainRandom random(5);
    const int width = 64;
    bool quadrant[4] = {};
    for (int i = 0; i < 2000; ++i)
    {
        int x = -1;
        int z = -1;
        PickDiscPoint(width, random, x, z);
        const int dx = x - width / 2;
        const int dz = z - width / 2;
        // Radius below W / 2, and truncation moves a point by less than one sample per axis.
        ASSERT_LE(std::sqrt(dx * dx + dz * dz), width / 2 + 1.5) << x << "," << z;
        ASSERT_TRUE(x >= 0 && x < width && z >= 0 && z < width);
        quadrant[(dx >= 0 ? 1 : 0) + (dz >= 0 ? 2 : 0)] = true;
    }
    EXPECT_TRUE(quadrant[0] && quadrant[1] && quadrant[2] && quadrant[3]);
}

TEST(TerrainSteps, SmoothingWrapsAlongXAndClampsAlongZ)
{
    HeightMap map;
    map.Resize(4, 3, 0);
    map.Set(0, 0, 900);
    HeightMap weighted = map;
    SmoothMap(map, 1, 1);
    // Row 0 counts itself twice (clamped above); column 3 sees column 0 as its neighbour.
    EXPECT_EQ(map.At(0, 0), 200);
    EXPECT_EQ(map.At(1, 0), 200);
    EXPECT_EQ(map.At(3, 0), 200);
    EXPECT_EQ(map.At(2, 0), 0);
    EXPECT_EQ(map.At(0, 1), 100);
    EXPECT_EQ(map.At(3, 1), 100);
    EXPECT_EQ(map.At(0, 2), 0);

    // A weight of 3 adds the sample twice more and divides by 11.
    SmoothMap(weighted, 1, 3);
    EXPECT_EQ(weighted.At(0, 0), (1800 + 1800) / 11);
    EXPECT_EQ(weighted.At(1, 0), 1800 / 11);

    // A second pass smooths the first pass's result, not the original.
    SmoothMap(map, 1, 1);
    EXPECT_EQ(map.At(2, 0), (200 + 200 + 200 + 200 + 100 + 100) / 9);
}

TEST(TerrainSteps, SmoothingKeepsAnEvenMapAndSkipsZeroPasses)
{
    HeightMap map;
    map.Resize(5, 5, 321);
    SmoothMap(map, 4, 1);
    for (std::uint16_t h : map.Samples())
        EXPECT_EQ(h, 321);
    map.Set(2, 2, 0);
    SmoothMap(map, 0, 1);
    SmoothMap(map, -3, 1);
    EXPECT_EQ(map.At(2, 2), 0);
}

TEST(TerrainSteps, WavyLinesRiseTowardTheFarEdgeAndFallTowardTheNear)
{
    HeightMap preview;
    preview.Resize(60, 200, 0);
    TerrainRandom random(11);
    DrawWavyLines(preview, random);
    for (int x = 0; x < 60; ++x)
    {
        // The lines keep to their fifths of the map; row 0 and the middle keep the fill.
        EXPECT_EQ(preview.At(x, 0), 50) << x;
        EXPECT_EQ(preview.At(x, 100), 50) << x;
        EXPECT_LE(preview.At(x, 1), 50) << x;
        EXPECT_GE(preview.At(x, 199), 50) << x;
        for (int z = 2; z < 200; ++z)
            ASSERT_GE(preview.At(x, z), preview.At(x, z - 1)) << x << "," << z;
    }
}
