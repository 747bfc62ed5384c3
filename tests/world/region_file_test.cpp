#include "world/ChunkRuns.h"
#include "world/Region.h"
#include "world/RegionCodec.h"
#include "world/RegionFile.h"

#include "../support/temp_folder.h"
#include "engine/PimAssert.h"
#include "engine/PimFile.h"
#include "engine/VoxelCodeTable.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <map>
#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

std::uint16_t Word(const Bytes& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

std::uint32_t Uint32(const Bytes& b, std::size_t at)
{
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}

void PutWord(Bytes& b, std::uint16_t w)
{
    b.push_back(static_cast<std::uint8_t>(w));
    b.push_back(static_cast<std::uint8_t>(w >> 8));
}

// A header as another writer may have made it.
Bytes Header(std::uint16_t version, std::uint32_t count, std::initializer_list<int> present,
             std::int32_t ox = 0, std::int32_t oy = 0, std::int32_t oz = 0)
{
    Bytes b(RegionCodec::kHeaderSize, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(24, static_cast<std::uint32_t>(ox));
    put32(28, static_cast<std::uint32_t>(oy));
    put32(32, static_cast<std::uint32_t>(oz));
    put32(36, count);
    b[40] = static_cast<std::uint8_t>(version);
    b[41] = static_cast<std::uint8_t>(version >> 8);
    for (int slot : present)
        b[42 + slot] = 1;
    return b;
}

void PutRaw(Bytes& b, std::uint16_t firstCode)
{
    for (int i = 0; i < RegionCodec::kVoxelCount; ++i)
        PutWord(b, static_cast<std::uint16_t>(firstCode + i));
}

Bytes ReadFile(const fs::path& path)
{
    Bytes bytes;
    PimFile::ReadAllData(path.string(), bytes);
    return bytes;
}

void WriteFile(const fs::path& path, const Bytes& bytes)
{
    ASSERT_TRUE(PimFile::WriteData(path.string(), bytes.data(), bytes.size(), false));
}

// A chunk at a location whose first `filled` voxels (in index order) hold `code`.
struct TestChunk
{
    PimVoxelGrid grid;
    TestChunk(const PimVector3& location, std::uint16_t code, int filled)
    {
        grid.SetLocation(location);
        grid.LockVoxelMutex();
        std::uint16_t* v = grid.SetVoxels();
        for (int i = 0; i < RegionCodec::kVoxelCount; ++i)
            v[i] = i < filled ? code : 0;
        grid.UnLockVoxelMutex();
    }
};

std::uint16_t VoxelAtIndex(PimVoxelGrid& grid, int index)
{
    return grid.GetVoxel(index & 31, index >> 10, (index >> 5) & 31);
}

PimWString Wide(const fs::path& path)
{
    return PimWString::Widen(path.string());
}

class RegionFileTest : public ::testing::Test
{
protected:
    TempFolder folder{"region-file"};

    // Writes a region holding one chunk at the origin filled as TestChunk does; returns the file.
    Bytes WriteOneChunk(std::uint16_t code, int filled)
    {
        Region region;
        TestChunk chunk({0, 0, 0}, code, filled);
        EXPECT_TRUE(region.StoreChunk(chunk.grid));
        EXPECT_TRUE(RegionFile::WriteRegionFile(region, Wide(folder.path)));
        return ReadFile(folder / "0_0_0.map");
    }

    bool Read(Region& region, const fs::path& path) { return RegionFile::ReadRegionFile(region, Wide(path)); }
};
}

TEST_F(RegionFileTest, OneEmptyChunkIsAHeaderAndTwoWords)
{
    const Bytes file = WriteOneChunk(0, 0);
    ASSERT_EQ(file.size(), 564u);
    for (std::size_t i = 0; i < 24; ++i)
        EXPECT_EQ(file[i], 0) << i;
    EXPECT_EQ(Uint32(file, 24), 0u);
    EXPECT_EQ(Uint32(file, 36), 1u);
    EXPECT_EQ(Word(file, 40), 3);
    EXPECT_EQ(file[42], 1);
    for (std::size_t i = 43; i < 560; ++i)
        EXPECT_EQ(file[i], 0) << i;
    EXPECT_EQ(Word(file, 560), 1);
    EXPECT_EQ(Word(file, 562), 0);
}

TEST_F(RegionFileTest, AChunkOfOneCodeIsWrittenRaw)
{
    const Bytes file = WriteOneChunk(0xFF07, RegionCodec::kVoxelCount);
    ASSERT_EQ(file.size(), 560u + 2 + 65536);
    EXPECT_EQ(Word(file, 560), 2);
    EXPECT_EQ(Word(file, 562), 0xFF07);
    EXPECT_EQ(Word(file, file.size() - 2), 0xFF07);
}

TEST_F(RegionFileTest, ListsAreUsedBelowThirtyTwoThousandSevenHundredAndSixtyEightWords)
{
    // 32763 voxels of one code: 4 + 32763 = 32767 words, written as lists.
    Bytes file = WriteOneChunk(5, 32763);
    ASSERT_EQ(file.size(), 560u + 2 * 32767);
    EXPECT_EQ(Word(file, 560), 1);
    EXPECT_EQ(Word(file, 562), 1);
    EXPECT_EQ(Word(file, 564), 5);
    EXPECT_EQ(Word(file, 566), 32763);
    EXPECT_EQ(Word(file, 568), 0);
    EXPECT_EQ(Word(file, file.size() - 2), 32762);

    // 32764 voxels make exactly 32768 words: raw. So does 32766.
    for (int filled : {32764, 32766})
    {
        file = WriteOneChunk(5, filled);
        ASSERT_EQ(file.size(), 560u + 2 + 65536) << filled;
        EXPECT_EQ(Word(file, 560), 2);
    }
}

TEST_F(RegionFileTest, ValueListsHoldCodesInOrderWithAscendingIndices)
{
    Region region;
    TestChunk chunk({0, 0, 0}, 0, 0);
    chunk.grid.SetVoxel(900, 1, 0, 0, false, false);  // index 1
    chunk.grid.SetVoxel(12, 0, 1, 0, false, false);   // index 1024
    chunk.grid.SetVoxel(900, 0, 0, 1, false, false);  // index 32
    chunk.grid.SetVoxel(12, 31, 31, 31, false, false); // index 32767
    region.StoreChunk(chunk.grid);
    ASSERT_TRUE(RegionFile::WriteRegionFile(region, Wide(folder.path)));
    const Bytes file = ReadFile(folder / "0_0_0.map");
    const std::vector<std::uint16_t> expected = {1, 2, 12, 2, 1024, 32767, 900, 2, 1, 32};
    ASSERT_EQ(file.size(), 560 + 2 * expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(Word(file, 560 + 2 * i), expected[i]) << i;
}

TEST_F(RegionFileTest, CodeOneFiftyFourIsNeverKept)
{
    Region region;
    TestChunk chunk({32, 64, 96}, 154, 100);
    chunk.grid.SetVoxel(7, 0, 0, 0, false, false);
    region.StoreChunk(chunk.grid);
    ASSERT_TRUE(RegionFile::WriteRegionFile(region, Wide(folder.path)));

    Region reread;
    ASSERT_TRUE(Read(reread, folder / "0_0_0.map"));
    PimVoxelGrid loaded;
    loaded.SetLocation({32, 64, 96});
    ASSERT_TRUE(reread.LoadChunk(loaded));
    EXPECT_EQ(loaded.GetVoxel(0, 0, 0), 7);
    EXPECT_EQ(loaded.GetVoxel(1, 0, 0), 0);
    EXPECT_EQ(loaded.GetVoxel(3, 1, 3), 0);
    // The region's own copy lost it too.
    PimVoxelGrid fromMemory;
    fromMemory.SetLocation({32, 64, 96});
    ASSERT_TRUE(region.LoadChunk(fromMemory));
    EXPECT_EQ(fromMemory.GetVoxel(1, 0, 0), 0);
}

TEST_F(RegionFileTest, StoredChunksComeBackThroughAFile)
{
    Region region;
    std::vector<std::unique_ptr<TestChunk>> chunks;
    // Lists, raw, empty and a uniform chunk without an array, in three different slots.
    chunks.push_back(std::make_unique<TestChunk>(PimVector3(256, 0, 512), 0xFF10, 1000));
    chunks.push_back(std::make_unique<TestChunk>(PimVector3(288, 32, 512), 3, 32768));
    chunks.push_back(std::make_unique<TestChunk>(PimVector3(480, 224, 736), 0, 0));
    chunks.back()->grid.SetVoxel(44, 5, 6, 7, false, false);
    for (int i = 0; i < 3000; ++i)
        chunks[1]->grid.SetVoxel(static_cast<std::uint16_t>(i * 7919 % 65536), i % 32, i / 32 % 32, i / 1024, false, false);
    for (auto& chunk : chunks)
        ASSERT_TRUE(region.StoreChunk(chunk->grid));
    ASSERT_TRUE(region.IsDirty());
    ASSERT_TRUE(RegionFile::WriteRegionFile(region, Wide(folder.path) + L"\\"));
    EXPECT_FALSE(region.IsDirty());
    EXPECT_TRUE(fs::exists(folder / "256_0_512.map"));
    EXPECT_FALSE(fs::exists(folder / "256_0_512.mapbu"));

    Region reread;
    ASSERT_TRUE(Read(reread, folder / "256_0_512.map"));
    EXPECT_EQ(reread.GetOrigin(), PimVector3(256, 0, 512));
    EXPECT_EQ(reread.GetChunkCount(), 3);
    EXPECT_FALSE(reread.IsDirty());
    for (auto& chunk : chunks)
    {
        PimVoxelGrid loaded;
        loaded.SetLocation(chunk->grid.GetLocation());
        ASSERT_TRUE(reread.LoadChunk(loaded));
        for (int i = 0; i < RegionCodec::kVoxelCount; i += 7)
            ASSERT_EQ(VoxelAtIndex(loaded, i), VoxelAtIndex(chunk->grid, i)) << i;
    }
    PimVoxelGrid absent;
    absent.SetLocation({256, 0, 544});
    EXPECT_FALSE(reread.LoadChunk(absent));
}

TEST_F(RegionFileTest, OlderVersionsAreRead)
{
    // Version 1: raw records without a mode word, for slots 3 and 9 at 560 and 560 + 65536.
    Bytes v1 = Header(1, 2, {3, 9}, 512, 0, 256);
    PutRaw(v1, 100);
    PutRaw(v1, 40000);
    WriteFile(folder / "old.map", v1);
    Region region;
    ASSERT_TRUE(Read(region, folder / "old.map"));
    EXPECT_EQ(region.GetOrigin(), PimVector3(512, 0, 256));
    EXPECT_TRUE(region.HoldsSlot(3));
    EXPECT_TRUE(region.HoldsSlot(9));
    EXPECT_EQ(region.GetChunkCount(), 2);
    PimVoxelGrid chunk;
    ASSERT_TRUE(region.LoadSlot(9, chunk));
    EXPECT_EQ(VoxelAtIndex(chunk, 0), 40000);
    EXPECT_EQ(VoxelAtIndex(chunk, 32767), static_cast<std::uint16_t>(40000 + 32767));
    ASSERT_TRUE(region.LoadSlot(3, chunk));
    EXPECT_EQ(VoxelAtIndex(chunk, 5), 105);

    // Version 2: list bodies without a mode word.
    Bytes v2 = Header(2, 1, {511});
    for (std::uint16_t w : {1, 77, 2, 0, 32767})
        PutWord(v2, w);
    WriteFile(folder / "old2.map", v2);
    Region region2;
    ASSERT_TRUE(Read(region2, folder / "old2.map"));
    ASSERT_TRUE(region2.LoadSlot(511, chunk));
    EXPECT_EQ(VoxelAtIndex(chunk, 0), 77);
    EXPECT_EQ(VoxelAtIndex(chunk, 1), 0);
    EXPECT_EQ(VoxelAtIndex(chunk, 32767), 77);
}

TEST_F(RegionFileTest, FilesReadOneAfterAnotherOnOneThreadKeepTheirOwnChunks)
{
    // The reading thread decodes every file into the same buffers; each region keeps copies of
    // its own file's chunks, whatever the thread reads next.
    Bytes first = Header(3, 2, {3, 4});
    PutWord(first, 2);
    PutRaw(first, 100);
    PutWord(first, 2);
    PutRaw(first, 200);
    WriteFile(folder / "first.map", first);
    Bytes second = Header(3, 2, {3, 5}, 256, 0, 0);
    for (std::uint16_t w : {1, 1, 77, 2, 10, 32767})
        PutWord(second, w);
    for (std::uint16_t w : {1, 0})
        PutWord(second, w);
    WriteFile(folder / "second.map", second);

    Region firstRegion;
    Region secondRegion;
    ASSERT_TRUE(Read(firstRegion, folder / "first.map"));
    ASSERT_TRUE(Read(secondRegion, folder / "second.map"));
    PimVoxelGrid chunk;
    ASSERT_TRUE(firstRegion.LoadSlot(3, chunk));
    EXPECT_EQ(VoxelAtIndex(chunk, 0), 100);
    EXPECT_EQ(VoxelAtIndex(chunk, 32767), static_cast<std::uint16_t>(100 + 32767));
    ASSERT_TRUE(firstRegion.LoadSlot(4, chunk));
    EXPECT_EQ(VoxelAtIndex(chunk, 9), 209);
    // Slot 3 of the second file: lists over the buffer the first file's raw codes filled.
    ASSERT_TRUE(secondRegion.LoadSlot(3, chunk));
    EXPECT_EQ(VoxelAtIndex(chunk, 10), 77);
    EXPECT_EQ(VoxelAtIndex(chunk, 32767), 77);
    EXPECT_EQ(VoxelAtIndex(chunk, 0), 0);
    EXPECT_EQ(VoxelAtIndex(chunk, 11), 0);
    EXPECT_FALSE(secondRegion.HoldsSlot(4));
    ASSERT_TRUE(secondRegion.LoadSlot(5, chunk));
    std::uint16_t value = 1;
    EXPECT_TRUE(chunk.IsUniform(value));
    EXPECT_EQ(value, 0);

    // Written back, each region's file holds what was read.
    for (Region* region : {&firstRegion, &secondRegion})
    {
        TestChunk touch(region->GetOrigin() + PimVector3(0, 0, 7 * 32), 5, 3);
        ASSERT_TRUE(region->StoreChunk(touch.grid));
    }
    ASSERT_TRUE(RegionFile::WriteRegionFile(firstRegion, Wide(folder.path), L"first.map"));
    Region reread;
    ASSERT_TRUE(Read(reread, folder / "first.map"));
    ASSERT_TRUE(reread.LoadSlot(4, chunk));
    EXPECT_EQ(VoxelAtIndex(chunk, 32767), static_cast<std::uint16_t>(200 + 32767));
    ASSERT_TRUE(reread.LoadSlot(56, chunk));
    EXPECT_EQ(VoxelAtIndex(chunk, 2), 5);
    EXPECT_EQ(VoxelAtIndex(chunk, 3), 0);
}

TEST_F(RegionFileTest, AHeaderThatDisagreesWithItsRecordsKeepsEveryChunkAndIsDamage)
{
    // Three empty-chunk records behind slots 1, 2 and 3, each with a different code at voxel 0.
    auto records = [] {
        Bytes b;
        for (std::uint16_t code : {9, 10, 11})
            for (std::uint16_t w : {std::uint16_t(1), std::uint16_t(1), code, std::uint16_t(1), std::uint16_t(0)})
                PutWord(b, w);
        return b;
    };
    auto decode = [](const Bytes& data, RegionCodec::ChunkBuffers& chunks) {
        return RegionCodec::DecodeRegion(data, chunks);
    };
    RegionCodec::ChunkBuffers chunks;

    Bytes agreeing = Header(3, 3, {1, 2, 3});
    const Bytes body = records();
    agreeing.insert(agreeing.end(), body.begin(), body.end());
    EXPECT_TRUE(decode(agreeing, chunks).IsIntact());

    // A count smaller than the table: every record is still read.
    Bytes smallCount = agreeing;
    smallCount[36] = 2;
    RegionCodec::DecodeReport report = decode(smallCount, chunks);
    EXPECT_EQ(report.chunksRead, 3);
    ASSERT_TRUE(chunks[3]);
    EXPECT_EQ((*chunks[3])[0], 11);
    EXPECT_TRUE(report.headerMismatch);
    EXPECT_FALSE(report.IsIntact());

    // A count of zero used to read nothing at all.
    Bytes zeroCount = agreeing;
    zeroCount[36] = 0;
    EXPECT_EQ(decode(zeroCount, chunks).chunksRead, 3);

    // A count above the records present reads them all: damage too.
    Bytes largeCount = agreeing;
    largeCount[36] = 200;
    report = decode(largeCount, chunks);
    EXPECT_EQ(report.chunksRead, 3);
    EXPECT_FALSE(report.IsIntact());

    // A presence byte damaged from 1 to 5: the reading that fits the records takes it as present.
    Bytes flippedOne = agreeing;
    flippedOne[42 + 2] = 5;
    report = decode(flippedOne, chunks);
    EXPECT_EQ(report.chunksRead, 3);
    ASSERT_TRUE(chunks[2] && chunks[3]);
    EXPECT_EQ((*chunks[2])[0], 10);
    EXPECT_EQ((*chunks[3])[0], 11);
    EXPECT_TRUE(report.headerMismatch);

    // A presence byte damaged from 0 to 7: taken as absent, since the records fit without it.
    Bytes flippedZero = agreeing;
    flippedZero[42 + 0] = 7;
    report = decode(flippedZero, chunks);
    EXPECT_EQ(report.chunksRead, 3);
    EXPECT_FALSE(chunks[0]);
    ASSERT_TRUE(chunks[1]);
    EXPECT_EQ((*chunks[1])[0], 9);
    EXPECT_TRUE(report.headerMismatch);

    // Bytes after the last record are more than the header accounts for.
    Bytes trailing = agreeing;
    PutWord(trailing, 1);
    report = decode(trailing, chunks);
    EXPECT_EQ(report.chunksRead, 3);
    EXPECT_FALSE(report.IsIntact());

    // Through a file: the region holds all three, and the read is reported as not whole.
    WriteFile(folder / "short.map", smallCount);
    Region region;
    const RegionFile::ReadReport read = RegionFile::ReadRegionFileReporting(region, Wide(folder / "short.map"));
    EXPECT_TRUE(read.read);
    EXPECT_FALSE(read.whole);
    EXPECT_EQ(region.GetChunkCount(), 3);
}

TEST_F(RegionFileTest, OnlyRegularFilesOfARegionFilesSizeAreRead)
{
    const Bytes good = WriteOneChunk(0xFF05, 10);
    ASSERT_FALSE(good.empty());
    const fs::path main = folder / "0_0_0.map";

    // A damaged main file whose backup is a link to an endless device: the device is never read.
    Bytes cut(good.begin(), good.begin() + 570);
    WriteFile(main, cut);
    fs::create_symlink("/dev/zero", folder / "0_0_0.mapbu");
    Region linked;
    RegionFile::ReadReport report = RegionFile::ReadRegionFileReporting(linked, Wide(main));
    EXPECT_TRUE(report.read);
    EXPECT_FALSE(report.mainRejected);
    EXPECT_TRUE(report.backupRejected);
    fs::remove(folder / "0_0_0.mapbu");

    // A FIFO in the backup's place: reading returns at once instead of waiting for a writer.
    ASSERT_EQ(::mkfifo((folder / "0_0_0.mapbu").c_str(), 0600), 0);
    Region piped;
    report = RegionFile::ReadRegionFileReporting(piped, Wide(main));
    EXPECT_TRUE(report.backupRejected);
    fs::remove(folder / "0_0_0.mapbu");

    // A file longer than any region file (sparse: it costs no disk) is not read at all.
    fs::resize_file(main, RegionCodec::kMaxFileBytes + 1);
    Region huge;
    report = RegionFile::ReadRegionFileReporting(huge, Wide(main));
    EXPECT_FALSE(report.read);
    EXPECT_TRUE(report.mainRejected);
    EXPECT_EQ(huge.GetChunkCount(), 0);
}

TEST_F(RegionFileTest, WritingNeverMovesOrRemovesAFolderInTheFilesPlace)
{
    for (const char* name : {"0_0_0.map", "0_0_0.mapbu"})
    {
        SCOPED_TRACE(name);
        const fs::path obstacle = folder / name;
        fs::create_directory(obstacle);
        WriteFile(obstacle / "notes.txt", Bytes{'h', 'i'});

        Region region;
        TestChunk chunk({0, 0, 0}, 0xFF07, 3);
        ASSERT_TRUE(region.StoreChunk(chunk.grid));
        const unsigned long failures = PimAssert::GetFailureCount();
        EXPECT_FALSE(RegionFile::WriteRegionFile(region, Wide(folder.path)));
        EXPECT_EQ(PimAssert::GetFailureCount(), failures + 1);
        EXPECT_TRUE(region.IsDirty());
        EXPECT_EQ(ReadFile(obstacle / "notes.txt"), (Bytes{'h', 'i'}));
        fs::remove_all(obstacle);
    }
}

TEST_F(RegionFileTest, AnUnknownModeEndsTheReadingButKeepsEarlierChunks)
{
    Bytes data = Header(3, 3, {4, 6, 8});
    for (std::uint16_t w : {1, 1, 9, 1, 0})
        PutWord(data, w);
    for (std::uint16_t w : {7, 1, 9, 1, 0})
        PutWord(data, w);
    for (std::uint16_t w : {1, 1, 9, 1, 0})
        PutWord(data, w);
    WriteFile(folder / "mode.map", data);

    const unsigned long before = PimAssert::GetFailureCount();
    Region region;
    EXPECT_TRUE(Read(region, folder / "mode.map"));
    EXPECT_EQ(PimAssert::GetFailureCount() - before, 2u);
    EXPECT_EQ(PimAssert::GetLastMessage(), "Compression mode not supported - file corrupted");
    EXPECT_TRUE(region.HoldsSlot(4));
    EXPECT_FALSE(region.HoldsSlot(6));
    EXPECT_FALSE(region.HoldsSlot(8));
}

TEST_F(RegionFileTest, DamagedDataNeverReadsBeyondItsEnd)
{
    // Three records: lists, raw, lists. Every cut keeps exactly the records that end before it.
    Bytes whole = Header(3, 3, {0, 1, 2});
    for (std::uint16_t w : {1, 1, 9, 2, 0, 40000})
        PutWord(whole, w);
    const std::size_t firstEnd = whole.size();
    PutWord(whole, 2);
    PutRaw(whole, 1);
    const std::size_t secondEnd = whole.size();
    for (std::uint16_t w : {1, 1, 9, 1, 5})
        PutWord(whole, w);

    RegionCodec::ChunkBuffers chunks;
    for (std::size_t cut : {std::size_t(0), std::size_t(559), std::size_t(560), std::size_t(561), firstEnd - 1, firstEnd,
                            firstEnd + 2, secondEnd - 1, secondEnd, whole.size() - 1})
    {
        const RegionCodec::DecodeReport report = RegionCodec::DecodeRegion({whole.data(), cut}, chunks);
        const int expected = cut < firstEnd ? 0 : cut < secondEnd ? 1 : 2;
        EXPECT_EQ(report.chunksRead, expected) << cut;
        EXPECT_EQ(report.headerComplete, cut >= 560) << cut;
        EXPECT_EQ(report.truncated, cut >= 560) << cut;
    }
    const RegionCodec::DecodeReport report = RegionCodec::DecodeRegion(whole, chunks);
    EXPECT_TRUE(report.IsIntact());
    // Index 40000 lies outside the chunk: skipped, the rest of the list is read.
    EXPECT_EQ(report.ignoredIndices, 1u);
    EXPECT_EQ((*chunks[0])[0], 9);
    EXPECT_EQ((*chunks[2])[5], 9);

    // A group count K beyond the data and an index count n beyond the data are cut short too.
    for (const std::vector<std::uint16_t>& body : {std::vector<std::uint16_t>{1, 60000, 9, 1, 0},
                                                    std::vector<std::uint16_t>{1, 1, 9, 65535, 0, 1}})
    {
        Bytes data = Header(3, 1, {0});
        for (std::uint16_t w : body)
            PutWord(data, w);
        const RegionCodec::DecodeReport cutShort = RegionCodec::DecodeRegion(data, chunks);
        EXPECT_TRUE(cutShort.truncated);
        EXPECT_EQ(cutShort.chunksRead, 0);
    }
}

TEST_F(RegionFileTest, UnreadableOrUnknownFilesGiveAClearOutcome)
{
    Region region;
    EXPECT_FALSE(Read(region, folder / "missing.map"));
    WriteFile(folder / "empty.map", {});
    EXPECT_FALSE(Read(region, folder / "empty.map"));
    WriteFile(folder / "tiny.map", Bytes(559, 1));
    EXPECT_FALSE(Read(region, folder / "tiny.map"));
    EXPECT_FALSE(region.IsOriginSet());
    EXPECT_FALSE(Read(region, folder.path)); // a folder

    // A version this program does not know yields no chunks, but the file was read.
    Bytes future = Header(4, 1, {0}, 256, 256, 256);
    PutRaw(future, 1);
    WriteFile(folder / "future.map", future);
    ASSERT_TRUE(Read(region, folder / "future.map"));
    EXPECT_EQ(region.GetChunkCount(), 0);
    EXPECT_EQ(region.GetOrigin(), PimVector3(256, 256, 256));
}

TEST_F(RegionFileTest, TheBackupStandsInForAMissingEmptyOrCutShortFile)
{
    Bytes good = Header(3, 1, {10}, 0, 256, 0);
    for (std::uint16_t w : {1, 1, 9, 1, 0})
        PutWord(good, w);
    Bytes cut = Header(3, 2, {1, 10});
    for (std::uint16_t w : {1, 1, 9, 1, 0})
        PutWord(cut, w);
    PutWord(cut, 2);
    cut.resize(cut.size() + 100);

    const fs::path main = folder / "0_256_0.map";
    WriteFile(fs::path(main.string() + "bu"), good);
    for (const Bytes& damaged : {Bytes{}, cut, Bytes(300, 0)})
    {
        WriteFile(main, damaged);
        Region region;
        ASSERT_TRUE(Read(region, main));
        EXPECT_TRUE(region.HoldsSlot(10));
        EXPECT_FALSE(region.HoldsSlot(1));
        EXPECT_EQ(region.GetOrigin(), PimVector3(0, 256, 0));
    }
    fs::remove(main);
    Region fromBackupOnly;
    EXPECT_TRUE(Read(fromBackupOnly, main));

    // Without a backup, a cut-short file keeps the chunks before the cut.
    fs::remove(fs::path(main.string() + "bu"));
    WriteFile(main, cut);
    Region partial;
    ASSERT_TRUE(Read(partial, main));
    EXPECT_TRUE(partial.HoldsSlot(1));
    EXPECT_FALSE(partial.HoldsSlot(10));
}

TEST_F(RegionFileTest, AFailedWriteLeavesThePreviousFile)
{
    Region region;
    TestChunk first({0, 0, 0}, 3, 10);
    region.StoreChunk(first.grid);
    ASSERT_TRUE(RegionFile::WriteRegionFile(region, Wide(folder.path)));
    const Bytes before = ReadFile(folder / "0_0_0.map");

    // A large chunk, and a file size limit below it: the write of the new version fails part-way,
    // as on a full disk (the root user's writes are not stopped by permissions).
    TestChunk second({32, 0, 0}, 4, 32768);
    region.StoreChunk(second.grid);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool written = RegionFile::WriteRegionFile(region, Wide(folder.path));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_TRUE(region.IsDirty());
    EXPECT_EQ(ReadFile(folder / "0_0_0.map"), before);
    EXPECT_FALSE(fs::exists(folder / "0_0_0.mapbu"));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder.path))
        ++files;
    EXPECT_EQ(files, 1u);

    // A folder that cannot exist (its parent is a file): nothing is written, nothing is left.
    WriteFile(folder / "plain", {1});
    EXPECT_FALSE(RegionFile::WriteRegionFile(region, Wide(folder / "plain" / "World")));
    EXPECT_TRUE(region.IsDirty());

    // The next write goes through and replaces the file.
    ASSERT_TRUE(RegionFile::WriteRegionFile(region, Wide(folder.path)));
    EXPECT_EQ(ReadFile(folder / "0_0_0.map").size(), 560u + 2 * 14 + 2 + 65536);
}

