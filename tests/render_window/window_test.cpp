#include "../render/render_fixture.h"

#include "engine/PimScreenshot.h"
#include "engine/PimTexture.h"

// The window backend, run by CTest under xvfb-run (see tests/CMakeLists.txt) so that it needs no
// screen and never opens windows on a developer's desktop.
TEST(PimDisplayWindow, OpensAWindowWithAGLContextAndDraws)
{
    unsetenv("SDL_VIDEODRIVER");
    PimSystemParameters parameters;
    parameters.width = 64;
    parameters.height = 48;
    parameters.display = PimDisplayBackend::Window;
    ASSERT_TRUE(PimSystem::Initialize(parameters));
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
