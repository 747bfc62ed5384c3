#include "engine/PimInputTray.h"
#include "engine/PimVrController.h"
#include "engine/PimVrSimulator.h"

#include <SDL_events.h>
#include <gtest/gtest.h>

#include <cmath>

namespace
{
constexpr int Width = 800;
constexpr int Height = 600;
constexpr double Frame = 1.0 / 60.0;
constexpr int Head = PimVrDeviceIndex::Headset;
constexpr int Left = PimVrDeviceIndex::LeftHand;
constexpr int Right = PimVrDeviceIndex::RightHand;

void ExpectNear(const PimVector3& actual, const PimVector3& expected, float tolerance = 1e-3f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

class Simulator : public testing::Test
{
protected:
    void TearDown() override { PimInputTray::GetInstance().Reset(); }

    void Key(Uint32 type, SDL_Scancode scancode)
    {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.scancode = scancode;
        simulator.HandleEvent(event);
    }
    void Press(SDL_Scancode scancode) { Key(SDL_KEYDOWN, scancode); }
    void Release(SDL_Scancode scancode) { Key(SDL_KEYUP, scancode); }
    void Mouse(Uint32 type, Uint8 button)
    {
        SDL_Event event{};
        event.type = type;
        event.button.button = button;
        simulator.HandleEvent(event);
    }
    void MoveMouse(int x, int y, int dx = 0, int dy = 0)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.x = x;
        event.motion.y = y;
        event.motion.xrel = dx;
        event.motion.yrel = dy;
        simulator.HandleEvent(event);
    }
    void Wheel(int notches)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEWHEEL;
        event.wheel.y = notches;
        simulator.HandleEvent(event);
    }
    void Frames(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            simulator.BeginFrame(Frame, devices);
    }

    float Value(int device, int button) const
    {
        return devices[static_cast<std::size_t>(device)].values[static_cast<std::size_t>(button)];
    }
    PimVector3 Position(int device) const { return devices[static_cast<std::size_t>(device)].position; }
    PimVector3 Pointing(int device) const
    {
        return devices[static_cast<std::size_t>(device)].orientation.TransformDirection({0.0f, 0.0f, -1.0f});
    }
    PimVector3 Tip(int device) const
    {
        return Position(device) + Pointing(device) * PimVrController::TipDistance;
    }

    PimVrSimulator simulator{Width, Height};
    PimVrDeviceStates devices;
};
}

TEST_F(Simulator, StartsStandingWithTheRightHandOnThePointerAndTheLeftAtRest)
{
    Frames();
    for (const PimVrDeviceState& state : devices)
    {
        EXPECT_TRUE(state.connected && state.valid);
        EXPECT_EQ(state.trackingResult, PimVrTrackingResult::RunningOk);
    }
    const PimVector3 eye(0.0f, PimVrRestPose::EyeHeight, 0.0f);
    ExpectNear(Position(Head), eye);
    EXPECT_EQ(simulator.GetMouseHand(), Right);
    // The pointer starts in the middle of the window: the tip is straight ahead.
    ExpectNear(Tip(Right), eye + PimVector3(0.0f, 0.0f, -PimVrSimulator::DefaultHandDepth));
    ExpectNear(Position(Left), eye + PimVrSimulator::RestingHandOffset);
    ExpectNear(Pointing(Left), {0.0f, 0.0f, -1.0f});
    // The free mouse hand's model is drawn below and right of the pointer; the resting hand's
    // where it is.
    ExpectNear(devices[static_cast<std::size_t>(Right)].drawShift, PimVrSimulator::FreeHandDrawShift);
    ExpectNear(devices[static_cast<std::size_t>(Left)].drawShift, {});
}

TEST_F(Simulator, TheMouseHandFollowsThePointerAndTheWheelMovesItInDepth)
{
    MoveMouse(Width, Height / 2);
    Frames();
    // At the window's right edge the ray leaves the view's side.
    const float tanRight = std::tan(PimAngle::DegreesToRadians(35.0f)) * Width / Height;
    const PimVector3 eye = Position(Head);
    const PimVector3 ray = (Tip(Right) - eye).Normalized();
    EXPECT_NEAR(ray.x / -ray.z, tanRight, 1e-3f);
    EXPECT_NEAR(ray.y, 0.0f, 1e-4f);
    EXPECT_NEAR((Tip(Right) - eye).Length(), PimVrSimulator::DefaultHandDepth, 1e-4f);
    ExpectNear(Pointing(Right), ray);

    Wheel(2);
    Frames();
    EXPECT_NEAR(simulator.GetHandDepth(), PimVrSimulator::DefaultHandDepth * 1.21f, 1e-4f);
    EXPECT_NEAR((Tip(Right) - eye).Length(), PimVrSimulator::DefaultHandDepth * 1.21f, 1e-4f);
    Wheel(-100);
    Frames();
    EXPECT_FLOAT_EQ(simulator.GetHandDepth(), PimVrSimulator::MinHandDepth);
}

