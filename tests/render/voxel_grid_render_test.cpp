#include "scene_fixture.h"

#include "editing/Clipboard.h"

#include "engine/PimAssert.h"
#include "engine/PimContentFolder.h"
#include "engine/PimDrawStats.h"
#include "engine/PimVector4.h"
#include "engine/PimVoxelGrid.h"
#include "engine/VoxelCodeTable.h"

#include <cstdlib>
#include <string>
#include <thread>

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

std::string ShaderPath(const char* name)
{
    return PimContentFolder::Resolve(std::string("Graphics/Shaders/") + name).string();
}

std::uint16_t ColourCode(std::uint8_t index)
{
    return static_cast<std::uint16_t>(VoxelCode::FirstColour + index);
}
}

// The chunk spans x and y from -16 to 16 and z from -32 to 0, so its +z faces at z = 0 are seen
// square-on by the fixture's camera at (0, 0, 4): one voxel is 6 pixels, and the voxels 14 to 17
// in x and y cover the 24 x 24 pixels around the centre (32, 24). The light shines straight
// along -z, so the faces the camera sees are fully lit.
class VoxelGridRender : public SceneRender
{
protected:
    void SetUp() override
    {
        SceneRender::SetUp();
        PimAssert::ResetFailureCount();
        ASSERT_TRUE(PimVoxelGrid::StaticInitialize(ShaderPath("voxelShader.vs"), ShaderPath("voxelShader.ps"),
                                                   ShaderPath("voxelShaderCellBack.vs"),
                                                   ShaderPath("voxelShaderCellBack.ps")));
        PimVoxelGrid::SetLightDirection(PimVector4(0.0f, 0.0f, -1.0f, 1.0f));
        chunk.SetLocation({-16.0f, -16.0f, -32.0f});
        chunk.Initialize();
    }

    void TearDown() override
    {
        chunk.DeInitialize();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
        SceneRender::TearDown();
    }

    void FillBlock(std::uint16_t code, int z)
    {
        for (int y = 14; y < 18; ++y)
            for (int x = 14; x < 18; ++x)
                chunk.SetVoxel(code, x, y, z, false, false);
    }

    void BuildAndLoad()
    {
        chunk.BuildGrid();
        ASSERT_TRUE(chunk.GLLoad());
    }

    PimTexture Frame()
    {
        return Render([&] { chunk.Draw(); });
    }

    PimVoxelGrid chunk;
};

TEST_F(VoxelGridRender, ColourVoxelShowsItsTableColourLitAndFollowsRedefinitionsWithoutRebuild)
{
    PimVoxelGrid::SetColorDefinition(200, PimColor(200, 120, 40), false);
    FillBlock(ColourCode(200), 31);
    BuildAndLoad();
    EXPECT_GE(chunk.GetUploadedQuadCount(), 6u);

    PimTexture frame = Frame();
    EXPECT_TRUE(Near(frame.GetColor(32, 24), PimColor(200, 120, 40))) << Describe(frame.GetColor(32, 24));
    EXPECT_TRUE(Near(frame.GetColor(21, 13), PimColor(200, 120, 40)));  // corners of the 24 x 24 square
    EXPECT_TRUE(Near(frame.GetColor(43, 35), PimColor(200, 120, 40)));
    EXPECT_EQ(frame.GetColor(19, 24), Background);
    EXPECT_EQ(frame.GetColor(32, 10), Background);

    // A new definition shows at the next draw; nothing was built or uploaded in between.
    PimVoxelGrid::SetColorDefinition(200, PimColor(30, 220, 90), false);
    EXPECT_FALSE(chunk.GLLoad());
    frame = Frame();
    EXPECT_TRUE(Near(frame.GetColor(32, 24), PimColor(30, 220, 90))) << Describe(frame.GetColor(32, 24));

    // Light from behind the face leaves the ambient part; intensity 0 the same from any side.
    PimVoxelGrid::SetLightDirection(PimVector4(0.0f, 0.0f, 1.0f, 1.0f));
    const PimColor shaded = Frame().GetColor(32, 24);
    PimVoxelGrid::SetLightDirection(PimVector4(0.0f, 0.0f, -2.0f, 0.0f));
    EXPECT_EQ(Frame().GetColor(32, 24), shaded);
    EXPECT_TRUE(Near(shaded, PimColor(14, 99, 41), 3)) << Describe(shaded);

    // Far away everything fades into the fog colour.
    PimVoxelGrid::SetLightDirection(PimVector4(0.0f, 0.0f, -1.0f, 1.0f));
    PimVoxelGrid::SetFogRange(0.5f, 1.0f);
    const PimColor fogged = Frame().GetColor(32, 24);
    PimVoxelGrid::SetFogRange(192.0f, 448.0f);
    const PimColor fog = PimVoxelGrid::fogColor;
    EXPECT_TRUE(Near(fogged, fog, 2)) << Describe(fogged);
}

