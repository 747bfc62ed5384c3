// The voxel hand with its shader and the editor's cursor, drawn offscreen at known pixels.

#include "scene_fixture.h"

#include "tests/support/TempFolder.h"

#include "editing/EditTarget.h"
#include "editing/EditorPanel.h"
#include "editing/VoxelEditor.h"
#include "editing/VoxelHand.h"

#include "settings/GameSettings.h"

#include "engine/PimAssert.h"

#include <cstdlib>
#include <string>

namespace
{
bool Near(PimColor a, PimColor b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

void Keep(const PimTexture& frame, const char* name)
{
    if (const char* keep = std::getenv("QUILLOT_KEEP_FRAMES"))
        frame.Save(std::string(keep) + "/" + name);
}

class VoxelHandRender : public SceneRender
{
protected:
    void SetUp() override
    {
        SceneRender::SetUp();
        PimAssert::ResetFailureCount();
        settings = std::make_unique<GameSettings>(
            SettingsFolders::FromBases(temp.Wide(), temp.Wide() + L"/data", temp.Wide() + L"/Pictures"));
    }
    void TearDown() override
    {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
        SceneRender::TearDown();
    }
    TempFolder temp;
    std::unique_ptr<GameSettings> settings;
};

TEST_F(VoxelHandRender, TheHandShowsInItsColourLitByItsShader)
{
    const PimColor colour(200, 100, 40, 255);
    VoxelHand hand(*settings, false, colour);
    hand.RunUpdate(); // Initialize: shader and meshes
    hand.SetPose({0.0f, 0.0f, 0.0f}, PimMatrix4x4(), 0.0f, true);
    // The back wall of the claw (G to H, 0.1 x 0.1 at z = 0.05) seen from 0.15 ahead.
    camera().SetPosition({0.0f, 0.0f, 0.2f});
    camera().SetTarget({0.0f, 0.0f, 0.0f});
    camera().SetNearPlane(0.01f);
    const PimTexture frame = Render([&] { hand.RunDraw(); });
    Keep(frame, "voxel_hand.png");
    const PimColor centre = frame.GetColor(Width / 2, Height / 2);
    EXPECT_FALSE(Near(centre, Background, 10)) << "the hand covers the middle";
    // Lit between 0.5 and 1: the colour's proportions stay.
    EXPECT_GT(centre.r, 90);
    EXPECT_NEAR(centre.r / 2.0, centre.g, 6.0);
    EXPECT_NEAR(centre.r / 5.0, centre.b, 6.0);
    EXPECT_TRUE(Near(frame.GetColor(1, 1), Background, 2)) << "the corner shows the background";

    // Untracked: nothing drawn.
    hand.SetPose({0.0f, 0.0f, 0.0f}, PimMatrix4x4(), 0.0f, false);
    const PimTexture hidden = Render([&] { hand.RunDraw(); });
    EXPECT_TRUE(Near(hidden.GetColor(Width / 2, Height / 2), Background, 2));
}

TEST_F(VoxelHandRender, TheCursorCubeAndAxisCrossStandAtTheCell)
{
    EditTarget target;
    // A panel that shows nothing, so that only the cursor is drawn.
    struct BlankPanel final : EditorPanel
    {
        void Update() override {}
        void Draw() override {}
        std::uint32_t GetTool() const override { return 0; }
        std::uint16_t GetCurrentColour() const override { return 0xFF00; }
        bool TakesFrame() const override { return false; }
    } panel;
    VoxelEditor editor(*settings, target, panel);
    editor.ShowCursorAt({0.4f, 0.6f, 0.3f}, 1.0f);
    ASSERT_EQ(editor.GetCursorCell(), PimVector3(0, 0, 0));
    camera().SetPosition({0.5f, 0.5f, 4.0f});
    camera().SetTarget({0.5f, 0.5f, 0.0f});
    const PimTexture frame = Render([&] { editor.Draw(); });
    Keep(frame, "cursor.png");
    int red = 0, green = 0, cursor = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
        {
            const PimColor c = frame.GetColor(x, y);
            red += Near(c, {255, 0, 0, 255}, 40) && y >= Height / 2 - 2 && y <= Height / 2 + 1;
            green += Near(c, {0, 255, 0, 255}, 40) && x >= Width / 2 - 2 && x <= Width / 2 + 1;
            cursor += Near(c, {26, 128, 204, 255}, 40);
        }
    EXPECT_GT(red, Width / 2) << "the x axis crosses the middle row";
    EXPECT_GT(green, Height / 2) << "the y axis crosses the middle column";
    EXPECT_GT(cursor, 8) << "the cube's outline";
    // The cube's front face spans the cell: its top edge lies about 0.5 units above the middle.
    const int unit = static_cast<int>(Height / 2 / 3.0f);
    bool edge = false;
    for (int dy = -2; dy <= 2; ++dy)
        edge = edge || Near(frame.GetColor(Width / 2 + 1, Height / 2 - unit / 2 + dy), {26, 128, 204, 255}, 40);
    EXPECT_TRUE(edge) << "the cube's top edge above the cell's centre";
}
}
