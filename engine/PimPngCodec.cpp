#include "engine/PimPngCodec.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace
{
// Everything the decoder touches lives here, in the caller's frame: libpng reports errors with
// longjmp back into Decode, which must not jump over a destructor in the frame it leaves.
struct DecodeState
{
    // The source: a file, or bytes in memory when file is null. The signature has been read.
    std::FILE* file = nullptr;
    std::span<const std::uint8_t> bytes;
    std::size_t offset = 0;

    png_structp png = nullptr;
    png_infop info = nullptr;
    PimRgbaImage* image = nullptr;
    std::vector<png_bytep> rows;
    char message[160] = "unknown error";
};

void OnPngError(png_structp png, png_const_charp message)
{
    auto* state = static_cast<DecodeState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message);
    png_longjmp(png, 1);
}

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length)
{
    auto* state = static_cast<DecodeState*>(png_get_io_ptr(png));
    if (length > state->bytes.size() - state->offset)
        png_error(png, "Read Error");
    std::memcpy(out, state->bytes.data() + state->offset, length);
    state->offset += length;
}

// Warnings (unknown chunks, odd colour profiles) do not change the pixels; the engine stays quiet.
void OnPngWarning(png_structp, png_const_charp) {}

bool TakePixelMemory(DecodeState& state, png_uint_32 width, png_uint_32 height) noexcept
{
    try
    {
        const std::size_t rowBytes = std::size_t(width) * 4;
        state.image->width = static_cast<int>(width);
        state.image->height = static_cast<int>(height);
        state.image->pixels.assign(rowBytes * height, 0);
        state.rows.resize(height);
        for (png_uint_32 y = 0; y < height; ++y)
            state.rows[y] = state.image->pixels.data() + rowBytes * y;
        return true;
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
}

// Asks libpng for 8-bit RGBA whatever the file holds, without gamma correction.
void RequestRgba8(png_structp png, png_infop info)
{
    png_set_expand(png);  // palette to RGB, grey below 8 bits to 8 bits, tRNS to alpha
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    const bool hasAlpha = (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) != 0
        || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (!hasAlpha)
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
}

// The signature has been read already. Only trivially destructible locals here (see DecodeState).
bool Decode(DecodeState& state)
{
    state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnPngError, OnPngWarning);
    if (state.png != nullptr)
        state.info = png_create_info_struct(state.png);
    if (state.info == nullptr)
    {
        png_destroy_read_struct(&state.png, nullptr, nullptr);
        std::snprintf(state.message, sizeof state.message, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(state.png)))
    {
        png_destroy_read_struct(&state.png, &state.info, nullptr);
        return false;
    }
    if (state.file != nullptr)
        png_init_io(state.png, state.file);
    else
        png_set_read_fn(state.png, &state, ReadFromMemory);
    png_set_sig_bytes(state.png, 8);
    png_set_user_limits(state.png, PimPngCodec::MaxSide, PimPngCodec::MaxSide);
    png_read_info(state.png, state.info);

    const png_uint_32 width = png_get_image_width(state.png, state.info);
    const png_uint_32 height = png_get_image_height(state.png, state.info);
    if (std::int64_t(width) * height > PimPngCodec::MaxPixels)
        png_error(state.png, "picture too large");
    RequestRgba8(state.png, state.info);
    png_read_update_info(state.png, state.info);
    if (png_get_rowbytes(state.png, state.info) != std::size_t(width) * 4)
        png_error(state.png, "unexpected pixel layout");
    if (!TakePixelMemory(state, width, height))
        png_error(state.png, "not enough memory for the picture");
    png_read_image(state.png, state.rows.data());
    png_read_end(state.png, nullptr);
    png_destroy_read_struct(&state.png, &state.info, nullptr);
    return true;
}

constexpr std::size_t SignatureSize = 8;

bool DecodeAfterSignature(std::span<const png_byte> signature, DecodeState& state, PimRgbaImage& image,
                          std::string& error)
{
    if (signature.size() != SignatureSize || png_sig_cmp(signature.data(), 0, SignatureSize) != 0)
    {
        error = "not a PNG file";
        return false;
    }
    state.image = &image;
    if (Decode(state))
        return true;
    image = {};
    error = std::string("unreadable PNG file: ") + state.message;
    return false;
}
}

