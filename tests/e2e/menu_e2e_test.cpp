// The whole program offscreen with the desktop simulator, driven by mouse events as a desktop
// user would: the main menu opens on the title picture and then its room, with the preferences
// booth in front on this first start (its menu key, M, returns to the menu); clicking the load-models
// object's play button opens the hall of saved models; clicking the hall's back button returns;
// clicking the exit object's play button saves the settings and ends the program.

#include "tests/support/offscreen_user.h"

#include "app/SceneSetup.h"

#include "pages/PreferencesMenuVr.h"
#include "pages/VoxelMenu.h"
#include "pages/VoxelSavedGamesMenu.h"

#include "settings/GameSettings.h"
#include "settings/SettingsFolders.h"

#include "engine/PimFile.h"
#include "engine/PimSystem.h"
#include "engine/PimUIManager.h"
#include "engine/PimVrDevice.h"
#include "engine/PimVrSystem.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace
{
constexpr int kWidth = 480;
constexpr int kHeight = 360;

class MenuE2E : public testing::Test
{
protected:
    void SetUp() override { std::filesystem::create_directories(user.temp.Path() / "home"); }
    void TearDown() override { PimSystem::Shutdown(); }

    // The window pixel under which the simulator's pointer ray passes through a world point, the
    // head looking straight ahead as it does at start.
    static std::optional<SDL_Point> PixelOf(const PimVector3& world)
    {
        PimVrSystem& vr = PimVrSystem::GetInstance();
        const PimVector3 eye = vr.GetHeadsetController().GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
        const PimVector3 ray = PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(-vr.GetDirectionModifier().GetDegrees()))
                                   .TransformDirection(world - eye);
        if (ray.z >= 0.0f)
            return std::nullopt;
        const float tanUp = std::tan(PimVrRestPose::WindowFieldOfViewDegrees * 3.14159265f / 360.0f);
        const float tanRight = tanUp * kWidth / kHeight;
        const float x = (ray.x / -ray.z) / tanRight;
        const float y = (ray.y / -ray.z) / tanUp;
        return SDL_Point{static_cast<int>(std::lround((x + 1.0f) * 0.5f * kWidth)),
                         static_cast<int>(std::lround((1.0f - y) * 0.5f * kHeight))};
    }

    static void Push(Uint32 type, int x, int y)
    {
        SDL_Event event{};
        event.type = type;
        if (type == SDL_MOUSEMOTION)
        {
            event.motion.x = x;
            event.motion.y = y;
        }
        else
        {
            event.button.button = SDL_BUTTON_LEFT;
            event.button.x = x;
            event.button.y = y;
        }
        SDL_PushEvent(&event);
    }

    OffscreenUser user;
};

TEST_F(MenuE2E, LoadModelsBackAndExitWithTheMouse)
{
    auto settings = std::make_unique<GameSettings>(SettingsFolders::Locate());
    ASSERT_FALSE(PimFile::FileExists(settings->GetSettingsFilePath()));
    PimSystemParameters parameters = MakeStartParameters(settings->GetFolders());
    parameters.deviceMode = PimDeviceMode::Desktop;
    parameters.fixedFrameSeconds = 1.0 / 60.0;
    parameters.width = kWidth;
    parameters.height = kHeight;
    ASSERT_TRUE(PimSystem::Initialize(parameters));
    QuillotScene scene = SetUpScene(*settings);
    auto* menu = dynamic_cast<VoxelMenu*>(scene.rootPage.get());
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->activatePreferences) << "first start without a settings file";
    VoxelSavedGamesMenu* hall = menu->GetSavedGamesPage();

    enum class Step { Title, Preferences, LoadModels, Hall, Back, Exit };
    Step step = Step::Title;
    int stepFrames = 0;
    bool sawHall = false;
    bool backInMenu = false;
    std::uint64_t frames = 0;
    // Points at a world position and clicks: the pointer moves, then the button goes down and up
    // on later frames.
    const auto click = [](const PimVector3& target, int frame) {
        const std::optional<SDL_Point> pixel = PixelOf(target);
        if (!pixel)
            return;
        if (frame == 1)
            Push(SDL_MOUSEMOTION, pixel->x, pixel->y);
        if (frame == 3)
            Push(SDL_MOUSEBUTTONDOWN, pixel->x, pixel->y);
        if (frame == 5)
            Push(SDL_MOUSEBUTTONUP, pixel->x, pixel->y);
    };
    PimSystem::AddFrameCallback(PimFramePhase::Update, [&] {
        ++frames;
        ++stepFrames;
        const auto next = [&](Step s) { step = s; stepFrames = 0; };
        PimUIPage* active = scene.uiManager->GetActivePage();
        switch (step)
        {
        case Step::Title:
            // Built on the second frame; the player is placed two frames after the headset shows.
            if (menu->IsBuilt() && stepFrames > 10)
                next(Step::Preferences);
            break;
        case Step::Preferences:
        {
            if (stepFrames == 1)
            {
                EXPECT_EQ(active, menu->GetPreferencesPage()) << "a first start shows the preferences first";
            }
            SDL_Event key{};
            key.type = stepFrames == 1 ? SDL_KEYDOWN : SDL_KEYUP;
            key.key.keysym.scancode = SDL_SCANCODE_M;
            if (stepFrames <= 3 && stepFrames % 2 == 1)
                SDL_PushEvent(&key);
            if (active == menu)
                next(Step::LoadModels);
            break;
        }
        case Step::LoadModels:
            // Back from the booth, the menu places the player two frames after it opens.
            if (stepFrames > 6)
                click(menu->PlayButtonPosition(*menu->GetItems()[1]), stepFrames - 6);
            if (active == hall)
            {
                sawHall = true;
                next(Step::Hall);
            }
            break;
        case Step::Hall:
            // The hall places the player two frames after it opens.
            if (stepFrames > 6)
                next(Step::Back);
            break;
        case Step::Back:
            click(hall->GetBackButton().GetBaseLocation(), stepFrames);
            if (active == menu)
            {
                backInMenu = true;
                next(Step::Exit);
            }
            break;
        case Step::Exit:
            if (stepFrames > 6)
                click(menu->PlayButtonPosition(*menu->GetItems()[3]), stepFrames - 6);
            break;
        }
        if (frames > 600)
            PimSystem::ExitSystem();
    });
    PimSystem::Run();

    EXPECT_TRUE(sawHall) << "the load-models object's play button opens the hall";
    EXPECT_TRUE(backInMenu) << "the hall's back button returns to the main menu";
    EXPECT_EQ(step, Step::Exit);
    EXPECT_LT(frames, 600u) << "the exit object ends the program";
    EXPECT_TRUE(PimFile::IsRegularFile(settings->GetSettingsFilePath())) << "exit saves the settings";
    EXPECT_TRUE(settings->activeGame.GetGameWorldName().empty());
    EXPECT_FALSE(settings->activeGame.GetOptionsSet());
}
}
