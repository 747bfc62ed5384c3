// The in-game menu and the preferences booth on scripted hands: the option rows, the size and
// volume sliders, the camera switch, exit, the world's colours across a visit, the size
// calibration and saving on leaving.

#include "pages_fixture.h"

#include "pages/InGameMenuPageVr.h"
#include "pages/PreferencesMenuVr.h"
#include "pages/SizeCalibration.h"
#include "pages/TutorialMarker.h"

#include "colour/PaletteModel.h"

#include "engine/PimCamera.h"
#include "engine/PimFile.h"
#include "engine/PimVrInputCodes.h"

namespace
{
constexpr int kRight = PimVrDeviceIndex::RightHand;

// A page tree like the program's: the main menu at the root, a world page under it and the
// booth under that (the preferences booth hangs under the root directly).
class Booths : public PagesFixture
{
protected:
    void TearDown() override
    {
        root.reset();
        PagesFixture::TearDown();
    }
    template <typename Page>
    std::shared_ptr<Page> Open(std::shared_ptr<Page> page, bool underWorld)
    {
        root->ActivateThisPage();
        if (underWorld)
        {
            root->AddChildPage(worldPage);
            worldPage->AddChildPage(page);
        }
        else
            root->AddChildPage(page);
        page->ActivateThisPage();
        active = page.get();
        // The booth places the player two frames after it opens.
        Frames(4);
        return page;
    }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Step([this] {
                if (PimUIPage* now = root->GetActivePageOfTree(); now != nullptr && now == active)
                    active->Update();
            });
    }
    // Touches a place with the right hand and pulls the trigger for some frames, then lets go
    // (one more frame).
    void Press(const PimVector3& at, int frames = 1)
    {
        TipAt(kRight, at);
        Frames(1);
        Trigger(kRight, 1.0f);
        Frames(frames);
        Trigger(kRight, 0.0f);
        Frames(1);
    }
    std::shared_ptr<InGameMenuPageVr> OpenInGame()
    {
        return Open(std::make_shared<InGameMenuPageVr>(*settings, std::make_shared<PimCamera>(), nullptr), true);
    }
    std::shared_ptr<PreferencesMenuVr> OpenPreferences()
    {
        return Open(std::make_shared<PreferencesMenuVr>(*settings, std::make_shared<PimCamera>()), false);
    }

    std::shared_ptr<PimUIPage> root = std::make_shared<PimUIPage>();
    std::shared_ptr<PimUIPage> worldPage = std::make_shared<PimUIPage>();
    PimUIPage* active = nullptr;
};

TEST_F(Booths, RowsShowTheSettingsAndOnlyANewChoiceIsWritten)
{
    settings->virtualReality.SetHandPreference(1);
    auto menu = OpenInGame();
    EXPECT_EQ(menu->GetHandRow().GetSelected(), 0) << "hand preference 1 is the left hand";
    settings->virtualReality.SetHandPreference(2);
    menu->PageIn();
    EXPECT_EQ(menu->GetHandRow().GetSelected(), 1) << "hand preference 2 is the right hand";
    Frames(4);

    settings->virtualReality.Item(GameSettingsVirtualReality::Key::HandPreference).ClearChanged();
    Press(menu->GetHandRow().OptionPosition(1), 3);
    EXPECT_EQ(menu->GetHandRow().GetSelected(), 1);
    EXPECT_FALSE(settings->virtualReality.Item(GameSettingsVirtualReality::Key::HandPreference).IsChanged())
        << "choosing the chosen option writes nothing";

    Press(menu->GetHandRow().OptionPosition(0));
    EXPECT_EQ(settings->virtualReality.GetHandPreference(), 1u);
    Press(menu->GetMovementRow().OptionPosition(1));
    EXPECT_EQ(settings->activeGame.GetWalkPhysics(), 1u) << "the wing flies";
    Press(menu->GetMoveTypeRow().OptionPosition(0));
    EXPECT_EQ(settings->virtualReality.GetMovementType(), 0u) << "teleport";
}

TEST_F(Booths, TheSizeSliderChoosesFromTheScaleTableAndHoldingItKeepsTheMenuScaleOnLeaving)
{
    settings->activeGame.SetPlayerScaleIndex(30);
    auto menu = OpenInGame();
    const float last = static_cast<float>(GameSettingsActiveGame::ScaleTable.size() - 1);
    EXPECT_EQ(menu->GetSizeSlider().GetSlider().GetValue(), last) << "beyond the table: its last entry";
    EXPECT_EQ(menu->GetSizeLabel().GetText(), L"100.0");

    settings->activeGame.SetPlayerScaleIndex(3);
    menu->PageIn();
    Frames(4);
    EXPECT_EQ(menu->GetSizeLabel().GetText(), L"1.0") << "the default size reads as 1";
    const float menuScale = settings->virtualReality.GetPlayerSizeBias() * InGameMenuPageVr::kMenuScale;
    EXPECT_FLOAT_EQ(vr.GetScale(), menuScale);

    // Grasp the knob and drag it to the slider's end: the size follows while held.
    PimVrUISlider& slider = menu->GetSizeSlider().GetSlider();
    TipAt(kRight, slider.GetSliderPosition());
    Frames(1);
    Trigger(kRight, 1.0f);
    Frames(1);
    ASSERT_TRUE(slider.IsBeingGrasped());
    TipAt(kRight, slider.GetEndcapPosition());
    Frames(2);
    EXPECT_EQ(settings->activeGame.GetPlayerScaleIndex(), 24u);
    EXPECT_EQ(menu->GetSizeLabel().GetText(), L"100.0");

    // Leaving while still holding it keeps the booth's scale.
    worldPage->ActivateThisPage();
    EXPECT_FLOAT_EQ(vr.GetScale(), menuScale);
    Trigger(kRight, 0.0f);
    Frames(1);

    // Leaving normally gives the world its size.
    menu->ActivateThisPage();
    active = menu.get();
    Frames(4);
    worldPage->ActivateThisPage();
    EXPECT_FLOAT_EQ(vr.GetScale(), 150.0f * settings->virtualReality.GetPlayerSizeBias());
}

