// The reference the chunk benchmarks are read against: copying one chunk's 64 KiB of voxel codes.
#include "engine/PimVoxelGrid.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
void BM_Memcpy64KiB(benchmark::State& state)
{
    std::vector<std::uint16_t> from(PimVoxelGrid::kVoxelCount, 7);
    std::vector<std::uint16_t> to(PimVoxelGrid::kVoxelCount);
    for (auto _ : state)
    {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(std::uint16_t));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * from.size() * sizeof(std::uint16_t)));
}
BENCHMARK(BM_Memcpy64KiB)->Unit(benchmark::kMicrosecond);
}
