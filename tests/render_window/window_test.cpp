#include "../render/render_fixture.h"

#include "engine/PimScreenshot.h"
#include "engine/PimTexture.h"

#include <SDL.h>

namespace
{
bool OpenWindow(int width, int height)
{
    unsetenv("SDL_VIDEODRIVER");
    PimSystemParameters parameters;
    parameters.width = width;
    parameters.height = height;
    parameters.display = PimDisplayBackend::Window;
    return PimSystem::Initialize(parameters);
}
}

// The window backend, run by CTest under xvfb-run (see tests/CMakeLists.txt) so that it needs no
// screen and never opens windows on a developer's desktop.
TEST(PimDisplayWindow, OpensAWindowWithAGLContextAndDraws)
{
    ASSERT_TRUE(OpenWindow(64, 48));
    EXPECT_TRUE(PimSystem::HasGL());

    PimShader shader;
    ASSERT_TRUE(shader.LoadShaderDirect(FlatVertexSource, FlatFragmentSource));
    PimTexture frame;
    const PimCallbackId id = PimSystem::AddFrameCallback(PimFramePhase::Draw, [&] {
        shader.Use();
        glUniform4f(shader.GetUniformLocation("Colour"), 0.0f, 0.0f, 1.0f, 1.0f);
        FullScreenQuad().Draw(shader);
        PimScreenshot::Capture(frame);
    });
    EXPECT_EQ(PimSystem::RunFrames(3), 3u);
    PimSystem::RemoveCallback(id);
    EXPECT_EQ(frame.GetColor(10, 10), PimColor(0, 0, 255));
    PimSystem::Shutdown();
}

// Runs frames until the framebuffer has the size asked for; the X server answers a resize
// asynchronously, and a loaded machine may take a while. False after ten seconds without it.
bool RunUntilFramebufferIs(int width, int height)
{
    const Uint64 deadline = SDL_GetTicks64() + 10'000;
    while (PimSystem::GetFramebufferWidth() != width || PimSystem::GetFramebufferHeight() != height)
    {
        if (SDL_GetTicks64() > deadline)
            return false;
        PimSystem::RunFrames(1);
        SDL_Delay(5);
    }
    return true;
}

// The test's screen is 640 x 480: a headset-shaped window opens scaled down to fit the usable
// area the display reports, keeping its shape, and a resized window is drawn over its whole new
// size.
TEST(PimDisplayWindow, ALargeWindowFitsTheScreenAndFollowsAResize)
{
    ASSERT_TRUE(OpenWindow(1080, 1200));
    SDL_Rect usable{};
    ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0);
    EXPECT_LE(usable.w, 640);
    EXPECT_LE(usable.h, 480);
    const int width = PimSystem::GetFramebufferWidth();
    const int height = PimSystem::GetFramebufferHeight();
    EXPECT_LE(width, usable.w);
    EXPECT_LE(height, usable.h);
    EXPECT_GT(height, 300);
    EXPECT_NEAR(double(width) / height, 1080.0 / 1200.0, 0.01);

    SDL_Window* window = SDL_GL_GetCurrentWindow();
    ASSERT_NE(window, nullptr);
    SDL_SetWindowSize(window, 200, 100);
    ASSERT_TRUE(RunUntilFramebufferIs(200, 100));
    PimTexture frame;
    const PimCallbackId id = PimSystem::AddFrameCallback(PimFramePhase::Draw, [&] {
        glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        PimScreenshot::Capture(frame);
    });
    PimSystem::RunFrames(1);
    PimSystem::RemoveCallback(id);
    ASSERT_TRUE(frame.IsValid());
    EXPECT_EQ(frame.GetWidth(), 200);
    EXPECT_EQ(frame.GetColor(190, 90), PimColor(0, 255, 0));
    PimSystem::Shutdown();
}
