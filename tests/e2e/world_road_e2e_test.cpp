// The road of a model, driven through the desktop simulator's own input (window events) as a user
// without a headset takes it: new model in the main menu, its name typed on the keyboard, the
// loading booth, a voxel placed with a click, the in-game menu on M, exit; the hall then lists the
// model with its thumbnail, and opening it again brings back the voxel and the place the player
// left. Then the save clock: ten minutes of frames in the world save once ("SaveTimer" 10), and
// time in the in-game menu does not count.

#include "tests/support/offscreen_user.h"
#include "tests/support/simulator_input.h"

#include "app/SceneSetup.h"

#include "pages/InGameMenuPageVr.h"
#include "editing/InGameCamera.h"
#include "pages/SavedModelList.h"
#include "pages/VRLoadingMenu.h"
#include "pages/VoxWorldCreator.h"
#include "pages/VoxelMenu.h"
#include "pages/WorldParamPage.h"

#include "editing/VoxelEditor.h"
#include "player/PlayerRig.h"
#include "settings/GameSettings.h"
#include "settings/SettingsFolders.h"
#include "world/WorldStore.h"

#include "engine/PimFile.h"
#include "engine/PimFilePath.h"
#include "engine/PimScene.h"
#include "engine/PimScreenshot.h"
#include "engine/PimTexture.h"
#include "engine/PimViewport.h"
#include "engine/PimSystem.h"
#include "engine/PimUIManager.h"
#include "engine/PimVrSimulator.h"
#include "engine/PimVrSystem.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace
{
using namespace SimulatorInput;

constexpr int kWidth = 360; // the thumbnail's 256 x 256 views must fit the window
constexpr int kHeight = 270;

class WorldRoadE2E : public testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(user.temp.Path() / "home");
        settings = std::make_unique<GameSettings>(SettingsFolders::Locate());
        PimSystemParameters parameters = MakeStartParameters(settings->GetFolders());
        parameters.deviceMode = PimDeviceMode::Desktop;
        parameters.fixedFrameSeconds = frameSeconds;
        parameters.width = kWidth;
        parameters.height = kHeight;
        ASSERT_TRUE(PimSystem::Initialize(parameters));
        scene = SetUpScene(*settings);
        menu = dynamic_cast<VoxelMenu*>(scene.rootPage.get());
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(RunUntil(60, [this] { return menu->IsBuilt(); }));
        // A first start shows the preferences booth: its back action returns to the menu.
        Frames(5);
        if (Active() != menu)
            Active()->ActivateParentPage();
        Frames(12);
        ASSERT_EQ(Active(), menu);
    }
    void TearDown() override
    {
        scene = {};
        PimSystem::Shutdown();
    }

    PimUIPage* Active() const { return scene.uiManager->GetActivePage(); }
    static bool RunUntil(int frames, const std::function<bool()>& done)
    {
        for (int frame = 0; frame < frames; ++frame)
        {
            if (done())
                return true;
            Frames(1);
        }
        return done();
    }
    // Clicks what lies at a world point, turning the view with Q until it is in front.
    void ClickWorldPoint(const PimVector3& point)
    {
        std::optional<SDL_Point> pixel = PixelOf(point, kWidth, kHeight);
        for (int turns = 0; turns < 8 && (!pixel || pixel->x < 0 || pixel->x >= kWidth || pixel->y < 0 || pixel->y >= kHeight); ++turns)
        {
            Key(SDL_KEYDOWN, SDLK_q);
            Frames(20);
            Key(SDL_KEYUP, SDLK_q);
            Frames(3);
            pixel = PixelOf(point, kWidth, kHeight);
        }
        ASSERT_TRUE(pixel.has_value()) << "at " << point.x << ", " << point.y << ", " << point.z;
        ClickAt(pixel->x, pixel->y);
    }
    // The world page once the loading booth has handed over to it.
    VoxWorldCreator* WaitForWorld()
    {
        VoxWorldCreator* world = nullptr;
        RunUntil(3000, [&] {
            // While the booth is in front, the world streams around the player, not the booth.
            auto* booth = dynamic_cast<VRLoadingMenu*>(Active());
            auto* page = booth != nullptr ? dynamic_cast<VoxWorldCreator*>(booth->GetParentPage()) : nullptr;
            // A picture of the booth, kept under the build folder to look at.
            PimTexture picture;
            if (booth != nullptr && ++boothFrames == 8 && PimScreenshot::Capture(picture))
            {
                std::filesystem::create_directories("world_road");
                picture.Save("world_road/loading_booth.png");
            }
            if (page != nullptr)
            {
                EXPECT_GT(page->GetWorld().GetViewerPosition().x, 100.0f);
            }
            world = dynamic_cast<VoxWorldCreator*>(Active());
            return world != nullptr && world->GetLoadingPage() != nullptr &&
                   world->GetWorld().GetBuildCount() >= world->GetLoadingPage()->GetExpectedChunks();
        });
        return world;
    }

    double frameSeconds = 1.0 / 60.0;
    int boothFrames = 0;
    OffscreenUser user;
    std::unique_ptr<GameSettings> settings;
    QuillotScene scene;
    VoxelMenu* menu = nullptr;
};

