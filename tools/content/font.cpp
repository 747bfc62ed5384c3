// The bitmap font: every character of PimFont's layout rendered with FreeType into its cell,
// white with a soft dark rim so that text stays readable over light and dark walls alike and can
// be tinted by a colour.
#include "content_output.h"
#include "families.h"

#include "engine/PimFont.h"
#include "engine/PimTexture.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace
{
constexpr int CellWidth = 32;
constexpr int CellHeight = 64;
// The advance the glyphs are sized to: narrower than the cell, leaving room for the rim.
constexpr int GlyphAdvance = 25;
constexpr float RimRadius = 2.0f;
constexpr float RimOpacity = 0.8f;
constexpr PimColor RimColour{16, 18, 26, 0};

class FreeTypeFace
{
public:
    ~FreeTypeFace()
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }

    bool Open(const std::filesystem::path& path)
    {
        if (FT_Init_FreeType(&library) != 0)
        {
            std::fprintf(stderr, "quillot_content: FreeType does not start\n");
            return false;
        }
        if (FT_New_Face(library, path.string().c_str(), 0, &face) != 0)
        {
            std::fprintf(stderr, "quillot_content: %s is not a font FreeType reads\n", path.string().c_str());
            return false;
        }
        return true;
    }

    FT_Face Get() const { return face; }

private:
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

// Glyph coverage (0 to 1) of one cell.
struct CellCoverage
{
    std::vector<float> values = std::vector<float>(CellWidth * CellHeight, 0.0f);

    float Get(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < CellWidth && y < CellHeight ? values[y * CellWidth + x] : 0.0f;
    }
};

// Sizes the face so that its advance is GlyphAdvance pixels; returns the baseline's row in a cell,
// which centres the face's full height (accents and descenders included) in the cell.
bool SizeFace(FT_Face face, int& baseline)
{
    constexpr FT_UInt probeSize = 256;
    if (FT_Set_Pixel_Sizes(face, 0, probeSize) != 0 || FT_Load_Char(face, 'M', FT_LOAD_DEFAULT) != 0)
        return false;
    const double probeAdvance = face->glyph->advance.x / 64.0;
    if (probeAdvance <= 0.0)
        return false;
    const auto size = static_cast<FT_UInt>(std::lround(probeSize * GlyphAdvance / probeAdvance));
    if (FT_Set_Pixel_Sizes(face, 0, size) != 0)
        return false;
    const double ascender = face->size->metrics.ascender / 64.0;
    const double descender = -face->size->metrics.descender / 64.0;
    baseline = static_cast<int>(std::lround((CellHeight - (ascender + descender)) * 0.5 + ascender));
    return true;
}

// False only for a face error; a character the face lacks leaves the cell empty.
bool RenderGlyph(FT_Face face, char32_t character, int baseline, CellCoverage& cell)
{
    if (FT_Get_Char_Index(face, character) == 0)
        return true;
    if (FT_Load_Char(face, character, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
        return false;
    const FT_GlyphSlot glyph = face->glyph;
    const FT_Bitmap& bitmap = glyph->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)
        return false;
    const int advance = static_cast<int>(glyph->advance.x / 64);
    const int left = (CellWidth - advance) / 2 + glyph->bitmap_left;
    const int top = baseline - glyph->bitmap_top;
    for (unsigned int row = 0; row < bitmap.rows; ++row)
    {
        for (unsigned int column = 0; column < bitmap.width; ++column)
        {
            const int x = left + static_cast<int>(column);
            const int y = top + static_cast<int>(row);
            if (x < 0 || y < 0 || x >= CellWidth || y >= CellHeight)
                continue;
            const unsigned char level = bitmap.buffer[static_cast<std::ptrdiff_t>(row) * bitmap.pitch + column];
            cell.values[y * CellWidth + x] = level / 255.0f;
        }
    }
    return true;
}

// The rim: the glyph grown by RimRadius with a one-pixel soft edge.
float RimAt(const CellCoverage& cell, int x, int y)
{
    const int reach = static_cast<int>(std::ceil(RimRadius + 0.5f));
    float rim = 0.0f;
    for (int dy = -reach; dy <= reach; ++dy)
    {
        for (int dx = -reach; dx <= reach; ++dx)
        {
            const float weight = std::clamp(RimRadius + 0.5f - std::hypot(float(dx), float(dy)), 0.0f, 1.0f);
            rim = std::max(rim, cell.Get(x + dx, y + dy) * weight);
        }
    }
    return rim;
}

// White glyph over its dark rim; see-through pixels carry the rim's colour so that filtering
// towards them darkens the edge instead of lightening it.
PimColor Compose(float glyph, float rim)
{
    const float under = rim * RimOpacity * (1.0f - glyph);
    const float alpha = glyph + under;
    if (alpha <= 0.0f)
        return RimColour;
    const auto channel = [&](std::uint8_t rimChannel) {
        return static_cast<std::uint8_t>(std::lround((glyph * 255.0f + under * rimChannel) / alpha));
    };
    return {channel(RimColour.r), channel(RimColour.g), channel(RimColour.b),
            static_cast<std::uint8_t>(std::lround(alpha * 255.0f))};
}
}

bool GenerateFont(const ContentOutput& output)
{
    const auto fontFile = output.Input("font");
    if (!fontFile)
        return false;
    FreeTypeFace face;
    if (!face.Open(*fontFile))
        return false;
    int baseline = 0;
    if (!SizeFace(face.Get(), baseline))
    {
        std::fprintf(stderr, "quillot_content: %s cannot be sized\n", fontFile->string().c_str());
        return false;
    }

    PimTexture picture;
    picture.Create(PimFont::Columns * CellWidth, PimFont::Rows * CellHeight, RimColour);
    for (int cell = 0; cell < PimFont::Columns * PimFont::Rows; ++cell)
    {
        CellCoverage coverage;
        if (!RenderGlyph(face.Get(), PimFont::CharacterOf(cell), baseline, coverage))
        {
            std::fprintf(stderr, "quillot_content: %s cannot render U+%04X\n", fontFile->string().c_str(),
                         static_cast<unsigned>(PimFont::CharacterOf(cell)));
            return false;
        }
        const int originX = (cell % PimFont::Columns) * CellWidth;
        const int originY = (cell / PimFont::Columns) * CellHeight;
        for (int y = 0; y < CellHeight; ++y)
        {
            for (int x = 0; x < CellWidth; ++x)
                picture.SetColor(originX + x, originY + y, Compose(coverage.Get(x, y), RimAt(coverage, x, y)));
        }
    }
    return output.WritePicture("Graphics/Fonts/Font.png", picture);
}
