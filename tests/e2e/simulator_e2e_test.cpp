// The whole program offscreen on the desktop simulator, driven the way a user drives it: SDL key
// and mouse events go through the frame loop's event path into the simulator, which moves the
// simulated headset and hands that the test room's player rig reads. Every way of moving and
// every editing control of the room is reached this way.

#include "tests/support/offscreen_user.h"

#include "app/SceneSetup.h"
#include "app/TestRoomPage.h"
#include "tests/support/open_test_room.h"
#include "editing/ToolPanel.h"
#include "editing/VoxelEditor.h"
#include "player/PlayerRig.h"

#include "world/VoxelWorld2.h"

#include "settings/GameSettings.h"
#include "settings/SettingsFolders.h"

#include "engine/PimSystem.h"
#include "engine/PimVoxelGrid.h"
#include "engine/PimVrSimulator.h"
#include "engine/PimVrSystem.h"

#include <SDL_events.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

namespace
{
constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kTouchWalk = 0;
constexpr int kTeleport = 1;
constexpr int kFlying = 2;

class SimulatorE2E : public testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(user.temp.Path() / "home");
        settings = std::make_unique<GameSettings>(SettingsFolders::Locate());
        PimSystemParameters parameters = MakeStartParameters(settings->GetFolders());
        parameters.deviceMode = PimDeviceMode::Desktop;
        parameters.fixedFrameSeconds = 1.0 / 60.0;
        parameters.width = kWidth;
        parameters.height = kHeight;
        ASSERT_TRUE(PimSystem::Initialize(parameters));
        ASSERT_NE(PimVrSystem::GetInstance().GetSimulator(), nullptr);
        scene = SetUpScene(*settings);
        room = OpenTestRoom(scene, *settings);
        ASSERT_NE(room, nullptr);
        // Loaded: the chunks around the start hold their data and the player stands on the floor.
        ASSERT_TRUE(RunUntil(600, [this] {
            const PimVoxelGrid* ahead = room->GetWorld()->FindChunkSlot(TestRoomPage::StartPosition() + PimVector3(0, 1, -8));
            return Loco().GetState() == LocomotionState::Grounded && ahead != nullptr &&
                   ahead->GetGridStatus() != PimVoxelGrid::kStatusNeedsData;
        }));
        Frames(30);
    }
    void TearDown() override
    {
        scene = {};
        PimSystem::Shutdown();
    }

    Locomotion& Loco() { return room->GetRig().GetLocomotion(); }
    VoxelEditor& Editor() { return *room->GetRig().GetEditor(); }

    static void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1); }
    static void Key(Uint32 type, SDL_Scancode scancode)
    {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.scancode = scancode;
        Push(event);
    }
    static void Button(Uint32 type, Uint8 button)
    {
        SDL_Event event{};
        event.type = type;
        event.button.button = button;
        Push(event);
    }
    static void Pointer(int x, int y, int dx = 0, int dy = 0)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.x = x;
        event.motion.y = y;
        event.motion.xrel = dx;
        event.motion.yrel = dy;
        Push(event);
    }
    static void Frames(int count) { PimSystem::RunFrames(static_cast<std::uint64_t>(count)); }
    // The window pixel under which the simulator's pointer ray passes through a world point.
    static SDL_Point PixelOf(const PimVector3& world)
    {
        PimVrSystem& vr = PimVrSystem::GetInstance();
        const PimVrController& head = vr.GetHeadsetController();
        const PimVector3 eye = head.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
        const PimMatrix4x4 orientation = head.GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World);
        const PimVector3 offset = world - eye;
        // Into the head's frame: x right, y up, -z ahead.
        const PimVector3 ray(offset.Dot(orientation.TransformDirection({1, 0, 0})),
                             offset.Dot(orientation.TransformDirection({0, 1, 0})),
                             offset.Dot(orientation.TransformDirection({0, 0, 1})));
        const float tanUp = std::tan(PimVrRestPose::WindowFieldOfViewDegrees * 3.14159265f / 360.0f);
        const float tanRight = tanUp * kWidth / kHeight;
        const float x = (ray.x / -ray.z) / tanRight;
        const float y = (ray.y / -ray.z) / tanUp;
        return SDL_Point{static_cast<int>(std::lround((x + 1.0f) * 0.5f * kWidth)),
                         static_cast<int>(std::lround((1.0f - y) * 0.5f * kHeight))};
    }
    // Moves the pointer over a world point and clicks there.
    void ClickAt(const PimVector3& world)
    {
        const SDL_Point pixel = PixelOf(world);
        Pointer(pixel.x, pixel.y);
        Frames(2);
        Click(SDL_BUTTON_LEFT);
    }
    // Holds a key down for some frames, then lets go of it (one more frame).
    static void Hold(SDL_Scancode scancode, int frames)
    {
        Key(SDL_KEYDOWN, scancode);
        Frames(frames);
        Key(SDL_KEYUP, scancode);
        Frames(1);
    }
    static void Tap(SDL_Scancode scancode) { Hold(scancode, 1); }
    static void Click(Uint8 button)
    {
        Button(SDL_MOUSEBUTTONDOWN, button);
        Frames(1);
        Button(SDL_MOUSEBUTTONUP, button);
        Frames(1);
    }
    // Turns the view down by dy pixels of mouse motion while the right button is held.
    static void LookDown(int dy)
    {
        Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
        Pointer(kWidth / 2, kHeight / 2, 0, dy);
        Frames(1);
        Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT);
        Frames(1);
    }
    bool RunUntil(int maxFrames, const std::function<bool()>& done)
    {
        for (int frame = 0; frame < maxFrames; ++frame)
        {
            Frames(1);
            if (done())
                return true;
        }
        return false;
    }
    // The off hand's menu button (N) steps through the ways of moving.
    void ChooseMoveMode(int mode)
    {
        for (int presses = 0; presses < 3 && room->GetMoveMode() != mode; ++presses)
            Tap(SDL_SCANCODE_N);
        ASSERT_EQ(room->GetMoveMode(), mode);
        Frames(2);
    }

    OffscreenUser user;
    std::unique_ptr<GameSettings> settings;
    QuillotScene scene;
    TestRoomPage* room = nullptr;
};

