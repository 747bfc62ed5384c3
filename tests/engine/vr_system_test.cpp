#include "engine/PimAssert.h"
#include "engine/PimVrOpenXR.h"
#include "engine/PimVrSimulator.h"

#include "../support/scripted_vr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

namespace
{
void ExpectNear(const PimVector3& actual, const PimVector3& expected, float tolerance = 1e-4f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// Points the environment's OpenXR loader at a runtime that does not exist, for the life of the
// object, so that the fallback is tested the same on a machine that has a runtime.
class NoOpenXRRuntime
{
public:
    NoOpenXRRuntime()
    {
        if (const char* old = std::getenv("XR_RUNTIME_JSON"))
            previous = old;
        setenv("XR_RUNTIME_JSON", "/nonexistent/quillot-test-runtime.json", 1);
    }
    ~NoOpenXRRuntime()
    {
        if (previous)
            setenv("XR_RUNTIME_JSON", previous->c_str(), 1);
        else
            unsetenv("XR_RUNTIME_JSON");
    }

private:
    std::optional<std::string> previous;
};

PimSystemParameters Headless(PimDeviceMode mode)
{
    PimSystemParameters parameters;
    parameters.display = PimDisplayBackend::None;
    parameters.deviceMode = mode;
    parameters.fixedFrameSeconds = 1.0 / 60.0;
    return parameters;
}

using VrSystem = ScriptedVr;
}

TEST_F(VrSystem, DevicesAreFoundByIndexAndRoleAndUnknownOnesAreNeverConnected)
{
    Step();
    EXPECT_EQ(vr.GetHeadsetController().GetIndex(), 0);
    EXPECT_EQ(&vr.GetController(0), &vr.GetHeadsetController());
    EXPECT_EQ(vr.GetHandController(1).GetIndex(), 1);
    EXPECT_EQ(vr.GetHandController(2).GetIndex(), 2);
    for (int index : {0, 1, 2})
    {
        EXPECT_TRUE(vr.GetController(index).IsTracked());
        EXPECT_EQ(vr.GetController(index).GetTrackingResult(), PimVrTrackingResult::RunningOk);
    }
    EXPECT_EQ(vr.GetHandController(0).GetIndex(), -1) << "the headset is no hand";
    for (int index : {-1, 3, 99})
    {
        const PimVrController& none = vr.GetController(index);
        EXPECT_FALSE(none.IsConnected());
        EXPECT_FALSE(none.IsValid());
        EXPECT_EQ(none.GetValue(PimVrButton::Trigger), 0.0f);
    }
    EXPECT_TRUE(PimSystem::IsVirtualReality());
    script->SetActsAsHeadset(false);
    EXPECT_FALSE(PimSystem::IsVirtualReality());
}

TEST_F(VrSystem, ButtonValuesArriveAtTheNextFrameWithThePreviousFramesValueKept)
{
    script->SetValue(2, PimVrButton::Trigger, 0.6f);
    EXPECT_EQ(vr.GetHandController(2).GetValue(PimVrButton::Trigger), 0.0f);
    Step();
    const PimVrController& right = vr.GetHandController(2);
    EXPECT_FLOAT_EQ(right.GetValue(PimVrButton::Trigger), 0.6f);
    EXPECT_TRUE(right.IsPressed(PimVrButton::Trigger));
    EXPECT_TRUE(right.WasJustPressed(PimVrButton::Trigger));
    Step();
    EXPECT_TRUE(right.IsPressed(PimVrButton::Trigger));
    EXPECT_FALSE(right.WasJustPressed(PimVrButton::Trigger));
    EXPECT_FLOAT_EQ(right.GetPreviousValue(PimVrButton::Trigger), 0.6f);

    // 0.3 itself is not a press.
    script->SetValue(2, PimVrButton::Trigger, 0.3f);
    Step();
    EXPECT_FALSE(right.IsPressed(PimVrButton::Trigger));
    EXPECT_EQ(right.GetValue(-1), 0.0f);
    EXPECT_EQ(right.GetValue(PimVrButton::Count), 0.0f);

    script->SetValue(1, PimVrButton::PadY, -0.5f);
    script->SetTracking(1, false, false, PimVrTrackingResult::Uninitialized);
    Step();
    EXPECT_EQ(vr.GetHandController(1).GetValue(PimVrButton::PadY), 0.0f) << "a disconnected hand presses nothing";
}

TEST_F(VrSystem, PosesAreGivenInWorldPlayAreaAndTrackingCoordinates)
{
    const PimMatrix4x4 turned = PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(90.0f));
    script->SetPose(2, {1.0f, 1.2f, -0.5f}, turned);
    Step();
    vr.SetRootPosition({10.0f, 2.0f, 5.0f});
    vr.SetScale(2.0f);
    vr.SetDirectionModifier(PimAngle::FromDegrees(90.0f));

