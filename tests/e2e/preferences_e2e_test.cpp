// The preferences booth used the way a desktop user uses it, through the simulator's own input
// path (SDL mouse and key events into the frame loop): a first start opens it at once; from the
// main menu the settings object opens it; the user picks the left hand on its row, turns to the
// panel and drags the volume knob down, leaves with the (now left) hand's menu key, and the
// settings file holds both choices.

#include "tests/support/offscreen_user.h"

#include "app/SceneSetup.h"

#include "pages/PreferencesMenuVr.h"
#include "pages/VoxelMenu.h"

#include "settings/GameSettings.h"
#include "settings/SettingsFolders.h"

#include "engine/PimSystem.h"
#include "engine/PimUIManager.h"
#include "engine/PimVrDevice.h"
#include "engine/PimVrSystem.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

namespace
{
constexpr int kWidth = 480;
constexpr int kHeight = 360;

class PreferencesE2E : public testing::Test
{
protected:
    void SetUp() override { std::filesystem::create_directories(user.temp.Path() / "home"); }
    void TearDown() override
    {
        scene = {};
        PimSystem::Shutdown();
    }

    void Start(bool withSettingsFile)
    {
        settings = std::make_unique<GameSettings>(SettingsFolders::Locate());
        if (withSettingsFile)
        {
            ASSERT_TRUE(settings->Save());
        }
        PimSystemParameters parameters = MakeStartParameters(settings->GetFolders());
        parameters.deviceMode = PimDeviceMode::Desktop;
        parameters.fixedFrameSeconds = 1.0 / 60.0;
        parameters.width = kWidth;
        parameters.height = kHeight;
        ASSERT_TRUE(PimSystem::Initialize(parameters));
        scene = SetUpScene(*settings);
        menu = dynamic_cast<VoxelMenu*>(scene.rootPage.get());
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(RunUntil(120, [this] { return menu->IsBuilt(); }));
        booth = menu->GetPreferencesPage();
        ASSERT_NE(booth, nullptr);
        Frames(10);
    }

    PimUIPage* Active() const { return scene.uiManager->GetActivePage(); }

    // The window pixel under which the simulator's pointer ray passes through a world point, from
    // the head as it is turned now.
    static std::optional<SDL_Point> PixelOf(const PimVector3& world)
    {
        const PimVrController& head = PimVrSystem::GetInstance().GetHeadsetController();
        const PimVector3 eye = head.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
        const PimMatrix4x4 facing = head.GetDeviceOrientation(PimVrPose::Tip, PimVrCoordinates::World);
        const PimVector3 ray = facing.Transposed().TransformDirection((world - eye).Normalized());
        if (ray.z >= 0.0f)
            return std::nullopt;
        const float tanUp = std::tan(PimVrRestPose::WindowFieldOfViewDegrees * 3.14159265f / 360.0f);
        const float tanRight = tanUp * kWidth / kHeight;
        const float x = (ray.x / -ray.z) / tanRight;
        const float y = (ray.y / -ray.z) / tanUp;
        if (std::fabs(x) > 1.0f || std::fabs(y) > 1.0f)
            return std::nullopt;
        return SDL_Point{static_cast<int>(std::lround((x + 1.0f) * 0.5f * kWidth)),
                         static_cast<int>(std::lround((1.0f - y) * 0.5f * kHeight))};
    }
    static void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1); }
    static void Mouse(Uint32 type, const SDL_Point& at)
    {
        SDL_Event event{};
        event.type = type;
        if (type == SDL_MOUSEMOTION)
        {
            event.motion.x = at.x;
            event.motion.y = at.y;
        }
        else
        {
            event.button.button = SDL_BUTTON_LEFT;
            event.button.x = at.x;
            event.button.y = at.y;
        }
        Push(event);
    }
    static void Key(Uint32 type, SDL_Scancode scancode)
    {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.scancode = scancode;
        Push(event);
    }
    static void Frames(int count) { PimSystem::RunFrames(static_cast<std::uint64_t>(count)); }
    static bool RunUntil(int maxFrames, const std::function<bool()>& done)
    {
        for (int frame = 0; frame < maxFrames; ++frame)
        {
            Frames(1);
            if (done())
                return true;
        }
        return false;
    }
    // Points at a world position and clicks it.
    static void Click(const PimVector3& target)
    {
        const std::optional<SDL_Point> pixel = PixelOf(target);
        ASSERT_TRUE(pixel.has_value()) << "in view";
        Mouse(SDL_MOUSEMOTION, *pixel);
        Frames(2);
        Mouse(SDL_MOUSEBUTTONDOWN, *pixel);
        Frames(2);
        Mouse(SDL_MOUSEBUTTONUP, *pixel);
        Frames(2);
    }

    OffscreenUser user;
    std::unique_ptr<GameSettings> settings;
    QuillotScene scene;
    VoxelMenu* menu = nullptr;
    PreferencesMenuVr* booth = nullptr;
};

