// The menu rooms drawn offscreen as the user sees them: the main menu from its spawn point (title
// lettering and the four objects) and the hall with three saved models (thumbnails in picture
// cubes on their pedestals, newest first). Both pictures stay in the build tree to be looked at:
// build/tests/menu_render/main_menu.png and build/tests/menu_render/hall.png; the two booths, as
// the user stands in them facing their option rows: preferences.png and in_game_menu.png; the
// in-game menu's palette wall: palette_wall.png.

#include "pages/InGameMenuPageVr.h"
#include "editing/ReferenceImageSet.h"
#include "colour/VrPaletteSelectionMenu.h"
#include "pages/PreferencesMenuVr.h"
#include "pages/VRLoadingMenu.h"
#include "pages/WorldParamPageVr.h"
#include "world/ChunkPool.h"
#include "world/VoxelWorld2.h"
#include "pages/VoxelMenu.h"
#include "pages/VoxelSavedGamesMenu.h"
#include "player/PlayerRig.h"

#include "settings/GameSettings.h"

#include "engine/PimCamera.h"
#include "engine/PimContentFolder.h"
#include "engine/PimFilePath.h"
#include "engine/PimIOContext.h"
#include "engine/PimScene.h"
#include "engine/PimScreenshot.h"
#include "engine/PimSystem.h"
#include "engine/PimText.h"
#include "engine/PimTexture.h"
#include "engine/PimUIManager.h"
#include "engine/PimViewport.h"
#include "engine/PimVoxelGrid.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrScriptedDevice.h"
#include "engine/PimVrSystem.h"
#include "engine/PimWindow.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace
{
namespace fs = std::filesystem;

std::string ContentPath(const std::string& relative)
{
    return PimContentFolder::Resolve(relative).string();
}

// Pixels whose colour passes a test.
template <typename Test>
int CountWhere(const PimTexture& picture, int rows, Test test)
{
    int count = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < picture.GetWidth(); ++x)
            count += test(picture.GetColor(x, y)) ? 1 : 0;
    return count;
}

// Pixels within a distance of a colour.
int CountNear(const PimTexture& picture, PimColor colour, int tolerance)
{
    int count = 0;
    for (int y = 0; y < picture.GetHeight(); ++y)
        for (int x = 0; x < picture.GetWidth(); ++x)
        {
            const PimColor c = picture.GetColor(x, y);
            count += std::abs(c.r - colour.r) + std::abs(c.g - colour.g) + std::abs(c.b - colour.b) <= tolerance ? 1 : 0;
        }
    return count;
}

// A thumbnail of six 256 x 256 views in one colour, with a lighter horizon band in each view.
PimTexture Thumbnail(PimColor colour)
{
    PimTexture picture;
    picture.Create(768, 512, colour);
    for (int y = 100; y < 156; ++y)
        for (int x = 0; x < 768; ++x)
        {
            picture.SetColor(x, y, PimColor(255, 255, 255, 255));
            picture.SetColor(x, y + 256, PimColor(255, 255, 255, 255));
        }
    return picture;
}

