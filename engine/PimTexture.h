#pragma once

#include "engine/PimColor.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class PimTextureFilter : std::uint8_t
{
    Linear,
    Nearest,  // voxel face atlases: no blurring across texel edges
    // Linear with mipmaps: pictures and text seen from afar (small on screen) stay smooth
    // instead of shimmering.
    LinearMipmap,
};

enum class PimTextureWrap : std::uint8_t
{
    Repeat,
    Clamp,
};

// An RGBA picture (8 bits a channel, rows top-down) kept in memory, with a GL copy made on demand.
//
// The CPU side (Load, Save, Create, pixel access, stitching, flipping) works without any GL
// context and may run on any thread that owns the texture, e.g. the world worker loading a face
// atlas. The GL side (GetGLTexture, Bind) runs on the main thread only; it uploads the pixels the
// first time they are needed and again after they change. In texture coordinates, v = 0 is the
// picture's top row.
class PimTexture
{
public:
    PimTexture() = default;
    // A copy takes the pixels and sampling settings and makes its own GL copy when used.
    PimTexture(const PimTexture& other);
    PimTexture& operator=(const PimTexture& other);
    PimTexture(PimTexture&& other) noexcept;
    PimTexture& operator=(PimTexture&& other) noexcept;
    ~PimTexture();

    // Reads a PNG of any colour type and bit depth. On failure the texture is invalid and
    // GetLoadError says why; the process goes on. Paths may use "\\" or "/".
    bool Load(std::string_view path);
    // Writes the picture as an RGBA PNG; false for an invalid texture or a write failure.
    bool Save(std::string_view path) const;
    const std::string& GetLoadError() const { return loadError; }

    // A picture from width x height x 4 bytes of RGBA, rows top-down; false (and invalid) when the
    // byte count does not match or the size is outside 1 to PimPngCodec::MaxSide.
    bool Create(int width, int height, std::span<const std::uint8_t> rgba);
    bool Create(int width, int height, PimColor fill);
    void Clear();

    bool IsValid() const { return width > 0; }
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    std::span<const std::uint8_t> GetPixels() const { return pixels; }

    // Pixel (0, 0) is the top-left. Outside the picture GetColor gives transparent black
    // (0, 0, 0, 0) and SetColor changes nothing.
    PimColor GetColor(int x, int y) const;
    void SetColor(int x, int y, PimColor color);

    // Lays same-size pictures out in a grid `across` wide and `down` high, left to right and top
    // to bottom, and makes the result this texture; cells without a picture stay transparent.
    // Fails (reported through PimAssert, texture unchanged) for an empty list, more pictures than
    // cells, an invalid picture or pictures of different sizes.
    bool StitchTextures(std::span<const PimTexture> pictures, int across, int down);

    // Turns the picture upside down: GL reads framebuffers bottom row first.
    void FlipPixels();

    void SetFilter(PimTextureFilter newFilter);
    PimTextureFilter GetFilter() const { return filter; }
    void SetWrap(PimTextureWrap newWrap);
    PimTextureWrap GetWrap() const { return wrap; }

    // Main thread only. The GL texture name, uploading first if needed; 0 without a GL context or
    // for an invalid texture. Leaves the texture bound to the active texture unit.
    unsigned int GetGLTexture() const;
    // Main thread only. Binds the texture to the given unit; false when there is nothing to bind.
    bool Bind(int unit) const;

private:
    void ReleaseGL();
    void CopyPictureFrom(const PimTexture& other);

    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
    std::string loadError;
    PimTextureFilter filter = PimTextureFilter::Linear;
    PimTextureWrap wrap = PimTextureWrap::Repeat;

    // The GL copy, touched only on the main thread. A name belongs to the GL context it was made
    // in; after the display is reopened the generation differs and the pixels are uploaded anew.
    mutable unsigned int glTexture = 0;
    mutable std::uint32_t glGeneration = 0;
    mutable bool glPixelsStale = true;
    mutable bool glSamplingStale = true;
};
