// The selection box end to end in the test room: with scripted hands a built shape is selected,
// copied, carried 20 voxels, turned with a ring, pasted and found turned in the world, then saved
// and found again in a new world on the same folder; and on the desktop simulator the same is done
// with the mouse and keys through the simulator's own input path.

#include "tests/support/offscreen_user.h"
#include "tests/support/open_test_room.h"
#include "tests/support/simulator_input.h"

#include "app/SceneSetup.h"
#include "app/TestRoomPage.h"
#include "editing/EditTarget.h"
#include "editing/PointerSpace.h"
#include "editing/SelectionTool.h"
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
#include "engine/PimVrSimulator.h"
#include "engine/PimVrSystem.h"
#include "engine/VoxelCodeTable.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <thread>
#include <vector>

namespace
{
constexpr int kDominant = PimVrDeviceIndex::RightHand;
constexpr int kWidth = 320;
constexpr int kHeight = 240;

// An L of three voxels along x and one above its first: no turn or mirror maps it onto itself.
const std::vector<PimVector3> kShape = {{-2, 0, 0}, {-1, 0, 0}, {0, 0, 0}, {-2, 1, 0}};

bool RunUntil(int maxFrames, const std::function<bool()>& done)
{
    for (int frame = 0; frame < maxFrames; ++frame)
    {
        PimSystem::RunFrames(1);
        if (done())
            return true;
    }
    return false;
}

bool RoomLoaded(TestRoomPage& room)
{
    const PimVoxelGrid* ahead = room.GetWorld()->FindChunkSlot(TestRoomPage::StartPosition() + PimVector3(0, 1, -8));
    return room.GetRig().GetLocomotion().GetState() == LocomotionState::Grounded && ahead != nullptr &&
           ahead->GetGridStatus() != PimVoxelGrid::kStatusNeedsData;
}

// Where a voxel of the shape lies after the box's content (10 wide, opened around `cell`) was
// turned +1 about z: (x, y) of the box goes to (y, 9 - x).
PimVector3 Turned(const PimVector3& offset)
{
    const PimVector3 inBox = offset + PimVector3(5, 5, 5);
    return PimVector3(inBox.y, 9.0f - inBox.x, inBox.z);
}

class SelectionE2E : public testing::Test
{
protected:
    void SetUp() override { std::filesystem::create_directories(user.temp.Path() / "home"); }
    void TearDown() override
    {
        scene = {};
        PimSystem::Shutdown();
    }
    void Start(PimDeviceMode mode)
    {
        settings = std::make_unique<GameSettings>(SettingsFolders::Locate());
        PimSystemParameters parameters = MakeStartParameters(settings->GetFolders());
        parameters.deviceMode = mode;
        parameters.fixedFrameSeconds = 1.0 / 60.0;
        parameters.width = kWidth;
        parameters.height = kHeight;
        ASSERT_TRUE(PimSystem::Initialize(parameters));
        scene = SetUpScene(*settings);
        room = OpenTestRoom(scene, *settings);
        ASSERT_NE(room, nullptr);
        ASSERT_TRUE(RunUntil(600, [this] { return RoomLoaded(*room); })) << "the room's world loaded";
        PimSystem::RunFrames(20);
    }
    VoxelEditor& Editor() { return *room->GetRig().GetEditor(); }
    SelectionTool& Selection() { return Editor().GetSelection(); }
    Clipboard& Held() { return room->GetRig().GetEditTarget().GetClipboard(); }
    VoxelWorld2& World() { return *room->GetWorld(); }
    std::uint16_t At(const PimVector3& cell) { return World().GetWorldVoxel(cell + PimVector3(0.5f, 0.5f, 0.5f)); }
    void BuildShape(const PimVector3& at, std::uint16_t colour)
    {
        for (const PimVector3& offset : kShape)
            World().SetWorldVoxel(colour, at + offset, true, false);
        PimSystem::RunFrames(3);
    }

