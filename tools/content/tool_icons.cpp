// The twelve icons of the tool panel, 128 x 128 each, in one style: a rounded tile in the colour of
// the tool's kind (blue for shapes drawn from picked points, amber for fills, violet for the
// selection box and teal for reference pictures), lighter at the top, with a white rim. On it, in
// white, what the tool makes; the points the user picks show as yellow dots. The panel shows the
// icons 5 cm wide on the off hand, so every symbol is bold and fills the tile.
#include "content_output.h"
#include "drawing.h"
#include "families.h"

#include "engine/PimTexture.h"

#include <cmath>
#include <array>
#include <functional>
#include <string>

namespace
{
constexpr int kSide = 128;
constexpr float kCentre = kSide / 2.0f;

struct Rgb
{
    float r, g, b;
};

constexpr Rgb kShapes{0.20f, 0.42f, 0.82f};
constexpr Rgb kFills{0.90f, 0.52f, 0.14f};
constexpr Rgb kSelection{0.50f, 0.32f, 0.78f};
constexpr Rgb kPictures{0.12f, 0.60f, 0.58f};
constexpr Rgb kWhite{1.0f, 1.0f, 1.0f};
constexpr Rgb kPoint{1.0f, 0.86f, 0.18f};

using Symbol = std::function<void(Canvas&)>;

template <typename Distance>
void Paint(Canvas& canvas, Distance distance, Rgb colour, float alpha = 1.0f)
{
    canvas.Fill(distance, colour.r, colour.g, colour.b, alpha);
}

// A picked point: a yellow dot with a dark edge, so it reads on white shapes and on the tile.
void PickedPoint(Canvas& canvas, float cx, float cy)
{
    Paint(canvas, [=](float x, float y) { return Shape::Circle(x, y, cx, cy, 9.0f); }, {0.12f, 0.12f, 0.16f}, 0.85f);
    Paint(canvas, [=](float x, float y) { return Shape::Circle(x, y, cx, cy, 6.5f); }, kPoint);
}

// An upright voxel seen from above one corner: a lit top and two shaded sides.
void IsoCube(Canvas& canvas, float cx, float cy, float size, Rgb colour)
{
    const float w = size * 0.866f, h = size * 0.5f;
    const float top[8] = {cx, cy - size, cx + w, cy - h, cx, cy, cx - w, cy - h};
    const float left[8] = {cx - w, cy - h, cx, cy, cx, cy + size, cx - w, cy + h};
    const float right[8] = {cx, cy, cx + w, cy - h, cx + w, cy + h, cx, cy + size};
    Paint(canvas, [&](float x, float y) { return Shape::ConvexPolygon(x, y, top); }, colour);
    Paint(canvas, [&](float x, float y) { return Shape::ConvexPolygon(x, y, left); },
          {colour.r * 0.80f, colour.g * 0.80f, colour.b * 0.80f});
    Paint(canvas, [&](float x, float y) { return Shape::ConvexPolygon(x, y, right); },
          {colour.r * 0.62f, colour.g * 0.62f, colour.b * 0.62f});
}

bool WriteIcon(const ContentOutput& output, const char* name, Rgb tile, const Symbol& symbol)
{
    Canvas canvas(kSide, kSide);
    // A soft shadow, the white rim, then the tile with its light from above.
    Paint(canvas, [](float x, float y) { return Shape::Box(x, y, kCentre, kCentre + 2.0f, 62.0f, 62.0f, 20.0f); },
          {0.0f, 0.0f, 0.0f}, 0.35f);
    Paint(canvas, [](float x, float y) { return Shape::Box(x, y, kCentre, kCentre, 60.0f, 60.0f, 18.0f); },
          {0.97f, 0.97f, 0.97f});
    for (int y = 0; y < kSide; ++y)
    {
        const float light = 1.15f - 0.35f * static_cast<float>(y) / kSide;
        for (int x = 0; x < kSide; ++x)
        {
            const float d = Shape::Box(x + 0.5f, y + 0.5f, kCentre, kCentre, 55.0f, 55.0f, 14.0f);
            canvas.Blend(x, y, tile.r * light, tile.g * light, tile.b * light, std::clamp(0.5f - d, 0.0f, 1.0f));
        }
    }
    symbol(canvas);
    PimTexture picture;
    return picture.Create(kSide, kSide, canvas.Bytes()) &&
           output.WritePicture(std::string("Graphics/Textures/Tools_") + name + ".png", picture);
}

void SingleVoxel(Canvas& canvas)
{
    IsoCube(canvas, kCentre, kCentre + 2.0f, 34.0f, kWhite);
}

void Line(Canvas& canvas)
{
    // A staircase of voxels from one picked point to the other.
    for (int i = 0; i < 6; ++i)
    {
        const float cx = 30.0f + i * 13.6f, cy = 96.0f - i * 12.8f;  // one voxel a step
        Paint(canvas, [=](float x, float y) { return Shape::Box(x, y, cx, cy, 7.5f, 7.5f, 1.5f); }, kWhite);
    }
    PickedPoint(canvas, 30.0f, 96.0f);
    PickedPoint(canvas, 98.0f, 32.0f);
}

void Triangle(Canvas& canvas)
{
    const float corners[6] = {30.0f, 98.0f, 100.0f, 90.0f, 56.0f, 28.0f};
    Paint(canvas, [&](float x, float y) { return Shape::Triangle(x, y, corners); }, kWhite);
    for (int i = 0; i < 3; ++i)
        PickedPoint(canvas, corners[i * 2], corners[i * 2 + 1]);
}

void Parallelogram(Canvas& canvas)
{
    // Picked: the first corner, the second, and the third; the fourth follows.
    const float corners[8] = {26.0f, 92.0f, 78.0f, 92.0f, 102.0f, 36.0f, 50.0f, 36.0f};
    Paint(canvas, [&](float x, float y) { return Shape::ConvexPolygon(x, y, corners); }, kWhite);
    for (int i = 0; i < 3; ++i)
        PickedPoint(canvas, corners[i * 2], corners[i * 2 + 1]);
}

void Disc(Canvas& canvas)
{
    Paint(canvas, [](float x, float y) { return Shape::Circle(x, y, kCentre, kCentre, 40.0f); }, kWhite);
    // The centre and the point the radius is taken to.
    Paint(canvas, [](float x, float y) { return Shape::Segment(x, y, kCentre, kCentre, kCentre + 40.0f, kCentre, 2.0f); },
          {0.55f, 0.62f, 0.75f});
    PickedPoint(canvas, kCentre, kCentre);
    PickedPoint(canvas, kCentre + 40.0f, kCentre);
}

void Ring(Canvas& canvas)
{
    Paint(canvas, [](float x, float y) { return std::fabs(Shape::Circle(x, y, kCentre, kCentre, 38.0f)) - 6.0f; }, kWhite);
    Paint(canvas, [](float x, float y) { return Shape::Segment(x, y, kCentre, kCentre, kCentre + 38.0f, kCentre, 2.0f); },
          {0.85f, 0.9f, 1.0f}, 0.7f);
    PickedPoint(canvas, kCentre, kCentre);
    PickedPoint(canvas, kCentre + 38.0f, kCentre);
}

void Select(Canvas& canvas)
{
    // A dashed box with its corner handles.
    const float l = 30.0f, r = 98.0f, t = 30.0f, b = 98.0f;
    for (float s = l + 10.0f; s < r - 6.0f; s += 14.0f)
    {
        Paint(canvas, [=](float x, float y) { return Shape::Box(x, y, s, t, 4.0f, 2.5f); }, kWhite);
        Paint(canvas, [=](float x, float y) { return Shape::Box(x, y, s, b, 4.0f, 2.5f); }, kWhite);
        Paint(canvas, [=](float x, float y) { return Shape::Box(x, y, l, s, 2.5f, 4.0f); }, kWhite);
        Paint(canvas, [=](float x, float y) { return Shape::Box(x, y, r, s, 2.5f, 4.0f); }, kWhite);
    }
    for (float cx : {l, r})
        for (float cy : {t, b})
            Paint(canvas, [=](float x, float y) { return Shape::Box(x, y, cx, cy, 7.0f, 7.0f, 1.5f); }, kWhite);
}

// A drop of paint falling onto what the fill makes.
void Drop(Canvas& canvas, float cx, float cy)
{
    const float tip[6] = {cx, cy - 17.0f, cx - 8.5f, cy + 1.0f, cx + 8.5f, cy + 1.0f};
    Paint(canvas, [&](float x, float y) { return std::min(Shape::Triangle(x, y, tip), Shape::Circle(x, y, cx, cy + 3.0f, 9.0f)); },
          {0.12f, 0.12f, 0.16f}, 0.85f);
    Paint(canvas, [&](float x, float y) { return std::min(Shape::Triangle(x, y, tip) + 2.5f, Shape::Circle(x, y, cx, cy + 3.0f, 6.5f)); },
          kPoint);
}

void FillCube(Canvas& canvas)
{
    IsoCube(canvas, kCentre - 4.0f, kCentre + 6.0f, 38.0f, kWhite);
    Drop(canvas, 100.0f, 30.0f);
}

void FillSphere(Canvas& canvas)
{
    // A ball lit from the upper left.
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
        {
            const float px = x + 0.5f, py = y + 0.5f;
            const float d = Shape::Circle(px, py, kCentre - 4.0f, kCentre + 6.0f, 38.0f);
            const float lx = (px - (kCentre - 18.0f)) / 60.0f, ly = (py - (kCentre - 8.0f)) / 60.0f;
            const float shade = std::clamp(1.05f - std::sqrt(lx * lx + ly * ly) * 0.55f, 0.55f, 1.0f);
            canvas.Blend(x, y, shade, shade, shade, std::clamp(0.5f - d, 0.0f, 1.0f));
        }
    Drop(canvas, 100.0f, 30.0f);
}

void ReferenceImage(Canvas& canvas)
{
    // A framed picture: a sun over two hills.
    Paint(canvas, [](float x, float y) { return Shape::Box(x, y, kCentre, kCentre, 42.0f, 34.0f, 3.0f); }, kWhite);
    Paint(canvas, [](float x, float y) { return Shape::Box(x, y, kCentre, kCentre, 34.0f, 26.0f, 1.0f); },
          {0.62f, 0.84f, 0.96f});
    Paint(canvas, [](float x, float y) { return Shape::Circle(x, y, 82.0f, 50.0f, 7.0f); }, kPoint);
    const float hill[6] = {30.0f, 90.0f, 58.0f, 56.0f, 86.0f, 90.0f};
    const float back[6] = {56.0f, 90.0f, 78.0f, 66.0f, 98.0f, 90.0f};
    const auto inside = [](float x, float y) { return Shape::Box(x, y, kCentre, kCentre, 34.0f, 26.0f); };
    Paint(canvas, [&](float x, float y) { return std::max(Shape::Triangle(x, y, back), inside(x, y)); }, {0.30f, 0.55f, 0.35f});
    Paint(canvas, [&](float x, float y) { return std::max(Shape::Triangle(x, y, hill), inside(x, y)); }, {0.18f, 0.45f, 0.25f});
}

void FillPlain(Canvas& canvas)
{
    // A flat layer of voxels seen from above: the part the fill has reached is white, the rest
    // still outlined; three picked points name the plane.
    const float ox = 20.0f, oy = 78.0f;  // the near corner
    const auto cell = [&](int i, int j) {
        // Cell (i, j) of a 4 x 4 layer in an oblique view.
        const float x0 = ox + i * 16.0f + j * 8.0f, y0 = oy - j * 11.0f;
        return std::array<float, 8>{x0, y0, x0 + 16.0f, y0, x0 + 24.0f, y0 - 11.0f, x0 + 8.0f, y0 - 11.0f};
    };
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
        {
            const std::array<float, 8> c = cell(i, j);
            const float corners[8] = {c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]};
            const bool filled = i + j < 5;
            Paint(canvas, [&](float x, float y) { return Shape::ConvexPolygon(x, y, corners) + 1.2f; },
                  filled ? kWhite : Rgb{0.98f, 0.80f, 0.56f}, filled ? 1.0f : 0.55f);
        }
    PickedPoint(canvas, ox + 8.0f, oy - 5.5f);
    PickedPoint(canvas, ox + 56.0f, oy - 5.5f);
    PickedPoint(canvas, ox + 32.0f, oy - 38.5f);
    Drop(canvas, 102.0f, 32.0f);
}