TEST_F(SimulatorE2E, WalkingCrouchJumpingAndTouchWalkingMoveThePlayerOverTheFloor)
{
    ASSERT_EQ(room->GetMoveMode(), kTouchWalk);
    const PimVector3 start = Loco().GetFeet();
    Hold(SDL_SCANCODE_W, 30);
    const PimVector3 walked = Loco().GetFeet();
    EXPECT_LT(walked.z, start.z - 0.5f) << "W walks forward (along -z at start)";
    EXPECT_NEAR(walked.y, 0.0f, 0.01f) << "on the world's floor";

    Tap(SDL_SCANCODE_SPACE);
    ASSERT_TRUE(RunUntil(60, [&] { return Loco().GetState() == LocomotionState::Rising; }))
        << "Space's crouch and spring up is the jump gesture";
    EXPECT_TRUE(RunUntil(30, [&] { return Loco().GetFeet().y > 0.05f; })) << "off the floor";
    EXPECT_TRUE(RunUntil(240, [&] { return Loco().GetState() == LocomotionState::Grounded; })) << "and lands";
    EXPECT_NEAR(Loco().GetFeet().y, 0.0f, 0.01f);

    // Touch-walk: the arrow keys touch the off hand's pad; the play area moves, the head stays.
    const PimVector3 beforePad = Loco().GetFeet();
    Hold(SDL_SCANCODE_UP, 30);
    EXPECT_LT(Loco().GetFeet().z, beforePad.z - 0.5f) << "forward on the pad";
    const PimVector3 beforeBack = Loco().GetFeet();
    Hold(SDL_SCANCODE_DOWN, 30);
    const float forward = beforePad.z - beforeBack.z;
    const float back = Loco().GetFeet().z - beforeBack.z;
    EXPECT_NEAR(back, forward * 0.5f, forward * 0.1f) << "backwards on the pad, at half speed";
    EXPECT_NEAR(Loco().GetFeet().y, 0.0f, 0.01f);
}

TEST_F(SimulatorE2E, TeleportAimsWhereTheViewLooksAndFlyingHasNoGravity)
{
    ChooseMoveMode(kTeleport);
    EXPECT_EQ(Loco().GetState(), LocomotionState::Teleport);
    LookDown(100); // 20 degrees down: the arc lands a few metres ahead
    const PimVector3 start = Loco().GetFeet();
    Key(SDL_KEYDOWN, SDL_SCANCODE_T);
    Frames(3);
    EXPECT_TRUE(Loco().IsAiming()) << "T touches the off hand's pad";
    ASSERT_TRUE(Loco().IsTargetValid()) << "an arc onto the floor is a valid target";
    const PimVector3 target = Loco().GetTeleportTarget();
    EXPECT_LT(target.z, start.z - 1.0f);
    Tap(SDL_SCANCODE_G); // clicks the pad while it is touched: go
    Key(SDL_KEYUP, SDL_SCANCODE_T);
    Frames(2);
    EXPECT_NEAR(Loco().GetFeet().x, target.x, 0.05f);
    EXPECT_NEAR(Loco().GetFeet().z, target.z, 0.05f);
    EXPECT_NEAR(Loco().GetFeet().y, 0.0f, 0.2f);

    ChooseMoveMode(kFlying);
    EXPECT_EQ(Loco().GetState(), LocomotionState::Flying);
    const PimVector3 beforeFlight = Loco().GetFeet();
    Hold(SDL_SCANCODE_UP, 60);
    const PimVector3 flown = Loco().GetFeet();
    EXPECT_LT(flown.z, beforeFlight.z - 0.5f) << "forward where the head looks";
    EXPECT_LT(flown.y, beforeFlight.y + 0.001f) << "looking down, flying goes down";
    // Looking up and flying rises off the floor; letting go of the pad leaves the player there.
    LookDown(-300);
    Hold(SDL_SCANCODE_UP, 90);
    const float height = Loco().GetFeet().y;
    EXPECT_GT(height, 1.0f);
    Frames(60);
    EXPECT_NEAR(Loco().GetFeet().y, height, 0.2f) << "no gravity while flying";
}

