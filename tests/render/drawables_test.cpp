#include "scene_fixture.h"

#include "engine/PimAssert.h"
#include "engine/PimContentFolder.h"
#include "engine/PimGraphicsLine.h"
#include "engine/PimImageQuad.h"
#include "engine/PimRenderableMesh.h"
#include "engine/PimShader.h"
#include "engine/PimSprite.h"

#include "../support/temp_folder.h"

namespace
{
const PimColor Red(255, 0, 0);
const PimColor Green(0, 255, 0);
const PimColor Yellow(255, 255, 0);

bool Near(PimColor a, PimColor b, int tolerance = 3)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

// Pixels of the colour inside the rectangle [x0, x1) x [y0, y1).
int Count(const PimTexture& frame, PimColor colour, int x0, int y0, int x1, int y1)
{
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            count += Near(frame.GetColor(x, y), colour);
    return count;
}
}

TEST_F(SceneRender, ImageQuadShowsItsPictureUprightTintedAndFromBothSides)
{
    PimImageQuad quad;
    quad.SetTexture(std::make_shared<PimTexture>(Bands({Red, Green})));
    quad.SetScale(3.0f);  // 3 x 3 units: 18 x 18 pixels around the centre (32, 24)
    PimTexture frame = Render([&] { quad.Draw(); });
    EXPECT_EQ(frame.GetColor(32, 18), Red);
    EXPECT_EQ(frame.GetColor(32, 29), Green);
    EXPECT_EQ(frame.GetColor(23, 16), Red);    // the corners of the 18 x 18 square
    EXPECT_EQ(frame.GetColor(40, 32), Green);
    EXPECT_EQ(frame.GetColor(22, 16), Background);
    EXPECT_EQ(frame.GetColor(32, 14), Background);

    // Half see-through white over blue.
    quad.SetColor(PimColor(255, 255, 255, 128));
    frame = Render([&] { quad.Draw(); });
    EXPECT_TRUE(Near(frame.GetColor(32, 18), PimColor(128, 0, 127), 2)) << int(frame.GetColor(32, 18).b);

    // From behind, the picture is seen mirrored but still upright.
    quad.SetColor(PimColor(255, 255, 255, 255));
    camera().SetPosition({0.0f, 0.0f, -4.0f});
    frame = Render([&] { quad.Draw(); });
    EXPECT_EQ(frame.GetColor(32, 18), Red);
    EXPECT_EQ(frame.GetColor(32, 29), Green);

    // Pitch 90 lays it flat with the picture's top turned to +z: seen from above with -z up the
    // screen, the picture's top is at the bottom.
    quad.SetOrientation(PimVector3(0.0f, 90.0f, 0.0f));
    quad.SetLocation({0.0f, -1.0f, 0.0f});
    camera().SetPosition({0.0f, 3.0f, 0.0f});
    camera().SetUp({0.0f, 0.0f, -1.0f});
    camera().SetTarget({0.0f, -1.0f, 0.0f});
    frame = Render([&] { quad.Draw(); });
    EXPECT_EQ(frame.GetColor(32, 18), Green);
    EXPECT_EQ(frame.GetColor(32, 29), Red);
}

TEST_F(SceneRender, ImageQuadSizeFollowsThePictureShapeUnlessSet)
{
    PimImageQuad quad;
    PimTexture wide;
    wide.Create(4, 2, Red);
    quad.SetTexture(std::make_shared<PimTexture>(wide));
    EXPECT_EQ(quad.GetSize(), PimVector2(1.0f, 0.5f));
    quad.SetScale(4.0f);  // 4 x 2 units: 24 x 12 pixels
    PimTexture frame = Render([&] { quad.Draw(); });
    EXPECT_EQ(Count(frame, Red, 0, 0, Width, Height), 24 * 12);
    quad.SetSize({0.5f, 1.0f});
    frame = Render([&] { quad.Draw(); });
    EXPECT_EQ(Count(frame, Red, 0, 0, Width, Height), 12 * 24);

    // A picture that cannot be read is reported and leaves the quad empty.
    PimAssert::ResetFailureCount();
    EXPECT_FALSE(quad.LoadTexture("/no/such/picture.png"));
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
    frame = Render([&] { quad.Draw(); });
    EXPECT_EQ(Count(frame, Background, 0, 0, Width, Height), Width * Height);
}

TEST_F(SceneRender, SpriteSitsAtItsPixelPositionOverTheScene)
{
    PimImageQuad near;
    near.SetTexture(std::make_shared<PimTexture>(Bands({Green})));
    near.SetScale(20.0f);
    near.SetLocation({0.0f, 0.0f, 2.0f});  // right in front of the camera, covering the window
    PimSprite corner;
    corner.SetTexture(std::make_shared<PimTexture>(Bands({Red, Yellow}, 4)));
    corner.SetPosition({8.0f, 6.0f});
    corner.SetScale(2.0f);  // 8 x 8 pixels from (8, 6)
    PimSprite centred;
    centred.SetTexture(std::make_shared<PimTexture>(Bands({Red}, 4)));
    centred.SetCentered(true);
    centred.SetPosition({40.0f, 30.0f});

    const PimTexture frame = Render([&] {
        near.Draw();
        corner.Draw();
        centred.Draw();
    });
    EXPECT_EQ(frame.GetColor(8, 6), Red);
    EXPECT_EQ(frame.GetColor(15, 9), Red);
    EXPECT_EQ(frame.GetColor(15, 10), Yellow);  // the picture's lower half
    EXPECT_EQ(frame.GetColor(8, 13), Yellow);
    EXPECT_EQ(frame.GetColor(7, 6), Green);
    EXPECT_EQ(frame.GetColor(16, 6), Green);
    EXPECT_EQ(frame.GetColor(8, 14), Green);
    EXPECT_EQ(Count(frame, Red, 38, 28, 42, 32), 16);
    EXPECT_EQ(Count(frame, Red, 36, 26, 44, 34), 16);
}

