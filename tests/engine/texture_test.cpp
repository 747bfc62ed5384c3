#include "engine/PimAssert.h"
#include "engine/PimPngCodec.h"
#include "engine/PimTexture.h"

#include "../support/temp_folder.h"
#include "png_test_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <array>

namespace
{
constexpr PimColor Transparent(0, 0, 0, 0);

std::vector<png_byte> Bytes(std::initializer_list<int> values)
{
    std::vector<png_byte> bytes;
    for (int v : values)
        bytes.push_back(static_cast<png_byte>(v));
    return bytes;
}

// Loads a picture written by libpng directly and returns its pixels as the engine sees them.
PimTexture LoadWritten(const TempFolder& folder, const TestPng& picture)
{
    const auto path = folder / "picture.png";
    EXPECT_TRUE(WriteTestPng(path, picture));
    PimTexture texture;
    EXPECT_TRUE(texture.Load(path.string())) << texture.GetLoadError();
    return texture;
}

PimTexture Solid(int width, int height, PimColor color)
{
    PimTexture texture;
    texture.Create(width, height, color);
    return texture;
}
}

TEST(PimTextureFormats, GreyAndGreyAlphaBecomeRgba)
{
    TempFolder folder("texture-grey");
    TestPng grey{.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .bitDepth = 8, .rows = {Bytes({0, 200})}};
    PimTexture texture = LoadWritten(folder, grey);
    EXPECT_EQ(texture.GetColor(0, 0), PimColor(0, 0, 0, 255));
    EXPECT_EQ(texture.GetColor(1, 0), PimColor(200, 200, 200, 255));

    TestPng oneBit{.width = 8, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .bitDepth = 1, .rows = {Bytes({0b10110000})}};
    texture = LoadWritten(folder, oneBit);
    EXPECT_EQ(texture.GetColor(0, 0), PimColor(255, 255, 255, 255));
    EXPECT_EQ(texture.GetColor(1, 0), PimColor(0, 0, 0, 255));
    EXPECT_EQ(texture.GetColor(3, 0), PimColor(255, 255, 255, 255));
    EXPECT_EQ(texture.GetColor(7, 0), PimColor(0, 0, 0, 255));

    TestPng greyAlpha{.width = 1, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY_ALPHA, .bitDepth = 8, .rows = {Bytes({100, 50})}};
    EXPECT_EQ(LoadWritten(folder, greyAlpha).GetColor(0, 0), PimColor(100, 100, 100, 50));

    // 16-bit values are scaled to 8 bits, not treated as linear light: 0x8080 stays mid-grey.
    TestPng grey16{.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .bitDepth = 16, .rows = {Bytes({0x80, 0x80, 0xFF, 0xFF})}};
    texture = LoadWritten(folder, grey16);
    EXPECT_EQ(texture.GetColor(0, 0), PimColor(128, 128, 128, 255));
    EXPECT_EQ(texture.GetColor(1, 0), PimColor(255, 255, 255, 255));
}

TEST(PimTextureFormats, PaletteWithTransparencyBecomesRgba)
{
    TempFolder folder("texture-palette");
    TestPng picture{.width = 3, .height = 1, .colorType = PNG_COLOR_TYPE_PALETTE, .bitDepth = 4,
                    .rows = {Bytes({0x01, 0x20})},
                    .palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}},
                    .paletteAlpha = Bytes({255, 128})};  // shorter than the palette: the rest is opaque
    const PimTexture texture = LoadWritten(folder, picture);
    ASSERT_EQ(texture.GetWidth(), 3);
    EXPECT_EQ(texture.GetColor(0, 0), PimColor(255, 0, 0, 255));
    EXPECT_EQ(texture.GetColor(1, 0), PimColor(0, 255, 0, 128));
    EXPECT_EQ(texture.GetColor(2, 0), PimColor(0, 0, 255, 255));
}

TEST(PimTextureFormats, SixteenBitRgbColourKeyAndInterlacedRgb)
{
    TempFolder folder("texture-rgb");
    TestPng rgb16{.width = 1, .height = 1, .colorType = PNG_COLOR_TYPE_RGB_ALPHA, .bitDepth = 16,
                  .rows = {Bytes({0xFF, 0xFF, 0x80, 0x80, 0x00, 0x00, 0x40, 0x40})}};
    EXPECT_EQ(LoadWritten(folder, rgb16).GetColor(0, 0), PimColor(255, 128, 0, 64));

    TestPng keyed{.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_RGB, .bitDepth = 8,
                  .rows = {Bytes({10, 20, 30, 40, 50, 60})}, .colorKey = true};
    keyed.keyColor.red = 40;
    keyed.keyColor.green = 50;
    keyed.keyColor.blue = 60;
    PimTexture texture = LoadWritten(folder, keyed);
    EXPECT_EQ(texture.GetColor(0, 0), PimColor(10, 20, 30, 255));
    EXPECT_EQ(texture.GetColor(1, 0).a, 0);

    TestPng interlaced{.width = 5, .height = 5, .colorType = PNG_COLOR_TYPE_RGB, .bitDepth = 8, .interlaced = true};
    for (int y = 0; y < 5; ++y)
    {
        std::vector<png_byte> row;
        for (int x = 0; x < 5; ++x)
            row.insert(row.end(), {png_byte(x * 50), png_byte(y * 50), png_byte(7)});
        interlaced.rows.push_back(row);
    }
    texture = LoadWritten(folder, interlaced);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(texture.GetColor(x, y), PimColor(std::uint8_t(x * 50), std::uint8_t(y * 50), 7, 255)) << x << "," << y;
}

