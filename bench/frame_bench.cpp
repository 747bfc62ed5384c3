// Whole frames with chunks: PimSystem::RunFrames(1) on the offscreen display with the scripted
// headset, through the scene, its main viewport and the chunks' Draw, with 64, 256 and 1024
// terrain chunks in view (the surface chunk of each column in the middle of a hilly world, filled
// by the terrain fill, meshed and uploaded beforehand). Each case first measures the same frame with no chunk
// at all (the clear and the swap alone) and reads its figures against it. Every frame waits for
// its picture (glFinish after the scene), since the offscreen surface's swap does not, so the
// wall clock counts the drawing too.
//
// Counters: ms_per_frame (wall clock) and cpu_ms_per_frame (the main thread's CPU time), draw calls
// and triangles per frame, the empty frame's milliseconds, each chunk's microseconds over the empty
// frame, and the frame over the empty frame. On a machine without a GPU, Mesa's llvmpipe draws on
// the CPU (partly on threads of its own), so the figures are informational there.

#include "engine/PimCamera.h"
#include "engine/PimContentFolder.h"
#include "engine/PimDrawStats.h"
#include "engine/PimIOContext.h"
#include "engine/PimRenderableObject.h"
#include "engine/PimScene.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"
#include "engine/PimViewport.h"
#include "engine/PimVoxelGrid.h"
#include "engine/PimWindow.h"
#include "world/TerrainFill.h"
#include "world/WorldSetup.h"

