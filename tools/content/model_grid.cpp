// "Graphics/Textures/modelgrid.png": the ground plane's grid, drawn once per voxel. The plane maps
// the picture's middle onto voxel edges, so the lines cross at the centre; the picture repeats
// seamlessly because every column and row depends only on its distance from the centre line.
#include "content_output.h"
#include "families.h"

#include "engine/PimColor.h"
#include "engine/PimTexture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace
{
constexpr int kSide = 128;
constexpr float kCentre = kSide / 2.0f;
constexpr float kLineHalfWidth = 1.25f;  // pixels
constexpr float kGlowWidth = 5.0f;       // pixels

struct Rgba
{
    float r, g, b, a;
};
constexpr Rgba kFloor{34.0f, 40.0f, 52.0f, 120.0f};
constexpr Rgba kLine{196.0f, 214.0f, 236.0f, 235.0f};

// How much of a pixel at `distance` from the line's middle the line covers (a box filter of one
// pixel, so the edges are smooth).
float Coverage(float distance)
{
    return std::clamp(kLineHalfWidth + 0.5f - distance, 0.0f, 1.0f);
}

float Glow(float distance)
{
    const float t = distance / kGlowWidth;
    return 0.3f * std::exp(-t * t);
}

std::uint8_t Byte(float value)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

PimColor GridPixel(int x, int y)
{
    const float dx = std::fabs(static_cast<float>(x) + 0.5f - kCentre);
    const float dy = std::fabs(static_cast<float>(y) + 0.5f - kCentre);
    const float line = std::max(Coverage(dx), Coverage(dy));
    const float share = std::max(line, std::max(Glow(dx), Glow(dy)));
    const auto mix = [share](float floor, float lineValue) { return floor + (lineValue - floor) * share; };
    return PimColor(Byte(mix(kFloor.r, kLine.r)), Byte(mix(kFloor.g, kLine.g)), Byte(mix(kFloor.b, kLine.b)),
                    Byte(mix(kFloor.a, kLine.a)));
}
} // namespace

bool GenerateModelGrid(const ContentOutput& output)
{
    std::vector<std::uint8_t> rgba;
    rgba.reserve(static_cast<std::size_t>(kSide) * kSide * 4);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
        {
            const PimColor pixel = GridPixel(x, y);
            rgba.insert(rgba.end(), {pixel.r, pixel.g, pixel.b, pixel.a});
        }
    PimTexture picture;
    return picture.Create(kSide, kSide, rgba) && output.WritePicture("Graphics/Textures/modelgrid.png", picture);
}