TEST_F(Simulator, TabSwapsTheHandOnThePointer)
{
    Press(SDL_SCANCODE_TAB);
    Release(SDL_SCANCODE_TAB);
    Frames();
    EXPECT_EQ(simulator.GetMouseHand(), Left);
    const PimVector3 eye = Position(Head);
    ExpectNear(Tip(Left), eye + PimVector3(0.0f, 0.0f, -PimVrSimulator::DefaultHandDepth));
    const PimVector3 resting = PimVrSimulator::RestingHandOffset;
    ExpectNear(Position(Right), eye + PimVector3(-resting.x, resting.y, resting.z));
    EXPECT_NE(simulator.GetLegendLines()[3].find("left"), std::string::npos);
}

TEST_F(Simulator, LookingAroundWithTheRightButtonTurnsTheHeadAndTheHandsWithIt)
{
    Mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    MoveMouse(0, 0, 450, 0);  // 90 degrees to the right
    Frames();
    ExpectNear(Pointing(Head), {1.0f, 0.0f, 0.0f});
    ExpectNear(Tip(Right), Position(Head) + PimVector3(PimVrSimulator::DefaultHandDepth, 0.0f, 0.0f));
    const PimVector3 restOffset = Position(Left) - Position(Head);
    const PimVector3 resting = PimVrSimulator::RestingHandOffset;
    ExpectNear(restOffset, {-resting.z, resting.y, resting.x});

    MoveMouse(0, 0, 0, -10000);  // far up: the pitch stops short of straight up
    Frames();
    EXPECT_NEAR(std::asin(Pointing(Head).y), PimAngle::DegreesToRadians(PimVrSimulator::MaxPitchDegrees), 1e-3f);
    Mouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT);
    // Without the button held the mouse points instead of turning.
    MoveMouse(Width / 2, Height / 2, 400, 0);
    Frames();
    EXPECT_NEAR(std::asin(Pointing(Head).y), PimAngle::DegreesToRadians(PimVrSimulator::MaxPitchDegrees), 1e-3f);
    Press(SDL_SCANCODE_R);
    Frames();
    EXPECT_NEAR(Pointing(Head).y, 0.0f, 1e-5f);
}

TEST_F(Simulator, WalkingAndTurningMoveTheHeadInThePlayArea)
{
    Press(SDL_SCANCODE_W);
    Frames(60);
    Release(SDL_SCANCODE_W);
    ExpectNear(Position(Head), {0.0f, PimVrRestPose::EyeHeight, -PimVrSimulator::WalkSpeed});

    Press(SDL_SCANCODE_Q);
    Frames(60);  // a quarter turn left
    Release(SDL_SCANCODE_Q);
    ExpectNear(Pointing(Head), {-1.0f, 0.0f, 0.0f});
    Press(SDL_SCANCODE_W);
    Press(SDL_SCANCODE_D);
    Frames(60);
    // Forward is now -x and right -z; diagonal walking is no faster.
    const float diagonal = PimVrSimulator::WalkSpeed / std::sqrt(2.0f);
    ExpectNear(Position(Head), {-diagonal, PimVrRestPose::EyeHeight, -PimVrSimulator::WalkSpeed - diagonal});
}

TEST_F(Simulator, EveryButtonOfBothHandsHasAKey)
{
    struct Case
    {
        SDL_Scancode key;
        int hand;
        int button;
    };
    const Case cases[] = {
        {SDL_SCANCODE_F, Left, PimVrButton::Trigger},   {SDL_SCANCODE_M, Right, PimVrButton::Menu},
        {SDL_SCANCODE_N, Left, PimVrButton::Menu},      {SDL_SCANCODE_Z, Right, PimVrButton::Secondary},
        {SDL_SCANCODE_X, Left, PimVrButton::Secondary}, {SDL_SCANCODE_T, Left, PimVrButton::PadTouch},
        {SDL_SCANCODE_G, Left, PimVrButton::PadClick},
    };
    for (const Case& c : cases)
    {
        Press(c.key);
        Frames();
        for (int hand : {Left, Right})
        {
            for (int button = 0; button < PimVrButton::Count; ++button)
            {
                const bool expected = hand == c.hand
                    && (button == c.button || (c.button == PimVrButton::PadClick && button == PimVrButton::PadTouch));
                EXPECT_EQ(Value(hand, button), expected ? 1.0f : 0.0f)
                    << "key " << c.key << " hand " << hand << " button " << button;
            }
        }
        Release(c.key);
        Frames();
    }
    Mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    Frames();
    EXPECT_EQ(Value(Right, PimVrButton::Trigger), 1.0f);
    EXPECT_EQ(Value(Left, PimVrButton::Trigger), 0.0f);
    Mouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    Frames();
    EXPECT_EQ(Value(Right, PimVrButton::Trigger), 0.0f);
}

