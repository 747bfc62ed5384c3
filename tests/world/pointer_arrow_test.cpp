#include "world/PointerArrow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <tuple>

namespace
{
using Point = std::tuple<float, float, float>;

Point Key(const PimVector3& v)
{
    return {v.x, v.y, v.z};
}

// Volume enclosed by the triangles, positive when they are wound counter-clockwise from outside.
double SignedVolume(const ArrowSlab& slab)
{
    double volume = 0.0;
    for (std::size_t i = 0; i < slab.indices.size(); i += 3)
    {
        const PimVector3& a = slab.vertices[slab.indices[i]].position;
        const PimVector3& b = slab.vertices[slab.indices[i + 1]].position;
        const PimVector3& c = slab.vertices[slab.indices[i + 2]].position;
        volume += static_cast<double>(a.Dot(b.Cross(c))) / 6.0;
    }
    return volume;
}
} // namespace

TEST(ArrowSlab, IsClosedAndWoundInwardsAllRound)
{
    for (const float size : {PointerArrow::kArrowSize, PointerArrow::kRimSize, 2.0f})
    {
        const ArrowSlab slab = ArrowSlab::Make(size, PimColor(1, 2, 3));
        ASSERT_EQ(slab.indices.size() % 3, 0u);
        // Closed and consistently wound: every edge a -> b of a triangle is met by exactly one edge
        // b -> a of another (corners are compared by position, since faces have their own).
        std::map<std::pair<Point, Point>, int> edges;
        for (std::size_t i = 0; i < slab.indices.size(); i += 3)
            for (int e = 0; e < 3; ++e)
            {
                const PimVector3& from = slab.vertices[slab.indices[i + e]].position;
                const PimVector3& to = slab.vertices[slab.indices[i + (e + 1) % 3]].position;
                ++edges[{Key(from), Key(to)}];
            }
        for (const auto& [edge, count] : edges)
        {
            EXPECT_EQ(count, 1) << "edge used twice the same way";
            const auto back = edges.find({edge.second, edge.first});
            EXPECT_TRUE(back != edges.end() && back->second == 1) << "open edge in the slab of size " << size;
        }
        // Outline area 0.3 s^2 times thickness 0.2 s, wound clockwise from outside.
        EXPECT_NEAR(SignedVolume(slab), -0.06 * size * size * size, 1e-5 * size * size * size);

        for (const PimMeshVertex& vertex : slab.vertices)
        {
            EXPECT_EQ(vertex.color, PimColor(1, 2, 3));
            EXPECT_EQ(vertex.normal, PimVector3());
            EXPECT_EQ(vertex.light, 1.0f);
            EXPECT_LE(std::fabs(vertex.position.y), 0.1f * size + 1e-6f);
        }
    }
}

TEST(ArrowSlab, PointsAlongPlusXWithItsTipAtHalfTheSize)
{
    const ArrowSlab slab = ArrowSlab::Make(2.0f, PimColor());
    float tip = -10.0f;
    float tail = 10.0f;
    float halfWidth = 0.0f;
    for (const PimMeshVertex& vertex : slab.vertices)
    {
        tip = std::max(tip, vertex.position.x);
        tail = std::min(tail, vertex.position.x);
        halfWidth = std::max(halfWidth, vertex.position.z);
    }
    EXPECT_FLOAT_EQ(tip, 1.0f);
    EXPECT_FLOAT_EQ(tail, -1.0f);
    EXPECT_FLOAT_EQ(halfWidth, 0.6f);
}

TEST(PointerArrow, PulsesOnceASecond)
{
    constexpr float kTurn = 2.0f * std::numbers::pi_v<float>;
    EXPECT_NEAR(PointerArrow::AdvancePhase(0.0f, 250.0), kTurn / 4.0f, 1e-6f);
    EXPECT_NEAR(PointerArrow::AdvancePhase(6.0f, 100.0), 6.0f + kTurn / 10.0f - kTurn, 1e-5f);
    // A long stall (a loading pause) still lands inside one turn.
    EXPECT_NEAR(PointerArrow::AdvancePhase(0.0f, 2500.0), kTurn / 2.0f, 1e-5f);
    const float whole = PointerArrow::AdvancePhase(1.0f, 1000.0);
    EXPECT_NEAR(whole, 1.0f, 1e-5f);
    for (const double ms : {0.0, 999.999, 1e9, -300.0})
    {
        const float phase = PointerArrow::AdvancePhase(3.0f, ms);
        EXPECT_GE(phase, 0.0f);
        EXPECT_LT(phase, kTurn);
    }
}
