// Opening a saved island model the way a user does: the whole program offscreen (real GL, the
// main menu, its world page and loading booth), the model chosen as the hall's play button
// chooses it, and frames run until the loading booth lets go (the world's build count reaches
// what the booth waits for: min(512 x regions, 7720)). The model holds 20 region files of island
// terrain around the place its settings file keeps for the player.
//
// The figure is frame-clock seconds at a fixed 1/90 s per frame (frames are run as fast as they
// come; a headset would pace them), beside the bound the build budget allows from the same
// frames: each frame a budget's worth of channels gets BuildChannel::kStageDepth stints, so no
// scheduler could let go sooner. Printed as open_island_s=X and budget_bound_s=Y, with the
// frames and the wall-clock seconds of the run.
//
// A plain program, run alone on the machine.

#include "island_world.h"

#include "app/SceneSetup.h"

#include "pages/VRLoadingMenu.h"
#include "pages/VoxWorldCreator.h"

#include "settings/GameSettings.h"
#include "settings/SettingsFolders.h"
#include "world/BuildBudget.h"
#include "world/BuildChannel.h"
#include "world/TerrainGenerator.h"
#include "world/WorldStore.h"

#include "engine/PimSystem.h"
#include "engine/PimUIManager.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace
{
constexpr double kHeadsetHz = 90.0;
constexpr int kMaxFrames = 90 * 120;
constexpr std::uint32_t kSeed = 7;
const wchar_t* const kModel = L"ISLAND";
}

int main()
{
    namespace fs = std::filesystem;
    const fs::path home = fs::temp_directory_path() / ("quillot-bench-open-" + std::to_string(::getpid()));
    fs::create_directories(home / "home");
    setenv("HOME", (home / "home").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    GameSettings settings(SettingsFolders::Locate());
    // The saved model: its regions, and its settings file with the player's place over them.
    {
        WorldSetup island(kSeed);
        GenerateTerrain(island, IslandWorld::Parameters());
        settings.activeGame.SetGameWorldName(kModel);
        IslandWorld::WriteStoredRegions(settings, island);
        settings.activeGame.SetPlayerLocation(IslandWorld::StartPosition(island));
        const PimWString folder = WorldStore::WorldBaseFolder(settings) + kModel;
        if (!settings.activeGame.SaveWorldSettings(folder))
        {
            std::fprintf(stderr, "cannot write the model's settings file\n");
            return 1;
        }
    }

    PimSystemParameters parameters = MakeStartParameters(settings.GetFolders());
    parameters.deviceMode = PimDeviceMode::Desktop;
    parameters.fixedFrameSeconds = 1.0 / kHeadsetHz;
    parameters.width = 640;
    parameters.height = 480;
    if (!PimSystem::Initialize(parameters))
        return 1;
    {
        QuillotScene scene = SetUpScene(settings);
        // The menu is built and a first start's preferences booth is left.
        PimSystem::RunFrames(10);
        if (scene.uiManager->GetActivePage() != scene.rootPage.get())
            scene.uiManager->GetActivePage()->ActivateParentPage();
        PimSystem::RunFrames(5);
        BuildBudget::Set(BuildBudget::kMinimum);

        settings.activeGame.SetGameWorldName(kModel);
        settings.activeGame.SetOptionsSet(true);
        const auto started = std::chrono::steady_clock::now();
        double boundChunks = 0.0;
        int boundFrames = 0;
        int frames = 0;
        std::int32_t expected = 0;
        for (; frames < kMaxFrames; ++frames)
        {
            PimSystem::RunFrames(1);
            auto* world = dynamic_cast<VoxWorldCreator*>(scene.uiManager->GetActivePage());
            auto* loading = dynamic_cast<VRLoadingMenu*>(scene.uiManager->GetActivePage());
            if (loading != nullptr || world != nullptr)
            {
                boundChunks += static_cast<double>(BuildBudget::Get() * BuildChannel::kStageDepth);
                if (loading != nullptr)
                    expected = loading->GetExpectedChunks();
                if (boundFrames == 0 && expected > 0 && boundChunks >= expected)
                    boundFrames = frames + 1;
            }
            if (world != nullptr && world->GetLoadingPage() != nullptr && expected > 0 &&
                world->GetWorld().GetBuildCount() >= expected)
                break;
        }
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::printf("island model: %d expected chunks; the booth let go after %d frames (%.3f s at 90 Hz, %.3f s "
                    "of wall clock); the budget allows %d frames\n",
                    expected, frames + 1, (frames + 1) / kHeadsetHz, wall, boundFrames);
        std::printf("open_island_s=%.3f budget_bound_s=%.3f\n", (frames + 1) / kHeadsetHz, boundFrames / kHeadsetHz);
        std::printf("open_island_wall_s=%.3f\n", wall);
    }
    PimSystem::Shutdown();
    std::error_code ignored;
    fs::remove_all(home, ignored);
    return 0;
}
