// The whole program offscreen with scripted hands: the player walks forward in the test room's
// world, places a row of voxels with the trigger, saves the world, and a new world object opened
// on the same folder finds the voxels.

#include "tests/support/offscreen_user.h"
#include "tests/support/open_test_room.h"

#include "app/SceneSetup.h"
#include "app/TestRoomPage.h"
#include "editing/ToolId.h"
#include "editing/ToolPanel.h"
#include "editing/VoxelEditor.h"
#include "player/PlayerRig.h"

#include "world/ChunkPool.h"
#include "world/TerrainGenerator.h"
#include "world/VoxelWorld2.h"
#include "world/WorldParameters.h"
#include "world/WorldSetup.h"

#include "settings/GameSettings.h"
#include "settings/SettingsFolders.h"

#include "engine/PimSystem.h"
#include "engine/PimTime.h"
#include "engine/PimViewport.h"
#include "engine/PimVoxelGrid.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrScriptedDevice.h"
#include "engine/PimVrSystem.h"
#include "engine/VoxelCodeTable.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace
{
constexpr int kDominant = PimVrDeviceIndex::RightHand;
constexpr int kOff = PimVrDeviceIndex::LeftHand;
constexpr int kRow = 5;

class EditingE2E : public testing::Test
{
protected:
    void SetUp() override { std::filesystem::create_directories(user.temp.Path() / "home"); }
    void TearDown() override { PimSystem::Shutdown(); }

    OffscreenUser user;
};

TEST_F(EditingE2E, WalksPlacesARowSavesAndFindsItInANewWorld)
{
    auto settings = std::make_unique<GameSettings>(SettingsFolders::Locate());
    PimSystemParameters parameters = MakeStartParameters(settings->GetFolders());
    parameters.deviceMode = PimDeviceMode::Scripted;
    parameters.fixedFrameSeconds = 1.0 / 60.0;
    parameters.width = 270;
    parameters.height = 300;
    ASSERT_TRUE(PimSystem::Initialize(parameters));
    QuillotScene scene = SetUpScene(*settings);
    TestRoomPage* room = OpenTestRoom(scene, *settings);
    ASSERT_NE(room, nullptr);
    PimVrScriptedDevice* script = PimVrSystem::GetInstance().GetScript();
    ASSERT_NE(script, nullptr);

    enum class Phase { Loading, Walking, Placing, Done };
    Phase phase = Phase::Loading;
    int phaseFrames = 0;
    PimVector3 feetBeforeWalk, feetAfterWalk;
    std::vector<PimVector3> cells;
    std::uint16_t colour = 0;
    std::uint64_t frames = 0;
    bool saved = false;

    PimSystem::AddFrameCallback(PimFramePhase::Update, [&] {
        ++frames;
        ++phaseFrames;
        PlayerRig& rig = room->GetRig();
        Locomotion& loco = rig.GetLocomotion();
        VoxelWorld2* world = room->GetWorld();
        const auto next = [&](Phase p) { phase = p; phaseFrames = 0; };
        switch (phase)
        {
        case Phase::Loading:
        {
            // The chunks ahead of the start hold their data and the player stands.
            const PimVoxelGrid* ahead = world->FindChunkSlot(TestRoomPage::StartPosition() + PimVector3(0, 1, -8));
            if (frames > 30 && loco.GetState() == LocomotionState::Grounded && ahead != nullptr &&
                ahead->GetGridStatus() != PimVoxelGrid::kStatusNeedsData)
            {
                feetBeforeWalk = loco.GetFeet();
                script->SetValue(kOff, PimVrButton::PadTouch, 1.0f);
                script->SetValue(kOff, PimVrButton::PadY, 1.0f);
                next(Phase::Walking);
            }
            break;
        }
        case Phase::Walking:
            if (phaseFrames == 45)
            {
                script->SetValue(kOff, PimVrButton::PadTouch, 0.0f);
                script->SetValue(kOff, PimVrButton::PadY, 0.0f);
            }
            if (phaseFrames == 60)
            {
                feetAfterWalk = loco.GetFeet();
                next(Phase::Placing);
            }
            break;
        case Phase::Placing:
        {
            // Every 40 frames: move the hand one voxel to the right (the smoothed cursor follows
            // within them), then pull and release.
            const int voxel = (phaseFrames - 1) / 40;
            const int step = (phaseFrames - 1) % 40;
            const float unit = 1.0f / PimVrSystem::GetInstance().GetScale(); // metres per voxel
            if (voxel >= kRow)
            {
                next(Phase::Done);
                break;
            }
            if (step == 0)
                script->SetPose(kDominant, {0.2f + static_cast<float>(voxel) * unit, 1.3f, -0.3f}, PimMatrix4x4());
            if (step == 36)
                script->SetValue(kDominant, PimVrButton::Trigger, 1.0f);
            if (step == 38)
            {
                cells.push_back(rig.GetEditor()->GetLastSingleCell());
                colour = room->GetPanel().GetCurrentColour();
                script->SetValue(kDominant, PimVrButton::Trigger, 0.0f);
            }
            break;
        }
        case Phase::Done:
            if (!saved)
            {
                world->SaveWorldAndPlayer(loco.GetFeet());
                saved = true;
            }
            PimSystem::ExitSystem();
            break;
        }
        if (frames > 3000)
            PimSystem::ExitSystem();
    });
    PimSystem::Run();

    ASSERT_TRUE(saved) << "the script did not finish in " << frames << " frames";
    EXPECT_LT(feetAfterWalk.z, feetBeforeWalk.z - 1.0f) << "walked forward (along -z)";
    EXPECT_NEAR(feetAfterWalk.y, 0.0f, 0.01f) << "on the world's floor";
    ASSERT_EQ(cells.size(), static_cast<std::size_t>(kRow));
    EXPECT_EQ(room->GetRig().GetEditor()->GetPlacementCount(), static_cast<std::uint64_t>(kRow));
    for (int i = 1; i < kRow; ++i)
        EXPECT_EQ(cells[static_cast<std::size_t>(i)], cells[0] + PimVector3(static_cast<float>(i), 0, 0)) << "a row along x";
    for (const PimVector3& cell : cells)
        EXPECT_EQ(room->GetWorld()->GetWorldVoxel(cell + PimVector3(0.5f, 0.5f, 0.5f)), colour);
    room->CloseWorld();

    // A new world object over the same folder.
    auto setup = std::make_shared<WorldSetup>(1u);
    GenerateTerrain(*setup, {{WorldParameterId::TerrainType, static_cast<float>(TerrainType::Flat), {}},
                             {WorldParameterId::FlatWidth, static_cast<float>(TestRoomPage::kWorldSide), {}},
                             {WorldParameterId::FlatDepth, static_cast<float>(TestRoomPage::kWorldSide), {}}});
    auto reopened = std::make_unique<VoxelWorld2>(*settings, ChunkPool::Shared());
    EXPECT_GT(reopened->GetStore().GetRegionFilesFound(), 0u);
    reopened->SetWorldSetup(setup);
    reopened->SetViewerPosition(cells[0]);
    PimViewport viewport;
    viewport.GetCamera()->SetPosition(cells[0]);
    viewport.GetCamera()->SetTarget(cells[0] + PimVector3(0, 0, -1));
    reopened->SetWorkerPaused(false);
    int found = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (found < kRow && std::chrono::steady_clock::now() < deadline)
    {
        PimTime::BeginFrame();
        reopened->RunUpdate();
        viewport.DrawWindowPass(false, 0);
        reopened->RunDraw();
        found = 0;
        for (const PimVector3& cell : cells)
            found += reopened->GetWorldVoxel(cell + PimVector3(0.5f, 0.5f, 0.5f)) == colour ? 1 : 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(found, kRow) << "the row came back from the saved regions";
    reopened.reset();
}

// Scripted hands pick the ring tool on the off hand's panel, pick a centre, a point that fixes the
// plane and a radius point, and the ring is found in the world.
TEST_F(EditingE2E, PicksTheRingToolOnThePanelAndDrawsARing)
{
    auto settings = std::make_unique<GameSettings>(SettingsFolders::Locate());
    PimSystemParameters parameters = MakeStartParameters(settings->GetFolders());
    parameters.deviceMode = PimDeviceMode::Scripted;
    parameters.fixedFrameSeconds = 1.0 / 60.0;
    parameters.width = 270;
    parameters.height = 300;
    ASSERT_TRUE(PimSystem::Initialize(parameters));
    QuillotScene scene = SetUpScene(*settings);
    TestRoomPage* room = OpenTestRoom(scene, *settings);
    ASSERT_NE(room, nullptr);
    PimVrScriptedDevice* script = PimVrSystem::GetInstance().GetScript();
    ASSERT_NE(script, nullptr);
    PimVrSystem& vr = PimVrSystem::GetInstance();
    const auto runUntil = [](int maxFrames, const std::function<bool()>& done) {
        for (int frame = 0; frame < maxFrames; ++frame)
        {
            PimSystem::RunFrames(1);
            if (done())
                return true;
        }
        return false;
    };
    ASSERT_TRUE(runUntil(600, [&] {
        const PimVoxelGrid* here = room->GetWorld()->FindChunkSlot(TestRoomPage::StartPosition() + PimVector3(0, 1, -6));
        return room->GetRig().GetLocomotion().GetState() == LocomotionState::Grounded && here != nullptr &&
               here->GetGridStatus() != PimVoxelGrid::kStatusNeedsData;
    })) << "the room's world loaded";
    const auto pull = [&](int role) {
        script->SetValue(role, PimVrButton::Trigger, 1.0f);
        PimSystem::RunFrames(2);
        script->SetValue(role, PimVrButton::Trigger, 0.0f);
        PimSystem::RunFrames(2);
    };
    // Where the tip must be held, in tracking space, to touch a world point.
    const auto tipFor = [&](const PimVector3& world) {
        const PimMatrix4x4 unturn = PimMatrix4x4::CreateRotationY(PimAngle::FromRadians(-vr.GetDirectionModifier().GetRadians()));
        return unturn.TransformDirection(world - vr.GetRootPosition()) / vr.GetScale();
    };

    ToolPanel& panel = room->GetPanel();
    pull(kOff);
    ASSERT_EQ(panel.GetPage(), ToolPanel::Page::Tools);
    const PimVector3 icon = tipFor(panel.GetIcon(static_cast<int>(ToolId::MagicRing)).GetBaseLocation());
    script->SetPose(kDominant, icon + PimVector3(0.0f, 0.0f, PimVrController::TipDistance), PimMatrix4x4());
    PimSystem::RunFrames(2);
    ASSERT_TRUE(panel.IsNear());
    pull(kDominant);
    ASSERT_EQ(panel.GetTool(), static_cast<std::uint32_t>(ToolId::MagicRing));
    VoxelEditor& editor = *room->GetRig().GetEditor();
    EXPECT_TRUE(editor.GetPoints().empty()) << "selecting the tool picked no point";

    // Three points: the hand jumps (more than the smoothing's reach) so the cursor follows at once.
    const float unit = 1.0f / vr.GetScale(); // metres per voxel
    const PimVector3 hand(0.2f, 1.3f, -0.3f);
    const PimVector3 offsets[3] = {{0, 0, 0}, {0, 0, -5}, {6, 0, 0}}; // centre, plane, radius
    std::vector<PimVector3> picked;
    for (const PimVector3& offset : offsets)
    {
        script->SetPose(kDominant, hand + offset * unit, PimMatrix4x4());
        PimSystem::RunFrames(30);
        ASSERT_FALSE(panel.TakesFrame());
        picked.push_back(editor.GetCursorCell());
        pull(kDominant);
    }
    EXPECT_TRUE(editor.GetPoints().empty()) << "the third point drew the ring";
    ASSERT_EQ(picked[2] - picked[0], PimVector3(6, 0, 0));
    const std::uint16_t colour = panel.GetCurrentColour();
    VoxelWorld2& world = *room->GetWorld();
    const PimVector3 centre = picked[0] + PimVector3(0.5f, 0.5f, 0.5f);
    for (const PimVector3& onRing : {PimVector3(6, 0, 0), PimVector3(-6, 0, 0), PimVector3(0, 0, 6), PimVector3(0, 0, -6)})
        EXPECT_EQ(world.GetWorldVoxel(centre + onRing), colour) << onRing.ToString();
    EXPECT_EQ(world.GetWorldVoxel(centre), 0) << "the ring is hollow";
    EXPECT_TRUE(settings->activeGame.IsColourLocked(static_cast<std::uint16_t>(colour - VoxelCode::FirstColour)));
}
}
