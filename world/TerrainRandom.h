#pragma once

#include <cstdint>

// The random figures of terrain generation: a PCG32 generator (64-bit linear congruential state,
// xorshift and random rotation output), fully determined by its 32-bit seed. The same seed gives
// the same sequence on every machine and compiler, so a world's seed rebuilds the same terrain.
// A value type; one thread uses one generator (the main thread, while generating).
class TerrainRandom
{
public:
    explicit TerrainRandom(std::uint32_t seed = 0) { Seed(seed); }

    // Restarts the sequence that belongs to the seed.
    void Seed(std::uint32_t seed);

    // The next figure in 0 to 2^31 - 1: never negative, so "Next() % n" behaves like rand() % n.
    std::int32_t Next();

    // The next figure in 0 to n - 1 (Next() % n); 0, drawing nothing, when n is 0 or negative,
    // where a plain remainder would divide by zero or go negative.
    std::int32_t Below(std::int32_t n);

private:
    std::uint32_t NextRaw();

    std::uint64_t state = 0;
};