class MenuRender : public testing::Test
{
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        std::error_code error;
        fs::remove_all(UserData(), error);
        fs::create_directories(data);
        PimSystemParameters parameters;
        parameters.width = 640;
        parameters.height = 480;
        parameters.deviceMode = PimDeviceMode::Scripted;
        parameters.fixedFrameSeconds = 1.0 / 60.0;
        ASSERT_TRUE(PimSystem::Initialize(parameters));
        ASSERT_TRUE(PimSystem::HasGL());
        auto context = std::make_shared<PimIOContext>();
        context->AttachWindow(PimWindow::GetFocusedWindow());
        context->SetActiveScene(scene);
        ASSERT_TRUE(PimSystem::AddIOContext(context));
        ASSERT_TRUE(scene->AddViewport(viewport));
        ASSERT_TRUE(viewport->AddObject(uiManager));
        ASSERT_TRUE(PimVoxelGrid::StaticInitialize(
            ContentPath("Graphics/Shaders/voxelShader.vs"), ContentPath("Graphics/Shaders/voxelShader.ps"),
            ContentPath("Graphics/Shaders/voxelShaderCellBack.vs"), ContentPath("Graphics/Shaders/voxelShaderCellBack.ps")));
        PimVoxelGrid::CacheVoxelCodes(64);
        PimText::SetFont(ContentPath("Graphics/Fonts/Font.png"));
        PimText::Initialize();
        const PimWString content = PimWString::Widen(PimContentFolder::Get().parent_path().string());
        settings = std::make_unique<GameSettings>(SettingsFolders::FromBases(
            content, PimWString::Widen(UserData().string()), PimWString::Widen((data / "Pictures").string())));
        camera = viewport->GetCamera();
        camera->SetFieldOfView(PimAngle::FromDegrees(75.0f));
        camera->SetNearPlane(0.05f);
        script = PimVrSystem::GetInstance().GetScript();
        // The head a little above standing height, looking slightly up; the hands out of sight.
        script->SetPose(PimVrDeviceIndex::Headset, {0.0f, 1.65f, 0.0f},
                        PimMatrix4x4::CreateRotationX(PimAngle::FromDegrees(8.0f)));
        for (int hand : {PimVrDeviceIndex::LeftHand, PimVrDeviceIndex::RightHand})
            script->SetTracking(hand, false, false, 0);
        menu = std::make_shared<VoxelMenu>(*settings, camera, scene, VoxelMenu::WorldPageFactory{});
        ASSERT_TRUE(uiManager->AddPage(menu));
    }

    void TearDown() override
    {
        menu.reset();
        viewport->RemoveObject(uiManager.get());
        uiManager.reset();
        PimSystem::Shutdown();
    }

    // Runs frames and returns the last one's picture, kept under the name.
    PimTexture Frames(int count, const char* keepAs)
    {
        PimTexture frame;
        int drawn = 0;
        const PimCallbackId id = PimSystem::AddFrameCallback(PimFramePhase::Draw, [&] {
            if (++drawn == count)
                PimScreenshot::Capture(frame);
        });
        PimSystem::RunFrames(static_cast<std::uint64_t>(count));
        PimSystem::RemoveCallback(id);
        frame.Save((data / keepAs).string());
        return frame;
    }

    const fs::path data = fs::current_path() / "menu_render";
    // The user's folders of this test alone: CTest runs the tests of this fixture side by side,
    // and one must not clear the saved models of another.
    static fs::path UserData()
    {
        return fs::current_path() / "menu_render" /
               ("data-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    }
    std::shared_ptr<PimScene> scene = std::make_shared<PimScene>();
    std::shared_ptr<PimViewport> viewport = std::make_shared<PimViewport>();
    std::shared_ptr<PimUIManager> uiManager = std::make_shared<PimUIManager>();
    std::shared_ptr<PimCamera> camera;
    std::unique_ptr<GameSettings> settings;
    std::shared_ptr<VoxelMenu> menu;
    PimVrScriptedDevice* script = nullptr;
};

TEST_F(MenuRender, TheMainMenuFromTheSpawnPointShowsTheTitleAndTheFourObjects)
{
    const PimTexture title = Frames(1, "title_screen.png");
    EXPECT_FALSE(menu->IsBuilt()) << "the first frame shows the title picture only";
    EXPECT_GT(CountNear(title, {255, 255, 0, 255}, 60), 500) << "the title picture's yellow blocks";

    const PimTexture room = Frames(8, "main_menu.png");
    ASSERT_TRUE(menu->IsBuilt());
    EXPECT_NEAR(camera->GetPosition().x, VoxelMenu::SpawnPoint().x, 0.01f);
    EXPECT_NEAR(camera->GetPosition().z, VoxelMenu::SpawnPoint().z, 0.01f);
    // The lettering on the far wall (upper half of the picture): yellow and violet, lit or shaded.
    const int half = room.GetHeight() / 2;
    EXPECT_GT(CountWhere(room, half, [](PimColor c) { return c.r > 120 && c.g > 120 && c.b < 60; }), 300) << "yellow";
    EXPECT_GT(CountWhere(room, half, [](PimColor c) { return c.b > 120 && c.r > 80 && c.g < 70; }), 300) << "violet";
    // The objects: the plus's green, the folder's blue model, the gear's steel blue, the power red.
    const int all = room.GetHeight();
    EXPECT_GT(CountWhere(room, all, [](PimColor c) { return c.g > 120 && c.r < 100 && c.b < 100; }), 150) << "new model";
    EXPECT_GT(CountWhere(room, all, [](PimColor c) { return c.b > 120 && c.r < 90 && c.g < 120; }), 40) << "load models";
    EXPECT_GT(CountWhere(room, all, [](PimColor c) { return c.b > 110 && c.g > 80 && c.r < 110 && c.g < c.b; }), 150)
        << "settings";
    EXPECT_GT(CountWhere(room, all, [](PimColor c) { return c.r > 120 && c.g < 60 && c.b < 60; }), 150) << "exit";
}

TEST_F(MenuRender, TheHallShowsThreeThumbnailsOnTheirPedestals)
{
    const PimWString models = settings->GetFolders().models;
    const PimColor colours[3] = {{220, 60, 60, 255}, {60, 200, 60, 255}, {60, 90, 230, 255}};
    const char* names[3] = {"Red Barn", "green-field", "Blue Tower"};
    const auto base = fs::file_time_type::clock::now() - std::chrono::hours(5);
    for (int i = 0; i < 3; ++i)
    {
        const fs::path folder = PimFilePath(models).Native() / names[i];
        fs::create_directories(folder);
        ASSERT_TRUE(Thumbnail(colours[i]).Save((folder / "SaveView.png").string()));
        fs::last_write_time(folder / "SaveView.png", base + std::chrono::hours(i));
    }
    Frames(3, "hall_menu_first.png");
    ASSERT_TRUE(menu->IsBuilt());
    VoxelSavedGamesMenu* hall = menu->GetSavedGamesPage();
    menu->SetActivePage(hall);
    ASSERT_EQ(hall->GetItems().size(), 3u);
    EXPECT_EQ(hall->GetItems()[0]->name, L"Blue Tower") << "newest first";
    EXPECT_FLOAT_EQ(hall->GetItems()[0]->position.z, 6.0f);
    Frames(4, "hall_placed.png");
    // Stand back from the pedestals, facing them, to see all three.
    hall->GetPlayer().GetLocomotion().MoveTo({2.5f, 1.1f, 9.5f});
    script->SetPose(PimVrDeviceIndex::Headset, {0.0f, 1.65f, 0.0f}, PimMatrix4x4::CreateRotationX(PimAngle::FromDegrees(-4.0f)));
    const PimTexture hallPicture = Frames(8, "hall.png");
    for (const PimColor colour : colours)
        EXPECT_GT(CountNear(hallPicture, colour, 90), 100) << "a thumbnail in " << int(colour.r) << "," << int(colour.g);
}
}

