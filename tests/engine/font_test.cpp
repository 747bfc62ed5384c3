#include "engine/PimAssert.h"
#include "engine/PimContentFolder.h"
#include "engine/PimFont.h"
#include "engine/PimTexture.h"

#include "../support/temp_folder.h"

#include <gtest/gtest.h>

namespace
{
// Counts the pixels of a font cell by what they show.
struct CellPixels
{
    int glyph = 0;  // bright and nearly opaque
    int rim = 0;    // dark and visible
    int visible = 0;
};

CellPixels Inspect(const PimTexture& font, char32_t character)
{
    const int cell = PimFont::CellOf(character);
    const int width = font.GetWidth() / PimFont::Columns;
    const int height = font.GetHeight() / PimFont::Rows;
    CellPixels pixels;
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            const PimColor c = font.GetColor((cell % PimFont::Columns) * width + x, (cell / PimFont::Columns) * height + y);
            pixels.visible += c.a > 0;
            pixels.glyph += c.a > 240 && c.r > 240 && c.g > 240 && c.b > 240;
            pixels.rim += c.a > 100 && c.r < 60;
        }
    }
    return pixels;
}
}

TEST(PimFont, LayoutCoversPrintableAsciiAndLatin1)
{
    for (int cell = 0; cell < PimFont::Columns * PimFont::Rows; ++cell)
        EXPECT_EQ(PimFont::CellOf(PimFont::CharacterOf(cell)), cell);
    EXPECT_EQ(PimFont::CellOf(U' '), 0);
    EXPECT_EQ(PimFont::CellOf(U'A'), 33);
    EXPECT_EQ(PimFont::CellOf(U'\u00E9'), 96 + 0xE9 - 0xA0);
    for (const char32_t outside : {U'\u001F', U'\u0080', U'\u009F', U'\u0100', U'\u20AC', U'\U0001F600'})
        EXPECT_EQ(PimFont::CellOf(outside), -1);
    EXPECT_EQ(PimFont::CharacterOf(-1), 0u);
    EXPECT_EQ(PimFont::CharacterOf(192), 0u);
}

TEST(PimFont, GeneratedFontHasWhiteRimmedGlyphsAndABlankSpace)
{
    const std::filesystem::path path = PimContentFolder::Resolve("Graphics\\Fonts\\Font.png");
    PimTexture font;
    ASSERT_TRUE(font.Load(path.string())) << font.GetLoadError();
    EXPECT_EQ(font.GetWidth(), 16 * 32);
    EXPECT_EQ(font.GetHeight(), 12 * 64);
    for (const char32_t character : {U'A', U'g', U'0', U'?', U'_', U'\u00C5', U'\u00DF'})
    {
        const CellPixels pixels = Inspect(font, character);
        EXPECT_GT(pixels.glyph, 20) << static_cast<unsigned>(character);
        EXPECT_GT(pixels.rim, 20) << static_cast<unsigned>(character);
    }
    EXPECT_EQ(Inspect(font, U' ').visible, 0);
    // The ring of the tallest capital stays below its cell's top edge.
    EXPECT_EQ(font.GetColor(PimFont::CellOf(U'\u00C5') % 16 * 32 + 16, PimFont::CellOf(U'\u00C5') / 16 * 64).a, 0);

    ASSERT_TRUE(PimFont::Load(path.string()));
    EXPECT_EQ(PimFont::GetCellWidth(), 32);
    EXPECT_EQ(PimFont::GetCellHeight(), 64);
}

TEST(PimFont, UnreadableOrMisshapenFontsAreRefusedAndTheLoadedOneStays)
{
    const TempFolder folder("font");
    PimTexture odd;
    odd.Create(100, 100, PimColor(255, 255, 255));
    ASSERT_TRUE(odd.Save((folder / "odd.png").string()));
    PimAssert::ResetFailureCount();
    const bool hadFont = PimFont::GetPicture() != nullptr;
    const int cellWidth = PimFont::GetCellWidth();
    EXPECT_FALSE(PimFont::Load((folder / "odd.png").string()));
    EXPECT_FALSE(PimFont::Load((folder / "missing.png").string()));
    EXPECT_EQ(PimAssert::GetFailureCount(), 2u);
    EXPECT_EQ(PimFont::GetPicture() != nullptr, hadFont);
    EXPECT_EQ(PimFont::GetCellWidth(), cellWidth);
}

TEST(PimContentFolder, LiesBesideTheExecutableUnlessChosen)
{
    const std::filesystem::path beside = PimContentFolder::Get();
    EXPECT_EQ(beside.filename(), "Content");
    for (const char* folder : {"Graphics/Textures", "Graphics/Shaders", "Graphics/Fonts", "Sound", "Text", "VoxelIcons"})
        EXPECT_TRUE(std::filesystem::is_directory(PimContentFolder::Resolve(folder))) << folder;
    EXPECT_TRUE(std::filesystem::is_regular_file(PimContentFolder::Resolve("Graphics/Shaders/pimPicture.vs")));

    PimContentFolder::Set("/somewhere/else");
    EXPECT_EQ(PimContentFolder::Resolve("Sound\\Menu\\click.wav"), std::filesystem::path("/somewhere/else/Sound/Menu/click.wav"));
    PimContentFolder::Set({});
    EXPECT_EQ(PimContentFolder::Get(), beside);
}
