#pragma once

// Writes PNG files of every colour type and bit depth straight through libpng, so that the
// engine's reader is checked against files it did not write itself.

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct TestPng
{
    png_uint_32 width = 1;
    png_uint_32 height = 1;
    int colorType = PNG_COLOR_TYPE_RGBA;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<std::vector<png_byte>> rows{};  // packed as the colour type and depth ask; 16-bit big-endian
    std::vector<png_color> palette{};
    std::vector<png_byte> paletteAlpha{};  // tRNS of a palette picture
    bool colorKey = false;                // tRNS of a grey or RGB picture
    png_color_16 keyColor{};
    bool emptyData = false;  // header, then an empty IDAT and IEND: the pixels never come
};

inline bool WriteTestPng(const std::filesystem::path& path, const TestPng& picture)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rowPointers;
    for (const auto& row : picture.rows)
        rowPointers.push_back(const_cast<png_bytep>(row.data()));
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, picture.width, picture.height, picture.bitDepth, picture.colorType,
                 picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!picture.palette.empty())
        png_set_PLTE(png, info, picture.palette.data(), static_cast<int>(picture.palette.size()));
    if (!picture.paletteAlpha.empty())
        png_set_tRNS(png, info, picture.paletteAlpha.data(), static_cast<int>(picture.paletteAlpha.size()), nullptr);
    if (picture.colorKey)
        png_set_tRNS(png, info, nullptr, 0, &picture.keyColor);
    png_write_info(png, info);
    if (picture.emptyData)
    {
        png_write_flush(png);
        static const unsigned char emptyIdatAndEnd[] = {0, 0, 0, 0, 'I', 'D', 'A', 'T', 0x35, 0xAF, 0x06, 0x1E,
                                                        0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
        std::fwrite(emptyIdatAndEnd, 1, sizeof emptyIdatAndEnd, file);
    }
    else
    {
        png_write_image(png, rowPointers.data());
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

inline std::vector<char> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