TEST_F(SimulatorE2E, ClicksPlaceOneVoxelEachReachFindsTheFloorAndTheSecondButtonRemovesAPoint)
{
    // The pointer at the window's centre: the mouse hand points straight ahead.
    Pointer(kWidth / 2, kHeight / 2);
    Frames(30);
    const std::uint16_t colour = room->GetPanel().GetCurrentColour();
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    Frames(20); // held: one voxel per pull, not one per frame
    Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    Frames(1);
    ASSERT_EQ(Editor().GetPlacementCount(), 1u);
    const PimVector3 first = Editor().GetLastSingleCell();
    EXPECT_EQ(room->GetWorld()->GetWorldVoxel(first + PimVector3(0.5f, 0.5f, 0.5f)), colour);

    // Looking down at the floor, V reaches for it: the next voxel lies on the floor.
    LookDown(200);
    Tap(SDL_SCANCODE_V);
    Frames(40);
    Click(SDL_BUTTON_LEFT);
    ASSERT_EQ(Editor().GetPlacementCount(), 2u);
    const PimVector3 onFloor = Editor().GetLastSingleCell();
    EXPECT_EQ(onFloor.y, 0.0f) << "placed against the surface under the pointer";
    EXPECT_EQ(room->GetWorld()->GetWorldVoxel(onFloor + PimVector3(0.5f, 0.5f, 0.5f)),
              room->GetPanel().GetCurrentColour());

    // The mouse hand's second button (Z) removes the last picked point.
    ASSERT_TRUE(Editor().AddPoint(onFloor));
    ASSERT_TRUE(Editor().AddPoint(onFloor + PimVector3(3, 0, 0)));
    Tap(SDL_SCANCODE_Z);
    ASSERT_EQ(Editor().GetPoints().size(), 1u);
    EXPECT_EQ(Editor().GetPoints()[0], onFloor);
    Tap(SDL_SCANCODE_X); // the other hand's second button is not the editor's
    EXPECT_EQ(Editor().GetPoints().size(), 1u);
}

TEST_F(SimulatorE2E, TheToolPanelTakesColoursAndToolsFromKeysAndTheMouse)
{
    ToolPanel& panel = room->GetPanel();
    ASSERT_EQ(panel.GetPage(), ToolPanel::Page::Palette);
    // H raises the off hand so its panel faces the eye; a left click on a strip cube takes its colour
    // and paints nothing.
    Tap(SDL_SCANCODE_H);
    Frames(2);
    const std::uint64_t placed = Editor().GetPlacementCount();
    ClickAt(panel.GetStrip().GetSlotPosition(5));
    EXPECT_EQ(panel.GetStrip().GetSelected(), 5);
    EXPECT_EQ(panel.GetCurrentColour(), settings->activeGame.GetPaletteEntry(settings->activeGame.GetActivePalette(), 5));
    EXPECT_EQ(Editor().GetPlacementCount(), placed) << "picking a colour never paints";

    // F is the off hand's trigger: the tools page, once per press.
    Hold(SDL_SCANCODE_F, 10);
    ASSERT_EQ(panel.GetPage(), ToolPanel::Page::Tools);
    // Shortcut keys pick tools directly; a tool whose work is not here yet stays unpicked.
    Tap(SDL_SCANCODE_6);
    EXPECT_EQ(panel.GetTool(), static_cast<std::uint32_t>(ToolId::MagicRing));
    Tap(SDL_SCANCODE_0);
    EXPECT_EQ(panel.GetTool(), static_cast<std::uint32_t>(ToolId::ReferenceImage)) << "0 is the tenth tool";
    Tap(SDL_SCANCODE_EQUALS);
    EXPECT_EQ(panel.GetTool(), static_cast<std::uint32_t>(ToolId::Fill));
    // Pointing at the line icon and clicking picks it.
    ClickAt(panel.GetIcon(static_cast<int>(ToolId::LineTool)).GetBaseLocation());
    EXPECT_EQ(panel.GetTool(), static_cast<std::uint32_t>(ToolId::LineTool));
    EXPECT_TRUE(Editor().GetPoints().empty()) << "picking a tool picks no point";

    Tap(SDL_SCANCODE_F);
    EXPECT_EQ(panel.GetPage(), ToolPanel::Page::Palette);
    // The keys are in the legend.
    const std::vector<std::string> lines = PimVrSystem::GetInstance().GetSimulator()->GetLegendLines();
    bool raise = false;
    for (const std::string& line : lines)
        raise = raise || line.find("H raises the other hand") != std::string::npos;
    EXPECT_TRUE(raise);
}
}
