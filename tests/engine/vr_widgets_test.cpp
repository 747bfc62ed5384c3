#include "engine/PimVrHandle.h"
#include "engine/PimVrUISlider.h"

#include "../support/scripted_vr.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
constexpr int Left = PimVrDeviceIndex::LeftHand;
constexpr int Right = PimVrDeviceIndex::RightHand;

void ExpectNear(const PimVector3& actual, const PimVector3& expected, float tolerance = 1e-4f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

class Widgets : public ScriptedVr
{
protected:
    void Pull(int role, bool pulled) { script->SetValue(role, PimVrButton::Trigger, pulled ? 1.0f : 0.0f); }
    void StepHandle() { Step([this] { handle.Update(); }); }
    void StepSlider() { Step([this] { slider.Update(); }); }

    PimVrHandle handle;
    PimVrUISlider slider;
};
}

TEST_F(Widgets, AHandleIsGraspedByATriggerPulledWithinReachAndFollowsThatHand)
{
    EXPECT_FLOAT_EQ(handle.GetGraspDistance(), PimVrHandle::GRASP_SCALE);
    handle.SetPosition({0.0f, 1.0f, -0.5f});
    PlaceTip(Right, {0.0f, 1.0f, -0.42f});  // 0.08 away: within reach
    StepHandle();
    EXPECT_FALSE(handle.IsGrasped()) << "touching is not grasping";
    Pull(Right, true);
    StepHandle();
    ASSERT_TRUE(handle.IsGrasped());
    EXPECT_EQ(handle.GetGraspingRole(), Right);
    ExpectNear(handle.GetPosition(), {0.0f, 1.0f, -0.5f});

    // It keeps its offset from the tip while the hand moves.
    PlaceTip(Right, {0.3f, 1.5f, -0.42f});
    StepHandle();
    ExpectNear(handle.GetPosition(), {0.3f, 1.5f, -0.5f});

    Pull(Right, false);
    StepHandle();
    EXPECT_FALSE(handle.IsGrasped());
    PlaceTip(Right, {2.0f, 1.0f, 0.0f});
    StepHandle();
    // A free handle stays where it was let go.
    ExpectNear(handle.GetPosition(), {0.3f, 1.5f, -0.5f});
}

TEST_F(Widgets, APullOutOfReachOrAlreadyHeldWhenArrivingGraspsNothing)
{
    handle.SetPosition({0.0f, 1.0f, -0.5f});
    PlaceTip(Left, {0.0f, 1.0f, -0.39f});  // 0.11 away
    Pull(Left, true);
    StepHandle();
    EXPECT_FALSE(handle.IsGrasped());
    // The same held pull swept into reach.
    PlaceTip(Left, {0.0f, 1.0f, -0.5f});
    StepHandle();
    EXPECT_FALSE(handle.IsGrasped());
    // Let go and pull again within reach.
    Pull(Left, false);
    StepHandle();
    Pull(Left, true);
    StepHandle();
    EXPECT_EQ(handle.GetGraspingRole(), Left);
}

TEST_F(Widgets, TheGraspDistanceIsInWorldUnitsAndScalesWithThePlayer)
{
    vr.SetScale(10.0f);
    handle.SetPosition({0.0f, 10.0f, -5.0f});
    handle.SetGraspDistance(10.0f * PimVrHandle::GRASP_SCALE);
    PlaceTip(Right, {0.0f, 1.0f, -0.45f});  // world (0, 10, -4.5): 0.5 away
    Pull(Right, true);
    StepHandle();
    EXPECT_TRUE(handle.IsGrasped());

    handle.Release();
    handle.SetGraspDistance(-1.0f);
    EXPECT_EQ(handle.GetGraspDistance(), 0.0f);
    handle.SetGraspDistance(NAN);
    EXPECT_EQ(handle.GetGraspDistance(), 0.0f);
}

TEST_F(Widgets, TheNearerHandWinsAndAHeldHandleStaysWithItsHand)
{
    handle.SetPosition({0.0f, 1.0f, -0.5f});
    PlaceTip(Left, {-0.05f, 1.0f, -0.5f});
    PlaceTip(Right, {0.02f, 1.0f, -0.5f});
    Pull(Left, true);
    Pull(Right, true);
    StepHandle();
    EXPECT_EQ(handle.GetGraspingRole(), Right);

    // The other hand's fresh pull does not take it away.
    Pull(Left, false);
    StepHandle();
    Pull(Left, true);
    StepHandle();
    EXPECT_EQ(handle.GetGraspingRole(), Right);
}

TEST_F(Widgets, AHandleIsLetGoWhenItsHandLosesTracking)
{
    handle.SetPosition({0.0f, 1.0f, -0.5f});
    PlaceTip(Right, {0.0f, 1.0f, -0.5f});
    Pull(Right, true);
    StepHandle();
    ASSERT_TRUE(handle.IsGrasped());
    script->SetTracking(Right, true, false, PimVrTrackingResult::Uninitialized);
    StepHandle();
    EXPECT_FALSE(handle.IsGrasped());
}

