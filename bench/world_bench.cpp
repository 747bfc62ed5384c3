// Streaming a world: the time from a world's creation until its build count reaches what the
// loading page waits for (min(512 x regions, 7720), 27 without regions), then on until the whole
// window is loaded and built, for a new flat world and for an island world with 20 stored region
// files (generated first in a temporary folder).
//
// Two clocks:
// - headless: frames as fast as they come on the real clock, no display. The figure is chunks
//   per second, beside the rate of meshing alone (BuildGrid on the same chunks, one after the
//   other on one thread, measured in the same run once the world is loaded).
// - 90 Hz: the frame clock fixed at 1/90 s and frames paced to it in real time, as a headset
//   would. The figure is frame-clock seconds, beside the bound the build budget allows: a chunk
//   takes at least one stint in a channel (load and build), and a frame gives each of the
//   budget's channels BuildChannel::kStageDepth stints, so no scheduler can do better than
//   budget x depth chunks a frame.
// Both also give the peak resident memory of the phase (the peak is reset before each phase),
// the resident memory with the full window, and the main thread's milliseconds per frame while
// streaming (mean and worst) beside its mean once the window is built. The island phases give
// the main thread's time in opening the world beside the time reading its 20 region files whole
// takes.
//
// On a shared machine a frame's wall time includes the time other processes held the core, so
// the island's worst frame is also given in the main thread's CPU time (main_cpu_ms_worst).
//
// Besides the readable lines, the figures are printed as name=value lines, each beside its
// reference (island_90hz_7720_s, main_ms_mean, main_ms_worst, island_full_window_90hz_s,
// flat_full_window_90hz_s, island_headless_chunks_per_s, open_main_thread_ms_20_regions and the
// peaks of resident memory).
//
// A plain program: the figures are phases of one run, not repeated kernels. Run it alone on the
// machine; its times are wall-clock times.

#include "island_world.h"

#include "world/ChunkPool.h"
#include "world/TerrainGenerator.h"
#include "world/VoxelWorld2.h"
#include "world/WorldStore.h"

#include "settings/GameSettings.h"

#include "engine/PimCamera.h"
#include "engine/PimSystem.h"
#include "engine/PimTime.h"
#include "engine/PimViewport.h"
#include "engine/PimVoxelGrid.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

constexpr double kHeadsetHz = 90.0;
constexpr std::uint32_t kSeed = 20240611u;
// Frames without any change after which a loaded window counts as finished.
constexpr int kQuietFrames = 90;
constexpr int kMaxFrames = 200000;

double Seconds(Clock::duration span)
{
    return std::chrono::duration<double>(span).count();
}

// CPU time of the calling thread in milliseconds: a frame's wall time minus the time other
// processes on a shared machine held the core.
double ThreadCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    const auto ms = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) * 1000.0 + static_cast<double>(time.tv_usec) / 1000.0;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Resident memory figures of this process in MiB: "VmRSS" now, "VmHWM" the peak.
double StatusMiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::strtod(line.c_str() + std::string(field).size() + 1, nullptr) / 1024.0;
    return 0.0;
}

// Starts a new peak of resident memory (Linux: clear_refs 5).
void ResetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct PhaseResult
{
    std::int32_t expected = 0;
    double secondsToExpected = 0.0;    // wall clock (headless) or frame clock (90 Hz)
    int framesToExpected = 0;
    int boundFrames = 0;               // the budget bound, in frames
    int fullWindowBoundFrames = 0;     // the budget bound for the full window's loads, in frames
    double secondsToFullWindow = 0.0;
    std::size_t windowChunks = 0;
    std::int32_t builds = 0;
    std::int32_t loads = 0;
    double meanFrameMs = 0.0;
    double worstFrameMs = 0.0;
    double worstFrameCpuMs = 0.0;     // the main thread's CPU time in its most expensive frame
    double settledFrameMs = 0.0;       // mean of the quiet frames after the full window
    double openMs = 0.0;               // the main thread's time in creating and starting the world
    double peakMiB = 0.0;
    double fullWindowMiB = 0.0;
    double meshingChunksPerSecond = 0.0;
};