TEST_F(VoxelGridRender, SpecialChunksReadTheSpecialTable)
{
    PimVoxelGrid::SetColorDefinition(201, PimColor(250, 10, 10), false);
    PimVoxelGrid::SetColorDefinition(201, PimColor(10, 10, 250), true);
    FillBlock(ColourCode(201), 31);
    BuildAndLoad();
    EXPECT_TRUE(Near(Frame().GetColor(32, 24), PimColor(250, 10, 10)));
    chunk.UseSpecialColors(true);
    EXPECT_TRUE(Near(Frame().GetColor(32, 24), PimColor(10, 10, 250)));
    chunk.UseSpecialColors(false);
    EXPECT_TRUE(Near(Frame().GetColor(32, 24), PimColor(250, 10, 10)));
}

TEST_F(VoxelGridRender, WaterOverGroundShowsTheGroundTintedBlue)
{
    PimTexture atlas;
    ASSERT_TRUE(atlas.Load(PimContentFolder::Resolve("Graphics/Textures/VoxelTexturesTop1.png").string()))
        << atlas.GetLoadError();
    atlas.SetFilter(PimTextureFilter::Nearest);
    chunk.LoadTextures(atlas);
    PimVoxelGrid::SetColorDefinition(202, PimColor(255, 0, 0), false);
    FillBlock(ColourCode(202), 30);
    FillBlock(VoxelCode::Water, 31);
    BuildAndLoad();
    EXPECT_GT(chunk.GetUploadedQuadCount(), chunk.GetUploadedOpaqueQuadCount());

    const PimTexture frame = Frame();
    const PimColor seen = frame.GetColor(32, 24);
    EXPECT_GT(seen.r, 50) << Describe(seen);  // the red ground shows through...
    EXPECT_LT(seen.r, 200) << Describe(seen); // ...darkened by the water...
    EXPECT_GT(seen.b, 80) << Describe(seen);  // ...and tinted blue
    if (const char* keep = std::getenv("QUILLOT_KEEP_FRAMES"))
        frame.Save(std::string(keep) + "/voxel_water_over_ground.png");
    EXPECT_EQ(PimDrawStats::GetLastFrameDrawCalls(), 3u) << "opaque faces, the water's back sides, its front sides";

    // Without the water the ground is plain red.
    FillBlock(VoxelCode::Empty, 31);
    BuildAndLoad();
    EXPECT_TRUE(Near(Frame().GetColor(32, 24), PimColor(255, 0, 0)));
    EXPECT_EQ(PimDrawStats::GetLastFrameDrawCalls(), 1u);
}

TEST_F(VoxelGridRender, TexturedSidesStandUprightWithTheirTileFromTheAtlas)
{
    // One turf voxel, scaled to 4 units and centred on the view: its +z side is the earth tile
    // with the grass fringe along its top edge, 24 x 24 pixels from (20, 12).
    PimTexture atlas;
    ASSERT_TRUE(atlas.Load(PimContentFolder::Resolve("Graphics/Textures/VoxelTexturesTop1.png").string()));
    atlas.SetFilter(PimTextureFilter::Nearest);
    chunk.LoadTextures(std::make_shared<const PimTexture>(atlas));
    chunk.SetScale(4.0f);
    chunk.SetLocation({-66.0f, -66.0f, -128.0f});
    chunk.SetVoxel(VoxelCode::Turf, 16, 16, 31, false, false);
    BuildAndLoad();
    const PimTexture frame = Frame();
    if (const char* keep = std::getenv("QUILLOT_KEEP_FRAMES"))
        frame.Save(std::string(keep) + "/voxel_turf_side.png");
    for (int x = 21; x < 44; x += 4)
    {
        const PimColor top = frame.GetColor(x, 12);
        const PimColor bottom = frame.GetColor(x, 33);
        EXPECT_GT(top.g, top.r + 30) << x << ": " << Describe(top);          // grass
        EXPECT_GT(bottom.r, bottom.g + 15) << x << ": " << Describe(bottom); // earth
    }
    EXPECT_EQ(frame.GetColor(19, 24), Background);
    EXPECT_EQ(frame.GetColor(44, 24), Background);
}

