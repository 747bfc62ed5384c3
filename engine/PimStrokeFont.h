#pragma once

#include <span>
#include <string_view>
#include <vector>

// A line font for labels drawn without a texture: each glyph is a few straight strokes on a grid
// 4 units wide and 6 high (y up), advancing 5 units per character. It knows A to Z (lower case is
// drawn as upper case), 0 to 9, '-', '_', '.', and '<' as a leftward arrow; other characters are
// drawn as spaces. Pure data and functions: any thread.
namespace PimStrokeFont
{
constexpr float GlyphWidth = 4.0f;
constexpr float GlyphHeight = 6.0f;
constexpr float Advance = 5.0f;

struct Stroke
{
    float x0, y0, x1, y1;
};

// The strokes of one character; empty for a space and for characters the font does not know.
std::span<const Stroke> GetGlyph(char character);
bool HasGlyph(char character);

// Width of a text in grid units (its last character's gap not counted); 0 for empty text.
float TextWidth(std::string_view text);

// Appends the text's strokes as x, y pairs (two points a stroke), the first character's lower
// left corner at (left, bottom), grid units multiplied by unitSize.
void AppendText(std::string_view text, float left, float bottom, float unitSize, std::vector<float>& points);
}
