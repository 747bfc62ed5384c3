#pragma once

#include "app/SceneSetup.h"
#include "app/TestRoomPage.h"


#include "settings/GameSettings.h"

#include "engine/PimSystem.h"
#include "engine/PimUIManager.h"
#include "engine/PimUIPage.h"

#include <memory>

// Opens the test room - a small lit room over a flat 256 x 256 world whose floor is at y = 0 -
// under the main menu and runs frames until it is the active page; null when it is not within a
// few frames. The movement and editing tests stand the player there, where every position is
// known, instead of in a model's world.
inline TestRoomPage* OpenTestRoom(QuillotScene& scene, GameSettings& settings)
{
    settings.activeGame.SetGameWorldName(L"TestRoom");
    const PimString shaders = settings.GetFolders().shaders.Narrow();
    const PimString textures = settings.GetFolders().textures.Narrow();
    auto room = std::make_shared<TestRoomPage>(settings, scene.viewerCamera, shaders + "meshLit.vs",
                                               shaders + "meshLit.ps", textures + "VoxelTexturesTop1.png",
                                               settings.controllerModels);
    TestRoomPage* page = room.get();
    PimUIPage* root = scene.rootPage.get();
    for (int frame = 0; frame < 10; ++frame)
    {
        PimSystem::RunFrames(1);
        if (room && page->GetParentPage() == nullptr && root != nullptr)
        {
            root->AddChildPage(room);
            root->SetActivePage(page);
            room.reset();
        }
        if (scene.uiManager->GetActivePage() == page)
            return page;
    }
    return nullptr;
}
