// A first start in the headset (scripted hands) following the guide: the preferences booth shows
// it over the calibrate button, the main menu over the new-model object, the name booth beside the
// keyboard and then over the play button, the loading booth over its progress, the world on the
// off hand's panel, the in-game menu over exit; leaving the world with exit ends the tutorial for
// good.

#include "tests/support/offscreen_user.h"

#include "app/SceneSetup.h"

#include "pages/InGameMenuPageVr.h"
#include "pages/PreferencesMenuVr.h"
#include "pages/TutorialMarker.h"
#include "pages/VRLoadingMenu.h"
#include "pages/VoxWorldCreator.h"
#include "pages/VoxelMenu.h"
#include "pages/WorldParamPageVr.h"

#include "settings/GameSettings.h"
#include "settings/SettingsFolders.h"

#include "engine/PimSystem.h"
#include "engine/PimUIManager.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrScriptedDevice.h"
#include "engine/PimVrSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace
{
constexpr int kRight = PimVrDeviceIndex::RightHand;

class TutorialE2E : public testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(user.temp.Path() / "home");
        settings = std::make_unique<GameSettings>(SettingsFolders::Locate());
        PimSystemParameters parameters = MakeStartParameters(settings->GetFolders());
        parameters.deviceMode = PimDeviceMode::Scripted;
        parameters.fixedFrameSeconds = 1.0 / 60.0;
        parameters.width = 270;
        parameters.height = 300;
        ASSERT_TRUE(PimSystem::Initialize(parameters));
        scene = SetUpScene(*settings);
        script = PimVrSystem::GetInstance().GetScript();
        ASSERT_NE(script, nullptr);
        script->SetPose(PimVrDeviceIndex::Headset, {0.0f, 1.7f, 0.0f}, PimMatrix4x4());
        script->SetPose(PimVrDeviceIndex::LeftHand, {-0.25f, 1.2f, -0.3f}, PimMatrix4x4());
        script->SetPose(kRight, {0.25f, 1.2f, -0.3f}, PimMatrix4x4());
        menu = dynamic_cast<VoxelMenu*>(scene.rootPage.get());
        ASSERT_NE(menu, nullptr);
    }
    void TearDown() override
    {
        scene = {};
        PimSystem::Shutdown();
    }
    PimUIPage* Active() const { return scene.uiManager->GetActivePage(); }
    TutorialMarker& Marker() { return TutorialMarker::Of(*settings); }
    static void Frames(int count) { PimSystem::RunFrames(static_cast<std::uint64_t>(count)); }
    static bool RunUntil(const std::function<bool()>& done)
    {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (!done())
        {
            if (std::chrono::steady_clock::now() > limit)
                return false;
            Frames(1);
        }
        return true;
    }
    // Puts the right hand's tip on a world point (through the play area's root, turn and scale),
    // pulls the trigger for a few frames and lets go.
    void Press(const PimVector3& world)
    {
        PimVrSystem& vr = PimVrSystem::GetInstance();
        const PimMatrix4x4 unturn = PimMatrix4x4::CreateRotationY(PimAngle::FromRadians(-vr.GetDirectionModifier().GetRadians()));
        const PimVector3 tip = unturn.TransformDirection(world - vr.GetRootPosition()) / vr.GetScale();
        script->SetPose(kRight, tip + PimVector3(0.0f, 0.0f, PimVrController::TipDistance), PimMatrix4x4());
        Frames(2);
        script->SetValue(kRight, PimVrButton::Trigger, 1.0f);
        Frames(3);
        script->SetValue(kRight, PimVrButton::Trigger, 0.0f);
        Frames(2);
    }
    void MenuButton(int hand)
    {
        script->SetValue(hand, PimVrButton::Menu, 1.0f);
        Frames(3);
        script->SetValue(hand, PimVrButton::Menu, 0.0f);
        Frames(3);
    }
    bool FixedAt(const PimVector3& anchor)
    {
        return Marker().IsRunning() && Marker().IsFixed() && Marker().GetStage() == TutorialMarker::Arrow &&
               (Marker().GetAnchor() - anchor).Length() < 1e-4f;
    }

    OffscreenUser user;
    std::unique_ptr<GameSettings> settings;
    QuillotScene scene;
    PimVrScriptedDevice* script = nullptr;
    VoxelMenu* menu = nullptr;
};

TEST_F(TutorialE2E, TheGuideLeadsFromTheFirstStartIntoAWorldAndOut)
{
    ASSERT_TRUE(RunUntil([this] { return menu->IsBuilt() && Active() == menu->GetPreferencesPage(); }));
    PreferencesMenuVr* preferences = menu->GetPreferencesPage();
    Frames(3);
    EXPECT_TRUE(FixedAt(preferences->GetCalibrateButton().GetBaseLocation() + PimVector3(0.0f, 0.5f, 0.0f)));
    EXPECT_TRUE(Marker().ShowsArrow());

    // The back action of the preferred hand returns to the main menu.
    MenuButton(static_cast<int>(settings->virtualReality.GetHandPreference()));
    ASSERT_TRUE(RunUntil([this] { return Active() == menu; }));
    Frames(3);
    EXPECT_TRUE(FixedAt(VoxelMenu::TutorialAnchor()));

    // New model: the name booth.
    Press(menu->PlayButtonPosition(*menu->GetItems()[0]));
    auto* name = dynamic_cast<WorldParamPageVr*>(Active());
    ASSERT_NE(name, nullptr);
    Frames(2);
    EXPECT_TRUE(FixedAt(name->GetKeyboard().GetLocation() + PimVector3(0.0f, 1.2f, -0.8f)));
    name->GetKeyboard().SetText("GUIDED");
    Frames(2);
    const PimVector3 play = name->GetPlayButton().GetBaseLocation();
    EXPECT_TRUE(FixedAt(play + PimVector3(0.0f, 0.5f, 0.0f))) << "a typed name: over the play button";
    Press(play);

    // The loading booth, then the world.
    ASSERT_TRUE(RunUntil([this] { return dynamic_cast<VRLoadingMenu*>(Active()) != nullptr; }));
    EXPECT_TRUE(FixedAt(VRLoadingMenu::ProgressPlace() + PimVector3(0.25f, 0.5f, 0.3f)));
    VoxWorldCreator* world = nullptr;
    ASSERT_TRUE(RunUntil([&] {
        world = dynamic_cast<VoxWorldCreator*>(Active());
        return world != nullptr;
    }));
    Frames(2);
    EXPECT_EQ(Marker().GetLastStep(), 2u) << "the editor took the first steps";
    EXPECT_FALSE(Marker().IsFixed());
    EXPECT_EQ(Marker().GetHand(), settings->virtualReality.GetHandPreference() == 2 ? 1 : 2) << "the off hand";

    // The in-game menu and its exit.
    MenuButton(kRight);
    auto* inGame = dynamic_cast<InGameMenuPageVr*>(Active());
    ASSERT_NE(inGame, nullptr);
    Frames(4);
    EXPECT_TRUE(FixedAt(inGame->GetExitButton().GetBaseLocation() + PimVector3(0.0f, 0.5f, 0.0f)));
    Press(inGame->GetExitButton().GetBaseLocation());
    ASSERT_TRUE(RunUntil([this] { return Active() == menu; }));
    EXPECT_TRUE(settings->GetTutorialOne());
    EXPECT_FALSE(Marker().IsRunning());
    Frames(3);
    EXPECT_FALSE(Marker().ShowsArrow()) << "nothing is shown any more";
}
}