bool ChannelsEmpty(const VoxelWorld2& world)
{
    for (int index = 0; index < VoxelWorld2::kChannelCount; ++index)
    {
        const VoxelWorld2::ChannelView channel = world.GetChannel(index);
        if (channel.queued != nullptr || channel.building != nullptr || channel.upload != nullptr)
            return false;
    }
    return true;
}

// BuildGrid alone on up to `count` finished window chunks, on this thread; chunks per second.
double MeshingRate(VoxelWorld2& world, std::int32_t count)
{
    std::vector<PimVoxelGrid*> chunks;
    world.ForEachHeldChunk([&](PimVoxelGrid& chunk) {
        if (static_cast<std::int32_t>(chunks.size()) < count && chunk.GetGridStatus() == PimVoxelGrid::kStatusFinished)
            chunks.push_back(&chunk);
    });
    const Clock::time_point start = Clock::now();
    for (PimVoxelGrid* chunk : chunks)
        chunk->BuildGrid();
    const double seconds = Seconds(Clock::now() - start);
    VoxelMesh dropped;
    for (PimVoxelGrid* chunk : chunks)
        chunk->TakeBuiltMesh(dropped);
    return seconds > 0.0 ? static_cast<double>(chunks.size()) / seconds : 0.0;
}

PhaseResult RunWorld(GameSettings& settings, const std::wstring& name, const std::shared_ptr<const WorldSetup>& setup,
                     bool paced)
{
    settings.activeGame.SetGameWorldName(name);
    BuildBudget::Set(BuildBudget::kMinimum);
    PimTime::Reset();
    if (paced)
        PimTime::SetFixedStep(1000.0 / kHeadsetHz);
    else
        PimTime::SetRealClock();
    PimViewport viewport;
    const PimVector3 start = IslandWorld::StartPosition(*setup);
    viewport.GetCamera()->SetPosition(start);
    viewport.GetCamera()->SetTarget(start + PimVector3(0.0f, 0.0f, -1.0f));
    ResetPeakMemory();

    PhaseResult result;
    const Clock::time_point created = Clock::now();
    auto world = std::make_unique<VoxelWorld2>(settings, ChunkPool::Shared(), std::make_shared<PimTexture>());
    world->SetWorldSetup(setup);
    world->SetViewerPosition(start);
    world->SetWorkerPaused(false);
    result.openMs = Seconds(Clock::now() - created) * 1000.0;
    result.expected = VoxelWorld2::ExpectedBuildCount(world->GetStore().GetRegionFilesFound());

    const auto frameLength = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / kHeadsetHz));
    double boundChunks = 0.0;
    std::vector<double> boundByFrame;
    double frameMsSum = 0.0;
    double quietMsSum = 0.0;
    int quiet = 0;
    std::int32_t lastBuilds = -1, lastLoads = -1;
    int frame = 0;
    for (; frame < kMaxFrames && quiet < kQuietFrames; ++frame)
    {
        const Clock::time_point frameStart = Clock::now();
        const double frameStartCpuMs = ThreadCpuMs();
        PimTime::BeginFrame();
        world->RunUpdate();
        viewport.DrawWindowPass(false, 0);
        world->RunDraw();
        const double frameMs = Seconds(Clock::now() - frameStart) * 1000.0;
        const double frameCpuMs = ThreadCpuMs() - frameStartCpuMs;

        boundChunks += static_cast<double>(BuildBudget::Get() * BuildChannel::kStageDepth);
        boundByFrame.push_back(boundChunks);
        if (result.boundFrames == 0 && boundChunks >= result.expected)
            result.boundFrames = frame + 1;
        const std::int32_t builds = world->GetBuildCount();
        const std::int32_t loads = world->GetLoadCount();
        if (result.framesToExpected == 0)
        {
            // Streaming: the frames until the loading page would let go.
            frameMsSum += frameMs;
            result.worstFrameMs = std::max(result.worstFrameMs, frameMs);
            result.worstFrameCpuMs = std::max(result.worstFrameCpuMs, frameCpuMs);
            if (builds >= result.expected)
            {
                result.framesToExpected = frame + 1;
                result.secondsToExpected =
                    paced ? result.framesToExpected / kHeadsetHz : Seconds(Clock::now() - created);
            }
        }
        quiet = builds == lastBuilds && loads == lastLoads && ChannelsEmpty(*world) ? quiet + 1 : 0;
        quietMsSum = quiet == 0 ? 0.0 : quietMsSum + frameMs;
        lastBuilds = builds;
        lastLoads = loads;
        if (paced)
            std::this_thread::sleep_until(frameStart + frameLength);
    }
    const int fullFrames = frame - kQuietFrames;
    result.secondsToFullWindow = paced ? fullFrames / kHeadsetHz : Seconds(Clock::now() - created);
    result.meanFrameMs = result.framesToExpected > 0 ? frameMsSum / result.framesToExpected : 0.0;
    result.settledFrameMs = quiet > 0 ? quietMsSum / quiet : 0.0;
    world->SetWorkerPaused(true);
    result.windowChunks = world->GetWindowChunkCount();
    result.builds = world->GetBuildCount();
    result.loads = world->GetLoadCount();
    const auto reached = std::find_if(boundByFrame.begin(), boundByFrame.end(),
                                      [&](double chunks) { return chunks >= result.loads; });
    result.fullWindowBoundFrames = static_cast<int>(reached - boundByFrame.begin()) + 1;
    result.fullWindowMiB = StatusMiB("VmRSS:");
    result.peakMiB = StatusMiB("VmHWM:");
    if (!paced)
        result.meshingChunksPerSecond = MeshingRate(*world, std::max(result.expected, 512));
    world.reset();
    PimTime::SetRealClock();
    return result;
}

