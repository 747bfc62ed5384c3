// The headset backend end to end: the engine's OpenXR session on the offscreen GL context, driven
// by the test runtime (tests/support/test_xr_runtime.h) through the OpenXR loader.

#include "scene_fixture.h"

#include "engine/PimDrawContext.h"
#include "engine/PimDrawStats.h"
#include "engine/PimImageQuad.h"
#include "engine/PimVrSystem.h"

#include "tests/support/test_xr_runtime.h"

#include <cmath>
#include <string>
#include <vector>

namespace
{
constexpr PimColor Blue{0, 0, 255, 255};
constexpr int EyeSize = 40;

// One frame's calls when both eyes are drawn.
const std::vector<std::string> ShownFrame = {"wait",   "begin",  "views",     "acquire 0", "wait 0",
                                             "acquire 1", "wait 1", "release 0", "release 1", "end 1"};

// The program's arrangement with a headset: a main viewport whose camera follows the headset, as
// the root page places it, and a scene object whose Draw runs the test's function.
class HeadsetEyes : public testing::Test
{
protected:
    static constexpr int Width = 64;
    static constexpr int Height = 48;

    void SetUp() override
    {
        TestXrRuntime::Headset headset;
        headset.eyeWidth = EyeSize;
        headset.eyeHeight = EyeSize;
        headset.eyeDistance = 0.2f;
        Start(headset);
    }

    void Start(const TestXrRuntime::Headset& headset)
    {
        TestXrRuntime::Reset(headset);
        setenv("XR_RUNTIME_JSON", TestXrRuntime::ManifestPath().c_str(), 1);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        PimSystemParameters parameters;
        parameters.width = Width;
        parameters.height = Height;
        parameters.fixedFrameSeconds = 1.0 / 60.0;
        parameters.deviceMode = PimDeviceMode::Headset;
        ASSERT_TRUE(PimSystem::Initialize(parameters));
        ASSERT_TRUE(PimSystem::IsVirtualReality());

        scene = std::make_shared<PimScene>();
        viewport = std::make_shared<PimViewport>();
        object = std::make_shared<ScriptedObject>();
        auto context = std::make_shared<PimIOContext>();
        context->AttachWindow(PimWindow::GetFocusedWindow());
        context->SetActiveScene(scene);
        ASSERT_TRUE(PimSystem::AddIOContext(context));
        ASSERT_TRUE(scene->AddViewport(viewport));
        ASSERT_TRUE(viewport->AddObject(object));
        viewport->SetClearColor(Blue);
        object->onUpdate = [this] {
            const PimVrController& head = PimVrSystem::GetInstance().GetHeadsetController();
            camera().SetPosition(head.GetDevicePosition(PimVrPose::Controller, PimVrCoordinates::World));
            camera().SetOrientation(head.GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World));
        };
        object->onDraw = [this] {
            passes.push_back({PimDrawContext::GetEye(), PimDrawContext::GetPassIndex(), PimDrawContext::GetWidth()});
            bar.Draw();
        };
        bar.SetTexture(std::make_shared<PimTexture>(Bands({PimColor(255, 255, 255)})));
        bar.SetSize({0.05f, 2.0f});
    }

    void TearDown() override
    {
        PimSystem::Shutdown();
        unsetenv("XR_RUNTIME_JSON");
        EXPECT_EQ(TestXrRuntime::LiveHandles(), 0) << "every OpenXR object is destroyed with the system";
        EXPECT_EQ(TestXrRuntime::Violations(), std::vector<std::string>());
    }

    PimCamera& camera() { return *viewport->GetCamera(); }

    // Runs one frame and returns the window's picture as the frame left it (the mirrored eye).
    PimTexture RunFrame()
    {
        PimTexture window;
        const PimCallbackId id = PimSystem::AddFrameCallback(PimFramePhase::Draw, [&window] { PimScreenshot::Capture(window); });
        EXPECT_EQ(PimSystem::RunFrames(1), 1u);
        PimSystem::RemoveCallback(id);
        return window;
    }

    // The mean column of the bright pixels in the middle row of an eye's picture; -1 for none.
    static float BarColumn(const TestXrRuntime::SubmittedEye& eye)
    {
        float sum = 0.0f;
        int count = 0;
        for (int x = 0; x < eye.width; ++x)
        {
            if ((eye.PixelFromTop(x, eye.height / 2) >> 16) > 200)
            {
                sum += static_cast<float>(x);
                ++count;
            }
        }
        return count > 0 ? sum / static_cast<float>(count) : -1.0f;
    }

    struct Pass
    {
        PimEye eye;
        int index;
        int width;
        bool operator==(const Pass&) const = default;
    };

