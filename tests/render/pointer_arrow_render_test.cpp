#include "scene_fixture.h"

#include "world/PointerArrow.h"

#include "engine/PimAngle.h"
#include "engine/PimAssert.h"

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>

namespace
{
// The arrow's yellow as its program lights it: every vertex at 0.75.
const PimColor kLitYellow(191, 191, 0);
const PimColor kBlack(0, 0, 0);

bool Near(PimColor a, PimColor b, int tolerance = 3)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

int Count(const PimTexture& frame, PimColor colour)
{
    int count = 0;
    for (int y = 0; y < frame.GetHeight(); ++y)
        for (int x = 0; x < frame.GetWidth(); ++x)
            count += Near(frame.GetColor(x, y), colour);
    return count;
}

std::string Describe(PimColor c)
{
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}
} // namespace

// The arrow stood up to face the camera at (0, 0, 2), six times its size: 3 units long, pointing
// to the right across the middle row.
class PointerArrowRender : public SceneRender
{
protected:
    void SetUp() override
    {
        SceneRender::SetUp();
        PimAssert::ResetFailureCount();
        camera().SetPosition({0.0f, 0.0f, 2.0f});
        arrow.SetOrientation(PimMatrix4x4::CreateRotationX(PimAngle::FromDegrees(90.0f)) * PimMatrix4x4::CreateScale(6.0f));
        object->onUpdate = [this] { arrow.Update(); };
    }

    void TearDown() override
    {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
        SceneRender::TearDown();
    }

    PimTexture Frame()
    {
        return Render([&] { arrow.Draw(); });
    }

    void Keep(const PimTexture& frame, const char* name)
    {
        if (const char* keep = std::getenv("QUILLOT_KEEP_FRAMES"))
            frame.Save(std::string(keep) + "/" + name);
    }

    PointerArrow arrow;
};

TEST_F(PointerArrowRender, DrawsYellowWithABlackRimAndLeavesBackFacesCulled)
{
    GLint cullMode = 0;
    GLboolean culling = GL_FALSE;
    const PimTexture frame = Render([&] {
        glDisable(GL_CULL_FACE);
        arrow.Draw();
        glGetIntegerv(GL_CULL_FACE_MODE, &cullMode);
        culling = glIsEnabled(GL_CULL_FACE);
    });
    Keep(frame, "pointer_arrow.png");
    EXPECT_EQ(cullMode, GL_BACK);
    EXPECT_EQ(culling, GL_TRUE);

    // First frame: phase 1/60 of a turn, so the arrow is about its own size.
    EXPECT_TRUE(Near(frame.GetColor(32, 24), kLitYellow)) << Describe(frame.GetColor(32, 24));
    EXPECT_TRUE(Near(frame.GetColor(48, 24), kLitYellow)) << Describe(frame.GetColor(48, 24));
    // Along the middle row: background, the rim at the tail, yellow, the rim at the tip, background.
    int firstYellow = -1;
    int lastYellow = -1;
    for (int x = 0; x < Width; ++x)
        if (Near(frame.GetColor(x, 24), kLitYellow))
        {
            lastYellow = x;
            if (firstYellow < 0)
                firstYellow = x;
        }
    ASSERT_GT(firstYellow, 3);
    ASSERT_LT(lastYellow, Width - 4);
    EXPECT_TRUE(Near(frame.GetColor(firstYellow - 1, 24), kBlack)) << Describe(frame.GetColor(firstYellow - 1, 24));
    EXPECT_TRUE(Near(frame.GetColor(lastYellow + 1, 24), kBlack)) << Describe(frame.GetColor(lastYellow + 1, 24));
    EXPECT_EQ(frame.GetColor(firstYellow - 4, 24), Background);
    EXPECT_EQ(frame.GetColor(lastYellow + 4, 24), Background);
    // The head (from column 34 on) is wider than the shaft.
    int headRows = 0;
    int shaftRows = 0;
    for (int y = 0; y < Height; ++y)
    {
        headRows += Near(frame.GetColor(36, y), kLitYellow);
        shaftRows += Near(frame.GetColor(20, y), kLitYellow);
    }
    EXPECT_GT(headRows, shaftRows + 4);
    EXPECT_GT(Count(frame, kBlack), 40);
}

TEST_F(PointerArrowRender, GrowsAndShrinksOverASecond)
{
    // Frames of 1/60 s: after 15 the pulse is at its largest, after 45 at its smallest.
    EXPECT_EQ(PimSystem::RunFrames(14), 14u);
    const PimTexture large = Frame();
    EXPECT_NEAR(arrow.GetPhase(), std::numbers::pi_v<float> / 2.0f, 1e-3f);
    EXPECT_NEAR(arrow.GetPulseScale(), 1.2f, 1e-4f);
    EXPECT_EQ(PimSystem::RunFrames(29), 29u);
    const PimTexture small = Frame();
    EXPECT_NEAR(arrow.GetPulseScale(), 0.8f, 1e-4f);
    Keep(large, "pointer_arrow_large.png");
    Keep(small, "pointer_arrow_small.png");
    const int largeArea = Count(large, kLitYellow);
    const int smallArea = Count(small, kLitYellow);
    EXPECT_GT(largeArea, smallArea * 9 / 5) << largeArea << " against " << smallArea;
    // A whole second later it is back to its size.
    EXPECT_EQ(PimSystem::RunFrames(59), 59u);
    EXPECT_NEAR(Count(Frame(), kLitYellow), smallArea, 3);
}