TEST_F(VoxelGridRender, EmptyMeshesDrawNothingAndReplaceWhatWasDrawn)
{
    BuildAndLoad(); // an empty first build is handed over after Initialize
    EXPECT_EQ(chunk.GetUploadedQuadCount(), 0u);
    PimTexture frame = Frame();
    EXPECT_EQ(frame.GetColor(32, 24), Background);
    EXPECT_EQ(PimDrawStats::GetLastFrameDrawCalls(), 0u);

    FillBlock(ColourCode(203), 31);
    BuildAndLoad();
    FillBlock(VoxelCode::Empty, 31);
    BuildAndLoad();
    frame = Frame();
    for (int y = 0; y < Height; y += 3)
        for (int x = 0; x < Width; x += 3)
            ASSERT_EQ(frame.GetColor(x, y), Background) << x << ", " << y;
}

TEST_F(VoxelGridRender, MeshesAboveOneIndexBatchDrawEveryBatch)
{
    // A checkerboard of single voxels: no faces merge, 6 quads for each of 16384 voxels. Odd
    // layers take one colour, even layers another, so the front layer shows both: odd z = 31
    // voxels and, through the holes between them, the even layer behind.
    PimVoxelGrid::SetColorDefinition(204, PimColor(240, 240, 0), false);
    PimVoxelGrid::SetColorDefinition(205, PimColor(0, 200, 200), false);
    for (int z = 0; z < 32; ++z)
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if ((x + y + z) % 2 == 1)
                    chunk.SetVoxel(ColourCode(z % 2 == 1 ? 204 : 205), x, y, z, false, false);
    BuildAndLoad();
    ASSERT_GT(chunk.GetUploadedQuadCount(), 4 * VoxelMesh::kQuadsPerBatch);

    const PimTexture frame = Frame();
    if (const char* keep = std::getenv("QUILLOT_KEEP_FRAMES"))
        frame.Save(std::string(keep) + "/voxel_checkerboard.png");
    const std::uint32_t batches = (chunk.GetUploadedQuadCount() + VoxelMesh::kQuadsPerBatch - 1) / VoxelMesh::kQuadsPerBatch;
    EXPECT_EQ(PimDrawStats::GetLastFrameDrawCalls(), batches) << "one draw call per index batch";
    // Voxel (16 + i, 16 + j) of the front layer is centred on pixel (35 + 6i, 21 - 6j). Front
    // voxels are checked across the view; holes only near the centre, since farther out the
    // slanted view into a hole meets the side of a front voxel.
    for (int j = -3; j <= 2; ++j)
        for (int i = -5; i <= 4; ++i)
        {
            const bool front = ((16 + i) + (16 + j) + 31) % 2 == 1;
            const bool central = i >= -2 && i <= 1 && j >= -2 && j <= 1;
            if (!front && !central)
                continue;
            const PimColor expected = front ? PimColor(240, 240, 0) : PimColor(0, 200, 200);
            const PimColor seen = frame.GetColor(35 + 6 * i, 21 - 6 * j);
            EXPECT_TRUE(Near(seen, expected)) << i << ", " << j << ": " << Describe(seen);
        }

    // The mesh holds the faces side by side in VoxelFace order, so the -z faces lie in the second
    // batch and the +y faces in the fifth: from those sides the chunk must fill the view as well,
    // showing both layer colours in the middle.
    const struct
    {
        PimVector3 eye;
        PimVector3 target;
        PimVector4 light; // along the view, so the faces seen are fully lit
    } views[] = {{{0.0f, 0.0f, -36.0f}, {0.0f, 0.0f, -32.0f}, {0.0f, 0.0f, 1.0f, 1.0f}},
                 {{0.0f, 20.0f, -16.0f}, {0.0f, 16.0f, -16.0f}, {0.0f, -1.0f, 0.0f, 1.0f}}};
    for (const auto& view : views)
    {
        camera().SetPosition(view.eye);
        camera().SetTarget(view.target);
        PimVoxelGrid::SetLightDirection(view.light);
        const PimTexture side = Frame();
        int yellow = 0;
        int cyan = 0;
        int background = 0;
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
            {
                const PimColor seen = side.GetColor(x, y);
                background += seen == Background;
                const bool middle = std::abs(x - 32) < 12 && std::abs(y - 24) < 12;
                yellow += middle && Near(seen, PimColor(240, 240, 0), 40);
                cyan += middle && Near(seen, PimColor(0, 200, 200), 40);
            }
        EXPECT_EQ(background, 0) << view.eye.y;
        EXPECT_GT(yellow, 100) << view.eye.y;
        EXPECT_GT(cyan, 100) << view.eye.y;
    }
}

