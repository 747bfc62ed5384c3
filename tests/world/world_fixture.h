#pragma once

#include "tests/support/TempFolder.h"

#include "world/BuildBudget.h"
#include "world/ChunkPool.h"
#include "world/VoxelWorld2.h"
#include "world/WorldParameters.h"
#include "world/WorldSetup.h"

#include "settings/GameSettings.h"

#include "engine/PimAssert.h"
#include "engine/PimCamera.h"
#include "engine/PimSystem.h"
#include "engine/PimTime.h"
#include "engine/PimViewport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

// A world driven frame by frame on the engine's None display (no GL: uploads take the built
// mesh and drop it): settings in a temporary folder, a pool of its own, the main viewport that
// draws the world, and the worker paused so that the test runs its passes itself, in a known
// order, on the main thread.
class WorldFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PimSystemParameters parameters;
        parameters.display = PimDisplayBackend::None;
        parameters.fixedFrameSeconds = 1.0 / 90.0;
        parameters.deviceMode = PimDeviceMode::Scripted;
        ASSERT_TRUE(PimSystem::Initialize(parameters));
        PimAssert::ResetFailureCount();
        settings = std::make_unique<GameSettings>(
            SettingsFolders::FromBases(temp.Wide(), temp.Wide() + L"/data", temp.Wide() + L"/Pictures"));
        settings->activeGame.SetGameWorldName(L"TestWorld");
        settings->activeGame.SetOptionsSet(true);
        BuildBudget::Set(BuildBudget::kMinimum);
    }

    void TearDown() override
    {
        world.reset();
        EXPECT_EQ(pool.IdleCount(), pool.OwnedCount()) << "a chunk was not given back";
        PimSystem::Shutdown();
    }

    // A world of widthChunks x depthChunks columns with the given terrain type; rolling and
    // island worlds get gentle hills around height 40 with water at 36.
    static std::shared_ptr<WorldSetup> MakeSetup(int terrainType, int widthChunks, int depthChunks)
    {
        auto setup = std::make_shared<WorldSetup>(7u);
        setup->SetParameters({{WorldParameterId::TerrainType, static_cast<float>(terrainType), {}}});
        setup->SetSize(widthChunks * 32, depthChunks * 32);
        setup->SetWaterLevel(36.0f);
        HeightMap& heights = setup->GetHeightMap();
        for (int z = 0; z < heights.GetDepth(); ++z)
            for (int x = 0; x < heights.GetWidth(); ++x)
                heights.Set(x, z, static_cast<std::uint16_t>(30 + (x * 7 + z * 13) % 23));
        return setup;
    }

    // Creates the world (worker paused), gives it the setup and puts the viewer at `viewer`.
    void Open(std::shared_ptr<WorldSetup> setup, const PimVector3& viewer)
    {
        world = std::make_unique<VoxelWorld2>(*settings, pool, std::make_shared<PimTexture>());
        world->SetWorldSetup(std::move(setup));
        MoveViewer(viewer);
    }

    void MoveViewer(const PimVector3& viewer)
    {
        world->SetViewerPosition(viewer);
        viewport.GetCamera()->SetPosition(viewer);
        viewport.GetCamera()->SetTarget(viewer + PimVector3(0.0f, 0.0f, -1.0f));
    }

    // One engine frame: clock, the world's update, then its draw in the main view.
    void Frame()
    {
        PimTime::BeginFrame();
        world->RunUpdate();
        // The viewport's pass makes itself and its camera the draw context; the world draws in it.
        viewport.DrawWindowPass(false, 0);
        world->RunDraw();
    }

    // A frame after which the worker catches up with everything handed to it.
    void FrameAndWork()
    {
        Frame();
        while (world->WorkerPass())
        {
        }
    }

    // Runs frames with a caught-up worker until nothing is left to build or load, and returns
    // whether that happened within maxFrames.
    bool Settle(int maxFrames = 4000)
    {
        // The first frame after the viewer is known does nothing and the second only starts
        // filling the window, so an empty window settles nothing before the third.
        for (int frame = 0; frame < maxFrames; ++frame)
        {
            FrameAndWork();
            if (frame >= 2 && IsSettled())
                return true;
        }
        return false;
    }

    // The window is filled, every window chunk that can be built is finished and in no channel,
    // the others (whose neighbours are not all in the window) wait with their data, and every
    // channel is empty.
    bool IsSettled() const
    {
        bool settled = !world->IsWindowFilling();
        ForEachWindowChunk([&](PimVoxelGrid& chunk) {
            const std::uint8_t status = chunk.GetGridStatus();
            settled = settled && chunk.GetBuildChannel() == PimVoxelGrid::kNoBuildChannel &&
                      (status == PimVoxelGrid::kStatusFinished ||
                       (status == PimVoxelGrid::kStatusToBuild && !HasEveryNeighbour(chunk)));
        });
        for (int index = 0; index < VoxelWorld2::kChannelCount; ++index)
        {
            const VoxelWorld2::ChannelView channel = world->GetChannel(index);
            settled = settled && channel.queued == nullptr && channel.building == nullptr && channel.upload == nullptr;
        }
        return settled;
    }

    // The window's chunks only (not the left-window map's): those the world's lookup finds.
    void ForEachWindowChunk(const std::function<void(PimVoxelGrid&)>& visit) const
    {
        std::vector<PimVoxelGrid*> held;
        world->ForEachHeldChunk([&held](PimVoxelGrid& chunk) { held.push_back(&chunk); });
        for (PimVoxelGrid* chunk : held)
            if (world->FindChunkSlot(chunk->GetLocation()) == chunk)
                visit(*chunk);
    }

    // True when every neighbour of the chunk that lies inside the world is a window chunk
    // holding its data: the chunk can then be built.
    bool HasEveryNeighbour(const PimVoxelGrid& chunk) const
    {
        const WorldSetup& setup = *world->GetWorldSetup();
        for (const PimVector3& step : PimVoxelGrid::directionModifier)
        {
            const PimVector3 location = chunk.GetLocation() + step * 32.0f;
            const bool insideWorld = location.x >= 0 && location.z >= 0 && location.y >= 0 && location.y < 512 &&
                                     location.x < static_cast<float>(setup.GetWidth() / 32 * 32) &&
                                     location.z < static_cast<float>(setup.GetDepth() / 32 * 32);
            if (!insideWorld)
                continue;
            const PimVoxelGrid* neighbour = world->FindChunkSlot(location);
            if (neighbour == nullptr || neighbour->GetLocation() != location ||
                neighbour->GetGridStatus() == PimVoxelGrid::kStatusNeedsData)
                return false;
        }
        return true;
    }

    static PimVector3 ChunkCentreColumn(int cx, float y, int cz)
    {
        return PimVector3(static_cast<float>(cx) * 32.0f + 16.0f, y, static_cast<float>(cz) * 32.0f + 16.0f);
    }

    TempFolder temp;
    std::unique_ptr<GameSettings> settings;
    ChunkPool pool;
    PimViewport viewport;
    std::unique_ptr<VoxelWorld2> world;
};
