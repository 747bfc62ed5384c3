#include "render_fixture.h"

#include "engine/PimAssert.h"
#include "engine/PimScreenshot.h"
#include "engine/PimTexture.h"

#include <thread>

namespace
{
const PimColor Red(255, 0, 0);
const PimColor Green(0, 255, 0);
const PimColor Blue(0, 0, 255);
const PimColor White(255, 255, 255);
}

TEST_F(OffscreenRender, TextureUploadsOnDemandWithTopRowAtVZeroAndReuploadsChanges)
{
    PimShader shader;
    ASSERT_TRUE(shader.LoadShaderDirect(PictureVertexSource, PictureFragmentSource));
    PimTexture picture;
    picture.Create(2, 2, White);
    picture.SetColor(0, 0, Red);
    picture.SetColor(1, 0, Green);
    picture.SetColor(0, 1, Blue);
    picture.SetFilter(PimTextureFilter::Nearest);
    picture.SetWrap(PimTextureWrap::Clamp);

    PimTexture frame;
    auto drawPicture = [&] {
        ASSERT_TRUE(picture.Bind(0));
        shader.Use();
        glUniform1i(shader.GetUniformLocation("picture"), 0);
        FullScreenQuad().Draw(shader);
        PimScreenshot::Capture(frame);
    };
    DrawOneFrame(drawPicture);
    const unsigned int name = picture.GetGLTexture();
    EXPECT_NE(name, 0u);
    EXPECT_EQ(frame.GetColor(Width / 4, Height / 4), Red);
    EXPECT_EQ(frame.GetColor(3 * Width / 4, Height / 4), Green);
    EXPECT_EQ(frame.GetColor(Width / 4, 3 * Height / 4), Blue);
    EXPECT_EQ(frame.GetColor(3 * Width / 4, 3 * Height / 4), White);
    // Nearest filtering: no blend of red and green at the seam.
    EXPECT_EQ(frame.GetColor(Width / 2 - 1, Height / 4), Red);

    picture.SetColor(0, 0, PimColor(255, 255, 0));
    DrawOneFrame(drawPicture);
    EXPECT_EQ(frame.GetColor(Width / 4, Height / 4), PimColor(255, 255, 0));
    EXPECT_EQ(picture.GetGLTexture(), name);
}

TEST_F(OffscreenRender, ScreenshotRectangleIsExactAndOpaque)
{
    PimTexture inside;
    PimTexture edge;
    PimTexture untouched;
    untouched.Create(1, 1, Green);
    PimAssert::ResetFailureCount();
    DrawOneFrame([&] {
        glClearColor(0.0f, 0.0f, 1.0f, 0.25f);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(10, 5, 6, 4);
        glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        EXPECT_TRUE(PimScreenshot::Capture(inside, 10, 5, 6, 4));
        EXPECT_TRUE(PimScreenshot::Capture(edge, 9, 8, 2, 2));
        EXPECT_FALSE(PimScreenshot::Capture(untouched, Width - 4, 0, 5, 1));
        EXPECT_FALSE(PimScreenshot::Capture(untouched, -1, 0, 2, 2));
        EXPECT_FALSE(PimScreenshot::Capture(untouched, 0, 0, 0, 2));
    });
    EXPECT_EQ(PimAssert::GetFailureCount(), 3u);
    EXPECT_EQ(untouched.GetWidth(), 1);
    EXPECT_EQ(untouched.GetColor(0, 0), Green);

    ASSERT_EQ(inside.GetWidth(), 6);
    ASSERT_EQ(inside.GetHeight(), 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(inside.GetColor(x, y), Red) << x << "," << y;
    // Rows 8 and 9 from the bottom, top-down: row 9 (above the red block) first. The see-through
    // clear colour comes back opaque.
    EXPECT_EQ(edge.GetColor(0, 0), Blue);
    EXPECT_EQ(edge.GetColor(1, 0), Blue);
    EXPECT_EQ(edge.GetColor(0, 1), Blue);
    EXPECT_EQ(edge.GetColor(1, 1), Red);
}

TEST_F(OffscreenRender, GLUseOffTheMainThreadIsRefused)
{
    PimTexture picture;
    picture.Create(1, 1, Red);
    PimAssert::ResetFailureCount();
    unsigned int name = 1;
    bool bound = true;
    std::thread worker([&] {
        name = picture.GetGLTexture();
        bound = picture.Bind(0);
    });
    worker.join();
    EXPECT_EQ(name, 0u);
    EXPECT_FALSE(bound);
    EXPECT_EQ(PimAssert::GetFailureCount(), 2u);
    EXPECT_NE(picture.GetGLTexture(), 0u);  // the main thread still can
}
