// A reference picture in the test room on the desktop simulator: chosen for a slot, it hangs in
// front of the user and is drawn at one third opacity over the room (the view is left in
// world_road/reference_image.png under the test folder to be looked at); with the reference tool
// chosen by its shortcut key, the mouse drags a corner (the picture grows in whole units and its
// size is stored) and the move handle (its place is stored), through the simulator's own input.
// Two worlds opened in one run each show and write only their own pictures.

#include "tests/support/offscreen_user.h"
#include "tests/support/open_test_room.h"
#include "tests/support/simulator_input.h"

#include "app/SceneSetup.h"
#include "app/TestRoomPage.h"
#include "pages/VoxWorldCreator.h"

#include "editing/ReferenceImageSet.h"
#include "editing/ToolId.h"
#include "editing/ToolPanel.h"
#include "editing/VoxelEditor.h"
#include "player/PlayerRig.h"

#include "settings/GameSettings.h"
#include "settings/SettingsFolders.h"

#include "world/VoxelWorld2.h"
#include "world/WorldStore.h"

#include "engine/PimCamera.h"
#include "engine/PimFile.h"
#include "engine/PimScreenshot.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"
#include "engine/PimVrController.h"
#include "engine/PimVrSystem.h"
#include "engine/PimVoxelGrid.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
constexpr int kWidth = 320;
constexpr int kHeight = 240;

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

// A picture that reads at a glance: a red field with a white cross and a blue frame.
PimTexture GuidePicture()
{
    PimTexture picture;
    picture.Create(24, 12, PimColor(220, 40, 40, 255));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 24; ++x)
        {
            if (x == 0 || y == 0 || x == 23 || y == 11)
                picture.SetColor(x, y, PimColor(40, 80, 230, 255));
            else if (x == 11 || x == 12 || y == 5 || y == 6)
                picture.SetColor(x, y, PimColor(255, 255, 255, 255));
        }
    return picture;
}

class ReferenceImageE2E : public testing::Test
{
protected:
    void SetUp() override { std::filesystem::create_directories(user.temp.Path() / "home"); }
    void TearDown() override
    {
        scene = {};
        PimSystem::Shutdown();
    }
    void Start()
    {
        settings = std::make_unique<GameSettings>(SettingsFolders::Locate());
        PimSystemParameters parameters = MakeStartParameters(settings->GetFolders());
        parameters.deviceMode = PimDeviceMode::Desktop;
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
    ReferenceImageSet& Images() { return room->GetRig().GetEditor()->GetReferenceImages(); }
    SDL_Point Pixel(const PimVector3& world)
    {
        const std::optional<SDL_Point> p = SimulatorInput::PixelOf(world, kWidth, kHeight);
        EXPECT_TRUE(p.has_value());
        return p.value_or(SDL_Point{0, 0});
    }
    // Presses the left button over a world point, moves the pointer over the others, lets go.
    void Drag(const PimVector3& from, const std::vector<PimVector3>& path)
    {
        using namespace SimulatorInput;
        const SDL_Point start = Pixel(from);
        Pointer(start.x, start.y);
        Frames(2);
        Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, start.x, start.y);
        Frames(2);
        for (const PimVector3& point : path)
        {
            const SDL_Point p = Pixel(point);
            Pointer(p.x, p.y);
            Frames(1);
        }
        Frames(2);
        Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
        Frames(2);
    }

    OffscreenUser user;
    std::unique_ptr<GameSettings> settings;
    QuillotScene scene;
    TestRoomPage* room = nullptr;
};