    OffscreenUser user;
    std::unique_ptr<GameSettings> settings;
    QuillotScene scene;
    TestRoomPage* room = nullptr;
};

TEST_F(SelectionE2E, ScriptedHandsCopyCarryTurnAndPasteAShapeThatIsSavedWithTheWorld)
{
    Start(PimDeviceMode::Scripted);
    PimVrScriptedDevice* script = PimVrSystem::GetInstance().GetScript();
    ASSERT_NE(script, nullptr);
    const auto tipAt = [&](const PimVector3& world) {
        script->SetPose(kDominant, PointerSpace::WorldToTracking(world) + PimVector3(0.0f, 0.0f, PimVrController::TipDistance),
                        PimMatrix4x4());
    };
    const auto pull = [&] {
        script->SetValue(kDominant, PimVrButton::Trigger, 1.0f);
        PimSystem::RunFrames(2);
        script->SetValue(kDominant, PimVrButton::Trigger, 0.0f);
        PimSystem::RunFrames(2);
    };
    const auto press = [&](ActionButtons::Action action) {
        tipAt(Selection().GetButtons().GetButton(action).GetBaseLocation());
        PimSystem::RunFrames(2);
        pull();
    };

    ASSERT_TRUE(room->GetPanel().SelectTool(static_cast<std::uint32_t>(ToolId::Select)));
    // Held high, so the whole box lies above the floor.
    script->SetPose(kDominant, {0.2f, 6.0f, -0.3f}, PimMatrix4x4());
    PimSystem::RunFrames(30);
    const PimVector3 cell = Editor().GetCursorCell();
    const std::uint16_t colour = room->GetPanel().GetCurrentColour();
    BuildShape(cell, colour);
    pull();
    ASSERT_TRUE(Selection().IsBoxActive()) << "the pull opened the box around the cursor";
    EXPECT_EQ(Selection().GetBox().GetLowerCorner(), cell - PimVector3(5, 5, 5));

    press(ActionButtons::Action::Copy);
    ASSERT_TRUE(Held().IsHeld());
    EXPECT_EQ(Held().GetSize(), PimVector3(10, 10, 10));

    // Carry: grab inside the clipboard (away from its rings) and move the hand 20 voxels along x.
    const PimVector3 grab = Held().GetPosition() + PimVector3(1.5f, 8.5f, 1.5f);
    tipAt(grab);
    PimSystem::RunFrames(2);
    script->SetValue(kDominant, PimVrButton::Trigger, 1.0f);
    PimSystem::RunFrames(2);
    ASSERT_TRUE(Held().IsGrabbed());
    for (int step = 1; step <= 10; ++step)
    {
        tipAt(grab + PimVector3(2.0f * step, 0.0f, 0.0f));
        PimSystem::RunFrames(1);
    }
    script->SetValue(kDominant, PimVrButton::Trigger, 0.0f);
    PimSystem::RunFrames(2);
    const PimVector3 placed = cell - PimVector3(5, 5, 5) + PimVector3(20, 0, 0);
    ASSERT_EQ(Held().GetPlacement(), placed);

    // Turn the z ring by 40 degrees from its top: one quarter turn.
    const PimVector3 centre = Held().GetCentre();
    const float radius = Selection().GetRings().GetRadius();
    const auto onRing = [&](float degrees) {
        const float a = PimAngle::DegreesToRadians(degrees);
        return centre + PimVector3(std::sin(a), std::cos(a), 0.0f) * radius;
    };
    tipAt(onRing(0));
    PimSystem::RunFrames(2);
    script->SetValue(kDominant, PimVrButton::Trigger, 1.0f);
    for (float degrees = 0; degrees <= 40; degrees += 4)
    {
        tipAt(onRing(degrees));
        PimSystem::RunFrames(1);
    }
    script->SetValue(kDominant, PimVrButton::Trigger, 0.0f);
    PimSystem::RunFrames(2);
    EXPECT_EQ(Held().GetPlacement(), placed) << "turning leaves the clipboard where it is";

    press(ActionButtons::Action::Play);
    for (const PimVector3& offset : kShape)
    {
        EXPECT_EQ(At(placed + Turned(offset)), colour) << offset.ToString();
        EXPECT_EQ(At(cell + offset), colour) << "the source is kept: " << offset.ToString();
    }
    press(ActionButtons::Action::ExitMenu);
    EXPECT_FALSE(Held().IsHeld());
    EXPECT_FALSE(Selection().IsBoxActive());

    ASSERT_TRUE(World().SaveWorldAndPlayer(room->GetRig().GetLocomotion().GetFeet()).Succeeded());
    room->CloseWorld();
    auto setup = std::make_shared<WorldSetup>(1u);
    GenerateTerrain(*setup, {{WorldParameterId::TerrainType, static_cast<float>(TerrainType::Flat), {}},
                             {WorldParameterId::FlatWidth, static_cast<float>(TestRoomPage::kWorldSide), {}},
                             {WorldParameterId::FlatDepth, static_cast<float>(TestRoomPage::kWorldSide), {}}});
    auto reopened = std::make_unique<VoxelWorld2>(*settings, ChunkPool::Shared());
    reopened->SetWorldSetup(setup);
    reopened->SetViewerPosition(placed);
    PimViewport viewport;
    viewport.GetCamera()->SetPosition(placed);
    viewport.GetCamera()->SetTarget(placed + PimVector3(0, 0, -1));
    reopened->SetWorkerPaused(false);
    int found = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (found < static_cast<int>(kShape.size()) && std::chrono::steady_clock::now() < deadline)
    {
        PimTime::BeginFrame();
        reopened->RunUpdate();
        viewport.DrawWindowPass(false, 0);
        reopened->RunDraw();
        found = 0;
        for (const PimVector3& offset : kShape)
            found += reopened->GetWorldVoxel(placed + Turned(offset) + PimVector3(0.5f, 0.5f, 0.5f)) == colour ? 1 : 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(found, static_cast<int>(kShape.size())) << "the turned copy came back from the saved regions";
    reopened.reset();
}

TEST_F(SelectionE2E, TheMouseOpensDragsCopiesCarriesTurnsAndPastesOnTheSimulator)
{
    Start(PimDeviceMode::Desktop);
    using namespace SimulatorInput;
    const auto pixel = [](const PimVector3& world) {
        const std::optional<SDL_Point> p = PixelOf(world, kWidth, kHeight);
        EXPECT_TRUE(p.has_value());
        return p.value_or(SDL_Point{0, 0});
    };
    // Presses the left button over a world point, moves the pointer over the others in turn, and
    // lets go there.
    const auto drag = [&](const PimVector3& from, const std::vector<PimVector3>& path) {
        const SDL_Point start = pixel(from);
        Pointer(start.x, start.y);
        Frames(2);
        Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, start.x, start.y);
        Frames(2);
        for (const PimVector3& point : path)
        {
            const SDL_Point p = pixel(point);
            Pointer(p.x, p.y);
            Frames(1);
        }
        Frames(2);
        Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
        Frames(2);
    };
    const auto click = [&](const PimVector3& world) {
        const SDL_Point p = pixel(world);
        ClickAt(p.x, p.y);
    };

    Tap(SDLK_7);
    ASSERT_EQ(room->GetPanel().GetTool(), static_cast<std::uint32_t>(ToolId::Select));
    // The mouse hand far ahead (the wheel) and the view turned up a little, so the whole box
    // lies ahead, above the floor.
    Pointer(kWidth / 2, kHeight / 2);
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 30;
    Push(wheel);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, kWidth / 2, kHeight / 2);
    Pointer(kWidth / 2, kHeight / 2, 0, -100);
    Frames(1);
    Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, kWidth / 2, kHeight / 2);
    Pointer(kWidth / 2, kHeight / 2);
    Frames(30);
    const PimVector3 cell = Editor().GetCursorCell();
    const std::uint16_t colour = room->GetPanel().GetCurrentColour();
    BuildShape(cell, colour);
    ClickAt(kWidth / 2, kHeight / 2);
    ASSERT_TRUE(Selection().IsBoxActive());
    SelectionBox& box = Selection().GetBox();

    // Corner 0 (upper right front) dragged a few voxels to the right, in the pointer's sphere
    // about the eye: the right face follows in whole voxels, the others stay.
    const PimVector3 corner = box.GetHandlePosition(0);
    drag(corner, {corner + PimVector3(1.5f, 0, 0), corner + PimVector3(3.4f, 0, 0)});
    EXPECT_GE(box.GetUpperCorner().x, corner.x + 2.0f);
    EXPECT_LE(box.GetUpperCorner().x, corner.x + 3.0f);
    EXPECT_EQ(box.GetUpperCorner().y, corner.y);
    EXPECT_EQ(box.GetUpperCorner().z, corner.z);
    // And back, so the box is 10 wide again.
    for (int attempt = 0; attempt < 4 && box.GetUpperCorner() != corner; ++attempt)
    {
        const PimVector3 moved = box.GetHandlePosition(0);
        // Aimed a little past the whole voxel wanted: the pull is truncated.
        drag(moved, {corner + PimVector3(moved.x > corner.x ? -0.6f : 1.6f, 0.0f, 0.0f)});
    }
    ASSERT_EQ(box.GetUpperCorner(), corner);

    // The buttons float beside the other hand, at the bottom of the view: click copy.
    click(Selection().GetButtons().GetButton(ActionButtons::Action::Copy).GetBaseLocation());
    ASSERT_TRUE(Held().IsHeld());

    // Carry the clipboard 4 voxels to the right, holding it near its upper front corner.
    const PimVector3 hold = Held().GetPosition() + PimVector3(1.5f, 8.5f, 10.0f);
    const PimVector3 before = Held().GetPlacement();
    drag(hold, {hold + PimVector3(2, 0, 0), hold + PimVector3(4.2f, 0, 0)});
    // Dragged across the view at the distance it was grabbed at: 4 along x, y kept, and about a
    // voxel nearer at most.
    EXPECT_EQ(Held().GetPlacement().x, before.x + 4.0f);
    EXPECT_EQ(Held().GetPlacement().y, before.y);
    EXPECT_NEAR(Held().GetPlacement().z, before.z, 1.0f);

    // Turn the z ring (it faces the view) from 45 degrees (where no other ring crosses it) on.
    const PimVector3 centre = Held().GetCentre();
    const float radius = Selection().GetRings().GetRadius();
    const auto onRing = [&](float degrees) {
        const float a = PimAngle::DegreesToRadians(degrees);
        return centre + PimVector3(std::sin(a), std::cos(a), 0.0f) * radius;
    };
    std::vector<PimVector3> around;
    for (float degrees = 50; degrees <= 100; degrees += 5)
        around.push_back(onRing(degrees));
    drag(onRing(45), around);
    EXPECT_EQ(Held().GetContent().At(static_cast<int>(Turned(kShape[3]).x), static_cast<int>(Turned(kShape[3]).y),
                                     static_cast<int>(Turned(kShape[3]).z)),
              colour)
        << "turned a quarter about z";

    click(Selection().GetButtons().GetButton(ActionButtons::Action::Play).GetBaseLocation());
    const PimVector3 placed = Held().GetPlacement();
    for (const PimVector3& offset : kShape)
        EXPECT_EQ(At(placed + Turned(offset)), colour) << offset.ToString();

    bool legend = false;
    for (const std::string& line : PimVrSystem::GetInstance().GetLegendLines())
        legend = legend || line.find("Grab points") != std::string::npos;
    EXPECT_TRUE(legend) << "the simulator's legend tells how to grab";
}
}
