#include "world/ChunkRuns.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace
{
using Codes = std::array<std::uint16_t, ChunkRuns::kVoxelCount>;

Codes RoundTrip(const Codes& codes)
{
    Codes back;
    back.fill(0xABCD);
    ChunkRuns::Make(codes.data())->CopyTo(back.data());
    return back;
}
}

TEST(ChunkRuns, LayeredAndEdgeCasesComeBackExactlyAndStaySmall)
{
    // Terrain: rock below a surface that varies per column, water above it to y 20, air above.
    Codes terrain{};
    for (int y = 0; y < 32; ++y)
        for (int z = 0; z < 32; ++z)
            for (int x = 0; x < 32; ++x)
            {
                const int surface = 10 + (x * 3 + z) % 7;
                terrain[static_cast<std::size_t>((y * 32 + z) * 32 + x)] =
                    static_cast<std::uint16_t>(y < surface ? 3 : y < 20 ? 9 : 0);
            }
    EXPECT_EQ(RoundTrip(terrain), terrain);
    EXPECT_LT(ChunkRuns::Make(terrain.data())->GetBytes(), 65536u / 4);

    // Runs ending at the first and last voxel, at a row's end and across rows.
    Codes edges{};
    edges[0] = 5;
    edges[31] = 6;
    edges[32] = 6;
    edges[32767] = 7;
    const auto runs = ChunkRuns::Make(edges.data());
    EXPECT_EQ(RoundTrip(edges), edges);
    EXPECT_EQ(runs->GetBytes(), 5 * sizeof(ChunkRuns::Run));
    EXPECT_TRUE(runs->Contains(7));
    EXPECT_TRUE(runs->Contains(0));
    EXPECT_FALSE(runs->Contains(154));
    std::uint16_t code = 0;
    EXPECT_FALSE(runs->IsUniform(code));

    Codes water;
    water.fill(9);
    const auto uniform = ChunkRuns::Make(water.data());
    ASSERT_TRUE(uniform->IsUniform(code));
    EXPECT_EQ(code, 9);
    EXPECT_EQ(RoundTrip(water), water);
}

TEST(ChunkRuns, NoiseKeepsItsCodesNoLargerThanTheChunk)
{
    Codes noise;
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<std::uint16_t>(i * 2654435761u >> 16);
    const auto copy = ChunkRuns::Make(noise.data());
    EXPECT_EQ(copy->GetBytes(), 65536u);
    EXPECT_EQ(RoundTrip(noise), noise);
    std::uint16_t code = 0;
    EXPECT_FALSE(copy->IsUniform(code));
    EXPECT_TRUE(copy->Contains(noise[12345]));

    // Exactly at the limit of runs it still keeps runs; one more and it keeps the codes.
    Codes alternating{};
    for (std::size_t i = 0; i + 1 < ChunkRuns::kMaxRuns; ++i)
        alternating[i] = static_cast<std::uint16_t>(i % 2 + 1);
    EXPECT_EQ(RoundTrip(alternating), alternating);
    EXPECT_LE(ChunkRuns::Make(alternating.data())->GetBytes(), ChunkRuns::kMaxRuns * sizeof(ChunkRuns::Run));
}