TEST(PimTextureFile, SaveAndLoadKeepEveryChannel)
{
    TempFolder folder("texture-roundtrip");
    PimTexture original;
    std::vector<std::uint8_t> rgba;
    for (int i = 0; i < 7 * 3; ++i)
        rgba.insert(rgba.end(), {std::uint8_t(i * 11), std::uint8_t(255 - i), std::uint8_t(i * 3), std::uint8_t(i * 12)});
    ASSERT_TRUE(original.Create(7, 3, rgba));

    // The program writes its paths with "\\".
    const std::string path = folder.path.string() + "\\SaveView.png";
    ASSERT_TRUE(original.Save(path));
    EXPECT_TRUE(std::filesystem::exists(folder / "SaveView.png"));
    EXPECT_FALSE(std::filesystem::exists(folder / "SaveView.png.writing"));

    PimTexture loaded;
    ASSERT_TRUE(loaded.Load(path));
    EXPECT_EQ(loaded.GetWidth(), 7);
    EXPECT_EQ(loaded.GetHeight(), 3);
    EXPECT_TRUE(std::ranges::equal(loaded.GetPixels(), original.GetPixels()));
}

TEST(PimTextureFile, SaveFailsForNothingToSaveOrNowhereToWrite)
{
    TempFolder folder("texture-savefail");
    EXPECT_FALSE(PimTexture().Save((folder / "empty.png").string()));
    EXPECT_FALSE(std::filesystem::exists(folder / "empty.png"));
    EXPECT_FALSE(Solid(2, 2, PimColor(1, 2, 3)).Save((folder / "missing" / "x.png").string()));
}

TEST(PimTextureFile, BadFilesGiveAnInvalidTextureWithAReason)
{
    TempFolder folder("texture-corrupt");
    PimTexture good = Solid(40, 40, PimColor(9, 8, 7));
    std::vector<std::uint8_t> noise;
    for (int i = 0; i < 40 * 40 * 4; ++i)
        noise.push_back(std::uint8_t((i * 7919) >> 3));
    good.Create(40, 40, noise);
    ASSERT_TRUE(good.Save((folder / "good.png").string()));
    const std::vector<char> bytes = ReadBytes(folder / "good.png");

    std::vector<char> truncated(bytes.begin(), bytes.begin() + std::ptrdiff_t(bytes.size() / 2));
    WriteBytes(folder / "truncated.png", truncated);
    std::vector<char> damaged = bytes;
    damaged[damaged.size() / 2] = char(damaged[damaged.size() / 2] ^ 0x5A);
    WriteBytes(folder / "damaged.png", damaged);
    WriteBytes(folder / "text.png", {'h', 'e', 'l', 'l', 'o', '\n'});
    WriteBytes(folder / "empty.png", {});
    std::vector<char> signatureOnly(bytes.begin(), bytes.begin() + 8);
    WriteBytes(folder / "signature.png", signatureOnly);

    const std::array<std::pair<const char*, const char*>, 7> cases = {{
        {"missing.png", "cannot open"},
        {"truncated.png", "unreadable PNG"},
        {"damaged.png", "unreadable PNG"},
        {"text.png", "not a PNG"},
        {"empty.png", "not a PNG"},
        {"signature.png", "unreadable PNG"},
        {"", "not a PNG"},  // the folder itself
    }};
    for (const auto& [name, reason] : cases)
    {
        PimTexture texture = good;
        EXPECT_FALSE(texture.Load((folder / name).string())) << name;
        EXPECT_FALSE(texture.IsValid()) << name;
        EXPECT_EQ(texture.GetWidth(), 0) << name;
        EXPECT_NE(texture.GetLoadError().find(reason), std::string::npos) << name << ": " << texture.GetLoadError();
        EXPECT_EQ(texture.GetColor(0, 0), Transparent);
    }
}