TEST_F(PreferencesE2E, AFirstStartOpensTheBoothFirst)
{
    Start(false);
    EXPECT_EQ(Active(), booth);
    EXPECT_FALSE(menu->activatePreferences);
}

TEST_F(PreferencesE2E, TheHandAndTheVolumeChosenWithTheMouseAreSavedOnLeaving)
{
    Start(true);
    ASSERT_EQ(Active(), menu) << "not a first start";
    Click(menu->PlayButtonPosition(*menu->GetItems()[2]));
    ASSERT_TRUE(RunUntil(30, [this] { return Active() == booth; })) << "the settings object opens the booth";
    Frames(6);

    Click(booth->GetHandRow().OptionPosition(0));
    ASSERT_TRUE(RunUntil(30, [this] { return settings->virtualReality.GetHandPreference() == 1u; }));

    // Turn left (Q) to the panel on the west wall, then drag the volume knob to the track's start.
    Key(SDL_KEYDOWN, SDL_SCANCODE_Q);
    Frames(60);
    Key(SDL_KEYUP, SDL_SCANCODE_Q);
    Frames(2);
    const PimVrUISlider& slider = booth->GetVolume().GetBar().GetSlider();
    const std::optional<SDL_Point> knob = PixelOf(slider.GetSliderPosition());
    const std::optional<SDL_Point> start = PixelOf(slider.GetAnchorPosition());
    ASSERT_TRUE(knob && start) << "the volume slider is in view";
    Mouse(SDL_MOUSEMOTION, *knob);
    Frames(2);
    Mouse(SDL_MOUSEBUTTONDOWN, *knob);
    ASSERT_TRUE(RunUntil(10, [&] { return slider.IsBeingGrasped(); })) << "the click grasps the knob";
    for (int step = 1; step <= 5; ++step)
    {
        Mouse(SDL_MOUSEMOTION, SDL_Point{knob->x + (start->x - knob->x) * step / 5, knob->y + (start->y - knob->y) * step / 5});
        Frames(2);
    }
    Mouse(SDL_MOUSEBUTTONUP, *start);
    Frames(2);
    const float volume = settings->GetVolumeMaster();
    EXPECT_LT(volume, 0.1f) << "dragged down from 0.7";
    EXPECT_EQ(booth->GetVolume().GetLabel().GetText(), PimWString::FromLongInt(static_cast<int>(std::floor(volume * 100.0f))));

    // The menu key of the preferred hand, now the left one (the other hand's key, N), leaves.
    Key(SDL_KEYDOWN, SDL_SCANCODE_N);
    Frames(2);
    Key(SDL_KEYUP, SDL_SCANCODE_N);
    ASSERT_TRUE(RunUntil(30, [this] { return Active() == menu; }));

    GameSettings reread(SettingsFolders::Locate());
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(reread.virtualReality.GetHandPreference(), 1u);
    EXPECT_NEAR(reread.GetVolumeMaster(), volume, 1e-4f);
}
}