TEST_F(RegionFileTest, CleanRegionsWriteNothing)
{
    Region region;
    EXPECT_TRUE(RegionFile::WriteRegionFile(region, Wide(folder.path)));
    EXPECT_TRUE(fs::is_empty(folder.path));
    TestChunk chunk({0, 0, 0}, 1, 1);
    region.StoreChunk(chunk.grid);
    ASSERT_TRUE(RegionFile::WriteRegionFile(region, Wide(folder.path)));
    fs::remove(folder / "0_0_0.map");
    EXPECT_TRUE(RegionFile::WriteRegionFile(region, Wide(folder.path)));
    EXPECT_FALSE(fs::exists(folder / "0_0_0.map"));
}

TEST(RegionRecord, ChunksOutsideTheRegionAreRefused)
{
    Region region;
    TestChunk inside({256, 0, 0}, 1, 1);
    ASSERT_TRUE(region.StoreChunk(inside.grid));
    EXPECT_EQ(region.GetOrigin(), PimVector3(256, 0, 0));
    EXPECT_TRUE(region.HoldsChunk(inside.grid));

    TestChunk outside({512, 0, 0}, 2, 1);
    const unsigned long before = PimAssert::GetFailureCount();
    EXPECT_FALSE(region.StoreChunk(outside.grid));
    EXPECT_FALSE(region.LoadChunk(outside.grid));
    EXPECT_EQ(PimAssert::GetFailureCount() - before, 2u);
    EXPECT_EQ(PimAssert::GetLastMessage(), "Must be in range");
    EXPECT_EQ(outside.grid.GetVoxel(0, 0, 0), 2);
    EXPECT_EQ(region.GetChunkCount(), 1);
    EXPECT_FALSE(region.HoldsChunk(outside.grid));
}

