// The road of a model with a headset and two scripted hands: the back action leaves the
// preferences booth of a first start, the new-model object's play button is pressed with the
// right hand's tip and trigger, the name is typed on the booth's keyboard by touching its keys,
// the loading booth hands over, the trigger places a voxel, the right hand's menu button opens the
// in-game menu and its exit button leaves; the hall lists the model and opening it again brings
// the voxel back. A reference picture is chosen from the in-game menu's row through the file
// browser by touching its controls, and hangs in the world at one third opacity, again after the
// model is reopened.

#include "tests/support/offscreen_user.h"

#include "app/SceneSetup.h"

#include "pages/FileBrowserEntry.h"
#include "pages/InGameMenuPageVr.h"
#include "pages/VRFileBrowser.h"
#include "pages/SavedModelList.h"
#include "pages/VRLoadingMenu.h"
#include "pages/VoxWorldCreator.h"
#include "pages/VoxelMenu.h"
#include "pages/WorldParamPageVr.h"

#include "editing/ReferenceImageSet.h"
#include "editing/VoxelEditor.h"
#include "player/PlayerRig.h"
#include "settings/GameSettings.h"
#include "settings/SettingsFolders.h"
#include "world/WorldStore.h"

#include "engine/PimFilePath.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"
#include "engine/PimUIManager.h"
#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrScriptedDevice.h"
#include "engine/PimVrSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

namespace
{
constexpr int kRight = PimVrDeviceIndex::RightHand;

class HeadsetRoadE2E : public testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(user.temp.Path() / "home");
        settings = std::make_unique<GameSettings>(SettingsFolders::Locate());
        PimSystemParameters parameters = MakeStartParameters(settings->GetFolders());
        parameters.deviceMode = PimDeviceMode::Scripted;
        parameters.fixedFrameSeconds = 1.0 / 60.0;
        parameters.width = 300;
        parameters.height = 300;
        ASSERT_TRUE(PimSystem::Initialize(parameters));
        script = vr.GetScript();
        ASSERT_NE(script, nullptr);
        ASSERT_TRUE(PimSystem::IsVirtualReality());
        scene = SetUpScene(*settings);
        menu = dynamic_cast<VoxelMenu*>(scene.rootPage.get());
        ASSERT_NE(menu, nullptr);
        Rest();
    }
    void TearDown() override
    {
        scene = {};
        PimSystem::Shutdown();
    }

    PimUIPage* Active() const { return scene.uiManager->GetActivePage(); }
    static void Frames(int count) { PimSystem::RunFrames(static_cast<std::uint64_t>(count)); }
    static bool RunUntil(int frames, const std::function<bool()>& done)
    {
        for (int frame = 0; frame < frames && !done(); ++frame)
            Frames(1);
        return done();
    }
    // The right hand's tip at a world point, through the play area's root, turn and scale.
    void TipAt(const PimVector3& world)
    {
        const PimMatrix4x4 unturn =
            PimMatrix4x4::CreateRotationY(PimAngle::FromRadians(-vr.GetDirectionModifier().GetRadians()));
        const PimVector3 tip = unturn.TransformDirection(world - vr.GetRootPosition()) / vr.GetScale();
        script->SetPose(kRight, tip + PimVector3(0.0f, 0.0f, PimVrController::TipDistance), PimMatrix4x4());
    }
    // Both hands low in front of the body, away from every button.
    void Rest()
    {
        script->SetPose(PimVrDeviceIndex::LeftHand, PimVector3(-0.3f, 0.9f, -0.3f), PimMatrix4x4());
        script->SetPose(kRight, PimVector3(0.3f, 0.9f, -0.3f), PimMatrix4x4());
    }
    void Pull(int role, int button, int frames = 3)
    {
        script->SetValue(role, button, 1.0f);
        Frames(frames);
        script->SetValue(role, button, 0.0f);
        Frames(3);
    }
    // Touches a button with the right tip and pulls the trigger, then takes the hand away.
    void Press(const std::function<PimVector3()>& where)
    {
        TipAt(where());
        Frames(2);
        TipAt(where());
        Pull(kRight, PimVrButton::Trigger);
        Rest();
        Frames(2);
    }
    VoxWorldCreator* WaitForWorld()
    {
        VoxWorldCreator* world = nullptr;
        RunUntil(3000, [&] {
            world = dynamic_cast<VoxWorldCreator*>(Active());
            return world != nullptr && world->GetWorld().GetBuildCount() >= world->GetLoadingPage()->GetExpectedChunks();
        });
        return world;
    }

    OffscreenUser user;
    std::unique_ptr<GameSettings> settings;
    QuillotScene scene;
    VoxelMenu* menu = nullptr;
    PimVrSystem& vr = PimVrSystem::GetInstance();
    PimVrScriptedDevice* script = nullptr;
};