TEST_F(ReferenceImageE2E, AChosenPictureHangsSeeThroughInFrontAndTheMouseResizesAndMovesIt)
{
    Start();
    const std::filesystem::path file = user.temp.Path() / "guide.png";
    ASSERT_TRUE(GuidePicture().Save(file.string()));
    GameSettingsActiveGame& game = settings->activeGame;
    game.SetRefImagePath(0, PimWString::Widen(file.string()));
    ASSERT_TRUE(Images().LoadSlot(0));
    SimulatorInput::Frames(3);
    ASSERT_TRUE(Images().IsShown(0));
    const ReferenceImagePanel& panel = *Images().GetPanel(0);
    const std::optional<SDL_Point> middle = SimulatorInput::PixelOf(panel.GetCentre(), kWidth, kHeight);
    ASSERT_TRUE(middle.has_value()) << "hung in front of the user";
    EXPECT_NEAR(middle->x, kWidth / 2, kWidth / 8);

    // For the picture of the view: hung nearer and smaller, over the room's wall, with
    // the legend and the mouse hand out of the way.
    const PimVector3 hungAt = game.GetRefImageLocation(0);
    const PimVector3 eye = PimVrSystem::GetInstance().GetHeadsetController().GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
    game.SetRefImageLocation(0, eye + PimVector3(1.0f, -0.8f, -7.0f));
    Images().SetSlotScale(0, 1.0f / 3.0f);
    SimulatorInput::Tap(SDLK_F1);
    SimulatorInput::Pointer(kWidth - 10, 10);
    SimulatorInput::Frames(3);
    PimTexture view;
    ASSERT_TRUE(PimScreenshot::Capture(view));
    std::filesystem::create_directories("world_road");
    view.Save("world_road/reference_image.png");
    // Where the picture's red field lies (left of the cross, above its middle): a third of its red
    // over two thirds of the wall seen without it.
    const SDL_Point red = Pixel(panel.GetCentre() + PimVector3(-2.5f, 1.0f, 0.0f));
    const PimColor seen = view.GetColor(red.x, red.y);
    game.SetRefImageEnabled(0, false);
    SimulatorInput::Frames(2);
    PimTexture bare;
    ASSERT_TRUE(PimScreenshot::Capture(bare));
    const PimColor wall = bare.GetColor(red.x, red.y);
    const auto mixed = [](int picture, int behind) { return picture / 3.0f + behind * 2.0f / 3.0f; };
    EXPECT_NEAR(seen.r, mixed(220, wall.r), 12.0f) << "red " << int(seen.r) << " over " << int(wall.r);
    EXPECT_NEAR(seen.g, mixed(40, wall.g), 12.0f) << "green " << int(seen.g) << " over " << int(wall.g);
    EXPECT_NEAR(seen.b, mixed(40, wall.b), 12.0f) << "blue " << int(seen.b) << " over " << int(wall.b);
    game.SetRefImageEnabled(0, true);
    game.SetRefImageLocation(0, hungAt);
    Images().SetSlotScale(0, 1.0f);

    // The reference tool (key 0: the tenth tool) makes it movable.
    SimulatorInput::Tap(SDLK_0);
    ASSERT_EQ(room->GetPanel().GetTool(), static_cast<std::uint32_t>(ToolId::ReferenceImage));
    SimulatorInput::Frames(2);
    ASSERT_TRUE(Images().IsMovable(0));

    // The top right corner dragged 6 units out to the right: 30 units wide for 24 pixels.
    const PimVector3 corner = panel.GetCorner(1);
    Drag(corner, {corner + PimVector3(2.0f, 0.0f, 0.0f), corner + PimVector3(4.0f, 0.0f, 0.0f),
                  corner + PimVector3(6.2f, 0.0f, 0.0f)});
    // The pointer drags on a sphere about the eye, a little short of the picture's plane.
    EXPECT_GE(panel.GetWidthUnits(), 27.0f);
    EXPECT_LE(panel.GetWidthUnits(), 31.0f);
    EXPECT_FLOAT_EQ(panel.GetHeightUnits(), panel.GetWidthUnits() / 2.0f) << "the shape is kept";
    EXPECT_FLOAT_EQ(game.GetRefImageScale(0), panel.GetScale()) << "the size is stored";
    EXPECT_GT(panel.GetScale(), 1.0f);

    // The move handle dragged 3 units down.
    const PimVector3 centre = panel.GetCentre();
    Drag(centre, {centre + PimVector3(0.0f, -1.5f, 0.0f), centre + PimVector3(0.0f, -3.0f, 0.0f)});
    EXPECT_LE(panel.GetCentre().y, centre.y - 2.0f);
    EXPECT_EQ(panel.GetCentre().x, centre.x);
    EXPECT_EQ(game.GetRefImageLocation(0), panel.GetCentre());

    // Another tool: the grab points are gone and the pointer no longer snaps to them.
    SimulatorInput::Tap(SDLK_1);
    SimulatorInput::Frames(2);
    EXPECT_FALSE(Images().IsMovable(0));
    const PimVector3 still = panel.GetCentre();
    Drag(still, {still + PimVector3(0.0f, 3.0f, 0.0f)});
    EXPECT_EQ(panel.GetCentre(), still);
}
}

