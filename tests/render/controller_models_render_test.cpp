#include "scene_fixture.h"

#include "world/ControllerModels.h"

#include "engine/PimAssert.h"

#include <cstdlib>
#include <string>

namespace
{
bool IsGrey(PimColor c)
{
    return c.r == c.g && c.g == c.b && c.r > 20;
}
} // namespace

// A controller held at the origin, seen from its right, a little above and behind.
class ControllerModelsRender : public SceneRender
{
protected:
    void SetUp() override
    {
        SceneRender::SetUp();
        PimAssert::ResetFailureCount();
        camera().SetNearPlane(0.01f);
        camera().SetFieldOfView(PimAngle::FromDegrees(40.0f));
        camera().SetPosition({0.26f, 0.06f, 0.12f});
        camera().SetTarget({0.0f, -0.02f, -0.01f});
    }

    void TearDown() override
    {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
        SceneRender::TearDown();
    }

    // Pixels of the controller's shades of grey, and of its black trigger.
    void CountShades(const PimTexture& frame, int& grey, int& black)
    {
        grey = 0;
        black = 0;
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
            {
                const PimColor c = frame.GetColor(x, y);
                grey += IsGrey(c);
                black += c.r < 8 && c.g < 8 && c.b < 8;
            }
    }
};

TEST_F(ControllerModelsRender, DrawsAGreyBodyWithABlackTriggerUnlessHidden)
{
    ControllerModels models;
    PimTexture frame = Render([&] { models.Draw(2, {0.0f, 0.0f, 0.0f}, PimMatrix4x4(), 0.0f); });
    if (const char* keep = std::getenv("QUILLOT_KEEP_FRAMES"))
        frame.Save(std::string(keep) + "/controller_model.png");
    int grey = 0;
    int black = 0;
    CountShades(frame, grey, black);
    EXPECT_GT(grey, 300);
    EXPECT_GT(black, 5);

    models.hiddenHands = ControllerModels::HandBit(2);
    frame = Render([&] { models.Draw(2, {0.0f, 0.0f, 0.0f}, PimMatrix4x4(), 0.0f); });
    CountShades(frame, grey, black);
    EXPECT_EQ(grey + black, 0);
}
