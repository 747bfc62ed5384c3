// Terrain: FillChunk in microseconds per chunk on several kinds of chunk, beside a 64 KiB memcpy
// measured in the same run, and each generator's milliseconds for a 7040 x 7040 world (the
// default world's width). Counters: us_per_chunk, bytes the chunk keeps, and the memcpy ratio.
// Times are the thread's CPU time: on a shared machine the wall clock also counts the time other
// processes hold the core.

#include "engine/PimVoxelGrid.h"
#include "world/TerrainFill.h"
#include "world/TerrainGenerator.h"

#include <benchmark/benchmark.h>

#include <time.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace
{
constexpr float kDefaultWidth = 7040.0f;
constexpr std::uint32_t kSeed = 20240611u;

WorldParameterList WalkerWorld(TerrainType type)
{
    WorldParameterList list = {
        {WorldParameterId::TerrainType, static_cast<float>(type), {}},
        {WorldParameterId::LowestWalkers, 20.0f, {}},
        {WorldParameterId::HighestWalkers, 40.0f, {}},
        {WorldParameterId::WalkLengthBase, 2000.0f, {}},
        {WorldParameterId::WalkLengthSpread, 1000.0f, {}},
        {WorldParameterId::SmoothingPasses, 3.0f, {}},
        {WorldParameterId::WaterLevel, type == TerrainType::Island ? 100.0f : 4.0f, {}},
        {WorldParameterId::IslandSize, kDefaultWidth, {}},
        {WorldParameterId::WorldHeight, 512.0f, {}},
        {WorldParameterId::HeightCap, 160.0f, {}},
    };
    return list;
}

WorldParameterList ListOf(int generator)
{
    switch (generator)
    {
    case 0: return WalkerWorld(TerrainType::Rolling);
    case 1: return DefaultWorldParameters();
    default: return WalkerWorld(TerrainType::Island);
    }
}

const char* const kGeneratorNames[] = {"rolling", "flat_default", "island"};

void BM_GenerateTerrain(benchmark::State& state)
{
    const WorldParameterList list = ListOf(static_cast<int>(state.range(0)));
    WorldSetup setup(kSeed);
    for (auto _ : state)
    {
        GenerateTerrain(setup, list);
        benchmark::DoNotOptimize(setup.GetHeightMap().Samples().data());
    }
    state.SetLabel(kGeneratorNames[state.range(0)]);
    state.counters["samples"] = static_cast<double>(setup.GetHeightMap().Samples().size());
}
BENCHMARK(BM_GenerateTerrain)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Rolling hills 20 to 60 voxels high with 16 over water level 30: every chunk of the lowest two
// layers has a surface band of several layers.
WorldSetup& Hills()
{
    static std::unique_ptr<WorldSetup> setup;
    if (!setup)
    {
        setup = std::make_unique<WorldSetup>(kSeed);
        setup->SetSize(2048, 2048);
        setup->SetWaterLevel(30.0f);
        HeightMap& map = setup->GetHeightMap();
        for (int z = 0; z < map.GetDepth(); ++z)
            for (int x = 0; x < map.GetWidth(); ++x)
                map.Set(x, z, static_cast<std::uint16_t>(40.0 + 12.0 * std::sin(x * 0.9) + 8.0 * std::cos(z * 0.7)));
    }
    return *setup;
}

WorldSetup& Island()
{
    static std::unique_ptr<WorldSetup> setup;
    if (!setup)
    {
        setup = std::make_unique<WorldSetup>(kSeed);
        GenerateTerrain(*setup, WalkerWorld(TerrainType::Island));
    }
    return *setup;
}

struct FillCase
{
    const char* name;
    WorldSetup& (*setup)();
    float y;
    bool acrossIsland; // a row of chunks through the island's middle, coast and sea included
};

const FillCase kFillCases[] = {
    {"hills_ground_y0", Hills, 0.0f, false},
    {"hills_surface_y32", Hills, 32.0f, false},
    {"hills_air_y256", Hills, 256.0f, false},
    {"island_row_y0", Island, 0.0f, true},
    {"island_row_y128", Island, 128.0f, true},
};

std::vector<PimVector3> ChunkLocations(const FillCase& fill)
{
    std::vector<PimVector3> locations;
    const HeightMap& map = fill.setup().GetHeightMap();
    if (fill.acrossIsland)
        for (int x = 0; x < map.GetWidth(); ++x)
            locations.emplace_back(32.0f * x, fill.y, 32.0f * (map.GetDepth() / 2));
    else
        for (int x = 8; x < 40; ++x)
            locations.emplace_back(32.0f * x, fill.y, 32.0f * 20);
    return locations;
}

double ThreadMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

double MemcpyMicroseconds()
{
    std::vector<std::uint16_t> from(PimVoxelGrid::kVoxelCount, 7);
    std::vector<std::uint16_t> to(PimVoxelGrid::kVoxelCount);
    int runs = 0;
    const double start = ThreadMicroseconds();
    do
    {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(std::uint16_t));
        benchmark::ClobberMemory();
        ++runs;
    } while (ThreadMicroseconds() - start < 50000.0);
    return (ThreadMicroseconds() - start) / runs;
}

// pooled: each fill starts from a chunk fresh from the pool (DeInitialize included in the time),
// as the world worker sees them; otherwise the chunk is filled again over its own data.
void RunFill(benchmark::State& state, bool pooled)
{
    const FillCase& fill = kFillCases[state.range(0)];
    const WorldSetup& setup = fill.setup();
    const std::vector<PimVector3> locations = ChunkLocations(fill);
    const double memcpyUs = MemcpyMicroseconds();
    PimVoxelGrid chunk;
    std::size_t next = 0;
    double keptBytes = 0.0;

    const double start = ThreadMicroseconds();
    for (auto _ : state)
    {
        if (pooled)
            chunk.DeInitialize();
        chunk.SetLocation(locations[next]);
        FillChunk(setup, chunk);
        keptBytes += static_cast<double>(chunk.GetVoxelBytes());
        next = (next + 1) % locations.size();
    }
    const double us = (ThreadMicroseconds() - start) / static_cast<double>(state.iterations());
    state.SetLabel(fill.name);
    state.counters["us_per_chunk"] = us;
    state.counters["memcpy_us"] = memcpyUs;
    state.counters["x_memcpy"] = us / memcpyUs;
    state.counters["kept_bytes"] = keptBytes / static_cast<double>(state.iterations());
}

void BM_FillChunkPooled(benchmark::State& state) { RunFill(state, true); }
void BM_FillChunkRefill(benchmark::State& state) { RunFill(state, false); }
BENCHMARK(BM_FillChunkPooled)->DenseRange(0, static_cast<int>(std::size(kFillCases)) - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillChunkRefill)->DenseRange(0, static_cast<int>(std::size(kFillCases)) - 1)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