namespace
{
// Pixels of the option pictures: the teleport's violet, the touch-walk's teal, the hands' blue
// and orange, the round buttons' white rims.
int Violet(const PimTexture& p) { return CountWhere(p, p.GetHeight(), [](PimColor c) { return c.r > 100 && c.b > 150 && c.g < 100; }); }
int Teal(const PimTexture& p) { return CountWhere(p, p.GetHeight(), [](PimColor c) { return c.g > 110 && c.b > 110 && c.r < 60; }); }
int Orange(const PimTexture& p) { return CountWhere(p, p.GetHeight(), [](PimColor c) { return c.r > 180 && c.g > 80 && c.g < 160 && c.b < 70; }); }
}

TEST_F(MenuRender, ThePreferencesBoothShowsItsRowsAndCalibrateButton)
{
    Frames(4, "before_preferences.png");
    ASSERT_TRUE(menu->IsBuilt());
    menu->OnItemPlay(2);
    const PimTexture booth = Frames(8, "preferences.png");
    EXPECT_GT(Violet(booth), 200) << "teleport";
    EXPECT_GT(Teal(booth), 200) << "touch-walk";
    EXPECT_GT(Orange(booth), 200) << "right hand";
    EXPECT_GT(CountWhere(booth, booth.GetHeight(), [](PimColor c) { return c.r > 160 && c.g > 130 && c.b < 60; }), 200)
        << "the calibrate button's amber";
}

