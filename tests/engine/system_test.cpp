#include "engine/PimAssert.h"
#include "engine/PimDisplay.h"
#include "engine/PimDisplaySdl.h"
#include "engine/PimShader.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"

#include "../support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <utility>
#include <string>
#include <vector>

namespace
{
// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char* name, const char* value) : name(name)
    {
        if (const char* old = std::getenv(name))
            previous = old;
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnvironment()
    {
        if (previous)
            setenv(name, previous->c_str(), 1);
        else
            unsetenv(name);
    }

private:
    const char* name;
    std::optional<std::string> previous;
};

PimSystemParameters Headless(double frameSeconds = 0.25)
{
    PimSystemParameters parameters;
    parameters.display = PimDisplayBackend::None;
    parameters.fixedFrameSeconds = frameSeconds;
    return parameters;
}

class PimSystemNoDisplay : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(PimSystem::Initialize(Headless())); }
    void TearDown() override { PimSystem::Shutdown(); }
};
}

TEST_F(PimSystemNoDisplay, FramesRunUpdateThenDrawOnAFixedClock)
{
    std::string trace;
    PimSystem::AddFrameCallback(PimFramePhase::Draw, [&] { trace += "D"; });
    PimSystem::AddFrameCallback(PimFramePhase::Update, [&] { trace += "U" + std::to_string(PimTime::FrameCount()); });

    EXPECT_EQ(PimSystem::RunFrames(3), 3u);
    EXPECT_EQ(trace, "U1DU2DU3D");
    EXPECT_DOUBLE_EQ(PimTime::SecondDelta(), 0.25);
    EXPECT_DOUBLE_EQ(PimTime::MillisecondDelta(), 250.0);
    EXPECT_DOUBLE_EQ(PimTime::FrameRate(), 4.0);
    EXPECT_DOUBLE_EQ(PimSystem::GetTime().GetSeconds(), 0.75);
    EXPECT_FALSE(PimSystem::HasGL());
    EXPECT_EQ(PimSystem::GetGLContextGeneration(), 0u);
    EXPECT_FALSE(PimSystem::IsVirtualReality());
}

TEST_F(PimSystemNoDisplay, ExitSystemEndsTheLoopAfterTheCurrentFrame)
{
    int updates = 0;
    int draws = 0;
    PimSystem::AddFrameCallback(PimFramePhase::Update, [&] {
        if (++updates == 3)
            PimSystem::ExitSystem();
    });
    PimSystem::AddFrameCallback(PimFramePhase::Draw, [&] { ++draws; });
    PimSystem::Run();
    EXPECT_EQ(updates, 3);
    EXPECT_EQ(draws, 3);

    // The request is used up by the loop it ended; one made before a run ends that run at once.
    EXPECT_EQ(PimSystem::RunFrames(1), 1u);
    PimSystem::ExitSystem();
    EXPECT_EQ(PimSystem::RunFrames(5), 0u);
}

TEST_F(PimSystemNoDisplay, CallbacksAddedOrRemovedDuringAFrame)
{
    std::string trace;
    PimCallbackId second = 0;
    PimCallbackId self = 0;
    bool added = false;
    self = PimSystem::AddFrameCallback(PimFramePhase::Update, [&] {
        trace += "A";
        PimSystem::RemoveCallback(second);  // registered after this one: not called even this frame
        PimSystem::RemoveCallback(self);    // a callback may remove itself
        if (!added)
        {
            added = true;
            PimSystem::AddFrameCallback(PimFramePhase::Update, [&] { trace += "n"; });
            PimSystem::AddFrameCallback(PimFramePhase::Draw, [&] { trace += "d"; });
        }
    });
    second = PimSystem::AddFrameCallback(PimFramePhase::Update, [&] { trace += "B"; });

    EXPECT_EQ(PimSystem::RunFrames(2), 2u);
    // Frame 1: A runs; the new Update callback waits for frame 2, the new Draw one runs in frame 1.
    EXPECT_EQ(trace, "Adnd");
}

TEST_F(PimSystemNoDisplay, MisuseIsRefusedWithoutHarm)
{
    PimAssert::ResetFailureCount();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(PimSystem::Initialize(Headless()));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("already running"), std::string::npos);
    EXPECT_EQ(PimSystem::AddFrameCallback(PimFramePhase::Update, nullptr), 0u);

    int frames = 0;
    PimSystem::AddFrameCallback(PimFramePhase::Update, [&] {
        ++frames;
        PimSystem::Shutdown();                         // not from inside the loop
        EXPECT_EQ(PimSystem::RunFrames(1), 0u);        // nor a loop inside the loop
    });
    EXPECT_EQ(PimSystem::RunFrames(2), 2u);
    EXPECT_EQ(frames, 2);
    EXPECT_TRUE(PimSystem::IsInitialized());
    EXPECT_EQ(PimAssert::GetFailureCount(), 5u);
}

