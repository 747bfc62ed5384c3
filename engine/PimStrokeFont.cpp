#include "engine/PimStrokeFont.h"

#include <array>
#include <cctype>
#include <string>

namespace
{
// Strokes as runs of four digits (x0 y0 x1 y1), separated by spaces.
const char* GlyphText(char c)
{
    switch (c)
    {
    case 'A': return "0004 0426 2644 4440 0343";
    case 'B': return "0006 0636 3645 4544 4433 0333 3342 4241 4130 3000";
    case 'C': return "4536 3616 1605 0501 0110 1030 3041";
    case 'D': return "0006 0626 2644 4442 4220 2000";
    case 'E': return "4606 0600 0040 0333";
    case 'F': return "4606 0600 0333";
    case 'G': return "4536 3616 1605 0501 0110 1030 3041 4143 4323";
    case 'H': return "0006 4046 0343";
    case 'I': return "1636 2620 1030";
    case 'J': return "1646 3631 3120 2010 1001";
    case 'K': return "0006 4602 1340";
    case 'L': return "0600 0040";
    case 'M': return "0006 0623 2346 4640";
    case 'N': return "0006 0640 4046";
    case 'O': return "1030 3041 4145 4536 3616 1605 0501 0110";
    case 'P': return "0006 0636 3645 4544 4433 3303";
    case 'Q': return "1030 3041 4145 4536 3616 1605 0501 0110 2240";
    case 'R': return "0006 0636 3645 4544 4433 3303 2340";
    case 'S': return "4536 3616 1605 0504 0413 1333 3342 4241 4130 3010 1001";
    case 'T': return "0646 2620";
    case 'U': return "0601 0110 1030 3041 4146";
    case 'V': return "0620 2046";
    case 'W': return "0610 1023 2330 3046";
    case 'X': return "0640 0046";
    case 'Y': return "0623 4623 2320";
    case 'Z': return "0646 4600 0040";
    case '0': return "1030 3041 4145 4536 3616 1605 0501 0110 0145";
    case '1': return "1526 2620 1030";
    case '2': return "0516 1636 3645 4544 4400 0040";
    case '3': return "0646 4624 2434 3443 4341 4130 3010 1001";
    case '4': return "3036 3602 0242";
    case '5': return "4606 0603 0333 3342 4241 4130 3000";
    case '6': return "3616 1605 0501 0110 1030 3041 4142 4233 3303";
    case '7': return "0646 4610";
    case '8': return "1304 0405 0516 1636 3645 4544 4433 3313 1302 0201 0110 1030 3041 4142 4233";
    case '9': return "4313 1304 0405 0516 1636 3645 4541 4130 3010";
    case '-': return "1333";
    case '_': return "0040";
    case '.': return "2021";
    case '<': return "4303 0325 0321";
    default: return "";
    }
}

using Glyph = std::vector<PimStrokeFont::Stroke>;

Glyph Parse(const char* text)
{
    Glyph strokes;
    const std::string runs(text);
    for (std::size_t i = 0; i + 3 < runs.size(); i += 5)
    {
        auto at = [&](std::size_t k) { return static_cast<float>(runs[i + k] - '0'); };
        strokes.push_back({at(0), at(1), at(2), at(3)});
    }
    return strokes;
}

const std::array<Glyph, 128>& Glyphs()
{
    static const std::array<Glyph, 128> glyphs = [] {
        std::array<Glyph, 128> table;
        for (int c = 0; c < 128; ++c)
            table[static_cast<std::size_t>(c)] = Parse(GlyphText(static_cast<char>(c)));
        return table;
    }();
    return glyphs;
}

char Shown(char c)
{
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}
}

std::span<const PimStrokeFont::Stroke> PimStrokeFont::GetGlyph(char character)
{
    const unsigned char c = static_cast<unsigned char>(Shown(character));
    if (c >= 128)
        return {};
    return Glyphs()[c];
}

bool PimStrokeFont::HasGlyph(char character)
{
    return !GetGlyph(character).empty();
}

float PimStrokeFont::TextWidth(std::string_view text)
{
    return text.empty() ? 0.0f : static_cast<float>(text.size() - 1) * Advance + GlyphWidth;
}

void PimStrokeFont::AppendText(std::string_view text, float left, float bottom, float unitSize,
                               std::vector<float>& points)
{
    float x = left;
    for (char c : text)
    {
        for (const Stroke& s : GetGlyph(c))
        {
            points.insert(points.end(), {x + s.x0 * unitSize, bottom + s.y0 * unitSize, x + s.x1 * unitSize,
                                         bottom + s.y1 * unitSize});
        }
        x += Advance * unitSize;
    }
}
