// Writes the seed corpora of the fuzz targets: small valid files of every kind each reader
// takes, so that a fuzzer starts past the headers. The seeds are checked in under
// tests/fuzz/seeds/; run this again (make_fuzz_seeds tests/fuzz/seeds) when a format changes.
#include "tests/engine/png_test_files.h"

#include "settings/GameSettings.h"
#include "world/RegionCodec.h"

#include "engine/PimFile.h"
#include "engine/PimXMLWParser.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
using Bytes = std::vector<std::uint8_t>;
using RegionCodec::ChunkBuffer;

bool WriteSeed(const fs::path& path, const Bytes& bytes)
{
    fs::create_directories(path.parent_path());
    return PimFile::WriteData(path.string(), bytes.data(), bytes.size(), false);
}

bool WriteTextSeed(const fs::path& path, std::wstring_view text)
{
    fs::create_directories(path.parent_path());
    return PimFile::WriteString(path.string(), text, false);
}

// A chunk of a few codes in short runs: a lists record.
ChunkBuffer FewCodes(std::uint16_t firstCode)
{
    ChunkBuffer chunk{};
    for (int i = 0; i < 40; ++i)
        chunk[static_cast<std::size_t>(i * 97)] = static_cast<std::uint16_t>(firstCode + i % 3);
    return chunk;
}

// A chunk with a different code in every voxel: a raw record.
ChunkBuffer EveryVoxelDifferent()
{
    ChunkBuffer chunk{};
    for (int i = 0; i < RegionCodec::kVoxelCount; ++i)
        chunk[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i * 7 + 1);
    return chunk;
}

// A version 3 file of the given chunks, placed in slots 0, 1, 2, ...
Bytes Version3(const std::vector<ChunkBuffer>& chunks)
{
    RegionCodec::ChunkBuffers buffers;
    for (std::size_t slot = 0; slot < chunks.size(); ++slot)
        buffers[slot] = std::make_unique<ChunkBuffer>(chunks[slot]);
    Bytes file;
    RegionCodec::EncodeRegion({256, 0, 512}, buffers, file);
    return file;
}

// The same chunks as an older version writes them: the version 3 header with another version
// number, then the records without their mode words.
Bytes OlderVersion(std::uint16_t version, const std::vector<ChunkBuffer>& chunks)
{
    Bytes file = Version3(chunks);
    file.resize(RegionCodec::kHeaderSize);
    file[RegionCodec::kVersionOffset] = static_cast<std::uint8_t>(version);
    for (const ChunkBuffer& chunk : chunks)
    {
        Bytes record;
        RegionCodec::AppendChunkRecord(chunk, record);
        file.insert(file.end(), record.begin() + 2, record.end());
    }
    return file;
}

bool WriteRegionSeeds(const fs::path& folder)
{
    return WriteSeed(folder / "v3_empty.map", Version3({})) &&
           WriteSeed(folder / "v3_lists.map", Version3({FewCodes(1), ChunkBuffer{}, FewCodes(0xFF00)})) &&
           WriteSeed(folder / "v3_raw_and_lists.map", Version3({FewCodes(9), EveryVoxelDifferent()})) &&
           WriteSeed(folder / "v2_lists.map", OlderVersion(2, {FewCodes(3), FewCodes(700)})) &&
           WriteSeed(folder / "v1_raw.map", OlderVersion(1, {EveryVoxelDifferent()}));
}

// A 3 x 2 picture whose rows hold every value the depth allows, in turn.
TestPng Picture(int colorType, int bitDepth, int channels)
{
    TestPng picture;
    picture.width = 3;
    picture.height = 2;
    picture.colorType = colorType;
    picture.bitDepth = bitDepth;
    const std::size_t rowBytes = (picture.width * static_cast<std::size_t>(channels * bitDepth) + 7) / 8;
    for (png_uint_32 y = 0; y < picture.height; ++y)
    {
        std::vector<png_byte> row(rowBytes);
        for (std::size_t i = 0; i < rowBytes; ++i)
            row[i] = static_cast<png_byte>(0x5B * (i + 1) + 0x31 * y);
        picture.rows.push_back(row);
    }
    if (colorType == PNG_COLOR_TYPE_PALETTE)
    {
        for (int entry = 0; entry < (1 << bitDepth); ++entry)
            picture.palette.push_back({static_cast<png_byte>(entry * 40), static_cast<png_byte>(255 - entry),
                                       static_cast<png_byte>(entry * 7)});
    }
    return picture;
}

