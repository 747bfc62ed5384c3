// "Graphics/Textures/VoxelTexturesTop1.png": the face atlas of the voxel chunks. 16 x 16 tiles of
// 32 pixels (512 x 512), tile t at column t % 16 and row t / 16, in the order of VoxelTile. Tiles
// no code uses stay transparent; codes without a definition use the Unknown checks. Every tile is
// drawn from a fixed seed, so the picture is the same on every build.
#include "content_output.h"
#include "families.h"

#include "engine/PimColor.h"
#include "engine/PimTexture.h"
#include "engine/VoxelCodeTable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

namespace
{
constexpr int kTile = 32;
constexpr int kTiles = VoxelTile::AtlasTilesPerSide;

// Deterministic value noise: a hash of (x, y, seed) to 0..1.
float Hash(int x, int y, std::uint32_t seed)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8da6b343u ^ static_cast<std::uint32_t>(y) * 0xd8163841u ^
                      seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<float>(h & 0xFFFFu) / 65535.0f;
}

// Smooth noise repeating every kTile pixels, so tiles join seamlessly on merged faces.
float Smooth(int x, int y, int cell, std::uint32_t seed)
{
    const int cells = kTile / cell;
    const float fx = static_cast<float>(x) / static_cast<float>(cell);
    const float fy = static_cast<float>(y) / static_cast<float>(cell);
    const int x0 = static_cast<int>(std::floor(fx));
    const int y0 = static_cast<int>(std::floor(fy));
    const float tx = fx - static_cast<float>(x0);
    const float ty = fy - static_cast<float>(y0);
    auto at = [&](int cx, int cy) { return Hash(((cx % cells) + cells) % cells, ((cy % cells) + cells) % cells, seed); };
    const float sx = tx * tx * (3.0f - 2.0f * tx);
    const float sy = ty * ty * (3.0f - 2.0f * ty);
    const float top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * sx;
    const float bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * sx;
    return top + (bottom - top) * sy;
}

std::uint8_t Channel(float value)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

PimColor Shade(PimColor base, float factor, std::uint8_t alpha = 255)
{
    return PimColor(Channel(base.r * factor), Channel(base.g * factor), Channel(base.b * factor), alpha);
}

PimColor Mix(PimColor a, PimColor b, float t)
{
    return PimColor(Channel(a.r + (b.r - a.r) * t), Channel(a.g + (b.g - a.g) * t), Channel(a.b + (b.b - a.b) * t),
                    Channel(a.a + (b.a - a.a) * t));
}

using TilePainter = std::function<PimColor(int x, int y)>;

PimColor PaintPlain(int x, int y)
{
    // Near white, with a faint bevel so a tinted helper cube still shows its edges.
    const float grain = 0.97f + 0.03f * Hash(x, y, 1);
    const bool edge = x == 0 || y == 0 || x == kTile - 1 || y == kTile - 1;
    return Shade(PimColor(255, 255, 255), edge ? grain * 0.88f : grain);
}

PimColor PaintGrass(int x, int y)
{
    const float patches = Smooth(x, y, 8, 2);
    const float blades = Hash(x, y, 3);
    PimColor colour = Mix(PimColor(74, 140, 52), PimColor(104, 170, 66), patches);
    if (blades > 0.86f)
        colour = Shade(colour, 1.14f);
    else if (blades < 0.12f)
        colour = Shade(colour, 0.84f);
    return colour;
}

PimColor PaintEarth(int x, int y)
{
    // Earth with a fringe of grass hanging over the top edge: the sides of turf.
    const float fringe = 3.0f + 3.0f * Hash(x, 0, 4);
    if (static_cast<float>(y) < fringe)
        return PaintGrass(x, y);
    const float soil = Smooth(x, y, 8, 5);
    PimColor colour = Mix(PimColor(112, 78, 50), PimColor(136, 98, 64), soil);
    const float speck = Hash(x, y, 6);
    if (speck > 0.93f)
        colour = PimColor(158, 140, 118); // pebbles
    else if (speck < 0.08f)
        colour = Shade(colour, 0.78f);
    // A thin root wandering down.
    const int root = 9 + static_cast<int>(4.0f * std::sin(static_cast<float>(y) * 0.45f));
    if (y > 12 && y < 26 && x == root)
        colour = PimColor(88, 60, 38);
    return colour;
}

PimColor PaintRock(int x, int y)
{
    const float body = Smooth(x, y, 8, 7) * 0.6f + Smooth(x, y, 4, 8) * 0.4f;
    PimColor colour = Mix(PimColor(106, 108, 112), PimColor(146, 147, 150), body);
    if (Hash(x, y, 9) > 0.9f)
        colour = Shade(colour, 1.1f);
    // Two dark cracks.
    const int crackA = 6 + (x / 3) % 3 + x / 4;
    const int crackB = 27 - x / 3 - (x / 5) % 2;
    if ((x > 3 && x < 18 && y == crackA) || (x > 14 && x < 30 && y == crackB))
        colour = Shade(colour, 0.7f);
    return colour;
}

