#include "engine/PimAngle.h"
#include "engine/PimAssert.h"
#include "engine/PimColor.h"
#include "engine/PimMathFunctions.h"
#include "engine/PimVector2.h"
#include "engine/PimVector3.h"
#include "engine/PimVector4.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace
{
void ExpectNear(const PimVector3& actual, const PimVector3& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

std::uint32_t Bits(float f) { return std::bit_cast<std::uint32_t>(f); }

// The voxel ray walk of the shape tools and locomotion, built only from the helpers under test:
// from p towards q, one boundary crossing per step. Returns the cells passed through.
std::vector<PimVector3> WalkCells(const PimVector3& p, const PimVector3& q)
{
    const float length = (q - p).Length();
    const PimVector3 d = (q - p) / length;
    const PimVector3 endCell = q.Integerize();
    std::vector<PimVector3> cells{p.Integerize()};
    PimVector3 current = p;
    for (int k = 0; k <= 1000; ++k)
    {
        const PimVector3 next = current.IntegerizeInDirection(d);
        const PimVector3 delta = next - current;
        const int axis = (delta / d).SmallestNonZeroDimension();
        float deltaOnAxis = delta[axis];
        if (deltaOnAxis == 0.0f)
            deltaOnAxis = std::numeric_limits<float>::min();
        float f = PimMathFunctions::SafeDivision(d[axis], deltaOnAxis);
        if (f == 0.0f)
            f = std::numeric_limits<float>::min();
        current += d / std::fabs(f);
        cells.push_back(current.Integerize());
        if (cells.back() == endCell || current.DistanceSquared(p) >= 1.1f * length * length)
            break;
    }
    return cells;
}
}

TEST(PimVector3, IntegerizeMapsAPointToTheVoxelContainingIt)
{
    EXPECT_EQ(PimVector3(-0.5f, 31.999f, 32.0f).Integerize(), PimVector3(-1, 31, 32));
    EXPECT_EQ(PimVector3(-3.0f, 0.0f, 7.0f).Integerize(), PimVector3(-3, 0, 7));
    EXPECT_EQ(PimVector3(-1e-7f, 0.9999999f, -31.999f).Integerize(), PimVector3(-1, 0, -32));
    // Voxel centres map to their own voxel, on both sides of zero.
    EXPECT_EQ(PimVector3(5.5f, -5.5f, 0.5f).Integerize(), PimVector3(5, -6, 0));
    // Chunk origin of a world position: Integerize(p / 32) * 32.
    EXPECT_EQ((PimVector3(63.9f, 511.99f, 32768.0f - 0.01f) / 32.0f).Integerize() * 32.0f,
              PimVector3(32, 480, 32736));
}

TEST(PimVector2, IntegerizeFloorsNegativeWindowOrigins)
{
    // A viewer near the world's corner streams from a negative position (viewer - 512).
    const PimVector2 stream(100.0f - 512.0f, 32.0f - 512.0f);
    EXPECT_EQ((stream / 32.0f).Integerize(), PimVector2(-13, -15));
    EXPECT_EQ(PimVector2(-0.5f, 31.999f).Integerize(), PimVector2(-1, 31));
}

TEST(PimVector3, IntegerizeInDirectionGivesTheNextBoundaryStrictlyAhead)
{
    const PimVector3 positive(1, 1, 1), negative(-1, -1, -1);
    EXPECT_EQ(PimVector3(3.0f, 3.5f, -0.5f).IntegerizeInDirection(positive), PimVector3(4, 4, 0));
    EXPECT_EQ(PimVector3(3.0f, 3.5f, -0.5f).IntegerizeInDirection(negative), PimVector3(2, 3, -1));
    EXPECT_EQ(PimVector3(-1.0f, 0.0f, 31.999f).IntegerizeInDirection(negative), PimVector3(-2, -1, 31));
    EXPECT_EQ(PimVector3(-1.0f, 0.0f, 31.999f).IntegerizeInDirection(positive), PimVector3(0, 1, 32));
    // No movement on an axis: no boundary ahead, the coordinate stays.
    EXPECT_EQ(PimVector3(2.25f, -7.5f, 9.0f).IntegerizeInDirection(PimVector3(0.3f, 0.0f, -0.0f)),
              PimVector3(3.0f, -7.5f, 9.0f));
}

TEST(PimVector3, SmallestNonZeroAndLargestDimensionCompareMagnitudes)
{
    EXPECT_EQ(PimVector3(0.0f, 2.0f, 1.0f).SmallestNonZeroDimension(), 2);
    EXPECT_EQ(PimVector3(-0.5f, 2.0f, 1.0f).SmallestNonZeroDimension(), 0);
    EXPECT_EQ(PimVector3(NAN, 3.0f, 0.0f).SmallestNonZeroDimension(), 1);
    EXPECT_EQ(PimVector3(1.0f, 1.0f, 2.0f).SmallestNonZeroDimension(), 1);
    EXPECT_EQ(PimVector3(0.0f, -0.0f, NAN).SmallestNonZeroDimension(), 0);

    EXPECT_EQ(PimVector3(-5.0f, 1.0f, 2.0f).LargestDimension(), 0);
    EXPECT_EQ(PimVector3(3.0f, -3.0f, 0.0f).LargestDimension(), 1);
    EXPECT_EQ(PimVector3(2.0f, 2.0f, -2.0f).LargestDimension(), 2);
    EXPECT_EQ(PimVector3(NAN, 1.0f, 0.0f).LargestDimension(), 1);
    // The plane fill's normal: three points in the plane z = 4.
    const PimVector3 p1(1, 2, 4), p2(6, 2, 4), p3(1, 9, 4);
    EXPECT_EQ((p2 - p1).Cross(p3 - p1).LargestDimension(), 2);
    EXPECT_EQ((p3 - p1).Cross(p2 - p1).LargestDimension(), 2);
}

TEST(PimVector3, DimensionsTheSameCountsExactlyEqualCoordinates)
{
    const PimVector3 a(1, 2, 3);
    EXPECT_TRUE(a.DimensionsTheSame_AtLeast(PimVector3(1, 5, 6), 1));
    EXPECT_FALSE(a.DimensionsTheSame_AtLeast(PimVector3(1, 5, 6), 2));
    EXPECT_FALSE(a.DimensionsTheSame_AtLeast(PimVector3(7, 8, 9), 1));
    EXPECT_FALSE(a.DimensionsTheSame_AtLeast(PimVector3(1.0001f, 2.0001f, 3.0001f), 1));
    EXPECT_TRUE(a.DimensionsTheSame_AtLeast(PimVector3(9, 2, 3), 2));
    EXPECT_TRUE(a.DimensionsTheSame_AtLeast(a, 3));
    EXPECT_TRUE(a.DimensionsTheSame_AtLeast(PimVector3(7, 8, 9), 0));
    EXPECT_TRUE(PimVector3(0.0f, 1, 1).DimensionsTheSame_AtLeast(PimVector3(-0.0f, 5, 5), 1));
}

TEST(PimVector3, VoxelWalkBuiltOnTheHelpersReachesTheEndWithoutGaps)
{
    const PimVector3 cases[][2] = {
        {{0.5f, 0.5f, 0.5f}, {5.5f, 2.5f, 0.5f}},
        {{5.5f, 2.5f, 0.5f}, {0.5f, 0.5f, 0.5f}},
        {{-3.5f, 0.5f, -7.5f}, {2.5f, -1.5f, 3.5f}},
        {{0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, -9.5f}},     // two axes without movement
        {{0.5f, 0.5f, 0.5f}, {3.5f, 3.5f, 3.5f}},       // through voxel corners
        {{10.0f, 4.0f, 2.0f}, {2.25f, 7.75f, 2.0f}},    // starting on a boundary
    };
    for (const auto& c : cases)
    {
        const std::vector<PimVector3> cells = WalkCells(c[0], c[1]);
        SCOPED_TRACE(c[0].ToString() + " -> " + c[1].ToString());
        ASSERT_EQ(cells.back(), c[1].Integerize());
        const PimVector3 span = c[1].Integerize() - c[0].Integerize();
        EXPECT_LE(cells.size(), std::size_t(std::fabs(span.x) + std::fabs(span.y) + std::fabs(span.z) + 3));
        for (std::size_t i = 1; i < cells.size(); ++i)
        {
            const PimVector3 step = cells[i] - cells[i - 1];
            EXPECT_LE(std::fabs(step.x), 1.0f);
            EXPECT_LE(std::fabs(step.y), 1.0f);
            EXPECT_LE(std::fabs(step.z), 1.0f);
        }
    }
}

TEST(PimVector3, TextFormRoundTripsEveryFloatExactly)
{
    EXPECT_EQ(PimVector3(1.5f, -2.0f, 0.25f).ToString(), "1.5, -2, 0.25");

    const float awkward[] = {0.1f,
                             1.0f / 3.0f,
                             -0.0f,
                             std::numeric_limits<float>::denorm_min(),
                             std::numeric_limits<float>::min(),
                             std::numeric_limits<float>::max(),
                             -std::numeric_limits<float>::max(),
                             16777217.0f,
                             0.2627451f,
                             0.19607843f,
                             123456.789f,
                             1e20f,
                             -4.371139e-08f};
    for (float a : awkward)
        for (float b : {0.0f, -1.75f, 32767.9f})
        {
            const PimVector3 v(a, b, -a);
            const PimVector3 back = PimVector3::FromString(v.ToString());
            EXPECT_EQ(Bits(back.x), Bits(v.x)) << v.ToString();
            EXPECT_EQ(Bits(back.y), Bits(v.y)) << v.ToString();
            EXPECT_EQ(Bits(back.z), Bits(v.z)) << v.ToString();
        }
}

TEST(PimVector3, TextReaderAcceptsSpacesAndRejectsEverythingElse)
{
    EXPECT_EQ(PimVector3::Parse("  1 ,2,\t3 \n"), PimVector3(1, 2, 3));
    EXPECT_EQ(PimVector3::Parse("1e3,-0.5e-2,.5"), PimVector3(1000.0f, -0.005f, 0.5f));

    const std::string malformed[] = {"", "   ", "1,2", "1,2,3,4", "1,2,3,", ",1,2", "a,b,c", "1,,3",
                                     "1;2;3", "1 2 3", "1 1,2,3", "nan,0,0", "0,inf,0", "0,0,-inf",
                                     "1e39,0,0", "0x10,0,0", "+1,2,3", "1.5f,2,3", "(1,2,3)",
                                     std::string("1\0,2,3", 6), std::string(5000, '9') + ",0,0"};
    for (const std::string& text : malformed)
    {
        EXPECT_FALSE(PimVector3::Parse(text).has_value()) << text.substr(0, 40);
        EXPECT_EQ(PimVector3::FromString(text), PimVector3()) << text.substr(0, 40);
    }
}

TEST(PimVector3, BadAxisIndexIsReportedAndChangesNothing)
{
    const unsigned long before = PimAssert::GetFailureCount();
    PimVector3 v(1, 2, 3);
    v[1] = 5.0f;
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_EQ(v[2], 3.0f);
    EXPECT_EQ(PimAssert::GetFailureCount(), before);
    EXPECT_EQ(v[3], 0.0f);
    EXPECT_EQ(std::as_const(v)[3], 0.0f);
    v[-1] = 9.0f;
    EXPECT_EQ(v, PimVector3(1, 5, 3));
    EXPECT_EQ(PimAssert::GetFailureCount(), before + 3);
}

TEST(PimVector3, NormalizeAndCrossProduct)
{
    ExpectNear(PimVector3(3, 0, -4).Normalized(), PimVector3(0.6f, 0, -0.8f));
    EXPECT_EQ(PimVector3().Normalized(), PimVector3());
    EXPECT_EQ(PimVector3(1, 0, 0).Cross(PimVector3(0, 1, 0)), PimVector3(0, 0, 1));
    EXPECT_EQ(PimVector3(0, 1, 0).Cross(PimVector3(0, 0, 1)), PimVector3(1, 0, 0));
    EXPECT_FLOAT_EQ(PimVector3(1, 2, 2).Distance(PimVector3(1, 2, -1)), 3.0f);
}

TEST(PimVector4, NormalizeScalesTheDirectionAndKeepsW)
{
    // The world light: direction from the angle, then its intensity in w.
    PimVector4 light(std::sin(0.0f), -std::cos(0.0f), 0.0f, 0.7f);
    light.Normalize();
    EXPECT_EQ(light, PimVector4(0, -1, 0, 0.7f));

    PimVector4 v(3, 0, 4, 2);
    v.Normalize();
    EXPECT_NEAR(v.x, 0.6f, 1e-6f);
    EXPECT_NEAR(v.z, 0.8f, 1e-6f);
    EXPECT_EQ(v.w, 2.0f);

    PimVector4 zero(0, 0, 0, 5);
    zero.Normalize();
    EXPECT_EQ(zero, PimVector4(0, 0, 0, 5));
}

TEST(PimMathFunctions, SafeDivisionGivesZeroForAZeroDivisor)
{
    EXPECT_EQ(PimMathFunctions::SafeDivision(1.0f, 0.0f), 0.0f);
    EXPECT_EQ(PimMathFunctions::SafeDivision(-1.0f, -0.0f), 0.0f);
    EXPECT_EQ(PimMathFunctions::SafeDivision(0.0f, 0.0f), 0.0f);
    EXPECT_EQ(PimMathFunctions::SafeDivision(6.0f, 3.0f), 2.0f);
    EXPECT_EQ(PimMathFunctions::SafeDivision(-1.0f, 4.0f), -0.25f);
    EXPECT_TRUE(std::isfinite(PimMathFunctions::SafeDivision(1.0f, std::numeric_limits<float>::min())));
}

TEST(PimAngle, ConvertsUnitsAndWrapsIntoHalfOpenHalfTurn)
{
    EXPECT_FLOAT_EQ(PimAngle::Pi, 3.14159265f);
    EXPECT_EQ(PimAngle::FromDegrees(180).GetRadians(), PimAngle::Pi);
    EXPECT_NEAR(PimAngle::FromRadians(PimAngle::Pi / 2).GetDegrees(), 90.0f, 1e-4f);
    EXPECT_NEAR((PimAngle::FromDegrees(30) - PimAngle::FromDegrees(45)).GetDegrees(), -15.0f, 1e-4f);

    const float cases[][2] = {{190, -170}, {-190, 170}, {180, 180}, {-180, 180}, {540, 180},
                              {360, 0},    {-15, -15},  {725, 5},   {0, 0}};
    for (const auto& c : cases)
        EXPECT_NEAR(PimAngle::FromDegrees(c[0]).Wrapped().GetDegrees(), c[1], 1e-3f) << c[0];
    // A grab ring turned across the seam: from 170 to -170 degrees is +20, not -340.
    const PimAngle start = PimAngle::FromRadians(std::atan2(0.17364818f, -0.98480775f));
    const PimAngle now = PimAngle::FromRadians(std::atan2(-0.17364818f, -0.98480775f));
    EXPECT_NEAR((now - start).Wrapped().GetDegrees(), 20.0f, 1e-3f);
    EXPECT_NEAR((start - now).Wrapped().GetDegrees(), -20.0f, 1e-3f);
}

TEST(PimColor, FloatChannelsClampAndRoundToTheNearestByte)
{
    // The default hand colour is stored as bytes / 255 and must come back as those bytes.
    PimColor hand(0, 0, 0, 10);
    hand.SetColorFloat3(PimVector3(0.2627451f, 0.19607843f, 0.09803922f));
    EXPECT_EQ(hand, PimColor(67, 50, 25, 10));

    EXPECT_EQ(PimColor::FromFloat3(-0.5f, 1.5f, NAN), PimColor(0, 255, 0, 255));
    EXPECT_EQ(PimColor::FromFloat3(0.5f, 0.3f, 0.8f), PimColor(128, 77, 204));
    EXPECT_EQ(PimColor::FromFloat3(0.49f / 255.0f, 254.51f / 255.0f, 1.0f), PimColor(0, 255, 255));

    for (int byte = 0; byte < 256; ++byte)
    {
        const PimColor c(std::uint8_t(byte), std::uint8_t(255 - byte), std::uint8_t(byte), std::uint8_t(byte));
        PimColor back;
        const PimVector4 f = c.GetColorFloat4();
        back.SetColorFloat4(f.x, f.y, f.z, f.w);
        ASSERT_EQ(back, c) << byte;
    }
}

TEST(PimColor, DistanceIsEuclideanOverRgbInUnitsOfAFullChannel)
{
    const PimColor black(0, 0, 0), white(255, 255, 255), red(255, 0, 0);
    EXPECT_EQ(black.GetDistance(black), 0.0f);
    EXPECT_EQ(black.GetDistance(red), 1.0f);   // not below 1.0: never taken as a palette match
    EXPECT_FLOAT_EQ(black.GetDistance(white), std::sqrt(3.0f));
    EXPECT_FLOAT_EQ(PimColor(10, 20, 30).GetDistance(PimColor(13, 24, 30)), 5.0f / 255.0f);
    EXPECT_EQ(PimColor(10, 20, 30).GetDistance(PimColor(13, 24, 30)),
              PimColor(13, 24, 30).GetDistance(PimColor(10, 20, 30)));
    EXPECT_EQ(PimColor(10, 20, 30, 0).GetDistance(PimColor(10, 20, 30, 255)), 0.0f);
}