TEST_F(VoxelGridRender, DeInitializeFreesTheBufferOnEitherThread)
{
    FillBlock(ColourCode(206), 31);
    BuildAndLoad();
    chunk.DeInitialize();
    EXPECT_EQ(chunk.GetUploadedQuadCount(), 0u);
    EXPECT_EQ(Frame().GetColor(32, 24), Background);

    // From the worker the buffer is queued and deleted by the next main-thread draw.
    chunk.Initialize();
    FillBlock(ColourCode(206), 31);
    BuildAndLoad();
    std::thread worker([this] { chunk.DeInitialize(); });
    worker.join();
    EXPECT_EQ(chunk.GetUploadedQuadCount(), 0u);
    EXPECT_EQ(Frame().GetColor(32, 24), Background);

    // A pooled chunk is used again as a new one.
    chunk.Initialize();
    PimVoxelGrid::SetColorDefinition(206, PimColor(90, 90, 250), false);
    FillBlock(ColourCode(206), 31);
    BuildAndLoad();
    EXPECT_TRUE(Near(Frame().GetColor(32, 24), PimColor(90, 90, 250)));
}

TEST_F(VoxelGridRender, MissingShadersAreReportedAndChunksThenDrawNothing)
{
    FillBlock(ColourCode(207), 31);
    BuildAndLoad();
    EXPECT_FALSE(PimVoxelGrid::StaticInitialize("no/such.vs", "no/such.ps", ShaderPath("voxelShaderCellBack.vs"),
                                                ShaderPath("voxelShaderCellBack.ps")));
    EXPECT_FALSE(PimVoxelGrid::IsStaticInitialized());
    EXPECT_GE(PimAssert::GetFailureCount(), 1u);
    EXPECT_EQ(Frame().GetColor(32, 24), Background);
    PimAssert::ResetFailureCount();
}

// A held clipboard draws its content as the world's chunks do, with the world's colour table.
TEST_F(VoxelGridRender, AHeldClipboardDrawsItsColoursFromTheWorldsTable)
{
    PimVoxelGrid::SetColorDefinition(202, PimColor(250, 10, 10), false);
    PimVoxelGrid::SetColorDefinition(202, PimColor(30, 200, 60), true);
    std::recursive_mutex mutex;
    Clipboard clipboard(mutex);
    // The same 4 x 4 block as the chunk's, its +z face at z = 0.
    ASSERT_TRUE(clipboard.Hold(VoxelBox(4, 4, 1, ColourCode(202)), {-2.0f, -2.0f, -1.0f}));
    while (!clipboard.IsMeshed())
        clipboard.Update();
    const PimTexture frame = Render([&] { clipboard.Draw(); });
    EXPECT_TRUE(Near(frame.GetColor(32, 24), PimColor(30, 200, 60))) << Describe(frame.GetColor(32, 24));
    EXPECT_EQ(frame.GetColor(32, 10), Background);
}
