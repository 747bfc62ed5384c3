#include "render_fixture.h"

#include "engine/PimInputTray.h"
#include "engine/PimScreenshot.h"
#include "engine/PimTexture.h"
#include "engine/PimVrKeyboard.h"
#include "engine/PimVrScriptedDevice.h"
#include "engine/PimVrSimulator.h"
#include "engine/PimVrSystem.h"

#include <SDL.h>

namespace
{
// The offscreen display with scripted devices: the headset stands at the rest pose looking
// along -z.
class VrRender : public OffscreenRender
{
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        PimSystemParameters parameters = Parameters();
        parameters.deviceMode = PimDeviceMode::Scripted;
        ASSERT_TRUE(PimSystem::Initialize(parameters));
        ASSERT_TRUE(PimSystem::HasGL());
    }
};

bool IsBlack(PimColor c)
{
    return c.r == 0 && c.g == 0 && c.b == 0;
}
}

TEST_F(VrRender, TheWindowEyeBindsTheDefaultFramebufferWithTheWholeViewport)
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    DrawOneFrame([&] {
        ASSERT_EQ(vr.GetEyeCount(), 1);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, 1, 1);
        ASSERT_TRUE(vr.BeginEye(0));
        EXPECT_EQ(vr.GetCurrentEye(), 0);
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], Width);
        EXPECT_EQ(viewport[3], Height);
        EXPECT_FALSE(vr.BeginEye(1));
        EXPECT_EQ(vr.GetCurrentEye(), -1) << "a failed BeginEye leaves no eye open";
        ASSERT_TRUE(vr.BeginEye(0));
        vr.EndEye();
        EXPECT_EQ(vr.GetCurrentEye(), -1);
    });
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(VrRender, TheKeyboardDrawsItsKeysWhereTheEyeSeesThem)
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    PimVrKeyboard keyboard;
    // 1.5 ahead of the eye, its middle row at eye height, facing the eye.
    keyboard.SetLocation({-0.5f, PimVrRestPose::EyeHeight, -1.5f});
    keyboard.SetDirection(PimAngle::FromDegrees(180.0f));
    keyboard.SetText("WORLD 1");

    PimTexture frame;
    DrawOneFrame([&] {
        ASSERT_TRUE(vr.BeginEye(0));
        keyboard.Draw(vr.GetEyeProjection(0, 0.1f, 100.0f) * vr.GetEyeView(0));
        vr.EndEye();
        PimScreenshot::Capture(frame);
    });
    ASSERT_TRUE(frame.IsValid());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // The middle of the view falls on the keys, the corners on nothing.
    EXPECT_FALSE(IsBlack(frame.GetColor(Width / 2, Height / 2)));
    EXPECT_TRUE(IsBlack(frame.GetColor(0, 0)));
    EXPECT_TRUE(IsBlack(frame.GetColor(Width - 1, Height - 1)));

    // Seen from behind (turned away) it draws too: nothing is culled by the keyboard itself.
    keyboard.SetDirection(PimAngle::FromDegrees(0.0f));
    keyboard.SetLocation({0.5f, PimVrRestPose::EyeHeight, -1.5f});
    PimTexture back;
    DrawOneFrame([&] {
        ASSERT_TRUE(vr.BeginEye(0));
        keyboard.Draw(vr.GetEyeProjection(0, 0.1f, 100.0f) * vr.GetEyeView(0));
        vr.EndEye();
        PimScreenshot::Capture(back);
    });
    EXPECT_FALSE(IsBlack(back.GetColor(Width / 2, Height / 2)));
}

TEST(VrWindowEvents, TheFrameLoopFeedsWindowEventsToTheKeyboardAndTheSimulator)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    PimSystemParameters parameters;
    parameters.width = 64;
    parameters.height = 48;
    parameters.fixedFrameSeconds = 0.1;
    parameters.deviceMode = PimDeviceMode::Desktop;
    ASSERT_TRUE(PimSystem::Initialize(parameters));
    PimVrSystem& vr = PimVrSystem::GetInstance();
    ASSERT_NE(vr.GetSimulator(), nullptr);

    SDL_Event press{};
    press.type = SDL_KEYDOWN;
    press.key.keysym.sym = SDLK_w;
    press.key.keysym.scancode = SDL_SCANCODE_W;
    ASSERT_EQ(SDL_PushEvent(&press), 1);
    EXPECT_EQ(PimSystem::RunFrames(10), 10u);
    EXPECT_EQ(PimInputTray::GetInstance().GetKeyboard().KeyStatus('W'), PimKeyboard::Pressed);
    // Ten frames of 0.1 seconds walking forward.
    const PimVector3 head =
        vr.GetHeadsetController().GetDevicePosition(PimVrPose::Controller, PimVrCoordinates::Tracking);
    EXPECT_NEAR(head.z, -PimVrSimulator::WalkSpeed, 1e-4f);

    SDL_Event release = press;
    release.type = SDL_KEYUP;
    ASSERT_EQ(SDL_PushEvent(&release), 1);
    EXPECT_EQ(PimSystem::RunFrames(1), 1u);
    EXPECT_EQ(PimInputTray::GetInstance().GetKeyboard().KeyStatus('W'), PimKeyboard::Released);
    PimSystem::Shutdown();
}