TEST(RegionRecord, LoadingIsDataNotAnEdit)
{
    Region region;
    TestChunk source({0, 32, 0}, 0xFF01, 5);
    region.StoreChunk(source.grid);
    PimVoxelGrid target;
    target.SetLocation({0, 32, 0});
    ASSERT_TRUE(region.LoadChunk(target));
    EXPECT_FALSE(target.IsEditedSinceSave());
    EXPECT_EQ(target.GetVoxel(4, 0, 0), 0xFF01);
    EXPECT_EQ(target.GetVoxel(5, 0, 0), 0);
}

TEST(RegionFileName, NamesComeFromTheOrigin)
{
    EXPECT_EQ(RegionFile::FileName({256, 0, 512}), L"256_0_512.map");
    EXPECT_EQ(RegionFile::BackupPath(L"W\\256_0_512.map"), L"W\\256_0_512.mapbu");
}

namespace
{
// The record as the format describes it, built the plain way.
Bytes PlainRecord(const RegionCodec::ChunkBuffer& chunk)
{
    std::map<std::uint16_t, std::vector<std::uint16_t>> lists;
    for (int i = 0; i < RegionCodec::kVoxelCount; ++i)
        if (chunk[i] != 0)
            lists[chunk[i]].push_back(static_cast<std::uint16_t>(i));
    Bytes record;
    std::size_t words = 2;
    for (const auto& [code, indices] : lists)
        words += 2 + indices.size();
    if (words >= 32768)
    {
        PutWord(record, 2);
        for (std::uint16_t code : chunk)
            PutWord(record, code);
        return record;
    }
    PutWord(record, 1);
    PutWord(record, static_cast<std::uint16_t>(lists.size()));
    for (const auto& [code, indices] : lists)
    {
        PutWord(record, code);
        PutWord(record, static_cast<std::uint16_t>(indices.size()));
        for (std::uint16_t index : indices)
            PutWord(record, index);
    }
    return record;
}
}