PimColor PaintSand(int x, int y)
{
    const float dunes = Smooth(x, y, 16, 10);
    PimColor colour = Mix(PimColor(214, 196, 140), PimColor(232, 216, 164), dunes);
    const float grain = Hash(x, y, 11);
    if (grain > 0.88f)
        colour = Shade(colour, 1.05f);
    else if (grain < 0.1f)
        colour = Shade(colour, 0.9f);
    return colour;
}

PimColor PaintWater(int x, int y)
{
    const float depth = Smooth(x, y, 16, 12);
    PimColor colour = Mix(PimColor(36, 92, 168), PimColor(52, 116, 190), depth);
    // Light wave crests, repeating across the tile.
    const float wave = std::sin((static_cast<float>(x) + 4.0f * std::sin(static_cast<float>(y) * 0.39f)) * 0.39f +
                                static_cast<float>(y) * 0.79f);
    if (wave > 0.92f)
        colour = Mix(colour, PimColor(150, 196, 236), 0.55f);
    colour.a = 168;
    return colour;
}

PimColor PaintFrame(int x, int y)
{
    const int inner = std::min({x, y, kTile - 1 - x, kTile - 1 - y});
    const float grain = 0.97f + 0.03f * Hash(x, y, 13);
    if (inner < 1)
        return Shade(PimColor(150, 150, 156), grain);
    if (inner < 4)
        return Shade(PimColor(250, 250, 252), grain);
    if (inner < 5)
        return Shade(PimColor(170, 170, 176), grain);
    return Shade(PimColor(206, 206, 212), grain);
}

PimColor PaintGuide(int x, int y)
{
    const int inner = std::min({x, y, kTile - 1 - x, kTile - 1 - y});
    if (inner < 2)
        return PimColor(120, 230, 240, inner == 0 ? 200 : 150);
    const bool midLine = x == kTile / 2 || y == kTile / 2;
    return midLine ? PimColor(120, 230, 240, 60) : PimColor(120, 230, 240, 18);
}

PimColor PaintBrick(int x, int y)
{
    constexpr int rowHeight = 8;
    constexpr int brickWidth = 16;
    const int row = y / rowHeight;
    const int shifted = x + (row % 2) * (brickWidth / 2);
    const bool mortar = y % rowHeight == rowHeight - 1 || shifted % brickWidth == brickWidth - 1;
    if (mortar)
        return Shade(PimColor(206, 198, 184), 0.95f + 0.05f * Hash(x, y, 14));
    const int brick = row * 4 + (shifted / brickWidth) % 4;
    const float tone = 0.88f + 0.16f * Hash(brick, row, 15);
    PimColor colour = Shade(PimColor(168, 64, 48), tone * (0.94f + 0.06f * Hash(x, y, 16)));
    if (y % rowHeight == 0)
        colour = Shade(colour, 1.08f); // lit top edge of each brick
    return colour;
}

PimColor PaintStripe(int x, int y)
{
    const float grain = 0.95f + 0.05f * Hash(x, y, 17);
    PimColor colour = Shade(PimColor(58, 60, 66), grain);
    if (y >= 12 && y < 20)
        colour = Shade(PimColor(236, 190, 40), grain);
    // Rivets in the plate corners.
    const int cx = x % 16;
    if ((y == 4 || y == 27) && (cx == 3 || cx == 12))
        colour = PimColor(110, 112, 120);
    return colour;
}

PimColor PaintUnknown(int x, int y)
{
    const bool check = ((x / 8) + (y / 8)) % 2 == 0;
    return check ? PimColor(230, 40, 200) : PimColor(20, 20, 24);
}

void PaintTile(PimTexture& atlas, int tile, const TilePainter& painter)
{
    const int left = (tile % kTiles) * kTile;
    const int top = (tile / kTiles) * kTile;
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x)
            atlas.SetColor(left + x, top + y, painter(x, y));
}
} // namespace

bool GenerateVoxelTextures(const ContentOutput& output)
{
    PimTexture atlas;
    if (!atlas.Create(kTiles * kTile, kTiles * kTile, PimColor(0, 0, 0, 0)))
        return false;
    PaintTile(atlas, VoxelTile::Plain, PaintPlain);
    PaintTile(atlas, VoxelTile::Grass, PaintGrass);
    PaintTile(atlas, VoxelTile::Earth, PaintEarth);
    PaintTile(atlas, VoxelTile::Rock, PaintRock);
    PaintTile(atlas, VoxelTile::Sand, PaintSand);
    PaintTile(atlas, VoxelTile::Water, PaintWater);
    PaintTile(atlas, VoxelTile::Frame, PaintFrame);
    PaintTile(atlas, VoxelTile::Guide, PaintGuide);
    PaintTile(atlas, VoxelTile::Brick, PaintBrick);
    PaintTile(atlas, VoxelTile::Stripe, PaintStripe);
    PaintTile(atlas, VoxelTile::Unknown, PaintUnknown);
    return output.WritePicture("Graphics/Textures/VoxelTexturesTop1.png", atlas);
}
