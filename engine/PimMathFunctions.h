#pragma once

// Small numeric helpers shared by the voxel walks, locomotion and rendering. Pure functions:
// any thread may call them.
namespace PimMathFunctions
{
// numerator / denominator, or exactly 0 when the denominator is zero (+0 or -0). The voxel
// walks treat a zero result as "no step possible" and stop, so a zero divisor can never send
// them to infinity. Any other denominator (NaN included) divides as usual.
constexpr float SafeDivision(float numerator, float denominator)
{
    return denominator == 0.0f ? 0.0f : numerator / denominator;
}
}
