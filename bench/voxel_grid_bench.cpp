// Chunk meshing: BuildGrid on five kinds of chunk, beside the per-voxel reference mesher and a
// 64 KiB memcpy measured in the same run. Counters: triangles per chunk, bytes the chunk holds
// (voxels, built mesh), and for BuildGrid the reference's time and triangles and the speed-up.

#include "engine/PimVoxelGrid.h"
#include "engine/VoxelCodeTable.h"
#include "reference_mesher.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace
{
using CodeAt = std::function<std::uint16_t(int wx, int wy, int wz)>;

// A chunk at the origin with its six neighbours linked, filled from world-position functions.
struct Scene
{
    PimVoxelGrid chunk;
    PimVoxelGrid neighbours[kVoxelFaceCount];

    Scene(const CodeAt& inside, const CodeAt& around)
    {
        Fill(chunk, 0, 0, 0, inside);
        for (std::uint8_t side = 0; side < kVoxelFaceCount; ++side)
        {
            const VoxelFaceStep s = kVoxelFaceSteps[side];
            Fill(neighbours[side], s.x, s.y, s.z, around);
            chunk.SetGridSide(side, &neighbours[side]);
        }
    }

    static void Fill(PimVoxelGrid& grid, int cx, int cy, int cz, const CodeAt& codeAt)
    {
        grid.SetLocation(PimVector3(32.0f * cx, 32.0f * cy, 32.0f * cz));
        grid.LockVoxelMutex();
        std::uint16_t* codes = grid.SetVoxels();
        for (int y = 0; y < 32; ++y)
            for (int z = 0; z < 32; ++z)
                for (int x = 0; x < 32; ++x)
                    codes[PimVoxelGrid::GetIndex(x, y, z)] = codeAt(x + 32 * cx, y + 32 * cy, z + 32 * cz);
        grid.UnLockVoxelMutex(); // compacts uniform chunks, as loading does
    }
};

// Rolling ground like the terrain fill: sand floor, rock, a turf top layer, water in the hollows.
std::uint16_t Terrain(int wx, int wy, int wz)
{
    const double height = 18.0 + 6.0 * std::sin(wx * 0.15) + 5.0 * std::cos(wz * 0.11) + 3.0 * std::sin((wx + wz) * 0.07);
    const int top = static_cast<int>(height);
    if (wy < 3)
        return VoxelCode::Sand;
    if (wy > top)
        return wy <= 12 ? VoxelCode::Water : 0;
    return wy < top - 5 ? VoxelCode::Rock : VoxelCode::Turf;
}

std::uint16_t Sphere(int wx, int wy, int wz)
{
    const double dx = wx - 15.5, dy = wy - 15.5, dz = wz - 15.5;
    return dx * dx + dy * dy + dz * dz <= 14.0 * 14.0 ? 0xFF07 : 0;
}

std::uint16_t Checkerboard(int wx, int wy, int wz)
{
    return ((wx + wy + wz) & 1) == 0 ? 0xFF10 : 0;
}

std::uint16_t Rock(int, int, int) { return VoxelCode::Rock; }
std::uint16_t Air(int, int, int) { return 0; }

struct Case
{
    const char* name;
    CodeAt inside;
    CodeAt around;
};

const Case kCases[] = {
    {"terrain", Terrain, Terrain},
    {"sphere", Sphere, Air},
    {"checkerboard", Checkerboard, Air},
    {"solid_hidden", Rock, Rock},
    {"empty", Air, Air},
};

Scene& SceneOf(int index)
{
    static std::unique_ptr<Scene> scenes[std::size(kCases)];
    if (!scenes[index])
    {
        PimVoxelGrid::CacheVoxelCodes(5000);
        scenes[index] = std::make_unique<Scene>(kCases[index].inside, kCases[index].around);
        // The terrain's lower neighbour is solid ground, its upper one air.
        if (index == 0)
        {
            Scene::Fill(scenes[index]->neighbours[VoxelFaceNegY], 0, -1, 0, Rock);
            Scene::Fill(scenes[index]->neighbours[VoxelFacePosY], 0, 1, 0, Air);
        }
    }
    return *scenes[index];
}

// Microseconds per reference build, measured over enough runs to be stable.
double ReferenceMicroseconds(PimVoxelGrid& chunk, VoxelMesh& mesh)
{
    using Clock = std::chrono::steady_clock;
    int runs = 0;
    const auto start = Clock::now();
    do
    {
        ReferenceMesh(chunk, mesh);
        ++runs;
    } while (Clock::now() - start < std::chrono::milliseconds(50));
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / runs;
}

void BM_BuildGrid(benchmark::State& state)
{
    Scene& scene = SceneOf(static_cast<int>(state.range(0)));
    PimVoxelGrid& chunk = scene.chunk;
    VoxelMesh reference;
    const double referenceUs = ReferenceMicroseconds(chunk, reference);

    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        chunk.BuildGrid();
    const double us =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / static_cast<double>(state.iterations());

    const double voxelBytes = static_cast<double>(chunk.GetVoxelBytes());
    const double meshBytes = static_cast<double>(chunk.GetMeshBytes());
    VoxelMesh mesh;
    chunk.TakeBuiltMesh(mesh);
    state.SetLabel(kCases[state.range(0)].name);
    state.counters["us_per_chunk"] = us;
    state.counters["triangles"] = mesh.TriangleCount();
    state.counters["voxel_bytes"] = voxelBytes;
    state.counters["mesh_bytes"] = meshBytes;
    state.counters["ref_us"] = referenceUs;
    state.counters["ref_triangles"] = reference.TriangleCount();
    state.counters["speedup"] = referenceUs / us;
}
BENCHMARK(BM_BuildGrid)->DenseRange(0, static_cast<int>(std::size(kCases)) - 1)->Unit(benchmark::kMicrosecond);

void BM_ReferenceMesher(benchmark::State& state)
{
    Scene& scene = SceneOf(static_cast<int>(state.range(0)));
    VoxelMesh mesh;
    for (auto _ : state)
    {
        ReferenceMesh(scene.chunk, mesh);
        benchmark::DoNotOptimize(mesh.vertices.data());
    }
    state.SetLabel(kCases[state.range(0)].name);
    state.counters["triangles"] = mesh.TriangleCount();
    state.counters["mesh_bytes"] = static_cast<double>(mesh.BytesHeld());
}
BENCHMARK(BM_ReferenceMesher)->DenseRange(0, static_cast<int>(std::size(kCases)) - 1)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
