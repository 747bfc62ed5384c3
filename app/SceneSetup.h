#pragma once

#include "engine/PimSystemParameters.h"

#include <cstddef>
#include <memory>

class GameSettings;
class PimCamera;
class PimIOContext;
class PimScene;
class PimUIManager;
class PimUIPage;
class PimViewport;
struct SettingsFolders;

// What start-up builds and the frame loop then drives. Everything lives until the process ends.
struct QuillotScene
{
    std::shared_ptr<PimIOContext> context;
    std::shared_ptr<PimScene> scene;
    std::shared_ptr<PimUIManager> uiManager;
    std::shared_ptr<PimUIPage> rootPage;
    // The viewer's camera: the main viewport's, moved with the headset by the root page.
    std::shared_ptr<PimCamera> viewerCamera;
    std::shared_ptr<PimViewport> mainViewport;
    std::shared_ptr<PimViewport> spectatorViewport;
    bool firstStart = true;
};

// The engine's start parameters: 1080 x 1200, the headset when one answers and the desktop
// simulator otherwise, vsync on, and the user folder as the engine's data folder.
PimSystemParameters MakeStartParameters(const SettingsFolders& folders);

// Builds the scene after PimSystem::Initialize succeeded and before PimSystem::Run: input
// context on the focused window, settings loaded (a missing file means first start), volume,
// font, scene, the controller models (kept in the settings), UI manager with its root page (the
// main menu, told whether this is the first start),
// default colours, chunk pool, viewports.
// Main thread, once per started system.
QuillotScene SetUpScene(GameSettings& settings);

// Writes colour definitions 0 to 124: the 5 x 5 x 5 cube of components 0, 51, 102, 153 and 204,
// index = 25 x red step + 5 x green step + blue step.
void SetDefaultColourDefinitions();

// The number of idle chunks made before the first frame.
inline constexpr std::size_t kStartupChunkCount = 5000;