#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace
{
constexpr int kLargestSide = 32;  // 32 x 32 columns: 1024 chunks
// The world is twice as wide, so that its ground (a disc half the world wide) covers every column
// of the square in its middle.
constexpr int kWorldSide = 2 * kLargestSide;
constexpr std::uint32_t kSeed = 20240611u;

// Draws the first `count` chunks it holds, in order.
class ChunkField : public PimRenderableObject
{
public:
    void Draw() override
    {
        for (std::size_t i = 0; i < count && i < chunks.size(); ++i)
            chunks[i]->Draw();
    }

    std::vector<std::unique_ptr<PimVoxelGrid>> chunks;
    std::size_t count = 0;
};

struct Bench
{
    std::shared_ptr<PimScene> scene = std::make_shared<PimScene>();
    std::shared_ptr<PimViewport> viewport = std::make_shared<PimViewport>();
    std::shared_ptr<ChunkField> field = std::make_shared<ChunkField>();
    std::shared_ptr<const PimTexture> atlas;
    WorldSetup world{kSeed};
    bool ready = false;
};

// Hills 20 to 60 voxels high over water at 30, a different slope in every chunk column, in a
// world kWorldSide chunk columns wide.
void ShapeWorld(WorldSetup& world)
{
    world.SetSize(32 * kWorldSide, 32 * kWorldSide);
    world.SetWaterLevel(30.0f);
    HeightMap& map = world.GetHeightMap();
    for (int z = 0; z < map.GetDepth(); ++z)
        for (int x = 0; x < map.GetWidth(); ++x)
            map.Set(x, z, static_cast<std::uint16_t>(40.0 + 12.0 * std::sin(x * 0.9) + 8.0 * std::cos(z * 0.7)));
}

// The chunk of column (x, z) that holds the ground's surface there, filled, meshed and uploaded.
std::unique_ptr<PimVoxelGrid> SurfaceChunk(Bench& bench, int x, int z)
{
    const HeightMap& heights = bench.world.GetHeightMap();
    const int height = heights.ClampedAt(x, z);
    auto chunk = std::make_unique<PimVoxelGrid>();
    chunk->SetLocation({32.0f * static_cast<float>(x), 32.0f * static_cast<float>(std::max(0, height - 1) / 32),
                        32.0f * static_cast<float>(z)});
    chunk->LoadTextures(bench.atlas);
    chunk->Initialize();
    chunk->UseSpecialColors(true);
    FillChunk(bench.world, *chunk);
    chunk->BuildGrid();
    chunk->GLLoad();
    return chunk;
}

// Starts the engine offscreen, generates the world and builds its chunks, in the order the field
// draws them: the columns of the 8 x 8 square first, then those of 16 x 16, then the rest.
Bench& TheBench()
{
    static Bench bench;
    if (bench.ready)
        return bench;
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    PimSystemParameters parameters;
    parameters.width = 540;
    parameters.height = 600;
    parameters.deviceMode = PimDeviceMode::Scripted;
    parameters.fixedFrameSeconds = 1.0 / 90.0;
    parameters.vsync = false;
    if (!PimSystem::Initialize(parameters))
    {
        std::fprintf(stderr, "bench_frame: the engine cannot start offscreen\n");
        std::exit(1);
    }
    const auto shader = [](const char* name) { return PimContentFolder::Resolve(std::string("Graphics/Shaders/") + name).string(); };
    if (!PimVoxelGrid::StaticInitialize(shader("voxelShader.vs"), shader("voxelShader.ps"),
                                        shader("voxelShaderCellBack.vs"), shader("voxelShaderCellBack.ps")))
    {
        std::fprintf(stderr, "bench_frame: the chunk programs do not load\n");
        std::exit(1);
    }
    auto atlas = std::make_shared<PimTexture>();
    atlas->Load(PimContentFolder::Resolve("Graphics/Textures/VoxelTexturesTop1.png").string());
    bench.atlas = atlas;
    PimVoxelGrid::CacheVoxelCodes(kLargestSide * kLargestSide);
    ShapeWorld(bench.world);

    std::vector<bool> taken(kWorldSide * kWorldSide, false);
    for (int side : {8, 16, kLargestSide})
    {
        const int first = (kWorldSide - side) / 2;
        for (int z = first; z < first + side; ++z)
            for (int x = first; x < first + side; ++x)
            {
                if (taken[static_cast<std::size_t>(z * kWorldSide + x)])
                    continue;
                taken[static_cast<std::size_t>(z * kWorldSide + x)] = true;
                bench.field->chunks.push_back(SurfaceChunk(bench, x, z));
            }
    }

    auto context = std::make_shared<PimIOContext>();
    context->AttachWindow(PimWindow::GetFocusedWindow());
    context->SetActiveScene(bench.scene);
    PimSystem::AddIOContext(context);
    PimSystem::AddFrameCallback(PimFramePhase::Draw, [] { glFinish(); });
    bench.scene->AddViewport(bench.viewport);
    bench.viewport->AddObject(bench.field);
    bench.viewport->SetClearColor({46, 56, 78, 255});
    PimCamera& camera = *bench.viewport->GetCamera();
    const float middle = 16.0f * kWorldSide;
    camera.SetPosition({middle, 420.0f, middle + 620.0f});
    camera.SetTarget({middle, 0.0f, middle});
    camera.SetFarPlane(2000.0f);
    bench.ready = true;
    return bench;
}

double ThreadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double WallMilliseconds()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Wall-clock milliseconds per frame of `frames` frames of the field as it is.
double FrameMilliseconds(int frames)
{
    PimSystem::RunFrames(1);  // settles what the first frame after a change does
    const double start = WallMilliseconds();
    PimSystem::RunFrames(static_cast<std::uint64_t>(frames));
    return (WallMilliseconds() - start) / frames;
}

void BM_Frame(benchmark::State& state)
{
    Bench& bench = TheBench();
    const auto chunks = static_cast<std::size_t>(state.range(0));
    bench.field->count = 0;
    const double emptyMs = FrameMilliseconds(30);
    bench.field->count = chunks;
    PimSystem::RunFrames(1);

    const double wallStart = WallMilliseconds();
    const double cpuStart = ThreadMilliseconds();
    for (auto _ : state)
        PimSystem::RunFrames(1);
    const double frames = static_cast<double>(state.iterations());
    const double ms = (WallMilliseconds() - wallStart) / frames;
    const double cpuMs = (ThreadMilliseconds() - cpuStart) / frames;

    std::uint64_t quads = 0;
    for (std::size_t i = 0; i < chunks; ++i)
        quads += bench.field->chunks[i]->GetUploadedQuadCount();
    state.counters["chunks"] = static_cast<double>(chunks);
    state.counters["ms_per_frame"] = ms;
    state.counters["cpu_ms_per_frame"] = cpuMs;
    state.counters["draw_calls"] = static_cast<double>(PimDrawStats::GetLastFrameDrawCalls());
    state.counters["triangles"] = static_cast<double>(quads * 2);
    state.counters["empty_frame_ms"] = emptyMs;
    state.counters["us_per_chunk"] = (ms - emptyMs) * 1000.0 / static_cast<double>(chunks);
    state.counters["x_empty_frame"] = ms / emptyMs;
}
BENCHMARK(BM_Frame)->Arg(64)->Arg(256)->Arg(1024)->UseRealTime()->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