TEST_F(WorldRoadE2E, NewModelNamedPlacedExitedListedAndReopenedWhereTheUserLeft)
{
    // New model: the desktop name page.
    ClickWorldPoint(menu->PlayButtonPosition(*menu->GetItems()[0]));
    auto* namePage = dynamic_cast<WorldParamPage*>(Active());
    ASSERT_NE(namePage, nullptr) << "the new-model object opens the name page";
    Tap(SDLK_RETURN);
    EXPECT_EQ(Active(), namePage) << "an empty name is refused";
    EXPECT_FALSE(namePage->GetRefusal().empty());
    for (const SDL_Keycode key : {SDLK_t, SDLK_o, SDLK_w, SDLK_e, SDLK_r})
        Tap(key);
    EXPECT_EQ(namePage->GetTextBox().GetText(), L"TOWER");
    Tap(SDLK_RETURN);

    VoxWorldCreator* world = WaitForWorld();
    ASSERT_NE(world, nullptr) << "the loading booth hands over to the world";
    EXPECT_FALSE(world->IsExistingWorld());
    const PimVector3 start = PimVrSystem::GetInstance().GetRootPosition();
    EXPECT_EQ(start.x, 3520.0f) << "a new flat world starts over the middle of its height map";
    EXPECT_EQ(start.z, 3520.0f);

    // A voxel straight ahead, placed with a click.
    Frames(30);
    Pointer(kWidth / 2, kHeight / 2);
    Frames(30);
    VoxelEditor& editor = *world->GetPlayer().GetEditor();
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    Frames(3);
    Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    Frames(3);
    ASSERT_EQ(editor.GetPlacementCount(), 1u);
    const PimVector3 cell = editor.GetLastSingleCell() + PimVector3(0.5f, 0.5f, 0.5f);
    const std::uint16_t colour = world->GetWorld().GetWorldVoxel(cell);
    ASSERT_NE(colour, 0);
    // Move on with the other hand's pad (touch-walk or flying) so the place left is the user's own.
    Key(SDL_KEYDOWN, SDLK_UP);
    Frames(40);
    Key(SDL_KEYUP, SDLK_UP);
    Frames(10);
    const PimVector3 left = PimVrSystem::GetInstance().GetRootPosition();

    // M: the in-game menu; its exit saves the world and returns to the main menu.
    Tap(SDLK_m);
    Frames(5);
    auto* inGame = dynamic_cast<InGameMenuPageVr*>(Active());
    ASSERT_NE(inGame, nullptr) << "the right hand's menu button opens the in-game menu";
    EXPECT_EQ(world->GetPlayerWorldPosition(), left);
    ClickWorldPoint(inGame->GetExitButton().GetBaseLocation());
    ASSERT_TRUE(RunUntil(30, [this] { return Active() == menu; })) << "exit returns to the main menu";
    EXPECT_EQ(menu->GetWorldPage(), nullptr) << "the world page is discarded after its save";

    const PimWString models = WorldStore::WorldBaseFolder(*settings);
    const std::vector<SavedModel> listed = SavedModelList::List(models);
    ASSERT_EQ(listed.size(), 1u) << "the hall lists the new model with its thumbnail";
    EXPECT_EQ(listed[0].name, L"TOWER");
    EXPECT_TRUE(PimFile::IsRegularFile(models + L"TOWER\\settings.set"));

    // Opened again as the hall's play button does: the voxel and the place are back.
    Frames(10);
    settings->activeGame.SetGameWorldName(L"TOWER");
    settings->activeGame.SetOptionsSet(true);
    world = WaitForWorld();
    ASSERT_NE(world, nullptr);
    EXPECT_TRUE(world->IsExistingWorld());
    const PimVector3 back = PimVrSystem::GetInstance().GetRootPosition();
    EXPECT_NEAR(back.x, left.x, 1e-3f);
    EXPECT_NEAR(back.y, left.y, 1e-3f);
    EXPECT_NEAR(back.z, left.z, 1e-3f);
    // Its chunk may still be loading when the booth hands over.
    EXPECT_TRUE(RunUntil(600, [&] { return world->GetWorld().GetWorldVoxel(cell) == colour; }))
        << "the placed voxel was saved and is back";
}

