// The first-time guide on scripted devices: nothing once the first tutorial is done, the world
// steps in their order, the trigger animation's pictures, the view arrow and finishing.

#include "pages_fixture.h"

#include "pages/TutorialMarker.h"

#include <vector>

namespace
{
class TutorialMarkerTest : public PagesFixture
{
protected:
    TutorialMarker& Marker() { return TutorialMarker::Of(*settings); }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Step([this] { Marker().Update(); });
    }
    // Puts the head at a world point looking along -z.
    void HeadAt(const PimVector3& world)
    {
        script->SetPose(PimVrDeviceIndex::Headset, (world - vr.GetRootPosition()) / vr.GetScale(), PimMatrix4x4());
    }
};

TEST_F(TutorialMarkerTest, WithTheFirstTutorialDoneNothingIsEverShown)
{
    settings->SetTutorialOne(true);
    TutorialMarker& marker = Marker();
    ASSERT_FALSE(marker.IsRunning());
    marker.Place(TutorialMarker::ArrowAndTrigger, kRoot + PimVector3(0.0f, 1.0f, -3.0f), PimAngle::FromDegrees(90.0f), 1.0f);
    marker.AdvanceTutorial(1);
    Frames(3);
    EXPECT_FALSE(marker.ShowsArrow());
    EXPECT_FALSE(marker.ShowsPicture());
    EXPECT_FALSE(marker.ShowsViewArrow());
    EXPECT_EQ(marker.GetLastStep(), 1u) << "the step is recorded";
    marker.AdvanceTutorial(3);
    EXPECT_EQ(marker.GetLastStep(), 1u) << "but 2 does not follow, and 3 is out of turn";
}

TEST_F(TutorialMarkerTest, WorldStepsGoInTurnToTheirHands)
{
    settings->virtualReality.SetHandPreference(2);
    TutorialMarker& marker = Marker();
    marker.AdvanceTutorial(2);
    EXPECT_EQ(marker.GetLastStep(), 0u) << "the first step is 1";
    marker.AdvanceTutorial(1);
    EXPECT_EQ(marker.GetLastStep(), 2u) << "step 2 follows step 1 at once";
    marker.AdvanceTutorial(4);
    EXPECT_EQ(marker.GetLastStep(), 2u) << "skipping a step does nothing";

    struct Expected
    {
        std::uint32_t stage;
        int hand;
    };
    const Expected expected[] = {
        {TutorialMarker::Arrow, 1},      // 2: the other hand
        {TutorialMarker::Trigger, 2},    // 3: the preferred hand
        {TutorialMarker::Trigger, 1},    // 4
        {TutorialMarker::Arrow, 1},      // 5
        {TutorialMarker::Trigger, 2},    // 6
        {TutorialMarker::MenuButton, 2}, // 7
    };
    for (std::uint32_t step = 2; step <= 7; ++step)
    {
        SCOPED_TRACE(step);
        if (step > 2)
            marker.AdvanceTutorial(step);
        ASSERT_EQ(marker.GetLastStep(), step);
        EXPECT_EQ(marker.GetStage(), expected[step - 2].stage);
        EXPECT_FALSE(marker.IsFixed());
        EXPECT_EQ(marker.GetHand(), expected[step - 2].hand);
        EXPECT_FLOAT_EQ(marker.GetMarkerScale(), TutorialMarker::kHandScale);
        EXPECT_EQ(marker.GetFrame(), 0);
    }
    marker.AdvanceTutorial(7);
    marker.AdvanceTutorial(8);
    EXPECT_EQ(marker.GetLastStep(), 7u);

    // Following the hand: a little above its tip.
    TipAt(2, kRoot + PimVector3(0.5f, 1.0f, -0.5f));
    Frames(1);
    const PimVector3 tip = vr.GetHandController(2).GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
    EXPECT_NEAR(marker.GetPlace().y, tip.y + TutorialMarker::kHandLift * vr.GetScale() / 1.5f, 1e-4f);
    EXPECT_TRUE(marker.ShowsPicture());
    EXPECT_EQ(marker.GetTexture(), marker.GetMenuButtonPicture());
}

