#pragma once

#include <string_view>

class PimTexture;

// The engine's one bitmap font: the picture "Font.png" made by the content generator from a
// monospaced typeface, and the layout both agree on.
//
// Layout: 16 columns x 12 rows of equal cells, row by row. Cells 0 to 95 hold U+0020 to U+007F,
// cells 96 to 191 hold U+00A0 to U+00FF (Latin-1 letters and signs). Each cell is one character
// advance wide and one line high, with the glyph white and a dark rim, on transparency, so that a
// colour tints it. A character without a cell is drawn as '?'.
//
// Load runs on the main thread (the picture's GL copy is made there on first draw).
class PimFont
{
public:
    static constexpr int Columns = 16;
    static constexpr int Rows = 12;
    static constexpr char32_t Replacement = U'?';

    // The cell of a character, or -1 when the font has none.
    static constexpr int CellOf(char32_t character)
    {
        if (character >= 0x20 && character <= 0x7F)
            return static_cast<int>(character - 0x20);
        if (character >= 0xA0 && character <= 0xFF)
            return static_cast<int>(character - 0xA0) + 96;
        return -1;
    }
    // The character a cell holds (0 for a cell outside the layout).
    static constexpr char32_t CharacterOf(int cell)
    {
        if (cell >= 0 && cell < 96)
            return static_cast<char32_t>(0x20 + cell);
        if (cell >= 96 && cell < Columns * Rows)
            return static_cast<char32_t>(0xA0 + cell - 96);
        return 0;
    }

    // Reads the font picture. False, reported through PimAssert with the reason, when it cannot be
    // read or is not 16 x 12 whole cells; the font loaded before stays.
    static bool Load(std::string_view path);
    // Null until a font has loaded.
    static const PimTexture* GetPicture();
    // Cell size in pixels; 0 without a font.
    static int GetCellWidth();
    static int GetCellHeight();
};
