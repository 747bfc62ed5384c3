#include "colour/NearestPaletteColour.h"

#include "colour/PaletteModel.h"

#include "engine/PimVoxelGrid.h"

#include <unordered_map>

namespace
{
// Main thread only (see the header).
std::unordered_map<std::uint32_t, std::uint16_t>& Cache()
{
    static std::unordered_map<std::uint32_t, std::uint16_t> cache;
    return cache;
}

constexpr int kPaletteEntries = 255;
}

std::uint16_t NearestPaletteColour::VoxelFor(PimColor colour)
{
    const std::uint32_t key = (std::uint32_t{colour.r} << 16) | (std::uint32_t{colour.g} << 8) | colour.b;
    auto& cache = Cache();
    if (const auto found = cache.find(key); found != cache.end())
        return found->second;
    int best = 0;
    float bestDistance = 1.0f;
    for (int i = 0; i < kPaletteEntries; ++i)
    {
        const float distance = colour.GetDistance(PimVoxelGrid::GetColorDefinition(static_cast<std::uint8_t>(i), false));
        if (distance < bestDistance)
        {
            bestDistance = distance;
            best = i;
        }
    }
    const std::uint16_t voxel = PaletteModel::ColourVoxel(static_cast<std::uint8_t>(best));
    cache.emplace(key, voxel);
    return voxel;
}

std::size_t NearestPaletteColour::CachedCount()
{
    return Cache().size();
}
