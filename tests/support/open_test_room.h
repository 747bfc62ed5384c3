#pragma once

#include "app/SceneSetup.h"
#include "app/TestRoomPage.h"

#include "settings/GameSettings.h"

#include "engine/PimSystem.h"
#include "engine/PimUIManager.h"

// Chooses the model "TestRoom" as the hall's play button does and runs frames until the main
// menu has opened it in the test room; null when it did not within a few frames.
inline TestRoomPage* OpenTestRoom(QuillotScene& scene, GameSettings& settings)
{
    settings.activeGame.SetGameWorldName(L"TestRoom");
    settings.activeGame.SetOptionsSet(true);
    for (int frame = 0; frame < 10; ++frame)
    {
        PimSystem::RunFrames(1);
        if (auto* room = dynamic_cast<TestRoomPage*>(scene.uiManager->GetActivePage()))
            return room;
    }
    return nullptr;
}
