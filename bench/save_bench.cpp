// Saving a world: the main thread's pause for a save of the island world (as bench_world streams
// it, with its 20 stored region files) with 1 and with 20 dirty regions - one voxel edited in a
// built chunk of each - beside the time the whole save takes until its files are on disk.
//
// The world is opened and streamed until the loading page would let go (its build count reaches
// what the page waits for), then its worker is paused so that the saves are timed alone. There is
// no display: the thumbnail, drawn on the main thread whenever there is one, is not part of the
// figures.
//
// A timed save is started on the main thread (VoxelWorld2::StartSave) and its files written by
// the world's save writer thread; the pause is the start's time. Printed as name=value lines
// beside their reference: save_pause_ms_1 and save_pause_ms_20, each beside save_total_ms_N (the
// mean time from the start until the save's result is in, what the pause was before the files
// were written off the main thread).

#include "island_world.h"

#include "world/ChunkPool.h"
#include "world/TerrainGenerator.h"
#include "world/VoxelWorld2.h"

#include "settings/GameSettings.h"

#include "engine/PimCamera.h"
#include "engine/PimSystem.h"
#include "engine/PimTime.h"
#include "engine/PimViewport.h"
#include "engine/PimVoxelGrid.h"
#include "engine/VoxelCodeTable.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kSeed = 20240611u;
constexpr int kMaxFrames = 200000;

double Milliseconds(Clock::duration span)
{
    return std::chrono::duration<double, std::milli>(span).count();
}

// The streamed island world and the chunks whose edits dirty its regions.
struct SavedWorld
{
    std::unique_ptr<VoxelWorld2> world;
    // One built chunk per region, regions with a stored file first.
    std::vector<PimVector3> editLocations;
    std::uint16_t nextCode = VoxelCode::FirstColour + 1;
};

SavedWorld* savedWorld = nullptr;

struct Figures
{
    double pauseMs = 0.0;
    double totalMs = 0.0;
    int saves = 0;
    int failed = 0;
};
std::map<int, Figures> figures;

void OpenAndStream(SavedWorld& saved, GameSettings& settings, const std::shared_ptr<const WorldSetup>& setup,
                   PimViewport& viewport)
{
    settings.activeGame.SetGameWorldName(L"BenchIsland");
    PimTime::Reset();
    PimTime::SetRealClock();
    const PimVector3 start = IslandWorld::StartPosition(*setup);
    viewport.GetCamera()->SetPosition(start);
    viewport.GetCamera()->SetTarget(start + PimVector3(0.0f, 0.0f, -1.0f));
    saved.world = std::make_unique<VoxelWorld2>(settings, ChunkPool::Shared(), std::make_shared<PimTexture>());
    VoxelWorld2& world = *saved.world;
    world.SetWorldSetup(setup);
    world.SetViewerPosition(start);
    world.SetWorkerPaused(false);
    const std::int32_t expected = VoxelWorld2::ExpectedBuildCount(world.GetStore().GetRegionFilesFound());
    for (int frame = 0; frame < kMaxFrames && world.GetBuildCount() < expected; ++frame)
    {
        PimTime::BeginFrame();
        world.RunUpdate();
        viewport.DrawWindowPass(false, 0);
        world.RunDraw();
    }
    world.SetWorkerPaused(true);

    // One built chunk of every region the window reaches; those of stored regions first, since
    // saving them rewrites a whole file of terrain.
    std::map<std::uint64_t, PimVector3> byRegion;
    world.ForEachHeldChunk([&](PimVoxelGrid& chunk) {
        if (chunk.GetGridStatus() != PimVoxelGrid::kStatusFinished)
            return;
        const PimVector3 location = chunk.GetLocation();
        byRegion.emplace(WorldAddressing::RegionKey(WorldAddressing::RegionOrigin(location)), location);
    });
    std::vector<PimVector3> stored, fresh;
    for (const auto& [key, location] : byRegion)
        (world.GetStore().HoldsChunkAt(location) ? stored : fresh).push_back(location);
    saved.editLocations = stored;
    saved.editLocations.insert(saved.editLocations.end(), fresh.begin(), fresh.end());
    std::printf("island: %d builds (loading page waits for %d); %zu regions with a built chunk, %zu of them "
                "stored\n",
                world.GetBuildCount(), expected, byRegion.size(), stored.size());
}

// Edits one voxel in each of the first `regions` regions.
void EditRegions(SavedWorld& saved, int regions)
{
    const std::uint16_t code = saved.nextCode;
    saved.nextCode = saved.nextCode == VoxelCode::FirstColour + 1 ? VoxelCode::FirstColour + 2 : VoxelCode::FirstColour + 1;
    for (int index = 0; index < regions; ++index)
    {
        const PimVector3 voxel = saved.editLocations[static_cast<std::size_t>(index)] + PimVector3(1.5f, 1.5f, 1.5f);
        saved.world->SetWorldVoxel(code, voxel, false, false);
    }
}

void BM_SavePause(benchmark::State& state)
{
    const int regions = static_cast<int>(state.range(0));
    if (savedWorld == nullptr || static_cast<int>(savedWorld->editLocations.size()) < regions)
    {
        state.SkipWithError("not enough regions with a built chunk");
        return;
    }
    Figures& figure = figures[regions];
    for (auto _ : state)
    {
        EditRegions(*savedWorld, regions);
        const Clock::time_point start = Clock::now();
        savedWorld->world->StartSave();
        const Clock::time_point paused = Clock::now();
        // The frame loop polls for the result; here nothing else runs meanwhile.
        std::optional<VoxelWorld2::SaveResult> result;
        while (!(result = savedWorld->world->TakeSaveResult()))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        const Clock::time_point done = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(paused - start).count());
        figure.pauseMs += Milliseconds(paused - start);
        figure.totalMs += Milliseconds(done - start);
        figure.failed += result->Succeeded() ? 0 : 1;
        ++figure.saves;
    }
    state.counters["pause_ms"] = benchmark::Counter(figure.pauseMs / figure.saves);
    state.counters["total_ms"] = benchmark::Counter(figure.totalMs / figure.saves);
}
BENCHMARK(BM_SavePause)->Arg(1)->Arg(20)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    PimVoxelGrid::CacheVoxelCodes(5000);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("quillot-bench-save-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const PimWString base = PimWString::Widen(folder.string());
    GameSettings settings(SettingsFolders::FromBases(base, base + L"/data", base + L"/Pictures"));

    auto island = std::make_shared<WorldSetup>(kSeed);
    GenerateTerrain(*island, IslandWorld::Parameters());
    settings.activeGame.SetGameWorldName(L"BenchIsland");
    IslandWorld::WriteStoredRegions(settings, *island);

    PimSystemParameters parameters;
    parameters.display = PimDisplayBackend::None;
    parameters.deviceMode = PimDeviceMode::Scripted;
    if (!PimSystem::Initialize(parameters))
        return 1;
    ChunkPool::Shared().FillTo(5000);
    {
        PimViewport viewport;
        SavedWorld saved;
        OpenAndStream(saved, settings, island, viewport);
        savedWorld = &saved;
        benchmark::RunSpecifiedBenchmarks();
        savedWorld = nullptr;
    }
    for (const auto& [regions, figure] : figures)
    {
        if (figure.saves == 0)
            continue;
        std::printf("save_pause_ms_%d=%.3f  (save_total_ms_%d=%.3f)%s\n", regions, figure.pauseMs / figure.saves,
                    regions, figure.totalMs / figure.saves, figure.failed > 0 ? "  SOME SAVES FAILED" : "");
    }
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    PimSystem::Shutdown();
    return 0;
}