TEST(RegionCodec, RecordsMatchThePlainEncodingAndReadBack)
{
    std::vector<RegionCodec::ChunkBuffer> cases(4);
    // Runs of every length from 1 to 90, crossing the 64-voxel blocks at every offset.
    int at = 0;
    for (int length = 1; at < RegionCodec::kVoxelCount; length = length % 90 + 1)
        for (int k = 0; k < length && at < RegionCodec::kVoxelCount; ++k)
            cases[0][at++] = static_cast<std::uint16_t>(length % 5 == 0 ? 0 : 0xFF00 + length % 7);
    // Many distinct codes, one voxel each, the rest empty; and a chunk just under the raw
    // threshold with two codes (4 + 2 + 32760 words).
    for (int i = 0; i < 5000; ++i)
        cases[1][i * 6] = static_cast<std::uint16_t>(65535 - i);
    for (int i = 0; i < 32760; ++i)
        cases[2][i] = i < 100 ? 77 : 9;
    // Noise with a few empty voxels: raw, though not every voxel is filled.
    std::uint32_t random = 12345;
    for (std::uint16_t& code : cases[3])
    {
        random = random * 1664525u + 1013904223u;
        code = (random >> 24) < 2 ? 0 : static_cast<std::uint16_t>(random >> 8);
    }

    RegionCodec::ChunkBuffers chunks;
    for (std::size_t c = 0; c < cases.size(); ++c)
    {
        Bytes record;
        RegionCodec::AppendChunkRecord(cases[c], record);
        EXPECT_EQ(record, PlainRecord(cases[c])) << "case " << c;
        chunks[c * 100] = std::make_unique<RegionCodec::ChunkBuffer>(cases[c]);
    }
    Bytes file;
    RegionCodec::EncodeRegion({-256, 0, 2147483647}, chunks, file);
    RegionCodec::ChunkBuffers decoded;
    decoded[1] = std::make_unique<RegionCodec::ChunkBuffer>(); // emptied: slot 1 has no record
    const RegionCodec::DecodeReport report = RegionCodec::DecodeRegion(file, decoded);
    EXPECT_TRUE(report.IsIntact());
    EXPECT_EQ(report.chunksRead, 4);
    EXPECT_EQ(report.originX, 4294967040u);
    EXPECT_EQ(report.originZ, 2147483647u);
    EXPECT_EQ(decoded[1], nullptr);
    for (std::size_t c = 0; c < cases.size(); ++c)
    {
        ASSERT_NE(decoded[c * 100], nullptr);
        EXPECT_TRUE(*decoded[c * 100] == cases[c]) << "case " << c;
    }
}