void Fill(Canvas& canvas)
{
    // A block of voxels all taken by the fill, and the drop that starts it.
    IsoCube(canvas, kCentre - 18.0f, kCentre + 18.0f, 20.0f, kWhite);
    IsoCube(canvas, kCentre + 14.0f, kCentre + 18.0f, 20.0f, kWhite);
    IsoCube(canvas, kCentre - 2.0f, kCentre - 10.0f, 20.0f, kWhite);
    Drop(canvas, 100.0f, 28.0f);
}
}

bool GenerateToolIcons(const ContentOutput& output)
{
    return WriteIcon(output, "SingleVoxel", kShapes, SingleVoxel) && WriteIcon(output, "LineTool", kShapes, Line) &&
           WriteIcon(output, "MagicTriangle", kShapes, Triangle) && WriteIcon(output, "MagicQuad", kShapes, Parallelogram) &&
           WriteIcon(output, "MagicCircle", kShapes, Disc) && WriteIcon(output, "MagicRing", kShapes, Ring) &&
           WriteIcon(output, "Select", kSelection, Select) && WriteIcon(output, "FillCube", kFills, FillCube) &&
           WriteIcon(output, "FillSphere", kFills, FillSphere) &&
           WriteIcon(output, "ReferenceImage", kPictures, ReferenceImage) &&
           WriteIcon(output, "FillPlain", kFills, FillPlain) && WriteIcon(output, "Fill", kFills, Fill);
}