TEST_F(Widgets, ASliderPlacesItsKnobAlongItsTrackByValue)
{
    slider.SetAnchorPosition({1.0f, 2.0f, 3.0f});
    slider.SetLength(0.5f);
    slider.SetOrientation(PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(90.0f)));  // x runs along -z
    slider.SetMinValue(0.0f);
    slider.SetMaxValue(255.0f);
    slider.SetValue(51.0f);
    ExpectNear(slider.GetEndcapPosition(), {1.0f, 2.0f, 2.5f});
    ExpectNear(slider.GetSliderPosition(), {1.0f, 2.0f, 2.9f});

    slider.SetValue(300.0f);
    EXPECT_EQ(slider.GetValue(), 255.0f);
    slider.SetValue(-4.0f);
    EXPECT_EQ(slider.GetValue(), 0.0f);
    slider.SetValue(NAN);
    EXPECT_EQ(slider.GetValue(), 0.0f);

    slider.SetMinValue(8.0f);
    EXPECT_EQ(slider.GetValue(), 8.0f) << "a new range clamps the value";
    slider.SetUseDiscreetValues(true);
    slider.SetValue(12.6f);
    EXPECT_EQ(slider.GetValue(), 13.0f);
}

TEST_F(Widgets, ASliderKnobIsDraggedAlongTheTrackOnlyAndClampedAtItsEnds)
{
    slider.SetAnchorPosition({0.0f, 1.0f, -0.5f});
    slider.SetLength(1.0f);
    slider.SetMinValue(0.0f);
    slider.SetMaxValue(1.0f);
    slider.SetValue(0.25f);
    StepSlider();
    // Grasp a little off the knob's centre: the value does not jump.
    PlaceTip(Right, {0.27f, 1.02f, -0.5f});
    Pull(Right, true);
    StepSlider();
    ASSERT_TRUE(slider.IsBeingGrasped());
    EXPECT_FLOAT_EQ(slider.GetValue(), 0.25f);

    // Moving across the track changes nothing, along it changes the value.
    PlaceTip(Right, {0.27f, 1.3f, -0.2f});
    StepSlider();
    EXPECT_FLOAT_EQ(slider.GetValue(), 0.25f);
    PlaceTip(Right, {0.77f, 1.3f, -0.2f});
    StepSlider();
    EXPECT_NEAR(slider.GetValue(), 0.75f, 1e-5f);
    PlaceTip(Right, {5.0f, 1.0f, -0.5f});
    StepSlider();
    EXPECT_EQ(slider.GetValue(), 1.0f);
    PlaceTip(Right, {-5.0f, 1.0f, -0.5f});
    StepSlider();
    EXPECT_EQ(slider.GetValue(), 0.0f);

    Pull(Right, false);
    StepSlider();
    EXPECT_FALSE(slider.IsBeingGrasped());
    ExpectNear(slider.GetSliderPosition(), {0.0f, 1.0f, -0.5f});
}

TEST_F(Widgets, ADiscreteSliderSnapsWhileDragged)
{
    slider.SetAnchorPosition({0.0f, 1.0f, -0.5f});
    slider.SetLength(1.8f);
    slider.SetMinValue(0.0f);
    slider.SetMaxValue(18.0f);
    slider.SetUseDiscreetValues(true);
    slider.SetValue(10.0f);
    StepSlider();
    PlaceTip(Left, {1.0f, 1.0f, -0.5f});
    Pull(Left, true);
    StepSlider();
    ASSERT_TRUE(slider.IsBeingGrasped());
    PlaceTip(Left, {1.14f, 1.0f, -0.5f});  // 11.4
    StepSlider();
    EXPECT_EQ(slider.GetValue(), 11.0f);
    PlaceTip(Left, {1.16f, 1.0f, -0.5f});  // 11.6
    StepSlider();
    EXPECT_EQ(slider.GetValue(), 12.0f);
    ExpectNear(slider.GetSliderPosition(), {1.2f, 1.0f, -0.5f});
}

TEST_F(Widgets, ReversedAndEmptyRangesAndTracksStayWellDefined)
{
    slider.SetAnchorPosition({0.0f, 0.0f, 0.0f});
    slider.SetMinValue(10.0f);
    slider.SetMaxValue(0.0f);
    slider.SetValue(2.5f);
    EXPECT_EQ(slider.GetValue(), 2.5f);
    ExpectNear(slider.GetSliderPosition(), {0.75f, 0.0f, 0.0f});

    slider.SetMinValue(3.2f);
    slider.SetMaxValue(3.7f);
    slider.SetUseDiscreetValues(true);
    slider.SetValue(3.5f);
    EXPECT_EQ(slider.GetValue(), 3.2f) << "no whole number in range: the lower end";

    slider.SetLength(-2.0f);
    EXPECT_EQ(slider.GetLength(), 0.0f);
    ExpectNear(slider.GetEndcapPosition(), {0.0f, 0.0f, 0.0f});
    slider.SetMinValue(5.0f);
    slider.SetMaxValue(5.0f);
    ExpectNear(slider.GetSliderPosition(), {0.0f, 0.0f, 0.0f});
}
