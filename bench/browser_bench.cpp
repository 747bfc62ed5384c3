// The file browser over a folder of 5,000 pictures, offscreen with the software renderer:
// - browser_open_5000_ms: entering the booth on that folder (listing, the column of 5,000 lines
//   laid out) and its first frame (the labels in view made and uploaded), beside the engine's
//   listing of the same folder alone;
// - browser_frame_5000_ms: the main thread's time in the browser's Update and Draw for one frame
//   over that folder, beside the same over an empty folder (the booth, its buttons and the
//   player alone).
// Each is the best of a few runs (the frame: the mean of 100 frames, best of the runs).

#include "pages/VRFileBrowser.h"

#include "settings/GameSettings.h"

#include "engine/PimCamera.h"
#include "engine/PimContentFolder.h"
#include "engine/PimFile.h"
#include "engine/PimIOContext.h"
#include "engine/PimRenderableObject.h"
#include "engine/PimScene.h"
#include "engine/PimSystem.h"
#include "engine/PimText.h"
#include "engine/PimViewport.h"
#include "engine/PimVoxelGrid.h"
#include "engine/PimWindow.h"

#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>

#include <unistd.h>

namespace
{
namespace fs = std::filesystem;
constexpr int kPictures = 5000;
constexpr int kRuns = 3;
constexpr int kFrames = 100;

double Milliseconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Best(const std::function<double()>& run)
{
    double best = 1e30;
    for (int i = 0; i < kRuns; ++i)
        best = std::min(best, run());
    return best;
}

std::string ContentPath(const char* relative)
{
    return PimContentFolder::Resolve(relative).string();
}

// Draws the browser inside the viewport's pass, timing its Draw.
class BrowserDrawing : public PimRenderableObject
{
public:
    void Draw() override
    {
        if (browser != nullptr && browser->IsActivePage())
            drawMilliseconds += Milliseconds([this] { browser->Draw(); });
    }
    VRFileBrowser* browser = nullptr;
    double drawMilliseconds = 0.0;
};

// A small valid picture, copied under 5,000 names.
void FillFolder(const fs::path& folder)
{
    fs::create_directories(folder);
    PimTexture picture;
    picture.Create(16, 16, PimColor(120, 160, 90, 255));
    picture.Save((folder / "picture 0000.png").string());
    for (int i = 1; i < kPictures; ++i)
    {
        char name[32];
        std::snprintf(name, sizeof name, "picture %04d.png", i);
        fs::copy_file(folder / "picture 0000.png", folder / name, fs::copy_options::overwrite_existing);
    }
}
}

int main()
{
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    PimSystemParameters parameters;
    parameters.width = 540;
    parameters.height = 600;
    parameters.deviceMode = PimDeviceMode::Scripted;
    parameters.fixedFrameSeconds = 1.0 / 90.0;
    parameters.vsync = false;
    if (!PimSystem::Initialize(parameters))
        return 1;
    PimVoxelGrid::StaticInitialize(ContentPath("Graphics/Shaders/voxelShader.vs"), ContentPath("Graphics/Shaders/voxelShader.ps"),
                                   ContentPath("Graphics/Shaders/voxelShaderCellBack.vs"),
                                   ContentPath("Graphics/Shaders/voxelShaderCellBack.ps"));
    PimVoxelGrid::CacheVoxelCodes(64);
    PimText::SetFont(ContentPath("Graphics/Fonts/Font.png"));
    PimText::Initialize();

    const fs::path data = fs::temp_directory_path() / ("quillot_browser_bench_" + std::to_string(::getpid()));
    const fs::path pictures = data / "Pictures";
    const fs::path empty = data / "Empty";
    FillFolder(pictures);
    fs::create_directories(empty);
    SettingsFolders folders = SettingsFolders::Locate();
    folders.SetLocalDataFolder(PimWString::Widen(data.string()));
    folders.picturesFolder = PimWString::Widen(pictures.string() + "/");
    GameSettings settings(folders);

    auto scene = std::make_shared<PimScene>();
    auto viewport = std::make_shared<PimViewport>();
    auto drawing = std::make_shared<BrowserDrawing>();
    auto context = std::make_shared<PimIOContext>();
    context->AttachWindow(PimWindow::GetFocusedWindow());
    context->SetActiveScene(scene);
    PimSystem::AddIOContext(context);
    scene->AddViewport(viewport);
    viewport->AddObject(drawing);
    double updateMilliseconds = 0.0;
    PimSystem::AddFrameCallback(PimFramePhase::Update, [&] {
        if (drawing->browser != nullptr && drawing->browser->IsActivePage())
            updateMilliseconds += Milliseconds([&] { drawing->browser->Update(); });
    });
    PimSystem::AddFrameCallback(PimFramePhase::Draw, [] { glFinish(); });

    const double listing = Best([&] {
        return Milliseconds([&] {
            if (PimFile::GetFolderContents(pictures.string()).files.size() != kPictures)
                std::printf("listing: unexpected count\n");
        });
    });

    auto root = std::make_shared<PimUIPage>();
    auto browser = std::make_shared<VRFileBrowser>(settings, viewport->GetCamera());
    root->AddChildPage(browser);
    drawing->browser = browser.get();
    double open = 1e30;
    for (int run = 0; run < kRuns; ++run)
    {
        root->ActivateThisPage();
        open = std::min(open, Milliseconds([&] {
                            root->SetActivePage(browser.get());
                            PimSystem::RunFrames(1);
                        }));
        if (browser->GetEntries().size() != kPictures)
            std::printf("browser: %zu lines\n", browser->GetEntries().size());
    }

    // The mean main-thread time of Update and Draw over kFrames frames of the folder shown now.
    const auto frame = [&] {
        return Best([&] {
            PimSystem::RunFrames(2);
            updateMilliseconds = 0.0;
            drawing->drawMilliseconds = 0.0;
            PimSystem::RunFrames(kFrames);
            return (updateMilliseconds + drawing->drawMilliseconds) / kFrames;
        });
    };
    const double full = frame();
    browser->ListFolder(PimWString::Widen(empty.string()));
    const double bare = frame();

    std::printf("reference: listing the %d pictures alone %.2f ms\n", kPictures, listing);
    std::printf("browser_open_5000_ms=%.2f (%.1f x the listing)\n", open, open / listing);
    std::printf("reference: a frame of the browser over an empty folder %.3f ms\n", bare);
    std::printf("browser_frame_5000_ms=%.3f (%.2f x the empty folder)\n", full, full / bare);

    root.reset();
    browser.reset();
    std::error_code error;
    fs::remove_all(data, error);
    PimSystem::Shutdown();
    return 0;
}
