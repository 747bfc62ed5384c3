#include "engine/PimTexture.h"

#include "engine/PimAssert.h"
#include "engine/PimFilePath.h"
#include "engine/PimPngCodec.h"
#include "engine/PimSystem.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace
{
bool IsPictureSize(int width, int height)
{
    return width > 0 && height > 0 && width <= PimPngCodec::MaxSide && height <= PimPngCodec::MaxSide;
}
}

PimTexture::PimTexture(const PimTexture& other)
{
    CopyPictureFrom(other);
}

PimTexture& PimTexture::operator=(const PimTexture& other)
{
    if (this != &other)
        CopyPictureFrom(other);
    return *this;
}

PimTexture::PimTexture(PimTexture&& other) noexcept
    : width(std::exchange(other.width, 0)),
      height(std::exchange(other.height, 0)),
      pixels(std::move(other.pixels)),
      loadError(std::move(other.loadError)),
      filter(other.filter),
      wrap(other.wrap),
      glTexture(std::exchange(other.glTexture, 0u)),
      glGeneration(other.glGeneration),
      glPixelsStale(std::exchange(other.glPixelsStale, true)),
      glSamplingStale(std::exchange(other.glSamplingStale, true))
{
    other.pixels.clear();
}

PimTexture& PimTexture::operator=(PimTexture&& other) noexcept
{
    if (this != &other)
    {
        ReleaseGL();
        width = std::exchange(other.width, 0);
        height = std::exchange(other.height, 0);
        pixels = std::move(other.pixels);
        other.pixels.clear();
        loadError = std::move(other.loadError);
        filter = other.filter;
        wrap = other.wrap;
        glTexture = std::exchange(other.glTexture, 0u);
        glGeneration = other.glGeneration;
        glPixelsStale = std::exchange(other.glPixelsStale, true);
        glSamplingStale = std::exchange(other.glSamplingStale, true);
    }
    return *this;
}

PimTexture::~PimTexture()
{
    ReleaseGL();
}

void PimTexture::CopyPictureFrom(const PimTexture& other)
{
    width = other.width;
    height = other.height;
    pixels = other.pixels;
    loadError = other.loadError;
    filter = other.filter;
    wrap = other.wrap;
    glPixelsStale = true;
    glSamplingStale = true;
}

bool PimTexture::Load(std::string_view path)
{
    PimRgbaImage image;
    std::string error;
    if (!PimPngCodec::Read(PimFilePath(path).Native(), image, error))
    {
        Clear();
        loadError = std::move(error);
        return false;
    }
    width = image.width;
    height = image.height;
    pixels = std::move(image.pixels);
    loadError.clear();
    glPixelsStale = true;
    return true;
}

bool PimTexture::Save(std::string_view path) const
{
    std::string error;
    return IsValid() && PimPngCodec::Write(PimFilePath(path).Native(), width, height, pixels, error);
}

bool PimTexture::Create(int newWidth, int newHeight, std::span<const std::uint8_t> rgba)
{
    if (!IsPictureSize(newWidth, newHeight) || rgba.size() != std::size_t(newWidth) * std::size_t(newHeight) * 4)
    {
        Clear();
        return false;
    }
    pixels.assign(rgba.begin(), rgba.end());
    width = newWidth;
    height = newHeight;
    loadError.clear();
    glPixelsStale = true;
    return true;
}

bool PimTexture::Create(int newWidth, int newHeight, PimColor fill)
{
    static_assert(sizeof(PimColor) == 4, "a colour is one RGBA pixel");
    if (!IsPictureSize(newWidth, newHeight))
    {
        Clear();
        return false;
    }
    const std::size_t count = std::size_t(newWidth) * std::size_t(newHeight);
    pixels.resize(count * 4);
    for (std::size_t i = 0; i < count; ++i)
        std::memcpy(&pixels[i * 4], &fill, 4);
    width = newWidth;
    height = newHeight;
    loadError.clear();
    glPixelsStale = true;
    return true;
}

void PimTexture::Clear()
{
    ReleaseGL();
    width = 0;
    height = 0;
    pixels.clear();
    pixels.shrink_to_fit();
    loadError.clear();
}

PimColor PimTexture::GetColor(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return PimColor(0, 0, 0, 0);
    const std::uint8_t* p = &pixels[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4];
    return PimColor(p[0], p[1], p[2], p[3]);
}

void PimTexture::SetColor(int x, int y, PimColor color)
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    std::uint8_t* p = &pixels[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4];
    p[0] = color.r;
    p[1] = color.g;
    p[2] = color.b;
    p[3] = color.a;
    glPixelsStale = true;
}

