#include "flat_world_bench.h"

#include "world/ChunkPool.h"
#include "world/TerrainGenerator.h"
#include "world/WorldParameters.h"
#include "world/WorldSetup.h"

#include "engine/PimContentFolder.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"
#include "engine/PimVoxelGrid.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

FlatWorldBench::FlatWorldBench(const std::string& name, int sideIn, bool contentSettings)
    : viewer(sideIn / 2.0f, 1.65f, sideIn / 2.0f),
      folder(std::filesystem::temp_directory_path() / ("quillot-bench-" + name + "-" + std::to_string(::getpid()))),
      side(sideIn)
{
    PimVoxelGrid::CacheVoxelCodes(5000);
    std::filesystem::create_directories(folder);
    const PimWString base = PimWString::Widen(folder.string());
    const PimWString first =
        contentSettings ? PimWString::Widen(PimContentFolder::Get().parent_path().string()) : base;
    settings = std::make_unique<GameSettings>(SettingsFolders::FromBases(first, base + L"/data", base + L"/Pictures"));
    settings->activeGame.SetGameWorldName(PimWString::Widen(name));
}

FlatWorldBench::~FlatWorldBench()
{
    world.reset();
    PimSystem::Shutdown();
    std::error_code error;
    std::filesystem::remove_all(folder, error);
}

bool FlatWorldBench::Start()
{
    PimSystemParameters parameters;
    parameters.display = PimDisplayBackend::None;
    parameters.deviceMode = PimDeviceMode::Scripted;
    parameters.fixedFrameSeconds = 1.0 / 90.0;
    if (!PimSystem::Initialize(parameters))
        return false;
    auto setup = std::make_shared<WorldSetup>(1u);
    GenerateTerrain(*setup, {{WorldParameterId::TerrainType, static_cast<float>(TerrainType::Flat), {}},
                             {WorldParameterId::FlatWidth, static_cast<float>(side), {}},
                             {WorldParameterId::FlatDepth, static_cast<float>(side), {}}});
    world = std::make_unique<VoxelWorld2>(*settings, ChunkPool::Shared(), std::make_shared<PimTexture>());
    world->SetWorldSetup(setup);
    world->SetViewerPosition(viewer);
    world->SetWorkerPaused(false);
    return true;
}

void FlatWorldBench::InstallFrames()
{
    viewport.GetCamera()->SetPosition(viewer);
    viewport.GetCamera()->SetTarget(viewer + PimVector3(0.0f, 0.0f, -1.0f));
    PimSystem::AddFrameCallback(PimFramePhase::Update, [this] {
        if (duringUpdate)
        {
            duringUpdate();
            duringUpdate = nullptr;
        }
        world->RunUpdate();
    });
    PimSystem::AddFrameCallback(PimFramePhase::Draw, [this] {
        viewport.DrawWindowPass(false, 0);
        world->RunDraw();
    });
}

void FlatWorldBench::Settle()
{
    std::int32_t lastBuilds = -1;
    int quiet = 0;
    for (int frame = 0; frame < 20000 && quiet < 60; ++frame)
    {
        PimSystem::RunFrames(1);
        const std::int32_t builds = world->GetBuildCount();
        quiet = builds == lastBuilds ? quiet + 1 : 0;
        lastBuilds = builds;
    }
    std::printf("loaded: %zu window chunks, %d builds\n", world->GetWindowChunkCount(), world->GetBuildCount());
}

int FlatWorldBench::FramesUntilDrawn(const std::set<PimVoxelGrid*>& chunks, int maxFrames)
{
    int frames = 0;
    while (frames < maxFrames)
    {
        PimSystem::RunFrames(1);
        ++frames;
        const bool drawn = std::all_of(chunks.begin(), chunks.end(), [](const PimVoxelGrid* chunk) {
            return chunk->GetGridStatus() == PimVoxelGrid::kStatusFinished &&
                   chunk->GetBuildChannel() == PimVoxelGrid::kNoBuildChannel;
        });
        if (drawn)
            break;
    }
    return frames;
}