    std::shared_ptr<PimScene> scene;
    std::shared_ptr<PimViewport> viewport;
    std::shared_ptr<ScriptedObject> object;
    PimImageQuad bar;
    std::vector<Pass> passes;
};

std::vector<std::string> CallsSinceClear()
{
    std::vector<std::string> calls = TestXrRuntime::Calls();
    TestXrRuntime::ClearCalls();
    return calls;
}
}

TEST_F(HeadsetEyes, EachEyeShowsTheSceneFromItsOwnPlaceAndTheLeftOneReachesTheWindow)
{
    // A thin bar (two pixels wide) straight ahead of the head, 0.5 m away; the eyes are 0.2 m
    // apart, so each sees it 0.1 / 0.5 of its half-width (20 pixels) off centre: 4 pixels, towards
    // the other eye.
    const float headHeight = 1.6f;
    bar.SetLocation({0.0f, headHeight, -0.5f});
    const PimTexture window = RunFrame();

    ASSERT_EQ(TestXrRuntime::Frames().size(), 1u);
    const TestXrRuntime::SubmittedFrame& frame = TestXrRuntime::Frames()[0];
    ASSERT_EQ(frame.layerCount, 1u);
    ASSERT_EQ(frame.eyes.size(), 2u);
    const float centre = (EyeSize - 1) / 2.0f;
    const float left = BarColumn(frame.eyes[0]);
    const float right = BarColumn(frame.eyes[1]);
    EXPECT_NEAR(left - centre, 4.0f, 1.0f);
    EXPECT_NEAR(centre - right, 4.0f, 1.0f);
    EXPECT_NEAR(left - centre, centre - right, 0.01f);
    EXPECT_EQ(frame.eyes[0].PixelFromTop(2, 2), 0x0000FFu) << "the viewport clears each eye";
    EXPECT_EQ(passes, (std::vector<Pass>{{PimEye::Left, 0, EyeSize}, {PimEye::Right, 1, EyeSize}}));
    EXPECT_EQ(PimDrawStats::GetLastFrameDrawCalls(), 2u) << "the bar once per eye";

    // The window shows the left eye, 40 x 40 fitted into 64 x 48 as 48 x 48 from column 8.
    ASSERT_TRUE(window.IsValid());
    int brightest = -1;
    for (int x = 0; x < Width; ++x)
    {
        if (window.GetColor(x, Height / 2).r > 200)
            brightest = x;
    }
    EXPECT_NEAR(static_cast<float>(brightest), 8.0f + (left + 0.5f) * 1.2f, 2.0f);
    EXPECT_EQ(window.GetColor(10, 2), Blue);
    EXPECT_NE(window.GetColor(2, 2), Blue) << "outside the mirrored eye";

    // Twice the world per metre: the eyes stand twice as far apart in the world, so a bar twice
    // as far away shows where the first one did.
    PimVrSystem::GetInstance().SetScale(2.0f);
    bar.SetLocation({0.0f, 2.0f * headHeight, -1.0f});
    bar.SetSize({0.1f, 4.0f});
    RunFrame();
    ASSERT_EQ(TestXrRuntime::Frames().size(), 2u);
    EXPECT_NEAR(BarColumn(TestXrRuntime::Frames()[1].eyes[0]), left, 0.01f);
    EXPECT_NEAR(BarColumn(TestXrRuntime::Frames()[1].eyes[1]), right, 0.01f);
}

TEST_F(HeadsetEyes, FramesFollowTheRuntimesOrderAndSubmitTheLocatedViews)
{
    RunFrame();
    const std::vector<std::string> first = CallsSinceClear();
    // The first frame begins the session (its READY event comes with the first poll).
    EXPECT_EQ(first, ShownFrame);
    RunFrame();
    RunFrame();
    std::vector<std::string> twice = ShownFrame;
    twice.insert(twice.end(), ShownFrame.begin(), ShownFrame.end());
    EXPECT_EQ(CallsSinceClear(), twice);

    ASSERT_EQ(TestXrRuntime::Frames().size(), 3u);
    const TestXrRuntime::SubmittedFrame& frame = TestXrRuntime::Frames()[2];
    ASSERT_EQ(frame.eyes.size(), 2u);
    for (int eye = 0; eye < 2; ++eye)
    {
        const TestXrRuntime::SubmittedEye& submitted = frame.eyes[static_cast<std::size_t>(eye)];
        EXPECT_FLOAT_EQ(submitted.pose.position.x, eye == 0 ? -0.1f : 0.1f);
        EXPECT_FLOAT_EQ(submitted.pose.position.y, 1.6f);
        EXPECT_FLOAT_EQ(submitted.fieldOfView.angleLeft, -0.785398163f);
        EXPECT_EQ(submitted.rect.extent.width, EyeSize);
        EXPECT_EQ(submitted.rect.extent.height, EyeSize);
    }
    EXPECT_GT(frame.displayTime, TestXrRuntime::Frames()[1].displayTime);
}

