#include "render_fixture.h"

#include "engine/PimAssert.h"
#include "engine/PimScreenshot.h"
#include "engine/PimTexture.h"

#include "../support/temp_folder.h"

#include <fstream>
#include <string>

namespace
{
void WriteText(const std::filesystem::path& path, const char* text)
{
    std::ofstream(path) << text;
}

bool Reported(const std::string& part)
{
    return PimAssert::GetLastMessage().find(part) != std::string::npos;
}
}

TEST_F(OffscreenRender, TriangleIsDrawnUprightInTheScreenshot)
{
    PimShader shader;
    ASSERT_TRUE(shader.LoadShaderDirect(FlatVertexSource, FlatFragmentSource));
    EXPECT_NE(shader.GetProgram(), 0u);
    EXPECT_GE(shader.GetUniformLocation("Colour"), 0);
    EXPECT_EQ(shader.GetUniformLocation("NotThere"), -1);
    EXPECT_EQ(shader.GetAttributeLocation("NotThere"), -1);

    // Apex at the top centre, base across the middle: the triangle fills part of the upper half.
    TriangleMesh triangle({-1, 0, 1, 0, 0, 1});
    PimTexture topDown;
    PimTexture bottomUp;
    DrawOneFrame([&] {
        shader.Use();
        glUniform4f(shader.GetUniformLocation("Colour"), 1.0f, 64.0f / 255.0f, 0.0f, 1.0f);
        triangle.Draw(shader);
        EXPECT_TRUE(PimScreenshot::Capture(topDown));
        EXPECT_TRUE(PimScreenshot::Capture(bottomUp, PimRowOrder::BottomUp));
    });
    ASSERT_EQ(topDown.GetWidth(), Width);
    ASSERT_EQ(topDown.GetHeight(), Height);
    const PimColor orange(255, 64, 0, 255);
    const PimColor black(0, 0, 0, 255);
    EXPECT_EQ(topDown.GetColor(Width / 2, 5), orange);
    EXPECT_EQ(topDown.GetColor(Width / 2, Height - 3), black);
    EXPECT_EQ(topDown.GetColor(2, 5), black);  // outside the triangle's slope
    EXPECT_EQ(bottomUp.GetColor(Width / 2, Height - 1 - 5), orange);
    EXPECT_EQ(bottomUp.GetColor(Width / 2, 2), black);
}

TEST_F(OffscreenRender, CompileAndLinkErrorsAreReportedAndLeaveAnInvalidShader)
{
    PimShader shader;
    ASSERT_TRUE(shader.LoadShaderDirect(FlatVertexSource, FlatFragmentSource));
    PimAssert::ResetFailureCount();

    EXPECT_FALSE(shader.LoadShaderDirect(FlatVertexSource, "#version 150\nout vec4 c;\nvoid main() { c = vec4(1.0) }\n"));
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
    EXPECT_TRUE(Reported("PimShader::LoadShaderDirect() - fragment shader does not compile: "));
    EXPECT_FALSE(Reported("no log")) << PimAssert::GetLastMessage();
    EXPECT_FALSE(shader.IsValid());  // the earlier program is gone too
    EXPECT_EQ(shader.GetProgram(), 0u);
    EXPECT_EQ(shader.GetUniformLocation("Colour"), -1);

    EXPECT_FALSE(shader.LoadShaderDirect("#version 150\nvoid main() { gl_Position = nope; }\n", FlatFragmentSource));
    EXPECT_TRUE(Reported("vertex shader does not compile"));

    // Each stage compiles, but the fragment stage calls a function no stage defines.
    EXPECT_FALSE(shader.LoadShaderDirect(FlatVertexSource,
                                         "#version 150\nvec4 Missing();\nout vec4 c;\nvoid main() { c = Missing(); }\n"));
    EXPECT_TRUE(Reported("program does not link"));
    EXPECT_EQ(PimAssert::GetFailureCount(), 3u);

    GLint current = -1;
    shader.Use();
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(current, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(OffscreenRender, ShadersLoadFromFilesWithBackslashPaths)
{
    TempFolder folder("shader-files");
    WriteText(folder / "flat.vs", FlatVertexSource);
    WriteText(folder / "flat.ps", FlatFragmentSource);
    const std::string base = folder.path.string() + "\\";

    PimShader shader;
    EXPECT_TRUE(shader.LoadShader(base + "flat.vs", base + "flat.ps"));
    EXPECT_TRUE(shader.IsValid());

    PimAssert::ResetFailureCount();
    EXPECT_FALSE(shader.LoadShader(base + "flat.vs", base + "missing.ps"));
    EXPECT_FALSE(shader.IsValid());
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
    EXPECT_TRUE(Reported("cannot read")) << PimAssert::GetLastMessage();
    EXPECT_TRUE(Reported("missing.ps"));
}