void Print(const char* world, const char* clock, const PhaseResult& r)
{
    std::printf("%-6s %-8s expected %5d  reached after %6d frames", world, clock, r.expected, r.framesToExpected);
    if (r.meshingChunksPerSecond > 0.0)
    {
        const double rate = r.secondsToExpected > 0.0 ? r.expected / r.secondsToExpected : 0.0;
        std::printf(", %8.3f s = %8.0f chunks/s; meshing alone %8.0f chunks/s (ratio %.2f)\n", r.secondsToExpected,
                    rate, r.meshingChunksPerSecond, rate / r.meshingChunksPerSecond);
    }
    else
    {
        const double bound = r.boundFrames / kHeadsetHz;
        std::printf(", %8.3f s; budget bound %8.3f s (%+.1f %%)\n", r.secondsToExpected, bound,
                    bound > 0.0 ? (r.secondsToExpected / bound - 1.0) * 100.0 : 0.0);
    }
    std::printf("%-6s %-8s full window: %zu chunks, %d loads, %d builds after %.3f s; main thread %.3f ms/frame "
                "mean, %.3f worst while streaming; resident %.0f MiB, peak %.0f MiB\n",
                world, clock, r.windowChunks, r.loads, r.builds, r.secondsToFullWindow, r.meanFrameMs, r.worstFrameMs,
                r.fullWindowMiB, r.peakMiB);
}

void PrintValue(const char* name, double value, const char* referenceName, double reference)
{
    std::printf("%s=%.3f  (%s=%.3f)\n", name, value, referenceName, reference);
}

// The name=value lines of a phase: names start with the world, then the clock.
void PrintValues(const std::string& world, bool paced, const PhaseResult& r)
{
    const std::string prefix = world + (paced ? "_90hz" : "_headless");
    if (paced)
    {
        PrintValue((prefix + "_" + std::to_string(r.expected) + "_s").c_str(), r.secondsToExpected,
                   "budget_bound_s", r.boundFrames / kHeadsetHz);
        PrintValue((world + "_full_window_90hz_s").c_str(), r.secondsToFullWindow, "budget_bound_s",
                   r.fullWindowBoundFrames / kHeadsetHz);
        if (world == "island")
        {
            PrintValue("main_ms_mean", r.meanFrameMs, "main_ms_settled_mean", r.settledFrameMs);
            PrintValue("main_ms_worst", r.worstFrameMs, "main_ms_settled_mean", r.settledFrameMs);
            PrintValue("main_cpu_ms_worst", r.worstFrameCpuMs, "main_ms_worst", r.worstFrameMs);
        }
    }
    else
    {
        const double rate = r.secondsToExpected > 0.0 ? r.expected / r.secondsToExpected : 0.0;
        PrintValue((prefix + "_chunks_per_s").c_str(), rate, "meshing_only_chunks_per_s", r.meshingChunksPerSecond);
    }
    PrintValue((prefix + "_main_ms_mean").c_str(), r.meanFrameMs, "settled_main_ms_mean", r.settledFrameMs);
    PrintValue((prefix + "_main_ms_worst").c_str(), r.worstFrameMs, "settled_main_ms_mean", r.settledFrameMs);
    PrintValue((prefix + "_peak_mib").c_str(), r.peakMiB, "full_window_mib", r.fullWindowMiB);
}