TEST_F(Booths, TheCameraButtonFlipsOncePerPress)
{
    auto menu = OpenInGame();
    ASSERT_FALSE(settings->inGameCamera);
    const PimVector3 button = menu->GetCameraButton().GetBaseLocation();
    TipAt(kRight, button);
    Frames(1);
    Trigger(kRight, 1.0f);
    std::vector<bool> seen;
    for (int i = 0; i < 3; ++i)
    {
        Frames(1);
        seen.push_back(settings->inGameCamera);
    }
    EXPECT_EQ(seen, (std::vector<bool>{true, true, true})) << "held, it stays flipped";
    Trigger(kRight, 0.0f);
    Frames(2);
    Trigger(kRight, 1.0f);
    Frames(2);
    EXPECT_FALSE(settings->inGameCamera) << "the next press flips it back";
}

TEST_F(Booths, ExitDuringTheTutorialMarksItDoneAndReturnsToTheRoot)
{
    ASSERT_FALSE(settings->GetTutorialOne());
    auto menu = OpenInGame();
    settings->saveRequested = false;
    Press(menu->GetExitButton().GetBaseLocation());
    EXPECT_TRUE(settings->GetTutorialOne());
    EXPECT_TRUE(settings->saveRequested) << "the next settings save keeps it";
    EXPECT_FALSE(TutorialMarker::Of(*settings).IsRunning()) << "the guide is gone for good";
    EXPECT_EQ(root->GetActivePageOfTree(), root.get());
    EXPECT_FLOAT_EQ(vr.GetScale(), settings->virtualReality.GetPlayerSizeBias() * 1.5f);
}

TEST_F(Booths, ThePreferencesTutorialLevelOnlyRises)
{
    settings->virtualReality.SetHandPreference(1);
    auto booth = OpenPreferences();
    TutorialMarker& tutorial = TutorialMarker::Of(*settings);
    EXPECT_EQ(booth->GetTutorialLevel(), 1) << "entering asks for 0, which is 1 while the guide runs";
    EXPECT_EQ(tutorial.GetStage(), TutorialMarker::Arrow);
    EXPECT_TRUE(tutorial.IsFixed());
    EXPECT_EQ(tutorial.GetAnchor(), booth->GetCalibrateButton().GetBaseLocation() + PimVector3(0.0f, 0.5f, 0.0f));

    // A calibration hides the marker while it runs and then shows the way back.
    Press(booth->GetCalibrateButton().GetBaseLocation());
    EXPECT_EQ(booth->GetTutorialLevel(), 2);
    EXPECT_EQ(tutorial.GetStage(), TutorialMarker::Hidden);
    booth->RequestTutorialStage(3);
    EXPECT_EQ(tutorial.GetStage(), TutorialMarker::MenuButton);
    EXPECT_FALSE(tutorial.IsFixed());
    EXPECT_EQ(tutorial.GetHand(), 1) << "on the preferred hand";

    booth->RequestTutorialStage(1);
    EXPECT_EQ(booth->GetTutorialLevel(), 3) << "a lower request is ignored";
    EXPECT_EQ(tutorial.GetStage(), TutorialMarker::MenuButton);
    booth->PageIn();
    EXPECT_EQ(tutorial.GetStage(), TutorialMarker::MenuButton) << "a later visit still shows the way back";
}

TEST_F(Booths, AVisitKeepsTheWorldsOwnColoursAndAsksTheDisplaysToRefresh)
{
    const PimColor custom{200, 10, 30, 255};
    settings->activeGame.SetColour(custom, 5);
    auto menu = OpenInGame();
    worldPage->ActivateThisPage();
    EXPECT_EQ(PaletteModel::GetWorldColour(5), custom);
    EXPECT_EQ(PimVoxelGrid::GetColorDefinition(5, true), custom) << "the world's chunks keep their colour";
    EXPECT_TRUE(settings->activeGame.coloursChanged);
}

