// Region files: encoding and decoding a whole region in memory, and writing and reading it
// through files, for a terrain-like region (every chunk crossed by the ground: value lists) and a
// noisy one (mostly raw records). Throughput voxel_MBps is in bytes of voxel data (64 KiB per
// stored chunk, 32 MiB per region); memcpy_MBps is a plain copy of the same voxel bytes measured in
// the same run, and x_memcpy the time relative to it. Counters also give the file size and the
// number of raw records. The machine is shared: run with --benchmark_repetitions=9
// --benchmark_enable_random_interleaving=true and read the medians.

#include "world/Region.h"
#include "world/RegionCodec.h"
#include "world/RegionFile.h"

#include "engine/PimFile.h"
#include "engine/VoxelCodeTable.h"

#include <benchmark/benchmark.h>

#include <time.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace
{
using RegionCodec::ChunkBuffer;
using RegionCodec::ChunkBuffers;

constexpr int kSlots = RegionCodec::kSlotCount;

std::uint32_t NextRandom(std::uint32_t& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// Rolling ground crossing every chunk (each with its own phase), turf over rock over sand, water
// in the hollows, and a few hundred colour voxels a user placed.
void FillTerrain(ChunkBuffer& chunk, int slot)
{
    std::uint32_t random = 0x9E3779B9u ^ static_cast<std::uint32_t>(slot * 7919 + 1);
    for (int y = 0; y < 32; ++y)
        for (int z = 0; z < 32; ++z)
            for (int x = 0; x < 32; ++x)
            {
                const int wx = x + 32 * (slot % 8), wz = z + 32 * (slot / 8 % 8);
                const double height = 16.0 + 6.0 * std::sin(wx * 0.15 + slot) + 5.0 * std::cos(wz * 0.11) +
                                      3.0 * std::sin((wx + wz) * 0.07);
                const int top = static_cast<int>(height);
                std::uint16_t code = 0;
                if (y < 3)
                    code = VoxelCode::Sand;
                else if (y > top)
                    code = y <= 12 ? VoxelCode::Water : 0;
                else
                    code = y < top - 5 ? VoxelCode::Rock : VoxelCode::Turf;
                chunk[PimVoxelGrid::GetIndex(x, y, z)] = code;
            }
    for (int i = 0; i < 300; ++i)
        chunk[NextRandom(random) & 32767] = static_cast<std::uint16_t>(0xFF00 + (NextRandom(random) & 15));
}

// Colour noise: full chunks (raw), and every eighth chunk half empty with short runs (lists).
void FillNoise(ChunkBuffer& chunk, int slot)
{
    std::uint32_t random = 0x2545F491u ^ static_cast<std::uint32_t>(slot * 104729 + 1);
    const bool halfEmpty = slot % 8 == 0;
    for (std::uint16_t& code : chunk)
    {
        const std::uint32_t r = NextRandom(random);
        code = halfEmpty && (r & 0x10000) ? 0 : static_cast<std::uint16_t>(0xFF00 | (r & 255));
    }
}

struct Sample
{
    ChunkBuffers chunks;
    std::vector<std::uint8_t> file;
    Region region; // the same chunks, for the file benchmarks
    int rawRecords = 0;

    explicit Sample(void (*fill)(ChunkBuffer&, int))
    {
        for (int slot = 0; slot < kSlots; ++slot)
        {
            chunks[slot] = std::make_unique<ChunkBuffer>();
            fill(*chunks[slot], slot);
            PimVoxelGrid grid;
            grid.SetLocation(PimVector3(0, 0, 0) + WorldAddressing::RegionSlotOffset(slot));
            grid.LockVoxelMutex();
            std::memcpy(grid.SetVoxels(), chunks[slot]->data(), RegionCodec::kRawBytes);
            grid.UnLockVoxelMutex();
            region.StoreChunk(grid);
            std::vector<std::uint8_t> record;
            RegionCodec::AppendChunkRecord(*chunks[slot], record);
            rawRecords += record[0] == RegionCodec::kModeRaw;
        }
        RegionCodec::EncodeRegion({}, chunks, file);
    }
};

Sample& SampleOf(int which)
{
    static std::unique_ptr<Sample> samples[2];
    if (!samples[which])
        samples[which] = std::make_unique<Sample>(which == 0 ? FillTerrain : FillNoise);
    return *samples[which];
}

const char* NameOf(int which)
{
    return which == 0 ? "terrain" : "noise";
}

constexpr double kVoxelBytes = double(kSlots) * RegionCodec::kRawBytes;

// The machine is shared: the codec is timed on this thread's CPU time, the file benchmarks (which
// wait for the disk) on the wall clock. The memcpy reference uses the same clock.
enum class Clock
{
    ThreadCpu,
    Wall,
};

double NowMicroseconds(Clock clock)
{
    timespec t{};
    clock_gettime(clock == Clock::ThreadCpu ? CLOCK_THREAD_CPUTIME_ID : CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

// Microseconds for copying the region's voxel bytes (chunk by chunk into one destination),
// measured over enough runs to be stable.
double MemcpyMicroseconds(const Sample& sample, Clock clock)
{
    static std::vector<std::uint8_t> destination(static_cast<std::size_t>(kVoxelBytes));
    int runs = 0;
    const double start = NowMicroseconds(clock);
    do
    {
        for (int slot = 0; slot < kSlots; ++slot)
            std::memcpy(destination.data() + std::size_t(slot) * RegionCodec::kRawBytes, sample.chunks[slot]->data(),
                        RegionCodec::kRawBytes);
        benchmark::ClobberMemory();
        ++runs;
    } while (NowMicroseconds(clock) - start < 200000.0);
    return (NowMicroseconds(clock) - start) / runs;
}

// Runs `body` per iteration and reports throughput in voxel bytes (voxel_MBps, by `clock`) and
// the ratio to memcpy.
template <typename Body>
void Measure(benchmark::State& state, const Sample& sample, Clock clock, Body&& body)
{
    const double memcpyUs = MemcpyMicroseconds(sample, clock);
    double us = 0.0;
    for (auto _ : state)
    {
        const double start = NowMicroseconds(clock);
        body();
        us += NowMicroseconds(clock) - start;
    }
    us /= static_cast<double>(state.iterations());
    state.SetLabel(NameOf(static_cast<int>(state.range(0))));
    state.counters["voxel_MBps"] = kVoxelBytes / us;
    state.counters["memcpy_MBps"] = kVoxelBytes / memcpyUs;
    state.counters["x_memcpy"] = us / memcpyUs;
    state.counters["file_bytes"] = static_cast<double>(sample.file.size());
    state.counters["raw_records"] = sample.rawRecords;
}

void BM_EncodeRegion(benchmark::State& state)
{
    Sample& sample = SampleOf(static_cast<int>(state.range(0)));
    std::vector<std::uint8_t> out;
    Measure(state, sample, Clock::ThreadCpu, [&] {
        RegionCodec::EncodeRegion({}, sample.chunks, out);
        benchmark::DoNotOptimize(out.data());
    });
}
BENCHMARK(BM_EncodeRegion)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

void BM_DecodeRegion(benchmark::State& state)
{
    Sample& sample = SampleOf(static_cast<int>(state.range(0)));
    ChunkBuffers chunks;
    Measure(state, sample, Clock::ThreadCpu, [&] {
        RegionCodec::DecodeRegion(sample.file, chunks);
        benchmark::DoNotOptimize(chunks[kSlots - 1]->data());
    });
}
BENCHMARK(BM_DecodeRegion)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

std::string BenchFolder()
{
    const auto folder = std::filesystem::temp_directory_path() / ("quillot-region-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return folder.string();
}

// The whole save of a region: encode, back up the old file, write and flush the new one, drop
// the backup.
void BM_WriteRegionFile(benchmark::State& state)
{
    Sample& sample = SampleOf(static_cast<int>(state.range(0)));
    const std::string folder = BenchFolder();
    PimVoxelGrid touched;
    sample.region.LoadSlot(0, touched);
    Measure(state, sample, Clock::Wall, [&] {
        sample.region.StoreChunk(touched); // dirty again: one 64 KiB copy
        if (!RegionFile::WriteRegionFile(sample.region, PimWString::Widen(folder)))
            state.SkipWithError("write failed");
    });
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_WriteRegionFile)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// Opening a region: reading the file (from the page cache) and decoding it into a fresh region.
void BM_ReadRegionFile(benchmark::State& state)
{
    Sample& sample = SampleOf(static_cast<int>(state.range(0)));
    const std::string folder = BenchFolder();
    const std::string path = folder + "/region.map";
    PimFile::WriteData(path, sample.file.data(), sample.file.size(), false);
    Measure(state, sample, Clock::Wall, [&] {
        Region region;
        if (!RegionFile::ReadRegionFile(region, PimWString::Widen(path)))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(&region);
    });
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ReadRegionFile)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
