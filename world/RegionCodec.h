#pragma once

#include "world/WorldAddressing.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// The bytes of a region file, in memory: a 560-byte header, then one record per stored chunk in
// ascending slot order. All numbers little-endian.
//
//   offset  size  field
//   0       24    reserved, zero
//   24      12    origin x, y, z: 32-bit integers
//   36      4     number of chunk records, unsigned
//   40      2     format version: 3 when written; 1, 2 and 3 are read
//   42      512   presence: byte i is 1 when slot i has a record
//   554     6     reserved, zero
//   560           the records
//
// A version 3 record is a mode word and a body. Mode 1 (value lists): a count K of distinct
// non-zero codes, then per code in ascending order the code, the number n of its voxels and their
// n indices (ascending); voxels not listed are 0. Mode 2 (raw): the 32768 codes in index order.
// A chunk is written as lists when the lists record counts fewer than 32768 words (mode word
// included), else raw. Version 1 records are raw codes without a mode word, version 2 records
// lists bodies without a mode word.
//
// Voxel index order is PimVoxelGrid's: (y * 32 + z) * 32 + x.
//
// Pure functions over caller-owned data; any thread.
namespace RegionCodec
{
constexpr std::size_t kHeaderSize = 560;
constexpr std::size_t kOriginOffset = 24;
constexpr std::size_t kCountOffset = 36;
constexpr std::size_t kVersionOffset = 40;
constexpr std::size_t kPresenceOffset = 42;
constexpr std::uint16_t kWrittenVersion = 3;
constexpr std::uint16_t kModeValueLists = 1;
constexpr std::uint16_t kModeRaw = 2;
// A selectable code that files never keep: it is written as 0.
constexpr std::uint16_t kUnstoredCode = 154;

constexpr int kSlotCount = WorldAddressing::kRegionSlots;
constexpr int kVoxelCount = 32768;
constexpr std::size_t kRawBytes = kVoxelCount * 2;
// The longest a region file can be: the header and a raw record (mode word and codes) in every
// slot. Readers never take more.
constexpr std::size_t kMaxFileBytes = kHeaderSize + kSlotCount * (2 + kRawBytes);

using ChunkBuffer = std::array<std::uint16_t, kVoxelCount>;
using ChunkBuffers = std::array<std::unique_ptr<ChunkBuffer>, kSlotCount>;

// The origin as the header holds it.
struct HeaderOrigin
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t z = 0;
};

// One slot as the encoder reads it: absent, uniform (every voxel holds uniformCode and no codes
// are kept) or its codes.
struct ChunkView
{
    bool present = false;
    const ChunkBuffer* codes = nullptr;
    std::uint16_t uniformCode = 0;
};
using ChunkViews = std::array<ChunkView, kSlotCount>;

// Sets every voxel holding kUnstoredCode to 0.
void ClearUnstoredCodes(ChunkBuffer& chunk);

// True, with the code, when every voxel of the chunk holds the same code.
bool IsUniform(const ChunkBuffer& chunk, std::uint16_t& code);

// Appends one version 3 record (mode word and body) of a chunk's codes. kUnstoredCode is written
// as it is: callers clear it first.
void AppendChunkRecord(const ChunkBuffer& chunk, std::vector<std::uint8_t>& out);
// The record AppendChunkRecord makes of a chunk whose voxels all hold `code`, without the codes:
// an empty lists record for 0, else raw.
void AppendUniformRecord(std::uint16_t code, std::vector<std::uint8_t>& out);

// The header of a file of these chunks (count and presence from the chunks present), replacing
// what `out` held; the records go after it.
void EncodeHeader(const HeaderOrigin& origin, const ChunkViews& chunks, std::vector<std::uint8_t>& out);

// The whole file: header (count and presence from the chunks present) and records.
void EncodeRegion(const HeaderOrigin& origin, const ChunkBuffers& chunks, std::vector<std::uint8_t>& out);
void EncodeRegion(const HeaderOrigin& origin, const ChunkViews& chunks, std::vector<std::uint8_t>& out);

// What decoding found. Reading stops at the end of the data, at a version it does not know and
// at a record of an unknown mode; value-list indices of 32768 or more are skipped. Every slot the
// presence table marks is read, whatever the count says.
struct DecodeReport
{
    // The data holds the 560 header bytes; nothing else is valid without them.
    bool headerComplete = false;
    // The header integers read as unsigned values, as the region's origin is taken from them.
    std::uint32_t originX = 0;
    std::uint32_t originY = 0;
    std::uint32_t originZ = 0;
    std::uint16_t version = 0;
    std::uint32_t declaredCount = 0;
    // Records the presence table called for, and the chunks read whole of them.
    std::uint32_t recordsListed = 0;
    int chunksRead = 0;
    // Where the last record read ended.
    std::size_t recordsEnd = 0;
    // The header disagrees with the records: a count other than the number of records, a
    // presence byte other than 0 and 1, or bytes after the last record.
    bool headerMismatch = false;
    // A record ran past the end of the data (the file was cut short); that chunk and the ones
    // after it are missing.
    bool truncated = false;
    // Present slots that were not read because a record had a mode other than 1 or 2: the slot of
    // that record and every later present slot up to the count.
    int unsupportedModeSlots = 0;
    std::size_t ignoredIndices = 0;

    bool IsKnownVersion() const { return version >= 1 && version <= 3; }
    // Nothing was lost or doubtful: the header, a known version, every record whole, and header
    // and records agreeing.
    bool IsIntact() const
    {
        return headerComplete && IsKnownVersion() && !truncated && unsupportedModeSlots == 0 && !headerMismatch;
    }
};

// A slot read as one code in every voxel, without its codes: most stored chunks are all air, all
// rock or all water.
struct UniformSlot
{
    bool present = false;
    std::uint16_t code = 0;
};
using UniformSlots = std::array<UniformSlot, kSlotCount>;

// Reads a file's bytes into `chunks`: each chunk read gets a buffer (one already there is
// reused), every other slot is emptied. Records are read for the slots whose presence byte is 1
// (or, when the table holds other values and that reading fits the file better, not 0), in slot
// order. With `uniform`, a record of one code (a raw record whose codes are all equal, or a lists
// record without codes) is entered there instead, its slot in `chunks` left empty, so that it
// never takes 64 KiB; every slot not read that way is cleared there.
DecodeReport DecodeRegion(std::span<const std::uint8_t> data, ChunkBuffers& chunks, UniformSlots* uniform = nullptr);
}
