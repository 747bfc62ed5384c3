#include "app/SceneSetup.h"

#include "pages/VoxWorldCreator.h"
#include "pages/VoxelMenu.h"

#include "settings/GameSettings.h"
#include "settings/StartupSettings.h"

#include "world/ChunkPool.h"
#include "world/ControllerModels.h"

#include "engine/PimCamera.h"
#include "engine/PimFilePath.h"
#include "engine/PimIOContext.h"
#include "engine/PimScene.h"
#include "engine/PimSoundSystem.h"
#include "engine/PimSystem.h"
#include "engine/PimText.h"
#include "engine/PimUIManager.h"
#include "engine/PimViewport.h"
#include "engine/PimVrDevice.h"
#include "engine/PimVoxelGrid.h"
#include "engine/PimWindow.h"

namespace
{
// Builds the chunk pool and the page tree's root, the main menu, whose chosen model opens in the
// world page.
std::shared_ptr<PimUIPage> SetUpGridAndMenu(PimUIManager& uiManager, GameSettings& settings,
                                            const std::shared_ptr<PimCamera>& viewerCamera,
                                            const std::shared_ptr<PimScene>& scene, bool firstStart)
{
    const PimString shaders = settings.GetFolders().shaders.Narrow();
    PimVoxelGrid::StaticInitialize(shaders + "voxelShader.vs", shaders + "voxelShader.ps",
                                   shaders + "voxelShaderCellBack.vs", shaders + "voxelShaderCellBack.ps");
    SetDefaultColourDefinitions();

    ChunkPool::Shared().FillTo(kStartupChunkCount);
    PimVoxelGrid::CacheVoxelCodes(kStartupChunkCount);
    // The in-game camera films into the spectator viewport, made after the menu.
    auto openWorld = [&settings, viewerCamera, weakScene = std::weak_ptr<PimScene>(scene)](
                         const PimWString&) -> std::shared_ptr<PimUIPage> {
        std::weak_ptr<PimViewport> spectator;
        if (const auto held = weakScene.lock())
            for (const auto& viewport : held->GetViewports())
                if (viewport->GetSection() == PimScreenSection::Spectator)
                    spectator = viewport;
        return std::make_shared<VoxWorldCreator>(settings, viewerCamera, spectator);
    };
    auto root = std::make_shared<VoxelMenu>(settings, viewerCamera, scene, openWorld);
    root->activatePreferences = firstStart;
    uiManager.AddPage(root);
    return root;
}
}  // namespace

PimSystemParameters MakeStartParameters(const SettingsFolders& folders)
{
    PimSystemParameters parameters;
    parameters.width = 1080;
    parameters.height = 1200;
    parameters.deviceMode = PimDeviceMode::HeadsetOrDesktop;
    parameters.vsync = true;
    parameters.dataFolder = folders.userFolder.Narrow();
    return parameters;
}

void SetDefaultColourDefinitions()
{
    constexpr int kStep = 51;
    std::uint8_t index = 0;
    for (int red = 0; red < 255; red += kStep)
        for (int green = 0; green < 255; green += kStep)
            for (int blue = 0; blue < 255; blue += kStep)
            {
                const PimColor colour{static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
                                      static_cast<std::uint8_t>(blue), 255};
                PimVoxelGrid::SetColorDefinition(index++, colour, false);
            }
}

QuillotScene SetUpScene(GameSettings& settings)
{
    QuillotScene built;
    built.context = std::make_shared<PimIOContext>();
    built.context->AttachWindow(PimWindow::GetFocusedWindow());
    PimSystem::AddIOContext(built.context);

    const StartupSettings startup = LoadStartupSettings(settings);
    built.firstStart = startup.firstStart;
    PimSoundSystem::SetVolume(startup.masterVolume);

    PimText::SetFont(PimWString(settings.GetFolders().fonts + L"Font.png").Narrow());
    PimText::Initialize();

    built.scene = std::make_shared<PimScene>();
    settings.controllerModels = std::make_shared<ControllerModels>();
    built.context->SetActiveScene(built.scene);

    built.uiManager = std::make_shared<PimUIManager>();
    built.viewerCamera = std::make_shared<PimCamera>();
    // The window shows what the simulator's pointer aims through: its field of view. A headset's
    // eyes bring their own.
    built.viewerCamera->SetFieldOfView(PimAngle::FromDegrees(PimVrRestPose::WindowFieldOfViewDegrees));
    built.viewerCamera->SetNearPlane(0.03f);
    built.rootPage = SetUpGridAndMenu(*built.uiManager, settings, built.viewerCamera, built.scene, built.firstStart);

    built.mainViewport = std::make_shared<PimViewport>(PimScreenSection::Main);
    built.mainViewport->SetId(1);
    built.mainViewport->SetCamera(built.viewerCamera);
    built.mainViewport->SetClearColor({46, 56, 78, 255});
    built.mainViewport->AddObject(built.uiManager);
    built.scene->AddViewport(built.mainViewport);

    built.spectatorViewport = std::make_shared<PimViewport>(PimScreenSection::Spectator);
    built.spectatorViewport->SetActive(false);
    built.spectatorViewport->SetId(2);
    built.spectatorViewport->AddObject(built.uiManager);
    built.scene->AddViewport(built.spectatorViewport);
    return built;
}