bool WritePngSeeds(const fs::path& folder)
{
    struct Kind
    {
        const char* name;
        int colorType;
        int channels;
        std::vector<int> depths;
    };
    const Kind kinds[] = {{"grey", PNG_COLOR_TYPE_GRAY, 1, {1, 2, 4, 8, 16}},
                          {"grey_alpha", PNG_COLOR_TYPE_GRAY_ALPHA, 2, {8, 16}},
                          {"rgb", PNG_COLOR_TYPE_RGB, 3, {8, 16}},
                          {"rgba", PNG_COLOR_TYPE_RGBA, 4, {8, 16}},
                          {"palette", PNG_COLOR_TYPE_PALETTE, 1, {1, 2, 4, 8}}};
    fs::create_directories(folder);
    bool written = true;
    for (const Kind& kind : kinds)
    {
        for (int depth : kind.depths)
        {
            const std::string name = std::string(kind.name) + "_" + std::to_string(depth) + ".png";
            written = WriteTestPng(folder / name, Picture(kind.colorType, depth, kind.channels)) && written;
        }
    }
    TestPng paletteAlpha = Picture(PNG_COLOR_TYPE_PALETTE, 4, 1);
    paletteAlpha.paletteAlpha = {0, 128, 255};
    TestPng keyed = Picture(PNG_COLOR_TYPE_RGB, 8, 3);
    keyed.colorKey = true;
    keyed.keyColor.red = 0x5B;
    TestPng interlaced = Picture(PNG_COLOR_TYPE_RGBA, 8, 4);
    interlaced.interlaced = true;
    return WriteTestPng(folder / "palette_4_alpha.png", paletteAlpha) &&
           WriteTestPng(folder / "rgb_8_key.png", keyed) &&
           WriteTestPng(folder / "rgba_8_interlaced.png", interlaced) && written;
}

bool WriteSettingsSeeds(const fs::path& folder, const fs::path& scratch)
{
    const SettingsFolders folders = SettingsFolders::FromBases(
        PimWString::Widen(scratch.string()), PimWString::Widen((scratch / "data").string()),
        PimWString::Widen((scratch / "Pictures").string()));
    GameSettings settings(folders);
    const PimWString defaultUser = settings.WriteUserText();
    const PimWString defaultWorld = settings.activeGame.WriteXml();

    settings.SetSaveTimer(45);
    settings.SetVolumeMaster(0.25f);
    settings.SetHandColour(PimColor(10, 200, 30));
    settings.controlMap.invertY = true;
    settings.virtualReality.SetPlayerSizeBias(2.25f);
    GameSettingsActiveGame& game = settings.activeGame;
    game.SetGameWorldName(L"Castle <1> & co");
    game.SetPlayerLocation({16.5f, -0.0f, 1e21f});
    game.SetColour(PimColor(1, 2, 3), 7);
    game.SetColourLocked(true, 200);
    game.SetPaletteEntry(2, 15, 0xFF07);
    game.SetRefImagePath(1, L"/home/u/Pictures/plan.png");
    game.SetRefImageEnabled(1, true);
    game.SetRefImageScale(1, 2.5f);
    return WriteTextSeed(folder / "user_default.set", defaultUser) &&
           WriteTextSeed(folder / "user_edited.set", settings.WriteUserText()) &&
           WriteTextSeed(folder / "world_default.set", defaultWorld) &&
           WriteTextSeed(folder / "world_edited.set", game.WriteXml());
}

bool WriteXmlSeeds(const fs::path& folder)
{
    using P = PimXMLWParser;
    const PimWString nested = P::TagData("A", P::TagData("A", L"in") + L"after") + P::TagData("A", L"next");
    const PimWString colours = P::TagData("C10", P::TagData("R", L"10")) + P::TagData("C1", P::TagData("R", L"1"));
    const PimWString mixed = P::TagData("ActiveSettings", P::TagData("Loc", L"1 2 3")) +
                             P::TagData("ControlMap", P::TagData("0", L"87") + P::TagData("1", L"-0.5e3")) +
                             L"<Palette0>open<Loc a='1'>x</Loc><Loc/>";
    return WriteTextSeed(folder / "nested.xml", nested) && WriteTextSeed(folder / "colours.xml", colours) &&
           WriteTextSeed(folder / "mixed.xml", mixed);
}
}

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
        return 2;
    }
    const fs::path seeds = argv[1];
    const fs::path scratch = fs::temp_directory_path() / ("quillot-seeds-" + std::to_string(::getpid()));
    const bool written = WriteRegionSeeds(seeds / "region") && WritePngSeeds(seeds / "png") &&
                         WriteSettingsSeeds(seeds / "settings", scratch) && WriteXmlSeeds(seeds / "xml");
    std::error_code ec;
    fs::remove_all(scratch, ec);
    if (!written)
        std::fprintf(stderr, "%s: cannot write the seeds under %s\n", argv[0], seeds.string().c_str());
    return written ? 0 : 1;
}