TEST_F(HeadsetRoadE2E, NewModelTypedOnTheBoothsKeyboardEditedExitedAndReopened)
{
    ASSERT_TRUE(RunUntil(60, [this] { return menu->IsBuilt(); }));
    Frames(5);
    if (Active() != menu)
        Pull(kRight, PimVrButton::Menu); // the back action of the dominant hand
    ASSERT_TRUE(RunUntil(30, [this] { return Active() == menu; }));
    Frames(5);

    Press([this] { return menu->PlayButtonPosition(*menu->GetItems()[0]); });
    auto* booth = dynamic_cast<WorldParamPageVr*>(Active());
    ASSERT_NE(booth, nullptr) << "with a headset the new-model object opens the keyboard booth";
    Frames(4); // the booth places the player
    PimVrKeyboard& keyboard = booth->GetKeyboard();
    for (const char* key : {"C", "A", "S", "T", "L", "E", "ENTER"})
    {
        TipAt(keyboard.GetKeyPosition(keyboard.FindKey(key)));
        Frames(2);
        Rest();
        Frames(2);
    }
    VoxWorldCreator* world = WaitForWorld();
    ASSERT_NE(world, nullptr) << "the name starts the world and the loading booth hands over";
    EXPECT_EQ(settings->activeGame.GetGameWorldName(), L"CASTLE");

    // The right trigger places a voxel at the cursor ahead of the hand.
    Frames(20);
    script->SetPose(kRight, PimVector3(0.2f, 1.3f, -0.4f), PimMatrix4x4());
    Frames(20);
    Pull(kRight, PimVrButton::Trigger);
    VoxelEditor& editor = *world->GetPlayer().GetEditor();
    ASSERT_EQ(editor.GetPlacementCount(), 1u);
    const PimVector3 cell = editor.GetLastSingleCell() + PimVector3(0.5f, 0.5f, 0.5f);
    const std::uint16_t colour = world->GetWorld().GetWorldVoxel(cell);
    ASSERT_NE(colour, 0);

    // The right hand's menu button: the in-game menu; its exit button: back to the main menu.
    Pull(kRight, PimVrButton::Menu, 2);
    auto* inGame = dynamic_cast<InGameMenuPageVr*>(Active());
    ASSERT_NE(inGame, nullptr);
    Frames(4);
    Press([inGame] { return inGame->GetExitButton().GetBaseLocation(); });
    ASSERT_TRUE(RunUntil(30, [this] { return Active() == menu; }));
    EXPECT_EQ(menu->GetWorldPage(), nullptr);

    // Written: listed by the hall (the headset-sized view holds the thumbnail's views) and back
    // on reopening.
    const std::vector<SavedModel> listed = SavedModelList::List(WorldStore::WorldBaseFolder(*settings));
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, L"CASTLE");
    Frames(10);
    settings->activeGame.SetGameWorldName(L"CASTLE");
    settings->activeGame.SetOptionsSet(true);
    world = WaitForWorld();
    ASSERT_NE(world, nullptr);
    EXPECT_TRUE(RunUntil(600, [&] { return world->GetWorld().GetWorldVoxel(cell) == colour; }));
}

