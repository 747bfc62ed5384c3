#include "scene_fixture.h"

#include "world/WorldMesh.h"
#include "world/WorldSetup.h"

#include "engine/PimAssert.h"
#include "engine/PimContentFolder.h"

#include <cstdlib>
#include <string>

namespace
{
bool Near(PimColor a, PimColor b, int tolerance = 3)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

std::string Describe(PimColor c)
{
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}

int Brightness(PimColor c)
{
    return c.r + c.g + c.b;
}
} // namespace

// The camera looks straight down with -z at the top of the picture, so screen right is +x.
// From height h with the fixture's 90 degree field of view, the 48 pixel high picture spans 2h
// units of ground.
class WorldMeshRender : public SceneRender
{
protected:
    void SetUp() override
    {
        SceneRender::SetUp();
        PimAssert::ResetFailureCount();
        setup.GetPreviewPicture(1).Create(2, 2, PimColor(255, 0, 0));
    }

    void TearDown() override
    {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
        SceneRender::TearDown();
    }

    void LookDownFrom(float x, float height, float z)
    {
        camera().SetUp({0.0f, 0.0f, -1.0f});
        camera().SetPosition({x, height, z});
        camera().SetTarget({x, 0.0f, z});
    }

    PimTexture Frame()
    {
        return Render([&] { mesh.Draw(); });
    }

    void Keep(const PimTexture& frame, const char* name)
    {
        if (const char* keep = std::getenv("QUILLOT_KEEP_FRAMES"))
            frame.Save(std::string(keep) + "/" + name);
    }

    WorldSetup setup{7};
    WorldMesh mesh{&setup};
};

TEST_F(WorldMeshRender, FadesWithHeightAndIsGoneFrom64Up)
{
    LookDownFrom(0.5f, 32.0f, 0.5f);
    PimTexture frame = Frame();
    EXPECT_FLOAT_EQ(mesh.GetFade(), 0.5f);
    // Half the preview's red over the blue background.
    EXPECT_TRUE(Near(frame.GetColor(32, 24), PimColor(128, 0, 127), 2)) << Describe(frame.GetColor(32, 24));

    LookDownFrom(0.5f, 16.0f, 0.5f);
    EXPECT_TRUE(Near(Frame().GetColor(32, 24), PimColor(191, 0, 64), 2));

    for (const float height : {64.0f, 80.0f})
    {
        LookDownFrom(0.5f, height, 0.5f);
        frame = Frame();
        EXPECT_LE(mesh.GetFade(), 0.0f);
        for (int y = 0; y < Height; y += 4)
            for (int x = 0; x < Width; x += 4)
                ASSERT_EQ(frame.GetColor(x, y), Background) << height << ": " << x << ", " << y;
    }
    LookDownFrom(0.5f, 60.0f, 0.5f);
    EXPECT_NE(Frame().GetColor(32, 24), Background);
}

TEST_F(WorldMeshRender, OwnGridLinesLieOnVoxelEdges)
{
    mesh.SetUseOwnTexture(true);
    // From height 0.25 one voxel is 96 pixels and the centre shows (0.1, 0.1): the edge x = 0
    // runs down column 22, the edge z = 0 along row 14.
    LookDownFrom(0.1f, 0.25f, 0.1f);
    const PimTexture frame = Frame();
    Keep(frame, "ground_grid_close.png");
    const PimColor cell = frame.GetColor(44, 36);
    for (const auto& [x, y] : {std::pair{22, 30}, {22, 40}, {40, 14}, {55, 14}, {22, 14}})
        EXPECT_GT(Brightness(frame.GetColor(x, y)), Brightness(cell) + 200)
            << x << ", " << y << ": " << Describe(frame.GetColor(x, y)) << " against " << Describe(cell);
    // Inside a cell the floor is a dark see-through tint over the background.
    EXPECT_NE(cell, Background);
    EXPECT_LT(Brightness(cell), 250);

    // Seen standing on it, the grid reaches to the horizon and fades out before it.
    camera().SetUp({0.0f, 1.0f, 0.0f});
    camera().SetPosition({0.5f, 1.7f, 2.0f});
    camera().SetTarget({0.5f, 0.0f, -4.0f});
    const PimTexture standing = Frame();
    Keep(standing, "ground_grid_standing.png");
    EXPECT_NE(standing.GetColor(32, 44), Background);
}