TEST(RegionCodec, ChunksOfTwoAndThreeCodesTurnRawAtExactlyThirtyTwoThousandSevenHundredAndSixtyEightWords)
{
    // Lists words: the mode word, the code count, a code and a length per code, and one index per
    // filled voxel. The codes take turns in runs of 5, and the empty voxels lie at both ends.
    for (std::size_t codes : {2u, 3u})
    {
        for (std::size_t words : {32767u, 32768u})
        {
            const std::size_t filled = words - 2 - 2 * codes;
            const std::size_t firstFilled = (RegionCodec::kVoxelCount - filled) / 2;
            RegionCodec::ChunkBuffer chunk{};
            for (std::size_t i = 0; i < filled; ++i)
                chunk[firstFilled + i] = static_cast<std::uint16_t>(0xFF10 + i / 5 % codes);

            Bytes record;
            RegionCodec::AppendChunkRecord(chunk, record);
            const bool lists = words < 32768;
            SCOPED_TRACE(testing::Message() << codes << " codes, " << words << " words");
            EXPECT_EQ(Word(record, 0), lists ? RegionCodec::kModeValueLists : RegionCodec::kModeRaw);
            EXPECT_EQ(record.size(), lists ? 2 * words : 2 + RegionCodec::kRawBytes);
            EXPECT_EQ(record, PlainRecord(chunk));

            RegionCodec::ChunkBuffers chunks;
            chunks[9] = std::make_unique<RegionCodec::ChunkBuffer>(chunk);
            Bytes file;
            RegionCodec::EncodeRegion({0, 0, 0}, chunks, file);
            EXPECT_EQ(Word(file, RegionCodec::kHeaderSize), Word(record, 0));
            RegionCodec::ChunkBuffers decoded;
            EXPECT_TRUE(RegionCodec::DecodeRegion(file, decoded).IsIntact());
            ASSERT_NE(decoded[9], nullptr);
            EXPECT_TRUE(*decoded[9] == chunk);
        }
    }
}