// Opened while the head looks back over a shoulder (or the desktop view is turned), the booth turns
// so that the head faces its main controls: the in-game menu's rows on the south wall (-z), the
// file browser's column on the north wall (+z).
TEST_F(Booths, TheInGameMenuAndTheFileBrowserOpenFacingTheHead)
{
    const auto worldForward = [] {
        return PimVrSystem::GetInstance()
            .GetHeadsetController()
            .GetDeviceOrientation(PimVrPose::Tip, PimVrCoordinates::World)
            .TransformDirection({0.0f, 0.0f, -1.0f});
    };
    for (const float headYaw : {0.0f, 100.0f, 180.0f, -60.0f})
    {
        script->SetPose(PimVrDeviceIndex::Headset, PimVector3(0.0f, 1.7f, 0.0f),
                        PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(headYaw)));
        Frames(1); // the devices are read at the frame's start
        auto menu = OpenInGame();
        EXPECT_LT(worldForward().z, -0.99f) << "head turned " << headYaw;
        menu->RequestBrowse(1);
        active = &menu->GetFileBrowser();
        Frames(3);
        EXPECT_GT(worldForward().z, 0.99f) << "head turned " << headYaw;
        worldPage->RemoveChildPage(menu.get());
        root->RemoveChildPage(worldPage.get());
    }
}

TEST_F(Booths, TheFogPickerSetsTheFogColour)
{
    auto menu = OpenInGame();
    PimVrUISlider& red = menu->GetFogPicker().GetBar(0).GetSlider();
    TipAt(kRight, red.GetSliderPosition());
    Frames(1);
    Trigger(kRight, 1.0f);
    Frames(1);
    TipAt(kRight, red.GetEndcapPosition());
    Frames(2);
    Trigger(kRight, 0.0f);
    Frames(1);
    EXPECT_EQ(settings->activeGame.GetFogColour().r, 255);
}

TEST(SizeCalibration, TheBiasPutsTheHeadAtTheReferenceHeightWithinItsRange)
{
    const auto measure = [](float height) {
        SizeCalibration calibration;
        EXPECT_TRUE(calibration.Start(1.0f));
        for (int frame = 0; frame < 1000; ++frame)
        {
            const SizeCalibration::Step step = calibration.Advance(height, 1.0f / 60.0f);
            if (step.finished)
                return step.measuredBias;
        }
        ADD_FAILURE() << "never finished";
        return 0.0f;
    };
    EXPECT_FLOAT_EQ(measure(1.6579512f), 1.0f);
    EXPECT_FLOAT_EQ(measure(0.6f), 2.5f);
    EXPECT_FLOAT_EQ(measure(4.0f), 0.5f);
    EXPECT_FLOAT_EQ(measure(0.0f), 2.5f) << "a head lost at the floor";

    SizeCalibration calibration;
    ASSERT_TRUE(calibration.Start(1.2f));
    EXPECT_NEAR(calibration.Advance(1.6579512f, 0.0f).shownBias, 1.2f, 0.05f) << "starts from the old bias";
    EXPECT_FALSE(calibration.Start(2.0f)) << "a running calibration is not restarted";
    SizeCalibration::Step step{};
    for (int frame = 0; frame < 1000 && !step.finished; ++frame)
        step = calibration.Advance(1.6579512f, 1.0f / 60.0f);
    EXPECT_TRUE(step.finished);
    EXPECT_NEAR(step.shownBias, 1.0f, 1e-4f) << "ends at the measured bias";
}

TEST_F(Booths, CalibratingInTheBoothSetsTheBiasOnceAndLeavingSavesTheSettings)
{
    auto booth = OpenPreferences();
    // A tall user: the head 2 m above the floor.
    script->SetPose(PimVrDeviceIndex::Headset, PimVector3(0.0f, 2.0f, 0.0f), PimMatrix4x4());
    Frames(2);
    const PimVector3 button = booth->GetCalibrateButton().GetBaseLocation();
    Press(button);
    ASSERT_TRUE(booth->GetCalibration().IsRunning());
    // Pressing again two seconds in does not start it over: it ends four seconds after the start.
    Frames(110);
    Press(booth->GetCalibrateButton().GetBaseLocation());
    int frames = 0;
    while (booth->GetCalibration().IsRunning() && frames < 600)
    {
        Frames(1);
        ++frames;
    }
    EXPECT_LT(frames, 200);
    EXPECT_NEAR(settings->virtualReality.GetPlayerSizeBias(), 1.6579512f / 2.0f, 1e-3f);
    EXPECT_NEAR(vr.GetScale(), 1.6579512f / 2.0f * 1.5f, 1e-3f);

    Press(booth->GetHandRow().OptionPosition(0));
    ASSERT_EQ(settings->virtualReality.GetHandPreference(), 1u);
    ASSERT_FALSE(PimFile::FileExists(settings->GetSettingsFilePath()));
    root->ActivateThisPage();
    ASSERT_TRUE(PimFile::IsRegularFile(settings->GetSettingsFilePath())) << "leaving saves";
    GameSettings reread(settings->GetFolders());
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(reread.virtualReality.GetHandPreference(), 1u);
    EXPECT_NEAR(reread.virtualReality.GetPlayerSizeBias(), 1.6579512f / 2.0f, 1e-3f);
}
}