bool PimTexture::StitchTextures(std::span<const PimTexture> pictures, int across, int down)
{
    if (across <= 0 || down <= 0 || pictures.empty() || pictures.size() > std::size_t(across) * std::size_t(down))
    {
        PimAssert::Assert(false, "PimTexture::StitchTextures() - pictures do not fit the grid");
        return false;
    }
    const int cellWidth = pictures.front().width;
    const int cellHeight = pictures.front().height;
    for (const PimTexture& picture : pictures)
    {
        if (!picture.IsValid() || picture.width != cellWidth || picture.height != cellHeight)
        {
            PimAssert::Assert(false, "PimTexture::StitchTextures() - pictures are missing or differ in size");
            return false;
        }
    }
    if (std::int64_t(cellWidth) * across > PimPngCodec::MaxSide || std::int64_t(cellHeight) * down > PimPngCodec::MaxSide)
    {
        PimAssert::Assert(false, "PimTexture::StitchTextures() - stitched picture too large");
        return false;
    }

    // Built aside first: this texture may itself be one of the pictures.
    PimTexture sheet;
    sheet.Create(cellWidth * across, cellHeight * down, PimColor(0, 0, 0, 0));
    const std::size_t cellRowBytes = std::size_t(cellWidth) * 4;
    const std::size_t sheetRowBytes = cellRowBytes * std::size_t(across);
    for (std::size_t i = 0; i < pictures.size(); ++i)
    {
        const std::size_t column = i % std::size_t(across);
        const std::size_t row = i / std::size_t(across);
        std::uint8_t* target = sheet.pixels.data() + row * std::size_t(cellHeight) * sheetRowBytes + column * cellRowBytes;
        const std::uint8_t* source = pictures[i].pixels.data();
        for (int y = 0; y < cellHeight; ++y)
            std::memcpy(target + std::size_t(y) * sheetRowBytes, source + std::size_t(y) * cellRowBytes, cellRowBytes);
    }
    width = sheet.width;
    height = sheet.height;
    pixels = std::move(sheet.pixels);
    loadError.clear();
    glPixelsStale = true;
    return true;
}

void PimTexture::FlipPixels()
{
    const std::size_t rowBytes = std::size_t(width) * 4;
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
    {
        std::swap_ranges(pixels.begin() + std::ptrdiff_t(rowBytes * std::size_t(top)),
                         pixels.begin() + std::ptrdiff_t(rowBytes * std::size_t(top + 1)),
                         pixels.begin() + std::ptrdiff_t(rowBytes * std::size_t(bottom)));
    }
    if (height > 1)
        glPixelsStale = true;
}

void PimTexture::SetFilter(PimTextureFilter newFilter)
{
    // Mipmaps are made with the pixel upload, so switching to them uploads again.
    if (newFilter == PimTextureFilter::LinearMipmap && filter != newFilter)
        glPixelsStale = true;
    filter = newFilter;
    glSamplingStale = true;
}

void PimTexture::SetWrap(PimTextureWrap newWrap)
{
    wrap = newWrap;
    glSamplingStale = true;
}

unsigned int PimTexture::GetGLTexture() const
{
    const std::uint32_t generation = PimSystem::GetGLContextGeneration();
    if (!IsValid() || generation == 0)
        return 0;
    if (!PimSystem::IsMainThread())
    {
        PimAssert::Assert(false, "PimTexture::GetGLTexture() - called off the main thread");
        return 0;
    }
    if (glGeneration != generation)
    {
        // The name, if any, died with the context it was made in.
        glTexture = 0;
        glGeneration = generation;
    }
    if (glTexture == 0)
    {
        glGenTextures(1, &glTexture);
        glPixelsStale = true;
        glSamplingStale = true;
    }
    glBindTexture(GL_TEXTURE_2D, glTexture);
    if (glPixelsStale)
    {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        if (filter == PimTextureFilter::LinearMipmap)
            glGenerateMipmap(GL_TEXTURE_2D);
        glPixelsStale = false;
    }
    if (glSamplingStale)
    {
        const GLint sampling = filter == PimTextureFilter::Nearest ? GL_NEAREST : GL_LINEAR;
        const GLint minifying = filter == PimTextureFilter::LinearMipmap ? GL_LINEAR_MIPMAP_LINEAR : sampling;
        const GLint wrapping = wrap == PimTextureWrap::Repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minifying);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, sampling);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapping);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapping);
        glSamplingStale = false;
    }
    return glTexture;
}

bool PimTexture::Bind(int unit) const
{
    if (!IsValid() || PimSystem::GetGLContextGeneration() == 0 || unit < 0)
        return false;
    if (!PimSystem::IsMainThread())
    {
        PimAssert::Assert(false, "PimTexture::Bind() - called off the main thread");
        return false;
    }
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    return GetGLTexture() != 0;
}

void PimTexture::ReleaseGL()
{
    if (glTexture != 0 && glGeneration == PimSystem::GetGLContextGeneration())
    {
        if (PimSystem::IsMainThread())
            glDeleteTextures(1, &glTexture);
        else
            PimAssert::Assert(false, "PimTexture - GL texture released off the main thread and leaked");
    }
    glTexture = 0;
    glPixelsStale = true;
    glSamplingStale = true;
}