namespace
{
RegionCodec::ChunkBuffer Filled(std::uint16_t code)
{
    RegionCodec::ChunkBuffer chunk;
    chunk.fill(code);
    return chunk;
}

void FillChunk(PimVoxelGrid& chunk, std::uint16_t code)
{
    chunk.LockVoxelMutex();
    chunk.FillVoxels(code);
    chunk.UnLockVoxelMutex();
}

// A chunk still holding its array though every voxel is `code` again (edited back).
void EditBackToUniform(PimVoxelGrid& chunk, std::uint16_t code)
{
    FillChunk(chunk, code);
    chunk.SetVoxel(static_cast<std::uint16_t>(code + 1), 3, 3, 3, false, false);
    chunk.SetVoxel(code, 3, 3, 3, false, false);
}
}

TEST(RegionCodec, UniformRecordsMatchTheRecordsOfFullChunks)
{
    for (std::uint16_t code : {0, 1, 154, 0xFF07, 0xFFFF})
    {
        Bytes uniform;
        RegionCodec::AppendUniformRecord(code, uniform);
        Bytes full;
        RegionCodec::AppendChunkRecord(Filled(code), full);
        EXPECT_EQ(uniform, full) << code;
        EXPECT_EQ(uniform.size(), code == 0 ? 4u : 2u + 65536u) << code;
    }
}