bool PimPngCodec::Read(const std::filesystem::path& file, PimRgbaImage& image, std::string& error)
{
    image = {};
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (f == nullptr)
    {
        error = "cannot open the file";
        return false;
    }
    png_byte signature[SignatureSize] = {};
    const std::size_t signatureRead = std::fread(signature, 1, sizeof signature, f);
    DecodeState state;
    state.file = f;
    const bool decoded = DecodeAfterSignature(std::span(signature, signatureRead), state, image, error);
    std::fclose(f);
    return decoded;
}

bool PimPngCodec::ReadSize(const std::filesystem::path& file, int& width, int& height, std::string& error)
{
    width = 0;
    height = 0;
    std::error_code ec;
    // A FIFO or a device would block or never end; only a regular file is opened.
    if (!std::filesystem::is_regular_file(file, ec))
    {
        error = "not a regular file";
        return false;
    }
    png_byte header[24] = {};
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (f == nullptr)
    {
        error = "cannot open the file";
        return false;
    }
    const std::size_t read = std::fread(header, 1, sizeof header, f);
    std::fclose(f);
    if (read < sizeof header || png_sig_cmp(header, 0, SignatureSize) != 0 || std::memcmp(header + 12, "IHDR", 4) != 0)
    {
        error = "not a PNG file";
        return false;
    }
    const auto bigEndian = [&header](int at) {
        return (std::uint32_t(header[at]) << 24) | (std::uint32_t(header[at + 1]) << 16) |
               (std::uint32_t(header[at + 2]) << 8) | std::uint32_t(header[at + 3]);
    };
    const std::uint32_t w = bigEndian(16);
    const std::uint32_t h = bigEndian(20);
    width = static_cast<int>(std::min<std::uint32_t>(w, 0x7FFFFFFF));
    height = static_cast<int>(std::min<std::uint32_t>(h, 0x7FFFFFFF));
    if (w == 0 || h == 0)
    {
        error = "a PNG file of no pixels";
        return false;
    }
    if (w > std::uint32_t(MaxSide) || h > std::uint32_t(MaxSide) || std::int64_t(w) * h > MaxPixels)
    {
        error = "a picture of " + std::to_string(w) + " x " + std::to_string(h) + " pixels, larger than " +
                std::to_string(MaxSide) + " on a side or " + std::to_string(MaxPixels) + " pixels";
        return false;
    }
    return true;
}

bool PimPngCodec::ReadMemory(std::span<const std::uint8_t> bytes, PimRgbaImage& image, std::string& error)
{
    image = {};
    DecodeState state;
    state.bytes = bytes;
    state.offset = std::min(bytes.size(), SignatureSize);
    return DecodeAfterSignature(bytes.first(state.offset), state, image, error);
}

bool PimPngCodec::Write(const std::filesystem::path& file, int width, int height,
                        std::span<const std::uint8_t> rgba, std::string& error)
{
    if (width <= 0 || height <= 0 || width > MaxSide || height > MaxSide
        || rgba.size() != std::size_t(width) * std::size_t(height) * 4)
    {
        error = "no picture to write";
        return false;
    }
    std::filesystem::path partial = file;
    partial += ".writing";
    std::FILE* f = std::fopen(partial.c_str(), "wb");
    if (f == nullptr)
    {
        error = "cannot create the file";
        return false;
    }
    png_image header{};
    header.version = PNG_IMAGE_VERSION;
    header.width = static_cast<png_uint_32>(width);
    header.height = static_cast<png_uint_32>(height);
    header.format = PNG_FORMAT_RGBA;
    const bool encoded = png_image_write_to_stdio(&header, f, 0, rgba.data(), 0, nullptr) != 0;
    const bool closed = std::fclose(f) == 0;
    std::error_code ec;
    if (encoded && closed)
        std::filesystem::rename(partial, file, ec);
    if (!encoded || !closed || ec)
    {
        error = !encoded ? std::string("cannot encode the picture: ") + header.message
                         : "cannot write the file";
        png_image_free(&header);
        std::filesystem::remove(partial, ec);
        return false;
    }
    return true;
}
