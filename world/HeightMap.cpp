#include "world/HeightMap.h"

#include <algorithm>
#include <cmath>

void HeightMap::Resize(int newWidth, int newDepth, std::uint16_t fill)
{
    width = std::max(newWidth, 0);
    depth = std::max(newDepth, 0);
    if (width == 0 || depth == 0)
        width = depth = 0;
    samples.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(depth), fill);
}

void HeightMap::Fill(std::uint16_t value)
{
    std::fill(samples.begin(), samples.end(), value);
}

std::uint16_t HeightMap::ClampedAt(int x, int z) const
{
    if (samples.empty())
        return 0;
    return samples[Index(std::clamp(x, 0, width - 1), std::clamp(z, 0, depth - 1))];
}

std::uint16_t HeightMap::ToSample(double height)
{
    if (!(height > 0.0))
        return 0;
    if (height >= 65535.0)
        return 65535;
    return static_cast<std::uint16_t>(height);
}