TEST(RegionMemory, UniformChunksKeepOnlyTheirCodeAndAreWrittenAsFullCopiesWere)
{
    // Slot order: empty, rock, 154, rock edited back (array held by the chunk), lists, raw noise.
    std::vector<std::unique_ptr<PimVoxelGrid>> chunks;
    RegionCodec::ChunkBuffers expected;
    auto add = [&](int slot, const RegionCodec::ChunkBuffer& codes) {
        auto chunk = std::make_unique<PimVoxelGrid>();
        chunk->SetLocation({static_cast<float>(slot % 8 * 32), static_cast<float>(slot / 64 * 32),
                            static_cast<float>(slot / 8 % 8 * 32)});
        chunk->LockVoxelMutex();
        std::copy(codes.begin(), codes.end(), chunk->SetVoxels());
        chunk->UnLockVoxelMutex();
        expected[slot] = std::make_unique<RegionCodec::ChunkBuffer>(codes);
        RegionCodec::ClearUnstoredCodes(*expected[slot]);
        chunks.push_back(std::move(chunk));
        return chunks.back().get();
    };
    add(0, Filled(0));
    add(9, Filled(VoxelCode::Rock));
    add(70, Filled(RegionCodec::kUnstoredCode));
    PimVoxelGrid* editedBack = add(200, Filled(VoxelCode::Water));
    EditBackToUniform(*editedBack, VoxelCode::Water);
    ASSERT_EQ(editedBack->GetVoxelBytes(), 65536u);
    RegionCodec::ChunkBuffer lists = Filled(0);
    for (int i = 0; i < 500; ++i)
        lists[static_cast<std::size_t>(i * 61)] = static_cast<std::uint16_t>(i % 3 == 0 ? 154 : 0xFF00 + i % 5);
    add(300, lists);
    RegionCodec::ChunkBuffer noise;
    for (int i = 0; i < RegionCodec::kVoxelCount; ++i)
        noise[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i * 2654435761u >> 16);
    add(511, noise);

    Region region;
    for (auto& chunk : chunks)
        ASSERT_TRUE(region.StoreChunk(*chunk));
    EXPECT_EQ(region.GetChunkCount(), 6);
    EXPECT_TRUE(region.HoldsSlot(70));
    EXPECT_FALSE(region.HoldsSlot(1));
    // Only the lists and noise chunks keep codes: the noise as they are, the lists chunk as runs.
    EXPECT_EQ(region.GetStoredBytes(), 65536u + ChunkRuns::Make(lists.data())->GetBytes());

    Bytes written;
    region.EncodeFile(written);
    Bytes reference;
    RegionCodec::EncodeRegion({0, 0, 0}, expected, reference);
    EXPECT_TRUE(written == reference) << written.size() << " bytes against " << reference.size();
    // Empty, rock raw, 154 cleared to empty, water raw, then the lists and noise records.
    Bytes listsRecord;
    RegionCodec::AppendChunkRecord(*expected[300], listsRecord);
    EXPECT_EQ(written.size(), 560u + 4 + 65538 + 4 + 65538 + listsRecord.size() + 65538);

    // The region's own 154 copy is empty now, and loads as such.
    PimVoxelGrid loaded;
    ASSERT_TRUE(region.LoadSlot(70, loaded));
    std::uint16_t value = 1;
    EXPECT_TRUE(loaded.IsUniform(value));
    EXPECT_EQ(value, 0);
}