// The main thread's time in reading every region file of the world whole, as a store that
// reads them all at opening does: the reference of the world's opening time.
double ReadAllRegionsMs(GameSettings& settings, const std::wstring& name)
{
    settings.activeGame.SetGameWorldName(name);
    const Clock::time_point start = Clock::now();
    WorldStore store(settings);
    store.Open();
    return Seconds(Clock::now() - start) * 1000.0;
}
}

// Arguments: any of "flat", "island", "headless", "paced" runs only the phases named (all
// phases without arguments).
int main(int argc, char** argv)
{
    const auto wanted = [argc, argv](const char* worldName, const char* clockName) {
        bool worldNamed = false, clockNamed = false, worldWanted = false, clockWanted = false;
        for (int index = 1; index < argc; ++index)
        {
            const std::string argument = argv[index];
            const bool isWorld = argument == "flat" || argument == "island";
            (isWorld ? worldNamed : clockNamed) = true;
            (isWorld ? worldWanted : clockWanted) |= argument == (isWorld ? worldName : clockName);
        }
        return (!worldNamed || worldWanted) && (!clockNamed || clockWanted);
    };
    PimVoxelGrid::CacheVoxelCodes(5000);

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("quillot-bench-world-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const PimWString base = PimWString::Widen(folder.string());
    GameSettings settings(SettingsFolders::FromBases(base, base + L"/data", base + L"/Pictures"));

    auto flat = std::make_shared<WorldSetup>(kSeed);
    GenerateTerrain(*flat, DefaultWorldParameters());
    auto island = std::make_shared<WorldSetup>(kSeed);
    if (wanted("island", "headless") || wanted("island", "paced"))
    {
        GenerateTerrain(*island, IslandWorld::Parameters());
        settings.activeGame.SetGameWorldName(L"BenchIsland");
        // In a child process, so that the memory of writing them is not counted as the world's.
        const pid_t writer = ::fork();
        if (writer == 0)
        {
            IslandWorld::WriteStoredRegions(settings, *island);
            std::fflush(stdout);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(writer, &status, 0);
    }

    // The engine starts after the child is done: no engine thread is running at the fork.
    PimSystemParameters parameters;
    parameters.display = PimDisplayBackend::None;
    parameters.deviceMode = PimDeviceMode::Scripted;
    if (!PimSystem::Initialize(parameters))
        return 1;
    ChunkPool::Shared().FillTo(5000);

    struct Phase
    {
        const char* world;
        bool paced;
    };
    std::vector<double> islandOpenMs;
    for (const Phase phase : {Phase{"flat", false}, Phase{"flat", true}, Phase{"island", false}, Phase{"island", true}})
    {
        if (!wanted(phase.world, phase.paced ? "paced" : "headless"))
            continue;
        const bool isIsland = std::string(phase.world) == "island";
        const PhaseResult result =
            RunWorld(settings, isIsland ? L"BenchIsland" : L"BenchFlat", isIsland ? island : flat, phase.paced);
        Print(phase.world, phase.paced ? "90 Hz" : "headless", result);
        PrintValues(phase.world, phase.paced, result);
        if (isIsland)
            islandOpenMs.push_back(result.openMs);
    }
    // After the phases, so that the memory of reading every region does not start a phase.
    if (!islandOpenMs.empty())
    {
        const double reference = ReadAllRegionsMs(settings, L"BenchIsland");
        for (double openMs : islandOpenMs)
            PrintValue("open_main_thread_ms_20_regions", openMs, "read_all_regions_ms", reference);
    }

    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    PimSystem::Shutdown();
    return 0;
}
