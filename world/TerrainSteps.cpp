#include "world/TerrainSteps.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace
{
constexpr int kFixedShift = 16;
constexpr std::int64_t kFixedOne = std::int64_t{1} << kFixedShift;

// sin(x) for 0 <= x <= pi / 2 by its series; evaluated by the compiler only.
constexpr double SeriesSine(double x)
{
    double term = x;
    double sum = x;
    for (int n = 1; n < 16; ++n)
    {
        term *= -x * x / ((2.0 * n) * (2.0 * n + 1.0));
        sum += term;
    }
    return sum;
}

constexpr std::int32_t FixedSineOfDegrees(int degrees)
{
    constexpr double kPi = 3.14159265358979323846;
    const int quarter = degrees / 90;
    const int within = degrees % 90;
    const int reduced = (quarter % 2 == 0) ? within : 90 - within;
    const double magnitude = SeriesSine(reduced * kPi / 180.0) * static_cast<double>(kFixedOne) + 0.5;
    const auto fixed = static_cast<std::int32_t>(magnitude);
    return quarter >= 2 ? -fixed : fixed;
}

// sin of 0 to 359 whole degrees, scaled by 2^16 and rounded.
constexpr std::array<std::int32_t, 360> MakeSineTable()
{
    std::array<std::int32_t, 360> table{};
    for (int degrees = 0; degrees < 360; ++degrees)
        table[degrees] = FixedSineOfDegrees(degrees);
    return table;
}

constexpr std::array<std::int32_t, 360> kSine = MakeSineTable();
static_assert(kSine[0] == 0 && kSine[90] == kFixedOne && kSine[180] == 0 && kSine[270] == -kFixedOne);
static_assert(kSine[30] == kFixedOne / 2);

// trunc(fixed / 2^16 * radius + centre), in integers.
int FixedOffset(std::int32_t fixed, int radius, int centre)
{
    const std::int64_t scaled = static_cast<std::int64_t>(fixed) * radius + static_cast<std::int64_t>(centre) * kFixedOne;
    return static_cast<int>(scaled / kFixedOne);
}

bool InsideWalkDisc(int x, int z, int centre)
{
    const std::int64_t dx = x - centre;
    const std::int64_t dz = z - centre;
    const std::int64_t c = centre;
    return dx * dx + dz * dz <= c * c - 10;
}

// Fills from `row` toward `lastRow` (inclusive) with a value that starts at the sample in `row`
// and changes by `change` per row.
void RunDown(HeightMap& preview, int x, int row, int lastRow, double change)
{
    const int direction = lastRow >= row ? 1 : -1;
    double value = preview.At(x, row);
    for (int z = row;; z += direction)
    {
        preview.Set(x, z, HeightMap::ToSample(value));
        value += change;
        if (z == lastRow)
            break;
    }
}

void DrawWavyLine(HeightMap& preview, TerrainRandom& random, bool farLine)
{
    const int width = preview.GetWidth();
    const int depth = preview.GetDepth();
    const double angleStep = random.Below(30) / 10.0;
    const double amplitude = random.Below(100) / 10.0;
    const double slope = (random.Below(101) - 49) / 300.0;
    const int jitter = random.Below(depth / 10);
    const double offset = farLine ? depth - depth / 5 - jitter : depth / 5 + jitter;
    const double growth = random.Below(21) / 200.0;
    constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

    double angle = 0.0;
    for (int x = 0; x < width; ++x)
    {
        angle += angleStep;
        const double line = std::cos(angle * kRadiansPerDegree) * amplitude + x * slope + offset;
        const int row = std::clamp(static_cast<int>(line), 0, depth - 1);
        if (farLine)
            RunDown(preview, x, row, depth - 1, growth);
        else if (row >= 1)
            RunDown(preview, x, row, 1, -growth);
    }
}
} // namespace

namespace TerrainSteps
{
int WrapStep(int position, int brush, int extent)
{
    if (position < 0)
        return position + (extent - brush);
    if (position + brush >= extent)
        return position + (brush - extent);
    return position;
}

void PickDiscPoint(int width, TerrainRandom& random, int& x, int& z)
{
    const int centre = width / 2;
    const int degrees = random.Below(360);
    const int radius = random.Below(width & ~1) / 2;
    x = FixedOffset(kSine[(degrees + 90) % 360], radius, centre);
    z = FixedOffset(kSine[degrees], radius, centre);
}

void WalkStamp(HeightMap& map, std::int32_t steps, int brush, TerrainRandom& random)
{
    const int width = map.GetWidth();
    const int depth = map.GetDepth();
    if (map.IsEmpty())
        return;
    const int centre = width / 2;
    int x = 0;
    int z = 0;
    PickDiscPoint(width, random, x, z);
    for (std::int32_t step = 0; step < steps; ++step)
    {
        x += (random.Below(3) - 1) * brush;
        z += (random.Below(3) - 1) * brush;
        x = WrapStep(x, brush, width);
        z = WrapStep(z, brush, depth);
        if (InsideWalkDisc(x, z, centre))
        {
            for (int dz = 0; dz < brush; ++dz)
                for (int dx = 0; dx < brush; ++dx)
                    map.Set(x + dx, z + dz, kWalkHeight);
        }
        else
        {
            map.Set(x, z, 0);
        }
    }
}

void SmoothMap(HeightMap& map, int passes, int weight)
{
    const int width = map.GetWidth();
    const int depth = map.GetDepth();
    if (map.IsEmpty() || passes <= 0)
        return;
    const std::int64_t ownWeight = std::max(weight, 1) - 1;
    const std::int64_t divisor = ownWeight + 9;
    std::vector<std::uint16_t> source = map.Samples();
    std::vector<std::uint16_t> target(source.size());
    const auto at = [&](int x, int z) { return static_cast<std::int64_t>(source[static_cast<std::size_t>(z) * width + x]); };

    for (int pass = 0; pass < passes; ++pass)
    {
        for (int z = 0; z < depth; ++z)
        {
            const int rows[3] = {std::max(z - 1, 0), z, std::min(z + 1, depth - 1)};
            for (int x = 0; x < width; ++x)
            {
                const int columns[3] = {(x + width - 1) % width, x, (x + 1) % width};
                std::int64_t sum = ownWeight * at(x, z);
                for (int row : rows)
                    for (int column : columns)
                        sum += at(column, row);
                target[static_cast<std::size_t>(z) * width + x] = static_cast<std::uint16_t>(sum / divisor);
            }
        }
        std::swap(source, target);
    }
    map.Samples() = std::move(source);
}

void DrawWavyLines(HeightMap& preview, TerrainRandom& random)
{
    preview.Fill(50);
    if (preview.IsEmpty())
        return;
    DrawWavyLine(preview, random, true);
    DrawWavyLine(preview, random, false);
}
} // namespace TerrainSteps
