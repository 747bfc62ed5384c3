#include "world/WorldSetup.h"

#include <algorithm>
#include <chrono>
#include <random>

WorldSetup::WorldSetup(std::uint32_t worldSeed) : seed(worldSeed), random(worldSeed)
{
}

std::uint32_t WorldSetup::DrawSeed()
{
    try
    {
        std::random_device device;
        return static_cast<std::uint32_t>(device());
    }
    catch (const std::exception&)
    {
        // No entropy source: the clock still gives each new world its own terrain.
        return static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    }
}

void WorldSetup::SetSize(std::int32_t widthVoxels, std::int32_t depthVoxels)
{
    width = std::clamp(widthVoxels, 0, kMaxSide);
    depth = std::clamp(depthVoxels, 0, kMaxSide);
    heightMap.Resize(width / kChunkSide, depth / kChunkSide);
    for (HeightMap& preview : previewMaps)
        preview.Resize(width / kChunkSide, depth / kChunkSide);
    for (PimTexture& picture : previewPictures)
        picture.Clear();
}

std::int32_t WorldSetup::GetTerrainType() const
{
    return ReadWorldParameterInt(parameters, WorldParameterId::TerrainType);
}
