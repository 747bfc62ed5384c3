#include "world/TerrainRandom.h"
#include "world/WorldParameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(WorldParameters, MissingIdentifierReadsZeroAndTheFirstEntryWins)
{
    const WorldParameterList list = {
        {7, 12.5f, {1, 2, 3}},
        {3, -4.0f, {}},
        {7, 99.0f, {}},
    };
    EXPECT_EQ(ReadWorldParameter(list, 7), 12.5f);
    EXPECT_EQ(ReadWorldParameterInt(list, 7), 12);
    EXPECT_EQ(FindWorldParameter(list, 7), &list[0]);
    EXPECT_EQ(ReadWorldParameter(list, 8), 0.0f);
    EXPECT_EQ(ReadWorldParameterInt(list, 8), 0);
    EXPECT_EQ(FindWorldParameter(list, 8), nullptr);
    EXPECT_EQ(ReadWorldParameterInt({}, 0), 0);
}

TEST(WorldParameters, TruncationGoesTowardZeroAndSaturates)
{
    EXPECT_EQ(TruncateToInt(2.99), 2);
    EXPECT_EQ(TruncateToInt(-2.99), -2);
    EXPECT_EQ(TruncateToInt(-0.5), 0);
    // Figures no 32-bit integer holds must not make the conversion undefined.
    EXPECT_EQ(TruncateToInt(1e20), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(TruncateToInt(-1e20), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(TruncateToInt(std::nan("")), 0);
    EXPECT_EQ(TruncateToInt(INFINITY), std::numeric_limits<std::int32_t>::max());
}

TEST(WorldParameters, DefaultListDescribesAFlatWorld)
{
    const WorldParameterList list = DefaultWorldParameters();
    ASSERT_EQ(list.size(), 5u);
    const std::uint32_t order[] = {0, 10, 11, 9, 14};
    for (std::size_t i = 0; i < list.size(); ++i)
        EXPECT_EQ(list[i].id, order[i]);
    EXPECT_EQ(ReadWorldParameterInt(list, WorldParameterId::TerrainType), static_cast<int>(TerrainType::Flat));
    EXPECT_EQ(FindWorldParameter(list, WorldParameterId::FlatFillMode)->extra[2], 2.0f);
}

TEST(TerrainRandom, SameSeedSameFiguresOnEveryRun)
{
    TerrainRandom a(1234);
    TerrainRandom b(1234);
    TerrainRandom other(1235);
    int differences = 0;
    for (int i = 0; i < 1000; ++i)
    {
        const std::int32_t figure = a.Next();
        EXPECT_GE(figure, 0);
        EXPECT_EQ(figure, b.Next());
        differences += figure != other.Next();
    }
    EXPECT_GT(differences, 990);

    // Reseeding restarts the sequence.
    TerrainRandom c(1234);
    const std::int32_t first = c.Next();
    c.Next();
    c.Seed(1234);
    EXPECT_EQ(c.Next(), first);
}

TEST(TerrainRandom, BelowStaysInRangeAndNeverDividesByZero)
{
    TerrainRandom random(7);
    bool seen[3] = {};
    for (int i = 0; i < 300; ++i)
    {
        const std::int32_t figure = random.Below(3);
        ASSERT_GE(figure, 0);
        ASSERT_LT(figure, 3);
        seen[figure] = true;
    }
    EXPECT_TRUE(seen[0] && seen[1] && seen[2]);
    EXPECT_EQ(random.Below(0), 0);
    EXPECT_EQ(random.Below(-5), 0);
    EXPECT_EQ(random.Below(1), 0);
}