TEST_F(MenuRender, TheInGameMenuShowsItsRowsAndTheSizeSlider)
{
    Frames(4, "before_in_game_menu.png");
    ASSERT_TRUE(menu->IsBuilt());
    auto booth = std::make_shared<InGameMenuPageVr>(*settings, camera, nullptr);
    ASSERT_TRUE(menu->AddChildPage(booth));
    booth->ActivateThisPage();
    const PimTexture picture = Frames(8, "in_game_menu.png");
    EXPECT_GT(Violet(picture), 200) << "teleport";
    EXPECT_GT(Teal(picture), 200) << "touch-walk";
    EXPECT_GT(CountWhere(picture, picture.GetHeight(), [](PimColor c) { return c.r > 240 && c.g > 240 && c.b > 240; }), 100)
        << "the size slider's knob and the rims";
}

// The booth's east wall as the user sees it turned to it: the first seven rows of colours, the
// palette row above them, the numbered palette buttons, the picker and the scroll slider, the
// padlocks of colours in use and the break-lock button of the selected one. Kept as
// palette_wall.png.
TEST_F(MenuRender, ThePaletteWallShowsItsRowsLocksAndButtons)
{
    Frames(4, "before_palette_wall.png");
    ASSERT_TRUE(menu->IsBuilt());
    for (const std::uint16_t colour : {0, 5, 10, 20, 33, 48})
        settings->activeGame.SetColourLocked(true, colour);
    auto booth = std::make_shared<InGameMenuPageVr>(*settings, camera, nullptr);
    ASSERT_TRUE(menu->AddChildPage(booth));
    booth->ActivateThisPage();
    VrPaletteSelectionMenu& wall = booth->GetPaletteMenu();
    wall.SelectSwatch(5);
    // Turned right to the wall, looking a little down at it, the off (left) hand held up at the
    // lower left of the view with the palette's strip over it.
    const PimMatrix4x4 turned = PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(-90.0f));
    script->SetPose(PimVrDeviceIndex::Headset, {0.0f, 1.6f, 0.0f}, turned * PimMatrix4x4::CreateRotationX(PimAngle::FromDegrees(-12.0f)));
    script->SetTracking(PimVrDeviceIndex::LeftHand, true, true, 0);
    script->SetPose(PimVrDeviceIndex::LeftHand, {1.1f, 1.0f, -0.45f}, turned * PimMatrix4x4::CreateRotationX(PimAngle::FromDegrees(50.0f)));
    const PimTexture picture = Frames(8, "palette_wall.png");
    EXPECT_TRUE(wall.IsHeadTurned());
    EXPECT_EQ(wall.GetDrawnSwatchCount(), 7 * VrPaletteSelectionMenu::kPerRow) << "the folded rows are not drawn";
    const auto count = [&](auto test) { return CountWhere(picture, picture.GetHeight(), test); };
    EXPECT_GT(count([](PimColor c) { return c.r > 180 && c.g < 60 && c.b > 180; }), 40) << "colour 0, magenta";
    EXPECT_GT(count([](PimColor c) { return c.r > 180 && c.g > 180 && c.b < 60; }), 40) << "colour 5, yellow";
    EXPECT_GT(count([](PimColor c) { return c.r < 80 && c.g > 150 && c.b > 150; }), 40) << "colour 10, cyan";
    EXPECT_GT(count([](PimColor c) { return c.r > 150 && c.g < 60 && c.b < 60; }), 20) << "the padlocks' red";
    EXPECT_GT(count([](PimColor c) { return c.r > 200 && c.g > 90 && c.g < 150 && c.b < 50; }), 30) << "break-lock orange";
    EXPECT_GT(count([](PimColor c) { return c.r < 90 && c.g > 80 && c.g < 140 && c.b > 170; }), 30) << "palette button 1";
}