    const PimVrController& right = vr.GetHandController(2);
    // The play area turns 90 degrees left: tracking (1, 1.2, -0.5) x 2 becomes (-1, 2.4, -2).
    ExpectNear(right.GetDevicePosition(PimVrPose::Controller, PimVrCoordinates::Tracking), {1.0f, 1.2f, -0.5f});
    ExpectNear(right.GetDevicePosition(PimVrPose::Controller, PimVrCoordinates::PlayArea), {-1.0f, 2.4f, -2.0f});
    ExpectNear(right.GetDevicePosition(PimVrPose::Controller, PimVrCoordinates::World), {9.0f, 4.4f, 3.0f});

    // The controller points along its -z: turned 90 degrees in tracking space and 90 more by the
    // direction modifier, it points along +z in the world; its tip lies 0.05 m (0.1 units) ahead.
    const PimMatrix4x4 world = right.GetDeviceOrientation(PimVrPose::Tip, PimVrCoordinates::World);
    ExpectNear(world.TransformDirection({0, 0, -1}), {0.0f, 0.0f, 1.0f});
    ExpectNear(right.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World), {9.0f, 4.4f, 3.1f});
    ExpectNear(right.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::Tracking), {0.95f, 1.2f, -0.5f});

    // The headset's tip is the headset itself.
    const PimVrController& head = vr.GetHeadsetController();
    ExpectNear(head.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::Tracking),
               head.GetDevicePosition(PimVrPose::Controller, PimVrCoordinates::Tracking));
    EXPECT_NEAR(head.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::PlayArea).y, 2.0f * 1.65f, 1e-4f);
}

TEST_F(VrSystem, UnknownPoseOrCoordinateNumbersAreReported)
{
    Step();
    PimAssert::ResetFailureCount();
    const PimVrController& left = vr.GetHandController(1);
    EXPECT_EQ(left.GetDevicePosition(2, PimVrCoordinates::World), PimVector3());
    EXPECT_EQ(left.GetDevicePosition(PimVrPose::Tip, 7), PimVector3());
    EXPECT_EQ(left.GetDeviceOrientation(PimVrPose::Tip, -1), PimMatrix4x4());
    EXPECT_EQ(PimAssert::GetFailureCount(), 3u);
}

TEST_F(VrSystem, AnUntrackedDeviceKeepsItsLastPose)
{
    script->SetPose(1, {0.3f, 1.0f, 0.0f}, PimMatrix4x4());
    Step();
    script->SetPose(1, {5.0f, 5.0f, 5.0f}, PimMatrix4x4());
    script->SetTracking(1, true, false, PimVrTrackingResult::Uninitialized);
    Step();
    const PimVrController& left = vr.GetHandController(1);
    EXPECT_FALSE(left.IsValid());
    EXPECT_FALSE(left.IsTracked());
    ExpectNear(left.GetDevicePosition(PimVrPose::Controller, PimVrCoordinates::Tracking), {0.3f, 1.0f, 0.0f});

    script->SetTracking(1, true, true, PimVrTrackingResult::RunningOutOfRange);
    Step();
    EXPECT_TRUE(left.IsValid());
    EXPECT_FALSE(left.IsTracked()) << "an estimated pose is not tracked";
}