TEST(PimTextureFile, HugeDeclaredSizesAreRefusedBeforeReadingPixels)
{
    TempFolder folder("texture-huge");
    // Files without pixel data: a reader trusting their headers would ask for gigabytes.
    for (auto [width, height] : {std::pair<png_uint_32, png_uint_32>{20000, 2}, {12000, 12000}})
    {
        TestPng huge{.width = width, .height = height, .colorType = PNG_COLOR_TYPE_RGB, .bitDepth = 8,
                     .emptyData = true};
        ASSERT_TRUE(WriteTestPng(folder / "huge.png", huge));
        PimTexture texture;
        EXPECT_FALSE(texture.Load((folder / "huge.png").string()));
        EXPECT_FALSE(texture.IsValid());
        EXPECT_NE(texture.GetLoadError().find("unreadable PNG"), std::string::npos) << texture.GetLoadError();
        if (width <= 16384)
        {
            EXPECT_NE(texture.GetLoadError().find("too large"), std::string::npos) << texture.GetLoadError();
        }
    }
}

TEST(PimTexturePixels, CreateGetAndSetStayInsideThePicture)
{
    PimTexture texture;
    const std::vector<std::uint8_t> tooFew(2 * 2 * 4 - 1, 0);
    EXPECT_FALSE(texture.Create(2, 2, tooFew));
    EXPECT_FALSE(texture.IsValid());
    EXPECT_FALSE(texture.Create(0, 5, PimColor()));
    EXPECT_FALSE(texture.Create(20000, 1, PimColor()));

    ASSERT_TRUE(texture.Create(3, 2, PimColor(1, 2, 3, 4)));
    texture.SetColor(2, 1, PimColor(9, 9, 9, 9));
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 2}})
    {
        texture.SetColor(x, y, PimColor(7, 7, 7, 7));
        EXPECT_EQ(texture.GetColor(x, y), Transparent);
    }
    EXPECT_EQ(texture.GetColor(2, 1), PimColor(9, 9, 9, 9));
    EXPECT_EQ(texture.GetColor(0, 0), PimColor(1, 2, 3, 4));
    EXPECT_EQ(std::ranges::count(texture.GetPixels(), 7), 0);

    PimTexture copy = texture;
    copy.SetColor(0, 0, PimColor(50, 50, 50));
    EXPECT_EQ(texture.GetColor(0, 0), PimColor(1, 2, 3, 4));
    PimTexture moved = std::move(copy);
    EXPECT_EQ(moved.GetColor(0, 0), PimColor(50, 50, 50));
}

TEST(PimTexturePixels, FlipTurnsRowsUpsideDown)
{
    for (int height : {1, 2, 3, 4})
    {
        PimTexture texture;
        texture.Create(2, height, PimColor());
        for (int y = 0; y < height; ++y)
            texture.SetColor(1, y, PimColor(std::uint8_t(y), 0, 0));
        texture.FlipPixels();
        for (int y = 0; y < height; ++y)
            EXPECT_EQ(texture.GetColor(1, y).r, height - 1 - y) << "height " << height;
    }
}

TEST(PimTextureStitch, SixViewsLaidOutThreeAcrossTwoDown)
{
    std::vector<PimTexture> views;
    for (int i = 0; i < 6; ++i)
    {
        PimTexture view = Solid(4, 3, PimColor(std::uint8_t(10 * (i + 1)), 0, 0));
        view.SetColor(0, 0, PimColor(0, 255, std::uint8_t(i)));  // marks each view's top-left corner
        views.push_back(view);
    }
    PimTexture sheet;
    ASSERT_TRUE(sheet.StitchTextures(views, 3, 2));
    ASSERT_EQ(sheet.GetWidth(), 12);
    ASSERT_EQ(sheet.GetHeight(), 6);
    for (int i = 0; i < 6; ++i)
    {
        const int left = (i % 3) * 4;
        const int top = (i / 3) * 3;
        EXPECT_EQ(sheet.GetColor(left, top), PimColor(0, 255, std::uint8_t(i))) << i;
        EXPECT_EQ(sheet.GetColor(left + 3, top + 2), PimColor(std::uint8_t(10 * (i + 1)), 0, 0)) << i;
    }
}

TEST(PimTextureStitch, MissingCellsStayTransparentAndTheResultMayBeAnInput)
{
    std::vector<PimTexture> views = {Solid(2, 2, PimColor(1, 1, 1)), Solid(2, 2, PimColor(2, 2, 2)),
                                     Solid(2, 2, PimColor(3, 3, 3)), Solid(2, 2, PimColor(4, 4, 4))};
    ASSERT_TRUE(views[0].StitchTextures(views, 3, 2));
    EXPECT_EQ(views[0].GetWidth(), 6);
    EXPECT_EQ(views[0].GetColor(0, 0), PimColor(1, 1, 1));
    EXPECT_EQ(views[0].GetColor(0, 2), PimColor(4, 4, 4));
    EXPECT_EQ(views[0].GetColor(2, 3), Transparent);
    EXPECT_EQ(views[0].GetColor(5, 3), Transparent);
}

