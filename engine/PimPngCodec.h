#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

// A picture as the engine keeps it: RGBA, 8 bits a channel, rows top-down, no padding.
struct PimRgbaImage
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// PNG files to and from RGBA pictures. Reading accepts every colour type and bit depth (grey,
// grey with alpha, palette with or without transparency, RGB, RGBA; 1 to 16 bits; interlaced)
// and converts to 8-bit RGBA without gamma correction. Any failure (missing file, not a PNG,
// corrupt or truncated data, a picture larger than the limits below) returns false with a short
// reason and never ends the process. Any thread may call these; they share no state.
class PimPngCodec
{
public:
    // Pictures wider or taller than this, or with more pixels than MaxPixels (256 MiB of RGBA),
    // are refused before any pixel memory is taken: a corrupt header must not exhaust memory.
    static constexpr int MaxSide = 16384;
    static constexpr std::int64_t MaxPixels = std::int64_t(1) << 26;

    static bool Read(const std::filesystem::path& file, PimRgbaImage& image, std::string& error);
    // The picture's size from the file's header alone (its first 24 bytes), and whether Read would
    // take a picture of that size: false with a reason for anything but a regular file, a file
    // that does not start as a PNG, or a picture beyond MaxSide or MaxPixels (width and height
    // are then still set from the header). Cheap enough to ask before a picture is chosen.
    static bool ReadSize(const std::filesystem::path& file, int& width, int& height, std::string& error);
    // The same from a PNG file's bytes in memory.
    static bool ReadMemory(std::span<const std::uint8_t> bytes, PimRgbaImage& image, std::string& error);

    // Writes an RGBA PNG. The file is written beside the target and renamed over it once complete,
    // so a failed write leaves any earlier file intact.
    static bool Write(const std::filesystem::path& file, int width, int height,
                      std::span<const std::uint8_t> rgba, std::string& error);
};