TEST(RegionMemory, UniformCopiesReadFromAFileLoadWithoutAnArray)
{
    PimVoxelGrid loadedWater;
    RegionCodec::ChunkBuffers decoded;
    decoded[5] = std::make_unique<RegionCodec::ChunkBuffer>(Filled(VoxelCode::Rock));
    decoded[6] = std::make_unique<RegionCodec::ChunkBuffer>(Filled(0));
    decoded[7] = std::make_unique<RegionCodec::ChunkBuffer>(Filled(0));
    (*decoded[7])[32767] = 0xFF03;
    RegionCodec::UniformSlots uniform;
    uniform[9] = {true, VoxelCode::Water};
    Region region;
    region.ReplaceContents({256, 0, 0}, std::move(decoded), uniform);
    EXPECT_EQ(region.GetChunkCount(), 4);
    // Only slot 7 keeps codes: two runs (empty voxels, then the last one).
    EXPECT_EQ(region.GetStoredBytes(), 2 * sizeof(ChunkRuns::Run));
    ASSERT_TRUE(region.LoadSlot(9, loadedWater));
    EXPECT_EQ(loadedWater.GetVoxel(31, 0, 17), VoxelCode::Water);
    EXPECT_FALSE(region.IsDirty());

    // A chunk that held mixed voxels takes the uniform copy and gives its array back.
    PimVoxelGrid chunk;
    chunk.SetLocation({256 + 5 * 32, 0, 0});
    chunk.SetVoxel(0xFF01, 1, 2, 3, false, false);
    chunk.SetEditedSinceSave(false);
    ASSERT_TRUE(region.LoadChunk(chunk));
    std::uint16_t value = 0;
    EXPECT_TRUE(chunk.IsUniform(value));
    EXPECT_EQ(value, VoxelCode::Rock);
    EXPECT_EQ(chunk.GetVoxelBytes(), 0u);
    EXPECT_FALSE(chunk.IsEditedSinceSave());

    ASSERT_TRUE(region.LoadSlot(6, chunk));
    EXPECT_EQ(chunk.GetVoxel(1, 2, 3), 0);
    ASSERT_TRUE(region.LoadSlot(7, chunk));
    EXPECT_EQ(chunk.GetVoxel(31, 31, 31), 0xFF03);
    EXPECT_EQ(chunk.GetVoxel(30, 31, 31), 0);
    EXPECT_FALSE(region.LoadSlot(8, chunk));

    // Storing mixed voxels over a uniform copy keeps them, and uniform ones give them back.
    chunk.SetLocation({256 + 5 * 32, 0, 0});
    ASSERT_TRUE(region.StoreChunk(chunk));
    EXPECT_EQ(region.GetStoredBytes(), 4 * sizeof(ChunkRuns::Run));
    FillChunk(chunk, 0);
    ASSERT_TRUE(region.StoreChunk(chunk));
    EXPECT_EQ(region.GetStoredBytes(), 2 * sizeof(ChunkRuns::Run));
    PimVoxelGrid reloaded;
    ASSERT_TRUE(region.LoadSlot(5, reloaded));
    EXPECT_EQ(reloaded.GetVoxel(0, 0, 0), 0);
}

TEST(RegionCodec, RecordsOfOneCodeDecodeToTheirCodeWithoutCodesWhenAsked)
{
    // Raw rock, an empty lists record, mixed lists and a raw record one voxel short of uniform.
    RegionCodec::ChunkBuffers chunks;
    chunks[2] = std::make_unique<RegionCodec::ChunkBuffer>(Filled(VoxelCode::Rock));
    chunks[3] = std::make_unique<RegionCodec::ChunkBuffer>(Filled(0));
    chunks[4] = std::make_unique<RegionCodec::ChunkBuffer>(Filled(0));
    (*chunks[4])[100] = 0xFF07;
    chunks[5] = std::make_unique<RegionCodec::ChunkBuffer>(Filled(VoxelCode::Water));
    (*chunks[5])[32767] = VoxelCode::Rock;
    Bytes file;
    RegionCodec::EncodeRegion({0, 0, 0}, chunks, file);

    RegionCodec::ChunkBuffers plain;
    const RegionCodec::DecodeReport plainReport = RegionCodec::DecodeRegion(file, plain);
    RegionCodec::ChunkBuffers decoded;
    // Left over from an earlier file: cleared by the decoding.
    RegionCodec::UniformSlots uniform;
    uniform[400] = {true, 9};
    const RegionCodec::DecodeReport report = RegionCodec::DecodeRegion(file, decoded, &uniform);
    EXPECT_TRUE(report.IsIntact());
    EXPECT_EQ(report.chunksRead, plainReport.chunksRead);
    EXPECT_EQ(report.chunksRead, 4);

    EXPECT_TRUE(uniform[2].present);
    EXPECT_EQ(uniform[2].code, VoxelCode::Rock);
    EXPECT_TRUE(uniform[3].present);
    EXPECT_EQ(uniform[3].code, 0);
    EXPECT_EQ(decoded[2], nullptr);
    EXPECT_EQ(decoded[3], nullptr);
    EXPECT_FALSE(uniform[400].present);
    // The others keep their codes, as a reading without uniform slots gives them.
    for (int slot : {4, 5})
    {
        EXPECT_FALSE(uniform[static_cast<std::size_t>(slot)].present);
        ASSERT_NE(decoded[static_cast<std::size_t>(slot)], nullptr);
        EXPECT_TRUE(*decoded[static_cast<std::size_t>(slot)] == *plain[static_cast<std::size_t>(slot)]);
    }
    EXPECT_TRUE(*plain[2] == Filled(VoxelCode::Rock));
    EXPECT_TRUE(*plain[3] == Filled(0));

    // A file cut inside the raw rock record reads nothing of it, uniform or not.
    const std::size_t cut = RegionCodec::kHeaderSize + 2 + 1000;
    const RegionCodec::DecodeReport cutShort = RegionCodec::DecodeRegion({file.data(), cut}, decoded, &uniform);
    EXPECT_TRUE(cutShort.truncated);
    EXPECT_FALSE(uniform[2].present);
    EXPECT_EQ(decoded[2], nullptr);
}
