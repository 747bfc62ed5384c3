#pragma once

#include <cstdint>

// An RGBA colour of four bytes, as stored in the voxel colour tables and palettes.
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
};
