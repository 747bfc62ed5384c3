#pragma once

#include "tests/support/TempFolder.h"
#include "tests/support/scripted_vr.h"

#include "player/PlayerRig.h"

#include "world/ChunkBlock.h"

#include "settings/GameSettings.h"

#include "engine/PimAssert.h"
#include "engine/PimCamera.h"
#include "engine/PimTime.h"
#include "engine/PimVoxelGrid.h"
#include "engine/VoxelCodeTable.h"

#include <memory>

// A player rig over a room of 2 x 2 x 2 chunks (64 voxels a side) whose floor is solid rock up to
// y = 2, on the scripted devices and the fixed 60 Hz clock without a display. The rig's frame
// runs inside the engine's Update phase. Settings live in a temporary folder.
class RigFixture : public ScriptedVr
{
protected:
    static constexpr float kFloorTop = 2.0f;

    void SetUp() override
    {
        ScriptedVr::SetUp();
        PimVoxelGrid::CacheVoxelCodes(5000);
        PimAssert::ResetFailureCount();
        settings = std::make_unique<GameSettings>(
            SettingsFolders::FromBases(temp.Wide(), temp.Wide() + L"/data", temp.Wide() + L"/Pictures"));
        room.Create(2, 2, 2);
        for (int z = 0; z < 64; ++z)
            for (int x = 0; x < 64; ++x)
                for (int y = 0; y < static_cast<int>(kFloorTop); ++y)
                    room.SetVoxelAt(VoxelCode::Rock, PimVector3(x, y, z), false, false);
        rig = std::make_unique<PlayerRig>(*settings, std::make_shared<PimCamera>(), PlayerRig::Mode::World);
        rig->GetEditTarget().SetModel(&room);
        Locomotion::ResetTeleportCooldown();
    }

    void TearDown() override
    {
        rig.reset();
        ScriptedVr::TearDown();
    }

    // Runs frames of the rig.
    void Frames(int count)
    {
        for (int frame = 0; frame < count; ++frame)
            Step([this] { rig->Update(); });
    }

    void Block(int x0, int y0, int z0, int x1, int y1, int z1, std::uint16_t code = VoxelCode::Rock)
    {
        for (int z = z0; z <= z1; ++z)
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x)
                    room.SetVoxelAt(code, PimVector3(x, y, z), false, false);
    }

    // Puts the player's feet at the point (the headset stands at its rest pose).
    void Place(const PimVector3& feetAt)
    {
        Step();
        rig->GetLocomotion().MoveTo(feetAt);
    }

    Locomotion& Loco() { return rig->GetLocomotion(); }

    TempFolder temp;
    std::unique_ptr<GameSettings> settings;
    ChunkBlock room;
    std::unique_ptr<PlayerRig> rig;
};