TEST_F(SceneRender, LineStripAndLoopDrawTheirSegmentsOnly)
{
    PimGraphicsLine line;
    line.SetColor(Yellow);
    line.AddPoint({-2.0f, 1.0f, 0.0f});
    const PimTexture single = Render([&] { line.Draw(); });  // one point draws nothing
    EXPECT_EQ(Count(single, Yellow, 0, 0, Width, Height), 0);

    line.AddPoint({2.0f, 1.0f, 0.0f});
    line.AddPoint({2.0f, -1.0f, 0.0f});
    line.AddPoint({-2.0f, -1.0f, 0.0f});
    PimTexture frame = Render([&] { line.Draw(); });
    // A unit is 6 pixels: the top edge runs along row 18 from x 20 to 44.
    EXPECT_GT(Count(frame, Yellow, 22, 17, 42, 19), 15);
    EXPECT_GT(Count(frame, Yellow, 43, 20, 45, 28), 6);
    EXPECT_EQ(Count(frame, Yellow, 18, 20, 22, 28), 0);  // the open side
    EXPECT_EQ(Count(frame, Yellow, 24, 20, 40, 28), 0);  // the inside

    line.SetClosed(true);
    frame = Render([&] { line.Draw(); });
    EXPECT_GT(Count(frame, Yellow, 19, 20, 21, 28), 6);
    line.ClearPoints();
    frame = Render([&] { line.Draw(); });
    EXPECT_EQ(Count(frame, Yellow, 0, 0, Width, Height), 0);
}

TEST_F(SceneRender, MeshDrawsWithItsShaderAtItsLocationAndTheCallersCulling)
{
    auto shader = std::make_shared<PimShader>();
    ASSERT_TRUE(shader->LoadShaderDirect(R"(#version 150
uniform mat4 MVP;
uniform vec3 LightDirection;
in vec3 vPos;
in vec4 vColor;
in float vLight;
out vec4 colour;
void main() { colour = vec4(vColor.rgb * vLight * LightDirection.x, 1.0); gl_Position = MVP * vec4(vPos, 1.0); }
)",
                                         R"(#version 150
in vec4 colour;
out vec4 fragColour;
void main() { fragColour = colour; }
)"));
    PimRenderableMesh mesh;
    mesh.SetShader(shader);
    std::vector<PimMeshVertex> corners(4);
    corners[0].position = {-1.0f, -1.0f, 0.0f};
    corners[1].position = {1.0f, -1.0f, 0.0f};
    corners[2].position = {-1.0f, 1.0f, 0.0f};
    corners[3].position = {1.0f, 1.0f, 0.0f};
    for (PimMeshVertex& corner : corners)
    {
        corner.color = PimColor(255, 128, 0);
        corner.light = 0.5f;
    }
    PimAssert::ResetFailureCount();
    EXPECT_FALSE(mesh.SetMesh(corners, {0, 1, 4}));
    EXPECT_FALSE(mesh.SetMesh(corners, {0, 1}));
    EXPECT_EQ(PimAssert::GetFailureCount(), 2u);
    ASSERT_TRUE(mesh.SetMesh(corners, {0, 1, 2, 2, 1, 3}));
    mesh.SetLightDirection({2.0f, 0.0f, 0.0f});
    mesh.SetLocation({2.0f, 0.0f, 0.0f});  // 2 x 2 units right of the centre: x 38 to 50

    PimTexture frame = Render([&] { mesh.Draw(); });
    const PimColor lit(255, 128, 0);  // colour x light 0.5 x LightDirection.x 2
    EXPECT_TRUE(Near(frame.GetColor(44, 24), lit, 2));
    EXPECT_EQ(frame.GetColor(36, 24), Background);
    EXPECT_EQ(frame.GetColor(52, 24), Background);

    // Seen from behind with back faces culled (the pass's default) it disappears; the caller
    // may cull front faces instead.
    camera().SetPosition({0.0f, 0.0f, -4.0f});
    frame = Render([&] { mesh.Draw(); });
    EXPECT_EQ(Count(frame, lit, 0, 0, Width, Height), 0);
    frame = Render([&] {
        glCullFace(GL_FRONT);
        mesh.Draw();
        glCullFace(GL_BACK);
    });
    EXPECT_TRUE(Near(frame.GetColor(20, 24), lit, 2));
}

TEST_F(SceneRender, MissingEngineShadersAreReportedOnceAndNothingDraws)
{
    const TempFolder empty("no-content");
    PimContentFolder::Set(empty.path);
    PimImageQuad quad;
    quad.SetTexture(std::make_shared<PimTexture>(Bands({Red})));
    PimAssert::ResetFailureCount();
    PimTexture frame = Render([&] { quad.Draw(); });
    frame = Render([&] { quad.Draw(); });
    PimContentFolder::Set({});
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
    EXPECT_EQ(Count(frame, Red, 0, 0, Width, Height), 0);
}
