// The menu rooms' costs on this machine, offscreen with the software renderer:
// - menu_build_ms: the main menu's build (its second frame: the room, the title, the four objects
//   with their voxel models meshed and uploaded), beside the build of a bare room chunk with the
//   same walls as a reference;
// - hall_open_ms_200: opening the hall of saved models with 200 models (listing, hall room of 200
//   pedestals, 200 items with labels and thumbnails), beside the listing of the folder alone; and
//   hall_reopen_ms_200, the second visit, which reuses every item.
// Each is the best of a few runs. Thumbnails are read as the user comes near them, at most one a
// frame, so they are not part of opening.

#include "pages/SavedModelList.h"
#include "pages/VoxelMenu.h"
#include "pages/VoxelSavedGamesMenu.h"

#include "world/ChunkBlock.h"

#include "settings/GameSettings.h"

#include "engine/PimCamera.h"
#include "engine/PimContentFolder.h"
#include "engine/PimFilePath.h"
#include "engine/PimSystem.h"
#include "engine/PimText.h"
#include "engine/PimTexture.h"
#include "engine/PimUIManager.h"
#include "engine/PimVoxelGrid.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include <unistd.h>

namespace
{
namespace fs = std::filesystem;
constexpr int kModels = 200;
constexpr int kRuns = 3;

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

// A room chunk with the main menu's shell of walls, built and uploaded.
double BareRoomMilliseconds()
{
    return Milliseconds([] {
        ChunkBlock room;
        room.Create(1, 1, 1);
        for (int y = 0; y < 32; ++y)
            for (int z = 0; z < 32; ++z)
                for (int x = 0; x < 32; ++x)
                    if (x == 0 || y == 0 || z == 0 || x == 31 || y == 31 || z == 31)
                        room.SetVoxelAt(static_cast<std::uint16_t>(0xFF1F + (y / 2) * 16 % 224), PimVector3(x, y, z), false, false);
        room.GetChunk(0)->Regenerate(false);
        room.Build();
    });
}
}

int main()
{
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    PimSystemParameters parameters;
    parameters.width = 320;
    parameters.height = 240;
    parameters.deviceMode = PimDeviceMode::Scripted;
    parameters.fixedFrameSeconds = 1.0 / 90.0;
    if (!PimSystem::Initialize(parameters))
        return 1;
    PimVoxelGrid::StaticInitialize(ContentPath("Graphics/Shaders/voxelShader.vs"), ContentPath("Graphics/Shaders/voxelShader.ps"),
                                   ContentPath("Graphics/Shaders/voxelShaderCellBack.vs"),
                                   ContentPath("Graphics/Shaders/voxelShaderCellBack.ps"));
    PimVoxelGrid::CacheVoxelCodes(64);
    PimText::SetFont(ContentPath("Graphics/Fonts/Font.png"));
    PimText::Initialize();

    const fs::path data = fs::temp_directory_path() / ("quillot_menu_bench_" + std::to_string(::getpid()));
    SettingsFolders folders = SettingsFolders::Locate();
    folders.SetLocalDataFolder(PimWString::Widen(data.string()));
    GameSettings settings(folders);

    const double bare = Best(BareRoomMilliseconds);
    const double build = Best([&] {
        auto menu = std::make_shared<VoxelMenu>(settings, std::make_shared<PimCamera>(), nullptr, VoxelMenu::WorldPageFactory{});
        menu->Build();
        return menu->GetBuildMilliseconds();
    });
    std::printf("reference: a bare room chunk with the same walls built in %.2f ms\n", bare);
    std::printf("menu_build_ms=%.2f (%.1f x the bare room)\n", build, build / bare);

    // 200 models, each with a real thumbnail of six 256 x 256 views.
    const fs::path models = PimFilePath(settings.GetFolders().models).Native();
    PimTexture thumbnail;
    thumbnail.Create(768, 512, PimColor(90, 140, 200, 255));
    fs::create_directories(models / "Model 0");
    thumbnail.Save((models / "Model 0" / "SaveView.png").string());
    for (int i = 1; i < kModels; ++i)
    {
        const fs::path folder = models / ("Model " + std::to_string(i));
        fs::create_directories(folder);
        fs::copy_file(models / "Model 0" / "SaveView.png", folder / "SaveView.png", fs::copy_options::overwrite_existing);
    }
    const double listing = Best([&] {
        return Milliseconds([&] {
            if (SavedModelList::List(settings.GetFolders().models).size() != kModels)
                std::printf("listing: unexpected count\n");
        });
    });
    double open = 1e30, reopen = 1e30;
    for (int run = 0; run < kRuns; ++run)
    {
        auto root = std::make_shared<PimUIPage>();
        auto hall = std::make_shared<VoxelSavedGamesMenu>(settings, std::make_shared<PimCamera>());
        root->AddChildPage(hall);
        root->ActivateThisPage();
        open = std::min(open, Milliseconds([&] { root->SetActivePage(hall.get()); }));
        if (hall->GetItems().size() != kModels)
            std::printf("hall: %zu items\n", hall->GetItems().size());
        root->ActivateThisPage();
        reopen = std::min(reopen, Milliseconds([&] { root->SetActivePage(hall.get()); }));
    }
    std::printf("reference: listing the %d models alone %.2f ms\n", kModels, listing);
    std::printf("hall_open_ms_200=%.2f (%.1f x the listing)\n", open, open / listing);
    std::printf("hall_reopen_ms_200=%.2f\n", reopen);

    std::error_code error;
    fs::remove_all(data, error);
    PimSystem::Shutdown();
    return 0;
}