TEST(PimTextureStitch, PicturesThatDoNotFitAreReported)
{
    const PimTexture small = Solid(2, 2, PimColor(1, 1, 1));
    const PimTexture large = Solid(3, 2, PimColor(1, 1, 1));
    const std::vector<PimTexture> mixed = {small, large};
    const std::vector<PimTexture> withInvalid = {small, PimTexture()};
    const std::vector<PimTexture> seven(7, small);

    PimTexture sheet = Solid(1, 1, PimColor(5, 5, 5));
    PimAssert::ResetFailureCount();
    EXPECT_FALSE(sheet.StitchTextures(mixed, 2, 1));
    EXPECT_FALSE(sheet.StitchTextures(withInvalid, 2, 1));
    EXPECT_FALSE(sheet.StitchTextures(seven, 3, 2));
    EXPECT_FALSE(sheet.StitchTextures({}, 3, 2));
    EXPECT_FALSE(sheet.StitchTextures(seven, 0, 2));
    EXPECT_EQ(PimAssert::GetFailureCount(), 5u);
    EXPECT_EQ(sheet.GetWidth(), 1);
    EXPECT_EQ(sheet.GetColor(0, 0), PimColor(5, 5, 5));
}

TEST(PimTextureWithoutGL, GLSideIsEmptyAndCpuSideWorks)
{
    PimTexture texture = Solid(2, 2, PimColor(1, 2, 3));
    texture.SetFilter(PimTextureFilter::Nearest);
    EXPECT_EQ(texture.GetGLTexture(), 0u);
    EXPECT_FALSE(texture.Bind(0));
    EXPECT_EQ(texture.GetColor(1, 1), PimColor(1, 2, 3));
}

TEST(PimPngCodecMemory, ReadsTheSameAsFromAFileAndFailsOnShortInput)
{
    TempFolder folder("png-memory");
    PimTexture picture = Solid(5, 4, PimColor(10, 20, 30, 40));
    picture.SetColor(4, 3, PimColor(1, 2, 3, 4));
    ASSERT_TRUE(picture.Save((folder / "p.png").string()));
    const std::vector<char> file = ReadBytes(folder / "p.png");
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());

    PimRgbaImage image;
    std::string error;
    ASSERT_TRUE(PimPngCodec::ReadMemory(bytes, image, error)) << error;
    EXPECT_EQ(image.width, 5);
    EXPECT_TRUE(std::ranges::equal(image.pixels, picture.GetPixels()));

    for (std::size_t length : {std::size_t(0), std::size_t(7), std::size_t(8), file.size() - 1})
    {
        EXPECT_FALSE(PimPngCodec::ReadMemory(bytes.first(length), image, error)) << length;
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_FALSE(error.empty());
    }
}

TEST(PimPngCodecSize, TheHeaderTellsTheSizeAndRefusesWhatReadingWouldRefuse)
{
    TempFolder folder("png-size");
    ASSERT_TRUE(Solid(5, 4, PimColor(1, 2, 3)).Save((folder / "small.png").string()));
    int width = 0;
    int height = 0;
    std::string error;
    ASSERT_TRUE(PimPngCodec::ReadSize(folder / "small.png", width, height, error)) << error;
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 4);

    // Too wide, and within the side limit but over the pixel limit: the header alone refuses them.
    for (auto [w, h] : {std::pair<png_uint_32, png_uint_32>{20000, 2}, {12000, 12000}})
    {
        TestPng huge{.width = w, .height = h, .colorType = PNG_COLOR_TYPE_RGB, .bitDepth = 8, .emptyData = true};
        ASSERT_TRUE(WriteTestPng(folder / "huge.png", huge));
        EXPECT_FALSE(PimPngCodec::ReadSize(folder / "huge.png", width, height, error));
        EXPECT_EQ(width, static_cast<int>(w));
        EXPECT_NE(error.find("larger than"), std::string::npos) << error;
    }

    // Not pictures: text named .png, a cut header, a folder and a FIFO (which must not block).
    WriteBytes(folder / "text.png", {'h', 'e', 'l', 'l', 'o'});
    std::vector<char> cut = ReadBytes(folder / "small.png");
    cut.resize(20);
    WriteBytes(folder / "cut.png", cut);
    std::filesystem::create_directory(folder / "folder.png");
    ASSERT_EQ(::mkfifo((folder / "fifo.png").c_str(), 0600), 0);
    for (const char* name : {"text.png", "cut.png", "folder.png", "fifo.png", "missing.png"})
    {
        error.clear();
        EXPECT_FALSE(PimPngCodec::ReadSize(folder / name, width, height, error)) << name;
        EXPECT_FALSE(error.empty()) << name;
    }
}
