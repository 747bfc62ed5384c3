#pragma once

#include "tests/support/TempFolder.h"
#include "tests/support/scripted_vr.h"

#include "settings/GameSettings.h"

#include "engine/PimAssert.h"
#include "engine/PimFilePath.h"
#include "engine/PimVoxelGrid.h"

#include <cstdlib>
#include <memory>

// The engine without a display on scripted devices, with settings whose content folder is the
// build's (pictures and sounds of the menus) and whose user folder lies in a temporary folder.
// The play area's root stands inside the rooms the tests build, so tips are given in world
// positions.
class PagesFixture : public ScriptedVr
{
protected:
    static constexpr PimVector3 kRoot{10.0f, 1.0f, 20.0f};

    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ScriptedVr::SetUp();
        PimVoxelGrid::CacheVoxelCodes(64);
        PimAssert::ResetFailureCount();
        SettingsFolders folders = SettingsFolders::Locate();
        folders.SetLocalDataFolder(temp.Wide() + L"/data");
        settings = std::make_unique<GameSettings>(folders);
        vr.SetRootPosition(kRoot);
    }

    // Puts a hand's tip at a world position, through the play area's root, turn and scale.
    void TipAt(int role, const PimVector3& world)
    {
        const PimMatrix4x4 unturn = PimMatrix4x4::CreateRotationY(PimAngle::FromRadians(-vr.GetDirectionModifier().GetRadians()));
        PlaceTip(role, unturn.TransformDirection(world - vr.GetRootPosition()) / vr.GetScale());
    }
    void Trigger(int role, float value) { script->SetValue(role, PimVrButton::Trigger, value); }

    std::filesystem::path Native(const PimWString& path) const { return PimFilePath(path).Native(); }

    TempFolder temp;
    std::unique_ptr<GameSettings> settings;
};
