#include "render_fixture.h"

#include "engine/PimScreenshot.h"
#include "engine/PimTexture.h"

TEST_F(OffscreenRender, ContextIsCoreProfileWithAVertexArrayAndTheWindowSize)
{
    GLint major = 0;
    GLint minor = 0;
    GLint profile = 0;
    GLint vertexArray = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
    EXPECT_GE(major * 10 + minor, 32);
    EXPECT_TRUE(profile & GL_CONTEXT_CORE_PROFILE_BIT);
    EXPECT_NE(vertexArray, 0);
    EXPECT_EQ(PimSystem::GetFramebufferWidth(), Width);
    EXPECT_EQ(PimSystem::GetFramebufferHeight(), Height);
    EXPECT_NE(PimSystem::GetGLContextGeneration(), 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(OffscreenRender, EveryFrameStartsClearedAndExitEndsTheLoop)
{
    PimTexture secondFrame;
    int frame = 0;
    PimSystem::AddFrameCallback(PimFramePhase::Draw, [&] {
        if (++frame == 1)
        {
            glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
            return;
        }
        PimScreenshot::Capture(secondFrame);
        PimSystem::ExitSystem();
    });
    EXPECT_EQ(PimSystem::RunFrames(10), 2u);
    ASSERT_TRUE(secondFrame.IsValid());
    EXPECT_EQ(secondFrame.GetColor(Width / 2, Height / 2), PimColor(0, 0, 0, 255));
    EXPECT_EQ(PimSystem::GetTime().FrameCount(), 2u);
}

TEST_F(OffscreenRender, ReopenedContextGetsANewGenerationAndStaleObjectsRecover)
{
    PimShader shader;
    ASSERT_TRUE(shader.LoadShaderDirect(PictureVertexSource, PictureFragmentSource));
    PimTexture picture;
    picture.Create(1, 1, PimColor(0, 255, 0));
    ASSERT_NE(picture.GetGLTexture(), 0u);
    const std::uint32_t firstGeneration = PimSystem::GetGLContextGeneration();

    PimSystem::Shutdown();
    EXPECT_FALSE(shader.IsValid());  // its program died with the context
    EXPECT_EQ(picture.GetGLTexture(), 0u);
    ASSERT_TRUE(PimSystem::Initialize(Parameters()));
    EXPECT_NE(PimSystem::GetGLContextGeneration(), firstGeneration);

    // The same texture object uploads itself again into the new context.
    ASSERT_TRUE(shader.LoadShaderDirect(PictureVertexSource, PictureFragmentSource));
    PimTexture frame;
    DrawOneFrame([&] {
        ASSERT_TRUE(picture.Bind(0));
        FullScreenQuad().Draw(shader);
        PimScreenshot::Capture(frame);
    });
    EXPECT_EQ(frame.GetColor(3, 3), PimColor(0, 255, 0));
}

// Without any window system a window cannot open: SDL would fall back to a surface nobody sees,
// and the program must say so instead of running invisibly.
TEST(WindowWithoutAScreen, FailsWithAReasonInsteadOfRunningUnseen)
{
    const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    PimSystemParameters parameters;
    parameters.width = 64;
    parameters.height = 48;
    parameters.display = PimDisplayBackend::Window;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(PimSystem::Initialize(parameters));
    const std::string reported = testing::internal::GetCapturedStderr();
    EXPECT_NE(reported.find("cannot open a window"), std::string::npos) << reported;
    EXPECT_FALSE(PimSystem::IsInitialized());
    if (!display.empty())
        setenv("DISPLAY", display.c_str(), 1);
}