TEST_F(VrSystem, RootChangesMovePosesAtOnceAndTheEyesFromTheNextFrameUnlessForced)
{
    Step();
    const PimVector3 eyeBefore = vr.GetEyePosition(0);
    vr.SetRootPosition({4.0f, 0.0f, 0.0f});
    EXPECT_EQ(vr.GetRootPosition(), PimVector3(4.0f, 0.0f, 0.0f));
    EXPECT_NEAR(vr.GetHeadsetController().GetDevicePosition(1, 0).x, 4.0f, 1e-5f);
    ExpectNear(vr.GetEyePosition(0), eyeBefore);
    Step();
    EXPECT_NEAR(vr.GetEyePosition(0).x, 4.0f, 1e-5f);

    vr.ForceRootPosition({-3.0f, 0.0f, 0.0f});
    EXPECT_NEAR(vr.GetEyePosition(0).x, -3.0f, 1e-5f);
    EXPECT_NEAR(vr.GetHeadsetController().GetDevicePosition(1, 0).x, -3.0f, 1e-5f);
}

TEST_F(VrSystem, NonFinitePlacesAndScalesAreRefused)
{
    PimAssert::ResetFailureCount();
    vr.SetRootPosition({1.0f, 2.0f, 3.0f});
    vr.SetRootPosition({NAN, 0.0f, 0.0f});
    vr.ForceRootPosition({0.0f, INFINITY, 0.0f});
    EXPECT_EQ(vr.GetRootPosition(), PimVector3(1.0f, 2.0f, 3.0f));
    vr.SetScale(1.5f);
    vr.SetScale(0.0f);
    vr.SetScale(-2.0f);
    vr.SetScale(NAN);
    EXPECT_EQ(vr.GetScale(), 1.5f);
    vr.SetDirectionModifier(PimAngle::FromRadians(NAN));
    EXPECT_EQ(vr.GetDirectionModifier(), PimAngle());
    EXPECT_EQ(PimAssert::GetFailureCount(), 6u);
}

TEST_F(VrSystem, TheWindowEyeLooksFromTheHeadsetWithTheWindowsAspect)
{
    const PimMatrix4x4 lookingLeft = PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(90.0f));
    script->SetPose(0, {1.0f, 1.5f, 2.0f}, lookingLeft);
    Step();
    vr.ForceRootPosition({10.0f, 0.0f, 0.0f});
    ASSERT_EQ(vr.GetEyeCount(), 1);
    EXPECT_EQ(vr.GetEyeWidth(0), 800);
    EXPECT_EQ(vr.GetEyeHeight(0), 600);

    const PimMatrix4x4 view = vr.GetEyeView(0);
    ExpectNear(view.TransformPoint({11.0f, 1.5f, 2.0f}), {0.0f, 0.0f, 0.0f});
    // The headset looks along -x: a point 3 ahead of it is 3 down the eye's -z.
    ExpectNear(view.TransformPoint({8.0f, 1.5f, 2.0f}), {0.0f, 0.0f, -3.0f});

    const PimMatrix4x4 projection = vr.GetEyeProjection(0, 0.1f, 100.0f);
    const float tanHalf = std::tan(PimAngle::DegreesToRadians(35.0f));
    EXPECT_NEAR(projection.Get(1, 1), 1.0f / tanHalf, 1e-4f);
    EXPECT_NEAR(projection.Get(0, 0), 1.0f / (tanHalf * 800.0f / 600.0f), 1e-4f);
    // The near plane maps to -1 and the far plane to +1.
    const PimVector4 nearPoint = projection * PimVector4(0.0f, 0.0f, -0.1f, 1.0f);
    const PimVector4 farPoint = projection * PimVector4(0.0f, 0.0f, -100.0f, 1.0f);
    EXPECT_NEAR(nearPoint.z / nearPoint.w, -1.0f, 1e-4f);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, 1e-3f);

    EXPECT_FALSE(vr.BeginEye(0)) << "nothing to draw into without GL";
    EXPECT_EQ(vr.GetCurrentEye(), -1);
    PimAssert::ResetFailureCount();
    EXPECT_EQ(vr.GetEyeView(1), PimMatrix4x4());
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
}