// The booth's north wall as the user sees it turned round: three reference rows, the first with a
// chosen picture (its button shows the picture, then the eye, the padlock and the scale slider
// with its ratio), the others with the choose-a-picture button only. Kept as reference_rows.png.
TEST_F(MenuRender, TheReferenceRowsShowTheirPictureAndControls)
{
    Frames(4, "before_reference_rows.png");
    ASSERT_TRUE(menu->IsBuilt());
    const std::filesystem::path file = UserData() / "guide.png";
    PimTexture guide;
    guide.Create(16, 8, PimColor(240, 120, 20, 255));
    ASSERT_TRUE(guide.Save(file.string()));
    settings->activeGame.SetRefImagePath(0, PimWString::Widen(file.string()));
    ReferenceImageSet images(*settings);
    ASSERT_TRUE(images.LoadSlot(0));
    {
        auto booth = std::make_shared<InGameMenuPageVr>(*settings, camera, nullptr);
        booth->AttachReferenceImages(images);
        ASSERT_TRUE(menu->AddChildPage(booth));
        booth->ActivateThisPage();
        script->SetPose(PimVrDeviceIndex::Headset, {0.0f, 1.6f, 0.0f},
                        PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(180.0f)));
        const PimTexture picture = Frames(8, "reference_rows.png");
        const auto count = [&](auto test) { return CountWhere(picture, picture.GetHeight(), test); };
        EXPECT_GT(count([](PimColor c) { return c.r > 220 && c.g > 100 && c.g < 140 && c.b < 40; }), 30)
            << "the chosen picture on the first row's button";
        EXPECT_TRUE(booth->GetReferenceRow(0).HasPicture());
        EXPECT_FALSE(booth->GetReferenceRow(1).HasPicture());
        EXPECT_EQ(booth->GetReferenceRow(0).GetLabel().GetText(), L"1/1");
        menu->ActivateThisPage();
        menu->RemoveChildPage(booth.get());
    }
}

namespace
{
TEST_F(MenuRender, TheLoadingBoothShowsTheProgressTheSliderAndTheBall)
{
    Frames(4, "before_loading_booth.png");
    ASSERT_TRUE(menu->IsBuilt());
    // A world without a description never builds: the booth stays at 0 %.
    settings->activeGame.SetGameWorldName(L"BOOTH");
    auto world = std::make_shared<VoxelWorld2>(*settings, ChunkPool::Shared());
    {
        auto booth = std::make_shared<VRLoadingMenu>(*settings, camera, world.get());
        ASSERT_TRUE(menu->AddChildPage(booth));
        booth->ActivateThisPage();
        const PimTexture picture = Frames(8, "loading_booth.png");
        EXPECT_EQ(booth->GetProgressLabel().GetText(), L"0%");
        EXPECT_TRUE(booth->IsActivePage());
        EXPECT_GT(CountWhere(picture, picture.GetHeight(), [](PimColor c) { return c.r > 240 && c.g > 240 && c.b > 240; }),
                  200)
            << "the progress in white";
        EXPECT_GT(CountWhere(picture, picture.GetHeight(), [](PimColor c) { return c.r > 150 && c.g < 80 && c.b < 80; }), 20)
            << "the red ball";
        menu->ActivateThisPage();
        menu->RemoveChildPage(booth.get());
    }
}
}

namespace
{
TEST_F(MenuRender, TheNameBoothShowsItsKeyboardAndTheTypedName)
{
    Frames(4, "before_name_booth.png");
    ASSERT_TRUE(menu->IsBuilt());
    auto booth = std::make_shared<WorldParamPageVr>(*settings, camera);
    ASSERT_TRUE(menu->AddChildPage(booth));
    booth->ActivateThisPage();
    Frames(2, "name_booth_placing.png");
    booth->GetKeyboard().SetText("TOWER");
    const PimTexture picture = Frames(8, "name_booth.png");
    EXPECT_GT(CountWhere(picture, picture.GetHeight(), [](PimColor c) { return c.r > 240 && c.g > 240 && c.b > 240; }), 200)
        << "the keys' and the typed name's white letters";
}
}