TEST_F(WorldMeshRender, WithoutAPreviewPictureTheGridStandsIn)
{
    LookDownFrom(0.1f, 0.25f, 0.1f);
    const PimColor preview = Frame().GetColor(22, 30);
    EXPECT_TRUE(Near(preview, PimColor(255, 0, 0), 4)) << Describe(preview);
    setup.GetPreviewPicture(1).Clear();
    const PimColor line = Frame().GetColor(22, 30);
    EXPECT_GT(Brightness(line), 450) << Describe(line);
    mesh.SetWorldSetup(nullptr);
    EXPECT_EQ(Frame().GetColor(22, 30), line);
}

TEST_F(WorldMeshRender, StaysFixedToTheWorldWhileItFollowsTheViewer)
{
    mesh.SetUseOwnTexture(true);
    LookDownFrom(10.9f, 3.0f, 0.5f);
    const PimTexture before = Frame();
    const PimVector3 anchor = mesh.GetModelMatrix().GetTranslation();
    LookDownFrom(11.2f, 3.0f, 0.5f);
    const PimTexture shifted = Frame();
    EXPECT_EQ(mesh.GetModelMatrix().GetTranslation() - anchor, PimVector3(1.0f, 0.0f, 0.0f));
    LookDownFrom(11.9f, 3.0f, 0.5f);
    const PimTexture whole = Frame();

    // A whole voxel further the view is the same again; three tenths further it is not.
    int differing = 0;
    int moved = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
        {
            differing += !Near(before.GetColor(x, y), whole.GetColor(x, y), 6);
            moved += !Near(before.GetColor(x, y), shifted.GetColor(x, y), 6);
        }
    EXPECT_LE(differing, 8);
    EXPECT_GT(moved, 100);
}

TEST_F(WorldMeshRender, UploadEmptiesTheListsAndARebuildIsDrawnAgain)
{
    LookDownFrom(0.5f, 10.0f, 0.5f);
    mesh.Initialize();
    EXPECT_FALSE(mesh.IsDirty());
    EXPECT_TRUE(mesh.GetVertices().empty());
    const PimColor first = Frame().GetColor(32, 24);
    EXPECT_NE(first, Background);

    mesh.Rebuild();
    EXPECT_EQ(Frame().GetColor(32, 24), first);
    EXPECT_FALSE(mesh.IsDirty());

    // Released early, it comes back at the next draw.
    mesh.DeInitialize();
    EXPECT_EQ(Frame().GetColor(32, 24), first);
}

TEST(ModelGridPicture, IsMadeWithItsLinesCrossingInTheMiddleAndTilesWithoutSeams)
{
    PimTexture grid;
    ASSERT_TRUE(grid.Load(PimContentFolder::Resolve("Graphics/Textures/modelgrid.png").string())) << grid.GetLoadError();
    const int side = grid.GetWidth();
    ASSERT_EQ(grid.GetHeight(), side);
    ASSERT_EQ(side % 2, 0);
    // The lines run through the middle, bright and nearly opaque; the cells are dark and see-through.
    const PimColor line = grid.GetColor(side / 2, side / 4);
    const PimColor cell = grid.GetColor(side / 4, side / 4);
    EXPECT_GT(line.a, 200);
    EXPECT_LT(cell.a, 160);
    EXPECT_GT(Brightness(line), Brightness(cell) + 300);
    EXPECT_EQ(grid.GetColor(side / 2, side / 4), grid.GetColor(side / 4, side / 2));
    // Repeated side by side, the picture meets itself as it does across its middle: each edge
    // column matches the one on the other side, so no seam shows between voxels.
    for (int i = 0; i < side; ++i)
    {
        ASSERT_EQ(grid.GetColor(0, i), grid.GetColor(side - 1, i)) << i;
        ASSERT_EQ(grid.GetColor(i, 0), grid.GetColor(i, side - 1)) << i;
    }
}