TEST_F(PimSystemNoDisplay, GLObjectsStayCpuOnlyWithoutAContext)
{
    PimAssert::ResetFailureCount();
    PimShader shader;
    EXPECT_FALSE(shader.LoadShaderDirect("#version 150\nvoid main() {}", "#version 150\nvoid main() {}"));
    EXPECT_FALSE(shader.IsValid());
    EXPECT_EQ(shader.GetUniformLocation("MVP"), -1);
    shader.Use();

    PimTexture texture;
    texture.Create(2, 2, PimColor(1, 2, 3));
    EXPECT_EQ(texture.GetGLTexture(), 0u);
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << "no GL is not a fault";
}

TEST(PimSystemStart, RunBeforeInitializeAndBadSizesFail)
{
    PimAssert::ResetFailureCount();
    EXPECT_EQ(PimSystem::RunFrames(1), 0u);
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);

    for (auto [width, height] : {std::pair{0, 1200}, {1080, -1}, {20000, 100}})
    {
        PimSystemParameters parameters = Headless();
        parameters.width = width;
        parameters.height = height;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(PimSystem::Initialize(parameters));
        EXPECT_NE(testing::internal::GetCapturedStderr().find("window size"), std::string::npos);
        EXPECT_FALSE(PimSystem::IsInitialized());
    }
}

TEST(PimSystemStart, UnavailableVideoSystemIsACleanFailure)
{
    ScopedEnvironment driver("SDL_VIDEODRIVER", "no-such-driver");
    PimSystemParameters parameters;
    parameters.display = PimDisplayBackend::Window;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(PimSystem::Initialize(parameters));
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("PimSystem::Initialize() - cannot start the video system"), std::string::npos) << message;
    EXPECT_FALSE(PimSystem::IsInitialized());
}

TEST(PimSystemStart, AutomaticDisplayFollowsTheVideoDriverVariable)
{
    {
        ScopedEnvironment driver("SDL_VIDEODRIVER", "offscreen");
        EXPECT_EQ(PimDisplay::Resolve(PimDisplayBackend::Automatic), PimDisplayBackend::Offscreen);
        EXPECT_EQ(PimDisplay::Resolve(PimDisplayBackend::None), PimDisplayBackend::None);
    }
    ScopedEnvironment driver("SDL_VIDEODRIVER", nullptr);
    EXPECT_EQ(PimDisplay::Resolve(PimDisplayBackend::Automatic), PimDisplayBackend::Window);
}

TEST(PimSystemStart, DataFolderIsCreatedAndKeepsTheAssertionLog)
{
    TempFolder folder("system-data");
    const std::string previousLog = PimAssert::GetLogFile();
    PimSystemParameters parameters = Headless();
    parameters.dataFolder = folder.path.string() + "\\Quillot\\";
    ASSERT_TRUE(PimSystem::Initialize(parameters));
    PimAssert::Assert(false, "logged beside the user's data");
    PimSystem::Shutdown();
    PimAssert::SetLogFile(previousLog);

    const auto log = folder / "Quillot" / "assert.log";
    ASSERT_TRUE(std::filesystem::exists(log));
    std::ifstream in(log);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "logged beside the user's data");
}

TEST(PimDisplaySdlFit, AWindowLargerThanTheDesktopShrinksKeepingItsShape)
{
    int width = 1080;
    int height = 1200;
    PimDisplaySdl::FitWindowSize(1920, 1032, width, height); // a 1080p desktop less its panel
    EXPECT_EQ(height, 1032);
    EXPECT_EQ(width, 928);

    width = 3000;
    height = 500;
    PimDisplaySdl::FitWindowSize(1500, 1000, width, height); // width is the tighter side
    EXPECT_EQ(width, 1500);
    EXPECT_EQ(height, 250);

    for (const auto& [roomWidth, roomHeight] : {std::pair{4000, 3000}, std::pair{0, 900}, std::pair{-5, -5}})
    {
        width = 1080;
        height = 1200;
        PimDisplaySdl::FitWindowSize(roomWidth, roomHeight, width, height); // fits, or room unknown
        EXPECT_EQ(width, 1080);
        EXPECT_EQ(height, 1200);
    }
}
