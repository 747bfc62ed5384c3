// "Graphics/Textures/TitleScreen.png", 960 x 720: the title shown while the main menu is being
// prepared. The name is spelled in voxel blocks (the lettering of the main menu's wall, in its
// three colours) over a night-blue sky, above a floor of voxel tiles fading into the distance.
#include "content_output.h"
#include "drawing.h"
#include "families.h"

#include "engine/PimTexture.h"

#include <array>
#include <string_view>

namespace
{
constexpr int kWidth = 960;
constexpr int kHeight = 720;
constexpr int kBlock = 26;
constexpr int kDepth = 7;  // pixels of the blocks' top and side faces

// The same lettering as the main menu's wall.
constexpr std::array<std::string_view, 5> kTitle = {
    ".###.#.#.###.#...#...###.###",
    ".#.#.#.#..#..#...#...#.#..#.",
    ".#.#.#.#..#..#...#...#.#..#.",
    ".##..#.#..#..#...#...#.#..#.",
    "..##.###.###.###.###.###..#.",
};
// Orange, yellow and violet: the wall lettering's palette entries 18, 5 and 14, in its order.
constexpr float kLetterColours[3][3] = {{0.94f, 0.60f, 0.40f}, {1.0f, 1.0f, 0.0f}, {0.80f, 0.20f, 1.0f}};

void Sky(Canvas& canvas)
{
    for (int y = 0; y < kHeight; ++y)
    {
        const float t = static_cast<float>(y) / kHeight;
        for (int x = 0; x < kWidth; ++x)
            canvas.Blend(x, y, 0.05f + 0.10f * t, 0.06f + 0.05f * t, 0.16f + 0.12f * t, 1.0f);
    }
}

void Floor(Canvas& canvas)
{
    // Rows of tiles shrinking towards the horizon at y = 470.
    constexpr float horizon = 470.0f;
    for (int y = static_cast<int>(horizon); y < kHeight; ++y)
    {
        const float depth = (static_cast<float>(y) - horizon + 8.0f) / (kHeight - horizon);
        const float row = std::floor(std::log(depth) * 6.0f);
        for (int x = 0; x < kWidth; ++x)
        {
            const float column = std::floor((static_cast<float>(x) - kWidth / 2.0f) / (60.0f * depth));
            const bool light = static_cast<int>(row + column) % 2 == 0;
            const float shade = (light ? 0.30f : 0.22f) * std::clamp(depth * 1.4f, 0.15f, 1.0f);
            canvas.Blend(x, y, shade * 0.8f, shade * 0.85f, shade, 1.0f);
        }
    }
}

void Block(Canvas& canvas, int left, int top, const float (&colour)[3])
{
    const auto box = [&](int x0, int y0, int x1, int y1, float light) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                canvas.Blend(x, y, colour[0] * light, colour[1] * light, colour[2] * light, 1.0f);
    };
    // Top face, right side, then the front face with a darker rim.
    for (int i = 0; i < kDepth; ++i)
    {
        box(left + kDepth - i, top - kDepth + i, left + kBlock + kDepth - i, top - kDepth + i + 1, 1.15f);
        box(left + kBlock + kDepth - i - 1, top - kDepth + i, left + kBlock + kDepth - i, top + kBlock - kDepth + i, 0.55f);
    }
    box(left, top, left + kBlock, top + kBlock, 0.7f);
    box(left + 2, top + 2, left + kBlock - 2, top + kBlock - 2, 0.9f);
}

void Title(Canvas& canvas)
{
    const int width = static_cast<int>(kTitle[0].size()) * kBlock;
    const int left = (kWidth - width) / 2;
    const int top = 190;
    // Lower rows first, so the top faces of the rows below are covered by the blocks above.
    for (int row = static_cast<int>(kTitle.size()) - 1; row >= 0; --row)
        for (int column = static_cast<int>(kTitle[0].size()) - 1; column >= 0; --column)
        {
            if (kTitle[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] != '#')
                continue;
            const int letter = (column - 1) / 4;
            Block(canvas, left + column * kBlock, top + row * kBlock, kLetterColours[letter % 3]);
        }
}

void Stars(Canvas& canvas)
{
    unsigned seed = 12345u;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int i = 0; i < 140; ++i)
    {
        const float x = static_cast<float>(next() % kWidth);
        const float y = static_cast<float>(next() % 440);
        const float size = 0.6f + static_cast<float>(next() % 100) / 80.0f;
        for (int py = static_cast<int>(y) - 3; py <= static_cast<int>(y) + 3; ++py)
            for (int px = static_cast<int>(x) - 3; px <= static_cast<int>(x) + 3; ++px)
            {
                const float d = Shape::Circle(px + 0.5f, py + 0.5f, x, y, size);
                canvas.Blend(px, py, 0.85f, 0.9f, 1.0f, std::clamp(0.5f - d, 0.0f, 1.0f) * 0.7f);
            }
    }
}
}

bool GenerateTitleScreen(const ContentOutput& output)
{
    Canvas canvas(kWidth, kHeight);
    Sky(canvas);
    Stars(canvas);
    Floor(canvas);
    Title(canvas);
    PimTexture picture;
    return picture.Create(kWidth, kHeight, canvas.Bytes()) && output.WritePicture("Graphics/Textures/TitleScreen.png", picture);
}
