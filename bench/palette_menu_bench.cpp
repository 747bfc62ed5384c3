// The in-game menu's palette wall, frame by frame, offscreen with the scripted headset turned to
// it: the wall's Update and Draw (258 swatches, the picker, the scroll slider, the palette strip
// over the off hand and the hint lines) while the wall scrolls a little every frame, so the
// swatches are placed again each frame. Every frame waits for its picture (glFinish), so the wall
// clock counts the drawing too.
//
// Figures, each as a name=value line after the table:
// - palette_menu_frame_ms: the main thread's CPU time in the wall's Update and Draw per frame;
// - palette_menu_frame_wall_ms: the whole frame's wall clock, beside the empty frame's
//   (empty_frame_ms, the clear and the swap alone);
// - reference_all_swatches_rebuilt_ms: the main thread's CPU time to rebuild and draw all 258
//   swatch cubes in a frame, the straightforward way of showing the wall.
// On a machine without a GPU, Mesa's llvmpipe draws on the CPU (partly on threads of its own).

#include "colour/PaletteModel.h"
#include "colour/PaletteStrip.h"
#include "colour/VrPaletteSelectionMenu.h"

#include "settings/GameSettings.h"
#include "world/VoxelCube.h"

#include "engine/PimAngle.h"
#include "engine/PimCamera.h"
#include "engine/PimContentFolder.h"
#include "engine/PimIOContext.h"
#include "engine/PimRenderableObject.h"
#include "engine/PimScene.h"
#include "engine/PimSystem.h"
#include "engine/PimText.h"
#include "engine/PimViewport.h"
#include "engine/PimVoxelGrid.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrScriptedDevice.h"
#include "engine/PimVrSystem.h"
#include "engine/PimWindow.h"

#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#include <unistd.h>

namespace
{
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

// Runs a piece of drawing in the viewport's draw pass and adds up its main-thread CPU time.
class TimedDrawing : public PimRenderableObject
{
public:
    void Draw() override
    {
        if (!draw)
            return;
        const double start = ThreadMilliseconds();
        draw();
        cpuMs += ThreadMilliseconds() - start;
    }
    std::function<void()> draw;
    double cpuMs = 0.0;
};

struct Bench
{
    std::shared_ptr<PimScene> scene = std::make_shared<PimScene>();
    std::shared_ptr<PimViewport> viewport = std::make_shared<PimViewport>();
    std::shared_ptr<TimedDrawing> drawing = std::make_shared<TimedDrawing>();
    std::unique_ptr<GameSettings> settings;
    std::unique_ptr<VrPaletteSelectionMenu> menu;
    std::filesystem::path data;
};

Bench& TheBench()
{
    static Bench* bench = nullptr;
    if (bench != nullptr)
        return *bench;
    bench = new Bench;
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    PimSystemParameters parameters;
    parameters.width = 640;
    parameters.height = 480;
    parameters.deviceMode = PimDeviceMode::Scripted;
    parameters.fixedFrameSeconds = 1.0 / 90.0;
    parameters.vsync = false;
    if (!PimSystem::Initialize(parameters))
    {
        std::fprintf(stderr, "bench_palette_menu: the engine cannot start offscreen\n");
        std::exit(1);
    }
    const auto shader = [](const char* name) { return PimContentFolder::Resolve(std::string("Graphics/Shaders/") + name).string(); };
    PimVoxelGrid::StaticInitialize(shader("voxelShader.vs"), shader("voxelShader.ps"), shader("voxelShaderCellBack.vs"),
                                   shader("voxelShaderCellBack.ps"));
    PimVoxelGrid::CacheVoxelCodes(64);
    PimText::SetFont(PimContentFolder::Resolve("Graphics/Fonts/Font.png").string());
    PimText::Initialize();

    bench->data = std::filesystem::temp_directory_path() / ("quillot_palette_bench_" + std::to_string(::getpid()));
    SettingsFolders folders = SettingsFolders::Locate();
    folders.SetLocalDataFolder(PimWString::Widen(bench->data.string()));
    bench->settings = std::make_unique<GameSettings>(folders);
    PaletteModel::ApplyDefaultColours();
    bench->settings->activeGame.ResetAll();
    for (std::uint16_t colour = 0; colour < PaletteModel::ColourCount; colour += 7)
        bench->settings->activeGame.SetColourLocked(true, colour);

    // The head turned to the wall from the booth's standing point, the off hand held up in view.
    PimVrSystem& vr = PimVrSystem::GetInstance();
    vr.SetRootPosition({3.0f, 1.1f, 3.0f});
    vr.SetScale(1.5f);
    PimVrScriptedDevice& script = *vr.GetScript();
    const PimMatrix4x4 turned = PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(-90.0f));
    script.SetPose(PimVrDeviceIndex::Headset, {0.0f, 1.2f, 0.0f}, turned);
    script.SetPose(PimVrDeviceIndex::LeftHand, {0.7f, 0.9f, -0.3f}, turned);
    script.SetPose(PimVrDeviceIndex::RightHand, {0.3f, 0.7f, 0.3f}, turned);