TEST_F(Simulator, ArrowKeysTouchThePadAtItsEdgesAndShiftMovesThemToTheMouseHand)
{
    Press(SDL_SCANCODE_UP);
    Frames();
    EXPECT_EQ(Value(Left, PimVrButton::PadTouch), 1.0f);
    EXPECT_EQ(Value(Left, PimVrButton::PadY), 1.0f);
    EXPECT_EQ(Value(Left, PimVrButton::PadX), 0.0f);
    Press(SDL_SCANCODE_RIGHT);
    Frames();
    EXPECT_NEAR(Value(Left, PimVrButton::PadX), std::sqrt(0.5f), 1e-6f);
    EXPECT_NEAR(Value(Left, PimVrButton::PadY), std::sqrt(0.5f), 1e-6f);
    Release(SDL_SCANCODE_UP);
    Release(SDL_SCANCODE_RIGHT);
    Press(SDL_SCANCODE_DOWN);
    Press(SDL_SCANCODE_LSHIFT);
    Frames();
    EXPECT_EQ(Value(Left, PimVrButton::PadTouch), 0.0f);
    EXPECT_EQ(Value(Right, PimVrButton::PadTouch), 1.0f);
    EXPECT_EQ(Value(Right, PimVrButton::PadY), -1.0f);
    Release(SDL_SCANCODE_DOWN);
    Release(SDL_SCANCODE_LSHIFT);
    Frames();
    EXPECT_EQ(Value(Right, PimVrButton::PadTouch), 0.0f);
    EXPECT_EQ(Value(Right, PimVrButton::PadY), 0.0f);
}

TEST_F(Simulator, AClickBetweenTwoFramesPullsTheTriggerForOneFrame)
{
    Mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    Mouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    Frames();
    EXPECT_EQ(Value(Right, PimVrButton::Trigger), 1.0f);
    Frames();
    EXPECT_EQ(Value(Right, PimVrButton::Trigger), 0.0f);
}

TEST_F(Simulator, CrouchingAndStandingUpQuicklyMakeTheJumpGesture)
{
    const float standing = PimVrRestPose::EyeHeight;
    Press(SDL_SCANCODE_C);
    Frames(30);
    EXPECT_FLOAT_EQ(simulator.GetHeadHeight(), standing * PimVrSimulator::CrouchFactor);
    ExpectNear(Position(Head), {0.0f, standing * PimVrSimulator::CrouchFactor, 0.0f});
    Release(SDL_SCANCODE_C);
    // From below 95 % to above 102.8 % of the standing height well within 0.2 seconds.
    int frames = 0;
    while (simulator.GetHeadHeight() < 0.95f * standing)
    {
        Frames();
        ++frames;
    }
    int rising = 0;
    while (simulator.GetHeadHeight() <= 1.028f * standing && rising < 60)
    {
        Frames();
        ++rising;
    }
    EXPECT_LT(rising * Frame, 0.2);
    Frames(60);
    EXPECT_FLOAT_EQ(simulator.GetHeadHeight(), standing);

    float lowest = standing;
    float highest = standing;
    Press(SDL_SCANCODE_SPACE);
    Release(SDL_SCANCODE_SPACE);
    for (int i = 0; i < 60; ++i)
    {
        Frames();
        lowest = std::min(lowest, simulator.GetHeadHeight());
        highest = std::max(highest, simulator.GetHeadHeight());
    }
    EXPECT_FLOAT_EQ(lowest, standing * PimVrSimulator::CrouchFactor);
    EXPECT_FLOAT_EQ(highest, standing * PimVrSimulator::SpringFactor);
    EXPECT_FLOAT_EQ(simulator.GetHeadHeight(), standing);
}

TEST_F(Simulator, ATextFieldHoldingTheKeyboardKeepsItsKeysButNotTheMouse)
{
    PimInputTray::GetInstance().SetKeyboardCaptured(true);
    Press(SDL_SCANCODE_W);
    Press(SDL_SCANCODE_F);
    Mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    Frames(10);
    ExpectNear(Position(Head), {0.0f, PimVrRestPose::EyeHeight, 0.0f});
    EXPECT_EQ(Value(Left, PimVrButton::Trigger), 0.0f);
    EXPECT_EQ(Value(Right, PimVrButton::Trigger), 1.0f);
    Press(SDL_SCANCODE_F1);
    EXPECT_FALSE(simulator.IsLegendVisible()) << "F1 still works";
}

TEST_F(Simulator, LosingTheFocusLetsGoOfEverything)
{
    Press(SDL_SCANCODE_W);
    Mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    Frames();
    SDL_Event focus{};
    focus.type = SDL_WINDOWEVENT;
    focus.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    simulator.HandleEvent(focus);
    Frames();
    const PimVector3 stopped = Position(Head);
    Frames(10);
    ExpectNear(Position(Head), stopped);
    EXPECT_EQ(Value(Right, PimVrButton::Trigger), 0.0f);
}

TEST_F(Simulator, TheLegendShowsAtStartAndF1TogglesIt)
{
    EXPECT_TRUE(simulator.IsLegendVisible());
    const std::vector<std::string> lines = simulator.GetLegendLines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_NE(lines[0].find("F1"), std::string::npos);
    Press(SDL_SCANCODE_F1);
    Release(SDL_SCANCODE_F1);
    EXPECT_FALSE(simulator.IsLegendVisible());
    Press(SDL_SCANCODE_F1);
    EXPECT_TRUE(simulator.IsLegendVisible());
}