TEST_F(WorldRoadE2E, TheCameraButtonShowsTheInGameCameraThatKCarriesAndThatFilmsIntoAnInset)
{
    settings->activeGame.SetGameWorldName(L"FILM");
    settings->activeGame.SetOptionsSet(true);
    VoxWorldCreator* world = WaitForWorld();
    ASSERT_NE(world, nullptr);
    Frames(10);
    EXPECT_FALSE(world->GetInGameCamera().IsShown());

    Tap(SDLK_m);
    Frames(5);
    auto* inGame = dynamic_cast<InGameMenuPageVr*>(Active());
    ASSERT_NE(inGame, nullptr);
    ClickWorldPoint(inGame->GetCameraButton().GetBaseLocation());
    EXPECT_TRUE(settings->inGameCamera) << "the camera button turns the camera on";
    Tap(SDLK_m); // back to the world
    ASSERT_TRUE(RunUntil(30, [&] { return Active() == world; }));
    Frames(5);
    InGameCamera& camera = world->GetInGameCamera();
    EXPECT_TRUE(camera.IsShown());
    PimViewport* spectator = nullptr;
    for (const auto& viewport : scene.scene->GetViewports())
        if (viewport->GetSection() == PimScreenSection::Spectator)
            spectator = viewport.get();
    ASSERT_NE(spectator, nullptr);
    EXPECT_TRUE(spectator->IsActive());
    ASSERT_TRUE(spectator->GetBoundingBox().has_value()) << "on the desktop the camera's picture is an inset";
    EXPECT_LT(spectator->GetBoundingBox()->width, kWidth / 2);

    // K takes it into the mouse hand: it follows the hand; K again leaves it.
    Tap(SDLK_k);
    EXPECT_TRUE(camera.IsHeld());
    const PimVector3 before = camera.GetPosition();
    Key(SDL_KEYDOWN, SDLK_a); // walk left in the play area: the hand goes along
    Frames(30);
    Key(SDL_KEYUP, SDLK_a);
    Frames(2);
    EXPECT_GT(camera.GetPosition().Distance(before), 0.2f);
    Tap(SDLK_k);
    EXPECT_FALSE(camera.IsHeld());
    const PimVector3 left = camera.GetPosition();
    Key(SDL_KEYDOWN, SDLK_d);
    Frames(30);
    Key(SDL_KEYUP, SDLK_d);
    Frames(2);
    EXPECT_EQ(camera.GetPosition(), left) << "left in the air where it was let go";
    EXPECT_EQ(spectator->GetCamera()->GetPosition(), left) << "the inset films from the camera";

    PimTexture picture;
    if (PimScreenshot::Capture(picture))
    {
        std::filesystem::create_directories("world_road");
        picture.Save("world_road/in_game_camera.png");
    }

    // Off again from the menu: gone, and the inset with it.
    Tap(SDLK_m);
    Frames(5);
    inGame = dynamic_cast<InGameMenuPageVr*>(Active());
    ASSERT_NE(inGame, nullptr);
    ClickWorldPoint(inGame->GetCameraButton().GetBaseLocation());
    EXPECT_FALSE(settings->inGameCamera);
    Tap(SDLK_m);
    ASSERT_TRUE(RunUntil(30, [&] { return Active() == world; }));
    Frames(2);
    EXPECT_FALSE(camera.IsShown());
    EXPECT_FALSE(spectator->IsActive());
}