TEST_F(HeadsetEyes, AFrameTheRuntimeDoesNotShowIsEndedEmptyAndDrawnToTheWindow)
{
    RunFrame();
    CallsSinceClear();
    passes.clear();

    TestXrRuntime::SetShouldRender(false);
    RunFrame();
    EXPECT_EQ(CallsSinceClear(), (std::vector<std::string>{"wait", "begin", "views", "end 0"}));
    EXPECT_EQ(passes, (std::vector<Pass>{{PimEye::Mono, 0, Width}}));
    EXPECT_EQ(PimDrawStats::GetLastFrameDrawCalls(), 1u);

    TestXrRuntime::SetShouldRender(true);
    RunFrame();
    EXPECT_EQ(CallsSinceClear(), ShownFrame);
    ASSERT_EQ(TestXrRuntime::Frames().size(), 3u);
    EXPECT_EQ(TestXrRuntime::Frames()[1].layerCount, 0u);
    EXPECT_EQ(TestXrRuntime::Frames()[2].layerCount, 1u);
}

TEST_F(HeadsetEyes, AnEyeThatCannotBeAcquiredGivesTheOtherBackAndSkipsTheLayer)
{
    RunFrame();
    CallsSinceClear();
    passes.clear();

    TestXrRuntime::FailNextAcquire(1);
    RunFrame();
    EXPECT_EQ(CallsSinceClear(), (std::vector<std::string>{"wait", "begin", "views", "acquire 0", "wait 0",
                                                           "acquire 1", "release 0", "end 0"}));
    EXPECT_EQ(passes, (std::vector<Pass>{{PimEye::Mono, 0, Width}})) << "the frame is drawn to the window instead";

    RunFrame();
    EXPECT_EQ(CallsSinceClear(), ShownFrame);
    EXPECT_EQ(TestXrRuntime::Frames().back().layerCount, 1u);
}

TEST_F(HeadsetEyes, TheEyesSitBesideTheHeadWhereverItTurns)
{
    PimSystem::Shutdown();
    TestXrRuntime::Headset headset;
    headset.eyeDistance = 0.2f;
    // Turned 90 degrees to the left, in a play area turned and scaled in the world: the eyes'
    // offset is measured in the head's own frame, in world units.
    const float half = 0.5f * PimAngle::DegreesToRadians(90.0f);
    headset.headOrientation = {0.0f, std::sin(half), 0.0f, std::cos(half)};
    Start(headset);
    PimVrSystem& vr = PimVrSystem::GetInstance();
    vr.SetScale(3.0f);
    vr.SetDirectionModifier(PimAngle::FromDegrees(30.0f));
    RunFrame();

    for (int eye = 0; eye < 2; ++eye)
    {
        const PimEyeView view = vr.GetEyeViewFromHead(eye);
        EXPECT_EQ(view.eye, eye == 0 ? PimEye::Left : PimEye::Right);
        const PimVector3 offset = view.headFromEye.GetTranslation();
        EXPECT_NEAR(offset.x, (eye == 0 ? -0.1f : 0.1f) * 3.0f, 1e-5f);
        EXPECT_NEAR(offset.y, 0.0f, 1e-5f);
        EXPECT_NEAR(offset.z, 0.0f, 1e-5f);
        EXPECT_NEAR(view.headFromEye.TransformDirection({0.0f, 0.0f, -1.0f}).z, -1.0f, 1e-5f) << "looking where the head looks";
        ASSERT_TRUE(view.fieldOfView.has_value());
        EXPECT_FLOAT_EQ(view.fieldOfView->up.GetRadians(), 0.785398163f);
    }
    EXPECT_EQ(vr.GetEyeViewFromHead(2).eye, PimEye::Mono);
    EXPECT_FALSE(vr.BeginEye(0)) << "a headset's eyes are drawn by the scene only";
}

TEST_F(HeadsetEyes, TheRuntimeEndingTheSessionStopsFramesAndThenTheLoop)
{
    RunFrame();
    CallsSinceClear();

    TestXrRuntime::QueueSessionState(XR_SESSION_STATE_STOPPING);
    RunFrame();
    EXPECT_FALSE(TestXrRuntime::IsSessionRunning()) << "the session is ended when the runtime stops it";
    EXPECT_EQ(CallsSinceClear(), std::vector<std::string>()) << "no frame while the session is not running";

    TestXrRuntime::QueueSessionState(XR_SESSION_STATE_EXITING);
    EXPECT_EQ(PimSystem::RunFrames(10), 1u) << "the loop ends after the frame that saw the exit";
}