namespace
{
// Worlds opened one after the other in one run, as the main menu opens them: each world page's
// editor loads that world's own pictures.
class ReferenceImageWorlds : public ReferenceImageE2E
{
protected:
    void StartPlain()
    {
        settings = std::make_unique<GameSettings>(SettingsFolders::Locate());
        PimSystemParameters parameters = MakeStartParameters(settings->GetFolders());
        parameters.deviceMode = PimDeviceMode::Scripted;
        parameters.fixedFrameSeconds = 1.0 / 60.0;
        parameters.width = kWidth;
        parameters.height = kHeight;
        ASSERT_TRUE(PimSystem::Initialize(parameters));
    }
    std::unique_ptr<VoxWorldCreator> Open(const wchar_t* name)
    {
        settings->activeGame.SetGameWorldName(name);
        return std::make_unique<VoxWorldCreator>(*settings, std::make_shared<PimCamera>());
    }
    static ReferenceImageSet& ImagesOf(VoxWorldCreator& page) { return page.GetPlayer().GetEditor()->GetReferenceImages(); }
};

TEST_F(ReferenceImageWorlds, ASecondWorldNeitherShowsNorWritesTheFirstWorldsPictures)
{
    StartPlain();
    const std::filesystem::path file = user.temp.Path() / "guide.png";
    ASSERT_TRUE(GuidePicture().Save(file.string()));
    const PimWString path = PimWString::Widen(file.string());

    std::unique_ptr<VoxWorldCreator> first = Open(L"FirstModel");
    settings->activeGame.SetRefImagePath(2, path);
    ASSERT_TRUE(ImagesOf(*first).LoadSlot(2));
    ASSERT_TRUE(first->SaveWorldAndPlayer().Succeeded());
    first.reset();

    std::unique_ptr<VoxWorldCreator> second = Open(L"SecondModel");
    for (int slot = 0; slot < ReferenceImageSet::kSlotCount; ++slot)
        EXPECT_EQ(ImagesOf(*second).GetPanel(slot), nullptr) << slot;
    EXPECT_TRUE(settings->activeGame.GetRefImagePath(2).empty());
    ASSERT_TRUE(second->SaveWorldAndPlayer().Succeeded());
    const PimWString secondFile = WorldStore::WorldBaseFolder(*settings) + L"SecondModel\\settings.set";
    PimWString text;
    ASSERT_TRUE(PimFile::ReadAllTextW(secondFile, text));
    const std::string written = text.Narrow();
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.find("guide.png"), std::string::npos) << "the second world's file holds no picture of the first";
    second.reset();

    // The first world, opened again, has its picture back where it hung.
    std::unique_ptr<VoxWorldCreator> again = Open(L"FirstModel");
    ASSERT_NE(ImagesOf(*again).GetPanel(2), nullptr);
    EXPECT_TRUE(ImagesOf(*again).IsShown(2));
    EXPECT_EQ(settings->activeGame.GetRefImagePath(2), path);
}
}