TEST_F(VrSystem, AFrameScriptRunsAtTheStartOfEveryFrameWithItsNumber)
{
    script->SetFrameScript([](PimVrScriptedDevice& device, std::uint64_t frame) {
        device.SetValue(1, PimVrButton::Menu, frame == 2 ? 1.0f : 0.0f);
    });
    std::string seen;
    const auto record = [&] { seen += vr.GetHandController(1).IsPressed(PimVrButton::Menu) ? "1" : "0"; };
    Step(record);
    Step(record);
    Step(record);
    EXPECT_EQ(seen, "010");
}

TEST(VrStart, WithoutARuntimeTheHeadsetOrDesktopModeFallsBackToTheSimulator)
{
    NoOpenXRRuntime noRuntime;
    ASSERT_TRUE(PimSystem::Initialize(Headless(PimDeviceMode::HeadsetOrDesktop)));
    PimVrSystem& vr = PimVrSystem::GetInstance();
    EXPECT_TRUE(vr.IsRunning());
    EXPECT_NE(vr.GetSimulator(), nullptr);
    EXPECT_EQ(vr.GetScript(), nullptr);
    EXPECT_FALSE(PimSystem::IsVirtualReality());
    EXPECT_EQ(PimSystem::RunFrames(2), 2u);
    EXPECT_TRUE(vr.GetHeadsetController().IsTracked());
    EXPECT_TRUE(vr.IsLegendVisible());
    EXPECT_FALSE(vr.GetLegendLines().empty());
    PimSystem::Shutdown();
    EXPECT_FALSE(vr.IsRunning());
}

TEST(VrStart, WithoutARuntimeTheHeadsetModeCannotStart)
{
    NoOpenXRRuntime noRuntime;
    EXPECT_FALSE(PimSystem::Initialize(Headless(PimDeviceMode::Headset)));
    EXPECT_FALSE(PimSystem::IsInitialized());
    EXPECT_FALSE(PimVrSystem::GetInstance().IsRunning());
    // The system starts normally afterwards.
    ASSERT_TRUE(PimSystem::Initialize(Headless(PimDeviceMode::Desktop)));
    EXPECT_NE(PimVrSystem::GetInstance().GetSimulator(), nullptr);
    PimSystem::Shutdown();
}

TEST(VrStart, TheOpenXRBackendNamesTheMissingRuntime)
{
    NoOpenXRRuntime noRuntime;
    std::string whyNot;
    EXPECT_EQ(PimVrOpenXR::Create(Headless(PimDeviceMode::Headset), whyNot), nullptr);
    EXPECT_NE(whyNot.find("XR_ERROR_RUNTIME_UNAVAILABLE"), std::string::npos) << whyNot;
}

TEST(VrStart, StoppingPutsThePlayerBackAtTheOrigin)
{
    ASSERT_TRUE(PimSystem::Initialize(Headless(PimDeviceMode::Scripted)));
    PimVrSystem& vr = PimVrSystem::GetInstance();
    vr.SetRootPosition({5.0f, 5.0f, 5.0f});
    vr.SetScale(3.0f);
    PimSystem::Shutdown();
    ASSERT_TRUE(PimSystem::Initialize(Headless(PimDeviceMode::Scripted)));
    EXPECT_EQ(vr.GetRootPosition(), PimVector3());
    EXPECT_EQ(vr.GetScale(), 1.0f);
    EXPECT_EQ(vr.GetEyeCount(), 1);
    PimSystem::Shutdown();
    EXPECT_EQ(vr.GetEyeCount(), 0);
}