TEST_F(WorldRoadE2E, ASaveThatFailsOnLeavingIsShownAndLeavingAgainGoesWithoutIt)
{
    settings->activeGame.SetGameWorldName(L"BLOCKED");
    settings->activeGame.SetOptionsSet(true);
    VoxWorldCreator* world = WaitForWorld();
    ASSERT_NE(world, nullptr);
    Frames(30);
    Pointer(kWidth / 2, kHeight / 2);
    Frames(20);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    Frames(3);
    Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    Frames(3);
    ASSERT_EQ(world->GetPlayer().GetEditor()->GetPlacementCount(), 1u);

    // A file where the model's folder would go: nothing can be saved.
    const std::filesystem::path folder = PimFilePath(WorldStore::WorldBaseFolder(*settings) + L"BLOCKED").Native();
    std::filesystem::remove_all(folder);
    std::ofstream(folder) << "in the way";

    const auto exitFromMenu = [&] {
        Tap(SDLK_m);
        Frames(5);
        auto* inGame = dynamic_cast<InGameMenuPageVr*>(Active());
        ASSERT_NE(inGame, nullptr);
        ClickWorldPoint(inGame->GetExitButton().GetBaseLocation());
        Frames(5);
    };
    exitFromMenu();
    EXPECT_EQ(Active(), world) << "the world stays, with the warning in view";
    EXPECT_FALSE(world->GetLastSave().Succeeded());
    EXPECT_NE(world->GetShownWarning().find("Leaving did not save"), std::string::npos);
    EXPECT_EQ(menu->GetWorldPage(), world);
    Tap(SDLK_F1);
    Frames(10);
    PimTexture picture;
    if (PimScreenshot::Capture(picture))
    {
        std::filesystem::create_directories("world_road");
        picture.Save("world_road/failed_save.png");
    }

    exitFromMenu();
    EXPECT_EQ(Active(), menu) << "leaving again goes, without the edits";
    EXPECT_EQ(menu->GetWorldPage(), nullptr);
    EXPECT_TRUE(std::filesystem::is_regular_file(folder)) << "what was in the way is left alone";
}

// Quarter-second frames, so that the shortest save period (ten minutes) passes in 2,400 frames.
class SaveClockE2E : public WorldRoadE2E
{
protected:
    void SetUp() override
    {
        frameSeconds = 0.25;
        WorldRoadE2E::SetUp();
    }
};

TEST_F(SaveClockE2E, TenMinutesOfFramesInTheWorldSaveOnce)
{
    settings->SetSaveTimer(10);
    settings->activeGame.SetGameWorldName(L"CLOCK");
    settings->activeGame.SetOptionsSet(true);
    VoxWorldCreator* world = WaitForWorld();
    ASSERT_NE(world, nullptr);
    const std::uint32_t before = world->GetTimedSaveCount();
    Frames(9 * 60 * 4 + 59 * 4);
    EXPECT_EQ(world->GetTimedSaveCount(), before) << "not before ten minutes";
    ASSERT_TRUE(RunUntil(2 * 4, [&] { return world->GetTimedSaveCount() == before + 1; }))
        << "ten minutes of frames save once";
    // Written on the save writer; the page takes the result in a later frame.
    ASSERT_TRUE(RunUntil(400, [&] { return !world->GetWorld().IsSaving(); }));
    Frames(2);
    EXPECT_TRUE(world->GetLastSave().Succeeded());
    EXPECT_TRUE(PimFile::IsRegularFile(WorldStore::WorldBaseFolder(*settings) + L"CLOCK\\settings.set"));

    // While the in-game menu is open (the menu button), the clock stands still.
    Tap(SDLK_m);
    Frames(3);
    ASSERT_NE(dynamic_cast<InGameMenuPageVr*>(Active()), nullptr);
    Frames(11 * 60 * 4);
    EXPECT_EQ(world->GetTimedSaveCount(), before + 1);
}
}
