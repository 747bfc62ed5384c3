#pragma once

#include "app/SceneSetup.h"
#include "app/TestRoomPage.h"

#include "pages/PreferencesMenuVr.h"

#include "settings/GameSettings.h"

#include "engine/PimSystem.h"
#include "engine/PimUIManager.h"

// Chooses the model "TestRoom" as the hall's play button does and runs frames until the main
// menu has opened it in the test room; null when it did not within a few frames. A first start
// shows the preferences booth in front of the menu: it is left as its back action would.
inline TestRoomPage* OpenTestRoom(QuillotScene& scene, GameSettings& settings)
{
    settings.activeGame.SetGameWorldName(L"TestRoom");
    settings.activeGame.SetOptionsSet(true);
    for (int frame = 0; frame < 10; ++frame)
    {
        PimSystem::RunFrames(1);
        if (dynamic_cast<PreferencesMenuVr*>(scene.uiManager->GetActivePage()) != nullptr)
            scene.uiManager->GetActivePage()->ActivateParentPage();
        if (auto* room = dynamic_cast<TestRoomPage*>(scene.uiManager->GetActivePage()))
            return room;
    }
    return nullptr;
}
