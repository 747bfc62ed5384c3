#include "scene_fixture.h"

#include "engine/Pim3DText.h"
#include "engine/PimContentFolder.h"
#include "engine/PimImageQuad.h"
#include "engine/PimText.h"

namespace
{
struct Box
{
    int left = 1 << 30;
    int top = 1 << 30;
    int right = -1;
    int bottom = -1;
    int count = 0;
};

// Where the frame shows pixels that pass the test.
template <typename Test>
Box Find(const PimTexture& frame, Test test)
{
    Box box;
    for (int y = 0; y < frame.GetHeight(); ++y)
    {
        for (int x = 0; x < frame.GetWidth(); ++x)
        {
            if (!test(frame.GetColor(x, y)))
                continue;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x);
            box.bottom = std::max(box.bottom, y);
            ++box.count;
        }
    }
    return box;
}

bool Reddish(PimColor c)
{
    return c.r > 150 && c.g < 80 && c.b < 80;
}

bool Bright(PimColor c)
{
    return c.r > 150 && c.g > 150 && c.b > 150;
}

class TextRender : public SceneRender
{
protected:
    void SetUp() override
    {
        SceneRender::SetUp();
        PimText::SetFont(PimContentFolder::Resolve("Graphics/Fonts/Font.png").string());
        ASSERT_TRUE(PimText::Initialize());
    }
};
}

TEST_F(TextRender, ScreenTextDrawsTintedGlyphsInsideItsCells)
{
    PimText text;
    text.SetText("HI");
    text.SetPosition({4.0f, 6.0f});
    text.SetScale(0.5f);  // cells of 16 x 32 pixels
    text.SetColor(PimColor(255, 0, 0));
    EXPECT_EQ(text.GetSize(), PimVector2(32.0f, 32.0f));
    const PimTexture frame = Render([&] { text.Draw(); });
    const Box glyphs = Find(frame, Reddish);
    ASSERT_GT(glyphs.count, 40);
    EXPECT_GE(glyphs.left, 4);
    EXPECT_LT(glyphs.right, 4 + 32);
    EXPECT_GE(glyphs.top, 6);
    EXPECT_LT(glyphs.bottom, 6 + 32);
    // Both characters drew, one in each cell.
    EXPECT_LT(glyphs.left, 4 + 16);
    EXPECT_GE(glyphs.right, 4 + 16);
    EXPECT_EQ(Find(frame, Bright).count, 0);  // the colour tints the white glyphs

    // UTF-8 and wide text give the same picture.
    PimText wide;
    wide.SetText(L"HI");
    wide.SetPosition({4.0f, 6.0f});
    wide.SetScale(0.5f);
    wide.SetColor(PimColor(255, 0, 0));
    const PimTexture again = Render([&] { wide.Draw(); });
    EXPECT_EQ(std::vector(again.GetPixels().begin(), again.GetPixels().end()),
              std::vector(frame.GetPixels().begin(), frame.GetPixels().end()));
}

TEST_F(TextRender, WorldTextStandsAtItsPositionAndIsHiddenBehindNearerThings)
{
    Pim3DText label;
    label.SetText("H");
    label.SetScale(40.0f);  // a cell of 3.2 x 6.4 units: 19.2 x 38.4 pixels around the centre
    label.SetPosition({-1.6f, -3.2f, 0.0f});
    EXPECT_FLOAT_EQ(label.GetWidth(), 3.2f);
    EXPECT_FLOAT_EQ(label.GetLineHeight(), 6.4f);
    PimTexture frame = Render([&] { label.Draw(); });
    const Box glyph = Find(frame, Bright);
    ASSERT_GT(glyph.count, 20);
    EXPECT_GE(glyph.left, 32 - 10);
    EXPECT_LE(glyph.right, 32 + 10);
    EXPECT_GE(glyph.top, 24 - 20);
    EXPECT_LE(glyph.bottom, 24 + 20);
    EXPECT_LT(glyph.left, 32);  // the H spans the centre
    EXPECT_GT(glyph.right, 32);

    // Seen from behind it still shows (mirrored), at the same place.
    camera().SetPosition({0.0f, 0.0f, -4.0f});
    EXPECT_GT(Find(Render([&] { label.Draw(); }), Bright).count, 20);
    camera().SetPosition({0.0f, 0.0f, 4.0f});

    // A picture nearer the camera hides it; one farther away does not.
    PimImageQuad wall;
    wall.SetTexture(std::make_shared<PimTexture>(Bands({PimColor(0, 128, 0)})));
    wall.SetScale(6.0f);
    wall.SetLocation({0.0f, 0.0f, 1.0f});
    frame = Render([&] {
        wall.Draw();
        label.Draw();
    });
    EXPECT_EQ(Find(frame, Bright).count, 0);
    wall.SetLocation({0.0f, 0.0f, -1.0f});
    frame = Render([&] {
        wall.Draw();
        label.Draw();
    });
    EXPECT_GT(Find(frame, Bright).count, 20);
}