    bench->menu = std::make_unique<VrPaletteSelectionMenu>(*bench->settings);
    auto context = std::make_shared<PimIOContext>();
    context->AttachWindow(PimWindow::GetFocusedWindow());
    context->SetActiveScene(bench->scene);
    PimSystem::AddIOContext(context);
    PimSystem::AddFrameCallback(PimFramePhase::Draw, [] { glFinish(); });
    bench->scene->AddViewport(bench->viewport);
    bench->viewport->AddObject(bench->drawing);
    PimCamera& camera = *bench->viewport->GetCamera();
    camera.SetPosition({3.0f, 2.9f, 3.0f});
    camera.SetTarget({5.0f, 2.9f, 2.6f});
    camera.SetFieldOfView(PimAngle::FromDegrees(75.0f));
    camera.SetNearPlane(0.05f);
    return *bench;
}

// Wall-clock milliseconds per frame of `frames` frames as the drawing is now.
double FrameMilliseconds(int frames)
{
    PimSystem::RunFrames(1);
    const double start = WallMilliseconds();
    PimSystem::RunFrames(static_cast<std::uint64_t>(frames));
    return (WallMilliseconds() - start) / frames;
}

void BM_PaletteWall(benchmark::State& state)
{
    Bench& bench = TheBench();
    VrPaletteSelectionMenu& menu = *bench.menu;
    bench.drawing->draw = {};
    const double emptyMs = FrameMilliseconds(30);

    // The wall scrolls to and fro by a little every frame.
    int frame = 0;
    double updateMs = 0.0;
    const PimCallbackId update = PimSystem::AddFrameCallback(PimFramePhase::Update, [&] {
        const double start = ThreadMilliseconds();
        menu.GetScrollSlider().GetSlider().SetValue(0.5f + 0.5f * std::sin(static_cast<float>(++frame) * 0.05f));
        menu.Update();
        updateMs += ThreadMilliseconds() - start;
    });
    bench.drawing->draw = [&menu] { menu.Draw(); };
    PimSystem::RunFrames(2);
    bench.drawing->cpuMs = 0.0;
    updateMs = 0.0;

    const double wallStart = WallMilliseconds();
    for (auto _ : state)
        PimSystem::RunFrames(1);
    const double frames = static_cast<double>(state.iterations());
    const double frameMs = (updateMs + bench.drawing->cpuMs) / frames;
    const double wallMs = (WallMilliseconds() - wallStart) / frames;
    PimSystem::RemoveCallback(update);

    // The reference: every swatch cube rebuilt in its colour and drawn, every frame.
    std::vector<VoxelCube> cubes(PaletteModel::GetSelectableValues().size());
    for (std::size_t n = 0; n < cubes.size(); ++n)
    {
        cubes[n].SetPosition(menu.SwatchPosition(static_cast<int>(n)));
        cubes[n].SetTransform(PimMatrix4x4::CreateScale(VrPaletteSelectionMenu::kSwatchScale));
    }
    const std::vector<std::uint16_t> values = PaletteModel::GetSelectableValues();
    bench.drawing->draw = [&] {
        for (std::size_t n = 0; n < cubes.size(); ++n)
        {
            cubes[n].Build(values[n], PaletteStrip::DisplayColour(values[n]));
            cubes[n].Draw();
        }
    };
    constexpr int kReferenceFrames = 30;
    PimSystem::RunFrames(1);
    bench.drawing->cpuMs = 0.0;
    PimSystem::RunFrames(kReferenceFrames);
    const double referenceMs = bench.drawing->cpuMs / kReferenceFrames;
    bench.drawing->draw = {};

    state.counters["palette_menu_frame_ms"] = frameMs;
    state.counters["palette_menu_frame_wall_ms"] = wallMs;
    state.counters["empty_frame_ms"] = emptyMs;
    state.counters["reference_all_swatches_rebuilt_ms"] = referenceMs;
    state.counters["swatches_drawn"] = static_cast<double>(menu.GetDrawnSwatchCount());
    std::printf("palette_menu_frame_ms=%.3f\n", frameMs);
    std::printf("palette_menu_frame_wall_ms=%.3f\n", wallMs);
    std::printf("empty_frame_ms=%.3f\n", emptyMs);
    std::printf("reference_all_swatches_rebuilt_ms=%.3f (%.1f x the wall's frame)\n", referenceMs, referenceMs / frameMs);
}
BENCHMARK(BM_PaletteWall)->Iterations(300)->UseRealTime()->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