TEST_F(TutorialMarkerTest, TheTriggerPicturesRunForwardsAndBack)
{
    TutorialMarker& marker = Marker();
    marker.Place(TutorialMarker::Trigger, kRoot + PimVector3(0.0f, 1.0f, -2.0f), PimAngle::FromDegrees(90.0f), 1.0f);
    std::vector<int> shown{marker.GetTriggerPicture()};
    while (shown.size() < 22)
    {
        const std::uint8_t before = marker.GetFrame();
        Frames(1);
        if (marker.GetFrame() != before)
        {
            shown.push_back(marker.GetTriggerPicture());
            EXPECT_EQ(marker.GetTexture(), marker.GetTriggerPictureTexture(shown.back()));
        }
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0, 1}));
    EXPECT_TRUE(marker.ShowsPicture());
    EXPECT_FALSE(marker.ShowsArrow()) << "stage 3 is the picture alone";
    EXPECT_FLOAT_EQ(marker.GetScale(), 0.5f) << "the animation does not pulse";

    marker.Place(TutorialMarker::Trigger, kRoot, PimAngle::FromDegrees(90.0f), 1.0f);
    EXPECT_EQ(marker.GetFrame(), 0) << "placing starts the animation again";
}

TEST_F(TutorialMarkerTest, TheViewArrowShowsOnlyWhileTheTargetIsOutOfSight)
{
    TutorialMarker& marker = Marker();
    const PimVector3 head = kRoot + PimVector3(0.0f, 1.6f, 0.0f);
    HeadAt(head);
    marker.Place(TutorialMarker::Arrow, head + PimVector3(0.0f, 0.0f, -3.0f), PimAngle::FromDegrees(90.0f), 1.0f);
    Frames(1);
    EXPECT_TRUE(marker.ShowsArrow());
    EXPECT_FALSE(marker.ShowsViewArrow()) << "straight ahead";

    marker.Place(TutorialMarker::Arrow, head + PimVector3(3.0f, 0.0f, 0.0f), PimAngle::FromDegrees(90.0f), 1.0f);
    Frames(1);
    ASSERT_TRUE(marker.ShowsViewArrow()) << "90 degrees to the right";
    // It stands below and ahead of the eyes and points (its +x) towards the target.
    const PimVector3 at = marker.GetViewArrow().GetLocation();
    EXPECT_LT(at.y, head.y);
    EXPECT_LT(at.z, head.z);
    const PimVector3 pointing = marker.GetViewArrow().GetOrientation().TransformDirection({1.0f, 0.0f, 0.0f}).Normalized();
    EXPECT_GT(pointing.Dot((marker.GetPlace() - at).Normalized()), 0.99f);

    // The arrow over a fixed target points down.
    const PimVector3 down = marker.GetArrow().GetOrientation().TransformDirection({1.0f, 0.0f, 0.0f}).Normalized();
    EXPECT_NEAR(down.y, -1.0f, 1e-5f);
}

TEST_F(TutorialMarkerTest, ThePictureFacesTheHead)
{
    TutorialMarker& marker = Marker();
    const PimVector3 head = kRoot + PimVector3(0.0f, 1.6f, 0.0f);
    HeadAt(head);
    marker.Place(TutorialMarker::MenuButton, head + PimVector3(-2.0f, -0.5f, -2.0f), PimAngle::FromDegrees(0.0f), 1.0f);
    Frames(1);
    const PimVector3 front = marker.GetOrientation().TransformDirection({0.0f, 0.0f, 1.0f});
    const PimVector3 towardsHead = (head - marker.GetLocation()) * PimVector3(1.0f, 0.0f, 1.0f);
    EXPECT_GT(front.Dot(towardsHead.Normalized()), 0.99f);
}

TEST_F(TutorialMarkerTest, FinishingMarksTheFirstTutorialDoneOnce)
{
    TutorialMarker& marker = Marker();
    settings->saveRequested = false;
    marker.Finish();
    EXPECT_TRUE(settings->GetTutorialOne());
    EXPECT_TRUE(settings->saveRequested);
    EXPECT_FALSE(marker.IsRunning());
    Frames(1);
    EXPECT_FALSE(marker.ShowsArrow());
}
}
