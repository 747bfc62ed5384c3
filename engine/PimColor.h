#pragma once

#include "engine/PimVector3.h"
#include "engine/PimVector4.h"

#include <cstdint>

// An RGBA colour of four bytes, as stored in the voxel colour tables and palettes.
// Float forms use 0 to 1 per channel (byte / 255). A plain value: any thread may use its own
// copies.
struct PimColor
{
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 255;

    constexpr PimColor() = default;
    constexpr PimColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha = 255)
        : r(red), g(green), b(blue), a(alpha) {}

    constexpr bool operator==(const PimColor& o) const = default;

    // A colour from three floats in 0 to 1, alpha 255 (see SetColorFloat3).
    static PimColor FromFloat3(float red, float green, float blue);

    // Sets r, g, b from floats in 0 to 1: each is clamped to 0..1 (NaN counts as 0) and rounded
    // to the nearest byte, halves up, so byte / 255 reads back as the same byte. Alpha is kept.
    void SetColorFloat3(float red, float green, float blue);
    void SetColorFloat3(const PimVector3& rgb) { SetColorFloat3(rgb.x, rgb.y, rgb.z); }
    // As SetColorFloat3, alpha included.
    void SetColorFloat4(float red, float green, float blue, float alpha);

    PimVector3 GetColorFloat3() const { return {r / 255.0f, g / 255.0f, b / 255.0f}; }
    PimVector4 GetColorFloat4() const { return {r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f}; }

    // Euclidean distance between the two colours' red, green and blue, each channel taken as
    // byte / 255; alpha is ignored. 0 for equal colours, 1 for colours one full channel apart
    // (black and pure red), sqrt(3) at most (black and white). The picture voxeliser accepts a
    // palette entry only below 1.0.
    float GetDistance(const PimColor& other) const;

    // A float in 0..1 as a byte by the rule of SetColorFloat3.
    static std::uint8_t FloatToByte(float value);
};