TEST_F(HeadsetRoadE2E, APictureChosenThroughTheMenusFileBrowserHangsInTheWorldAndStaysThere)
{
    // A picture in the user's pictures folder, where the browser starts.
    const std::filesystem::path pictures = PimFilePath(settings->GetFolders().picturesFolder).Native();
    std::filesystem::create_directories(pictures);
    PimTexture guide;
    guide.Create(16, 8, PimColor(30, 160, 220, 255));
    ASSERT_TRUE(guide.Save((pictures / "guide.png").string()));

    ASSERT_TRUE(RunUntil(60, [this] { return menu->IsBuilt(); }));
    Frames(5);
    if (Active() != menu)
        Pull(kRight, PimVrButton::Menu);
    ASSERT_TRUE(RunUntil(30, [this] { return Active() == menu; }));
    settings->activeGame.SetGameWorldName(L"GALLERY");
    settings->activeGame.SetOptionsSet(true);
    VoxWorldCreator* world = WaitForWorld();
    ASSERT_NE(world, nullptr);
    Frames(10);

    Pull(kRight, PimVrButton::Menu, 2);
    auto* inGame = dynamic_cast<InGameMenuPageVr*>(Active());
    ASSERT_NE(inGame, nullptr);
    ASSERT_EQ(inGame->GetReferenceRowCount(), 3u);
    Frames(4);
    // The first row's picture button, on the wall behind the player as the booth opens.
    Press([inGame] { return inGame->GetReferenceRow(0).GetPictureButton().GetBaseLocation(); });
    auto* browser = dynamic_cast<VRFileBrowser*>(Active());
    ASSERT_NE(browser, nullptr) << "the picture button opens the file browser";
    Frames(4);
    const auto& entries = browser->GetEntries();
    const auto found = std::find_if(entries.begin(), entries.end(), [](const auto& e) { return e->GetName() == L"guide.png"; });
    ASSERT_NE(found, entries.end()) << "the browser starts in the pictures folder";
    const FileBrowserEntry* entry = found->get();
    Press([entry] { return entry->GetPosition(); });
    ASSERT_EQ(Active(), inGame) << "choosing the picture returns to the menu";
    EXPECT_NE(settings->activeGame.GetRefImagePath(0).Narrow().find("guide.png"), std::string::npos);
    EXPECT_TRUE(inGame->GetReferenceRow(0).HasPicture());

    // Back in the world (the dominant hand's menu button resumes): the picture hangs there, drawn
    // at one third opacity, in front of where the user looked.
    Pull(kRight, PimVrButton::Menu, 2);
    ASSERT_TRUE(RunUntil(30, [&] { return Active() == world; }));
    Frames(5);
    ReferenceImageSet& images = world->GetPlayer().GetEditor()->GetReferenceImages();
    ASSERT_TRUE(images.IsShown(0));
    const ReferenceImagePanel* panel = images.GetPanel(0);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->GetImage().GetColor().a, 84) << "one third of 255";
    const PimMatrix4x4 head =
        vr.GetHeadsetController().GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World);
    const PimVector3 eye = vr.GetHeadsetController().GetDevicePosition(PimVrPose::Controller, PimVrCoordinates::World);
    EXPECT_GT((panel->GetCentre() - eye).Dot(head.TransformDirection({0.0f, 0.0f, -1.0f})), 0.0f);
    const PimVector3 centre = panel->GetCentre();

    // Left and opened again: the same picture in the same place.
    Pull(kRight, PimVrButton::Menu, 2);
    inGame = dynamic_cast<InGameMenuPageVr*>(Active());
    ASSERT_NE(inGame, nullptr);
    Frames(4);
    Press([inGame] { return inGame->GetExitButton().GetBaseLocation(); });
    ASSERT_TRUE(RunUntil(30, [this] { return Active() == menu; }));
    Frames(10);
    settings->activeGame.SetGameWorldName(L"GALLERY");
    settings->activeGame.SetOptionsSet(true);
    world = WaitForWorld();
    ASSERT_NE(world, nullptr);
    Frames(5);
    ReferenceImageSet& reopened = world->GetPlayer().GetEditor()->GetReferenceImages();
    ASSERT_TRUE(reopened.IsShown(0));
    EXPECT_EQ(reopened.GetPanel(0)->GetCentre(), centre);
}
}
