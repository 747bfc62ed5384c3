#include "island_world.h"

#include "world/TerrainFill.h"
#include "world/TerrainGenerator.h"
#include "world/WorldAddressing.h"
#include "world/WorldStore.h"

#include "settings/GameSettings.h"

#include "engine/PimVoxelGrid.h"

#include <cstdio>

namespace IslandWorld
{
WorldParameterList Parameters()
{
    return {
        {WorldParameterId::TerrainType, static_cast<float>(TerrainType::Island), {}},
        {WorldParameterId::LowestWalkers, 20.0f, {}},
        {WorldParameterId::HighestWalkers, 40.0f, {}},
        {WorldParameterId::WalkLengthBase, 2000.0f, {}},
        {WorldParameterId::WalkLengthSpread, 1000.0f, {}},
        {WorldParameterId::SmoothingPasses, 3.0f, {}},
        {WorldParameterId::WaterLevel, 100.0f, {}},
        {WorldParameterId::IslandSize, 7040.0f, {}},
        {WorldParameterId::WorldHeight, 512.0f, {}},
        {WorldParameterId::HeightCap, 160.0f, {}},
    };
}

PimVector3 StartPosition(const WorldSetup& setup)
{
    const int columnX = setup.GetWidth() / 32 / 2;
    const int columnZ = setup.GetDepth() / 32 / 2;
    const float height = static_cast<float>(setup.GetHeightMap().At(columnX, columnZ)) + 2.0f;
    return PimVector3(static_cast<float>(columnX * 32), height, static_cast<float>(columnZ * 32));
}

void WriteStoredRegions(GameSettings& settings, const WorldSetup& setup)
{
    WorldStore store(settings);
    store.Open();
    const PimVector3 start = StartPosition(setup);
    const int firstX = static_cast<int>(start.x) / 256 - 2;
    const int firstZ = static_cast<int>(start.z) / 256 - 2;
    PimVoxelGrid chunk;
    for (int region = 0; region < kStoredRegions; ++region)
    {
        const PimVector3 origin(static_cast<float>((firstX + region % 4) * 256), 0.0f,
                                static_cast<float>((firstZ + region / 4) * 256));
        for (int slot = 0; slot < WorldAddressing::kRegionSlots; ++slot)
        {
            chunk.DeInitialize();
            chunk.SetLocation(origin + WorldAddressing::RegionSlotOffset(slot));
            FillChunk(setup, chunk);
            chunk.SetEditedSinceSave(true);
            store.StoreIfEdited(&chunk);
        }
    }
    PimVoxelGrid::LockAllBuildChannels(true);
    const bool written = store.WriteRegions();
    PimVoxelGrid::LockAllBuildChannels(false);
    std::printf("island: %zu region files written%s; their chunk copies hold %.0f MiB of codes\n",
                store.GetRegionCount(), written ? "" : " (FAILED)",
                static_cast<double>(store.GetStoredBytes()) / (1024.0 * 1024.0));
}
}
