#include "scene_fixture.h"

#include "world/VoxelCube.h"

#include "engine/PimAssert.h"
#include "engine/PimDrawContext.h"
#include "engine/VoxelCodeTable.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace
{
bool Near(PimColor a, PimColor b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

std::string Describe(PimColor c)
{
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}

// The cubes' light on a face of an axis: 0.6 everywhere, up to 1 facing the light
// (1, 1, 1) / sqrt 3, times the axis's shade (x 0.9, y 1, z 0.8).
float LightOn(const PimVector3& normal)
{
    const float facing = std::max(normal.Dot(PimVector3(1.0f, 1.0f, 1.0f).Normalized()), 0.0f);
    const float shade = std::fabs(normal.x) * 0.9f + std::fabs(normal.y) + std::fabs(normal.z) * 0.8f;
    return (0.6f + 0.4f * facing) * shade;
}

PimColor Scaled(PimColor c, float factor)
{
    return PimColor::FromFloat3(c.r / 255.0f * factor, c.g / 255.0f * factor, c.b / 255.0f * factor);
}
} // namespace

// A cube of side 3 at the origin, seen by the fixture's camera at (0, 0, 4): its +z face at
// z = 1.5 covers about 29 x 29 pixels around the centre (32, 24).
class VoxelCubeRender : public SceneRender
{
protected:
    void SetUp() override
    {
        SceneRender::SetUp();
        PimAssert::ResetFailureCount();
        cube.SetTransform(PimMatrix4x4::CreateScale(3.0f));
    }

    void TearDown() override
    {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
        SceneRender::TearDown();
    }

    PimTexture Frame()
    {
        PimTexture frame = Render([&] { cube.Draw(); });
        return frame;
    }

    void Keep(const PimTexture& frame, const char* name)
    {
        if (const char* keep = std::getenv("QUILLOT_KEEP_FRAMES"))
            frame.Save(std::string(keep) + "/" + name);
    }

    VoxelCube cube;
};

TEST_F(VoxelCubeRender, HelperCubeShowsItsColourLitByTheSharedLight)
{
    const PimColor colour(200, 100, 50);
    cube.Build(VoxelCode::HelperCube, colour);
    const PimTexture frame = Frame();
    Keep(frame, "voxel_cube_helper.png");
    // The plain tile is near white (3 % grain), so the face is the colour, lit.
    const PimColor expected = Scaled(colour, LightOn({0.0f, 0.0f, 1.0f}));
    for (const auto& [x, y] : {std::pair{32, 24}, {22, 14}, {42, 34}})
        EXPECT_TRUE(Near(frame.GetColor(x, y), expected, 8)) << x << ", " << y << ": " << Describe(frame.GetColor(x, y));
    EXPECT_EQ(frame.GetColor(32, 4), Background);
    EXPECT_EQ(frame.GetColor(10, 24), Background);

    // Seen from above, right and front, the three faces the light falls on alike stay apart: the
    // top brightest, then the right, then the front.
    camera().SetPosition({4.0f, 4.0f, 4.0f});
    const PimTexture corner = Frame();
    Keep(corner, "voxel_cube_corner.png");
    const PimColor top = corner.GetColor(32, 19);
    const PimColor right = corner.GetColor(36, 26);
    const PimColor front = corner.GetColor(28, 26);
    EXPECT_TRUE(Near(top, Scaled(colour, LightOn({0.0f, 1.0f, 0.0f})), 8)) << Describe(top);
    EXPECT_TRUE(Near(right, Scaled(colour, LightOn({1.0f, 0.0f, 0.0f})), 8)) << Describe(right);
    EXPECT_TRUE(Near(front, Scaled(colour, LightOn({0.0f, 0.0f, 1.0f})), 8)) << Describe(front);

    // Rebuilt black, the same cube turns black: the old buffers were replaced.
    cube.Build(VoxelCode::HelperCube, PimColor(0, 0, 0));
    camera().SetPosition({0.0f, 0.0f, 4.0f});
    EXPECT_TRUE(Near(Frame().GetColor(32, 24), PimColor(0, 0, 0), 2));
}

TEST_F(VoxelCubeRender, TexturedSideStandsUprightWithItsAtlasTile)
{
    cube.Build(VoxelCode::Turf, PimColor(255, 255, 255));
    const PimTexture frame = Frame();
    Keep(frame, "voxel_cube_turf.png");
    // The face spans rows 10 to 38: a grass fringe along its top, earth below.
    for (int x = 22; x < 43; x += 4)
    {
        const PimColor top = frame.GetColor(x, 12);
        const PimColor bottom = frame.GetColor(x, 34);
        EXPECT_GT(top.g, top.r + 20) << x << ": " << Describe(top);
        EXPECT_GT(bottom.r, bottom.g + 10) << x << ": " << Describe(bottom);
    }
}

TEST_F(VoxelCubeRender, NeverBuiltCubeDrawsNothingButSetsItsUniforms)
{
    cube.SetPosition({1.0f, 2.0f, -3.0f});
    GLint program = 0;
    std::array<float, 16> mvp{};
    std::array<float, 4> light{};
    GLint objectForm = 0;
    PimMatrix4x4 expected;
    const PimTexture frame = Render([&] {
        cube.Draw();
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        if (program == 0)
            return;
        const GLuint p = static_cast<GLuint>(program);
        glGetUniformfv(p, glGetUniformLocation(p, "MVP"), mvp.data());
        glGetUniformfv(p, glGetUniformLocation(p, "LightDirection"), light.data());
        glGetUniformiv(p, glGetUniformLocation(p, "ObjectVertices"), &objectForm);
        expected = PimDrawContext::GetViewProjection() * PimMatrix4x4::CreateTranslation({1.0f, 2.0f, -3.0f})
                   * PimMatrix4x4::CreateScale(3.0f);
    });
    ASSERT_NE(program, 0);
    const std::array<float, 16> wanted = expected.GetFloppedMatrixDataArray();
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(mvp[i], wanted[i], 1e-5f) << i;
    EXPECT_FLOAT_EQ(light[0], 0.707f);
    EXPECT_FLOAT_EQ(light[3], 1.0f);
    EXPECT_EQ(objectForm, 1);
    for (int y = 0; y < Height; y += 3)
        for (int x = 0; x < Width; x += 3)
            ASSERT_EQ(frame.GetColor(x, y), Background) << x << ", " << y;
}

TEST_F(VoxelCubeRender, AllNegativeFaceCodesShowTheCubeFromInside)
{
    // With back faces culled, an inside-out cube shows its far face through the near one: the
    // -z face, which the light does not reach, and which is farther away, so it looks smaller.
    VoxelCodeTable table;
    const auto frameTiles = [](std::int16_t tile) {
        VoxelData data = VoxelData::Uniform(VoxelTile::Frame, VoxelCollision::Solid);
        data.faceTextures.fill(tile);
        return data;
    };
    ASSERT_TRUE(table.Define(4000, frameTiles(VoxelTile::Frame)));
    ASSERT_TRUE(table.Define(4001, frameTiles(-static_cast<std::int16_t>(VoxelTile::Frame))));
    const PimColor white(255, 255, 255);
    cube.Build(4000, white, table);
    const PimTexture outside = Frame();
    cube.Build(4001, white, table);
    const PimTexture inside = Frame();
    Keep(outside, "voxel_cube_frame_outside.png");
    Keep(inside, "voxel_cube_frame_inside_out.png");

    // The frame tile's light middle, lit 0.83 on the near face and 0.6 on the far one.
    const PimColor near = outside.GetColor(32, 24);
    const PimColor far = inside.GetColor(32, 24);
    const float ratio = LightOn({0.0f, 0.0f, -1.0f}) / LightOn({0.0f, 0.0f, 1.0f});
    EXPECT_TRUE(Near(far, Scaled(near, ratio), 6)) << Describe(far) << " against " << Describe(near);
    // The far face, 5.5 units away, covers only columns 26 to 38; around it the inner walls show,
    // within the outline of the (culled) near face.
    EXPECT_NE(inside.GetColor(21, 24), Background);
    EXPECT_NE(inside.GetColor(21, 24), outside.GetColor(21, 24));
    EXPECT_EQ(inside.GetColor(16, 24), Background);
}

TEST_F(VoxelCubeRender, LeavesBlendingAndAttributesAsItFoundThem)
{
    // Cubes are drawn between chunks, meshes and text, which expect the state they set up.
    cube.Build(VoxelCode::HelperCube, PimColor(255, 0, 0));
    GLint blendOn = -1;
    GLint attributeLeft = 0;
    Render([&] {
        glDisable(GL_BLEND);
        cube.Draw();
        blendOn = glIsEnabled(GL_BLEND);
        GLint count = 0;
        glGetIntegerv(GL_MAX_VERTEX_ATTRIBS, &count);
        for (GLint i = 0; i < count; ++i)
        {
            GLint on = 0;
            glGetVertexAttribiv(static_cast<GLuint>(i), GL_VERTEX_ATTRIB_ARRAY_ENABLED, &on);
            attributeLeft += on;
        }
    });
    EXPECT_EQ(blendOn, GL_FALSE);
    EXPECT_EQ(attributeLeft, 0);
}
