#include "world/TerrainRandom.h"

namespace
{
constexpr std::uint64_t kMultiplier = 6364136223846793005ull;
// The stream is fixed: the seed alone picks the sequence.
constexpr std::uint64_t kIncrement = 1442695040888963407ull;
}

void TerrainRandom::Seed(std::uint32_t seed)
{
    state = 0;
    NextRaw();
    state += seed;
    NextRaw();
}

std::uint32_t TerrainRandom::NextRaw()
{
    const std::uint64_t old = state;
    state = old * kMultiplier + kIncrement;
    const auto shifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rotation = static_cast<std::uint32_t>(old >> 59u);
    return (shifted >> rotation) | (shifted << ((32u - rotation) & 31u));
}

std::int32_t TerrainRandom::Next()
{
    return static_cast<std::int32_t>(NextRaw() >> 1u);
}

std::int32_t TerrainRandom::Below(std::int32_t n)
{
    return n > 0 ? Next() % n : 0;
}
