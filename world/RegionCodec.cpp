#include "world/RegionCodec.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace RegionCodec
{
namespace
{
constexpr bool kLittleEndianHost = std::endian::native == std::endian::little;
constexpr int kCodeCount = 65536;
// A record of this many words or more is written raw.
constexpr std::size_t kRawThresholdWords = 32768;

void PutWord(std::uint8_t* p, std::uint16_t w)
{
    p[0] = static_cast<std::uint8_t>(w);
    p[1] = static_cast<std::uint8_t>(w >> 8);
}

void PutUint32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint16_t GetWord(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t GetUint32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// Codes to little-endian bytes and back; a plain copy on little-endian hosts.
void CodesToBytes(const std::uint16_t* codes, std::size_t count, std::uint8_t* bytes)
{
    if constexpr (kLittleEndianHost)
        std::memcpy(bytes, codes, count * 2);
    else
        for (std::size_t i = 0; i < count; ++i)
            PutWord(bytes + 2 * i, codes[i]);
}

void BytesToCodes(const std::uint8_t* bytes, std::size_t count, std::uint16_t* codes)
{
    if constexpr (kLittleEndianHost)
        std::memcpy(codes, bytes, count * 2);
    else
        for (std::size_t i = 0; i < count; ++i)
            codes[i] = GetWord(bytes + 2 * i);
}

// A run of equal non-zero codes at consecutive indices.
struct Run
{
    std::uint32_t start;
    std::uint32_t length;
    std::uint16_t code;
};

// Per-thread work space of the lists encoder. `wordAt` is indexed by code: the number of voxels
// of a code while counting, then where its next index goes; every entry is 0 between calls.
struct ListsScratch
{
    std::unique_ptr<std::uint32_t[]> wordAt = std::make_unique<std::uint32_t[]>(kCodeCount);
    std::vector<std::uint16_t> codes;
    std::vector<Run> runs;

    void Reset()
    {
        for (std::uint16_t code : codes)
            wordAt[code] = 0;
        codes.clear();
        runs.clear();
    }
};

thread_local ListsScratch listsScratch;

std::size_t CountNonZero(const ChunkBuffer& chunk)
{
    std::size_t zeros = 0;
    for (std::uint16_t code : chunk)
        zeros += code == 0;
    return chunk.size() - zeros;
}

// Finds the runs and distinct codes of a chunk with `nonZero` filled voxels. False, with the
// scratch reset, as soon as the lists record is known to reach the raw threshold.
bool CollectRuns(const ChunkBuffer& chunk, std::size_t nonZero, ListsScratch& s)
{
    const std::uint16_t* v = chunk.data();
    std::uint32_t i = 0;
    while (i < kVoxelCount)
    {
        const std::uint16_t code = v[i];
        std::uint32_t j = i + 1;
        while (j < kVoxelCount && v[j] == code)
            ++j;
        if (code != 0)
        {
            if (s.wordAt[code] == 0)
            {
                s.codes.push_back(code);
                if (2 + 2 * s.codes.size() + nonZero >= kRawThresholdWords)
                {
                    s.Reset();
                    return false;
                }
            }
            s.wordAt[code] += j - i;
            s.runs.push_back({i, j - i, code});
        }
        i = j;
    }
    return true;
}

// Writes the lists record of the collected runs (its size is 2 * words bytes) and resets the
// scratch.
void WriteLists(std::uint8_t* out, ListsScratch& s)
{
    std::sort(s.codes.begin(), s.codes.end());
    PutWord(out, kModeValueLists);
    PutWord(out + 2, static_cast<std::uint16_t>(s.codes.size()));
    std::uint32_t word = 2;
    for (std::uint16_t code : s.codes)
    {
        const std::uint32_t count = s.wordAt[code];
        PutWord(out + 2 * word, code);
        PutWord(out + 2 * word + 2, static_cast<std::uint16_t>(count));
        s.wordAt[code] = word + 2;
        word += 2 + count;
    }
    for (const Run& run : s.runs)
    {
        std::uint8_t* at = out + 2 * std::size_t(s.wordAt[run.code]);
        for (std::uint32_t k = 0; k < run.length; ++k)
            PutWord(at + 2 * k, static_cast<std::uint16_t>(run.start + k));
        s.wordAt[run.code] += run.length;
    }
    s.Reset();
}

void AppendRaw(const ChunkBuffer& chunk, std::vector<std::uint8_t>& out)
{
    std::uint8_t mode[2];
    PutWord(mode, kModeRaw);
    out.insert(out.end(), mode, mode + 2);
    if constexpr (kLittleEndianHost)
    {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(chunk.data());
        out.insert(out.end(), bytes, bytes + kRawBytes);
    }
    else
    {
        const std::size_t at = out.size();
        out.resize(at + kRawBytes);
        CodesToBytes(chunk.data(), kVoxelCount, out.data() + at);
    }
}

enum class RecordOutcome
{
    Read,
    Truncated,
    UnsupportedMode,
};

// Reads a lists body (K and the groups) at `pos` into a zeroed chunk.
RecordOutcome ReadLists(std::span<const std::uint8_t> data, std::size_t& pos, ChunkBuffer& chunk,
                        DecodeReport& report)
{
    const std::size_t size = data.size();
    if (size - pos < 2)
        return RecordOutcome::Truncated;
    const std::uint16_t groups = GetWord(data.data() + pos);
    pos += 2;
    std::uint16_t* codes = chunk.data();
    for (std::uint32_t g = 0; g < groups; ++g)
    {
        if (size - pos < 4)
            return RecordOutcome::Truncated;
        const std::uint16_t code = GetWord(data.data() + pos);
        const std::size_t count = GetWord(data.data() + pos + 2);
        pos += 4;
        if ((size - pos) / 2 < count)
            return RecordOutcome::Truncated;
        const std::uint8_t* indices = data.data() + pos;
        std::size_t ignored = 0;
        for (std::size_t k = 0; k < count; ++k)
        {
            const std::uint16_t index = GetWord(indices + 2 * k);
            if (index < kVoxelCount)
                codes[index] = code;
            else
                ++ignored;
        }
        report.ignoredIndices += ignored;
        pos += 2 * count;
    }
    return RecordOutcome::Read;
}

RecordOutcome ReadRaw(std::span<const std::uint8_t> data, std::size_t& pos, ChunkBuffer& chunk)
{
    if (data.size() - pos < kRawBytes)
        return RecordOutcome::Truncated;
    BytesToCodes(data.data() + pos, kVoxelCount, chunk.data());
    pos += kRawBytes;
    return RecordOutcome::Read;
}

// Reads the record at `pos` by the file's version into a new buffer.
RecordOutcome ReadRecord(std::uint16_t version, std::span<const std::uint8_t> data, std::size_t& pos,
                         std::unique_ptr<ChunkBuffer>& chunk, DecodeReport& report)
{
    std::uint16_t mode = version == 1 ? kModeRaw : kModeValueLists;
    if (version == 3)
    {
        if (data.size() - pos < 2)
            return RecordOutcome::Truncated;
        mode = GetWord(data.data() + pos);
        pos += 2;
    }
    if (mode == kModeRaw)
    {
        chunk = std::make_unique_for_overwrite<ChunkBuffer>();
        return ReadRaw(data, pos, *chunk);
    }
    if (mode == kModeValueLists)
    {
        chunk = std::make_unique<ChunkBuffer>();
        return ReadLists(data, pos, *chunk, report);
    }
    return RecordOutcome::UnsupportedMode;
}
}

void ClearUnstoredCodes(ChunkBuffer& chunk)
{
    for (std::uint16_t& code : chunk)
        code = code == kUnstoredCode ? 0 : code;
}

void AppendChunkRecord(const ChunkBuffer& chunk, std::vector<std::uint8_t>& out)
{
    const std::size_t nonZero = CountNonZero(chunk);
    // Even one code costs 4 words besides its indices.
    if (nonZero + 4 >= kRawThresholdWords)
    {
        AppendRaw(chunk, out);
        return;
    }
    ListsScratch& s = listsScratch;
    if (!CollectRuns(chunk, nonZero, s))
    {
        AppendRaw(chunk, out);
        return;
    }
    const std::size_t words = 2 + 2 * s.codes.size() + nonZero;
    const std::size_t at = out.size();
    out.resize(at + 2 * words);
    WriteLists(out.data() + at, s);
}

void EncodeRegion(const HeaderOrigin& origin, const ChunkBuffers& chunks, std::vector<std::uint8_t>& out)
{
    out.assign(kHeaderSize, 0);
    std::uint32_t present = 0;
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (chunks[slot])
        {
            out[kPresenceOffset + slot] = 1;
            ++present;
        }
    PutUint32(out.data() + kOriginOffset, static_cast<std::uint32_t>(origin.x));
    PutUint32(out.data() + kOriginOffset + 4, static_cast<std::uint32_t>(origin.y));
    PutUint32(out.data() + kOriginOffset + 8, static_cast<std::uint32_t>(origin.z));
    PutUint32(out.data() + kCountOffset, present);
    PutWord(out.data() + kVersionOffset, kWrittenVersion);

    // Room for every record at its largest, so appending never moves the bytes.
    out.reserve(kHeaderSize + present * (2 + kRawBytes));
    for (const auto& chunk : chunks)
        if (chunk)
            AppendChunkRecord(*chunk, out);
}

DecodeReport DecodeRegion(std::span<const std::uint8_t> data, ChunkBuffers& chunks)
{
    for (auto& chunk : chunks)
        chunk.reset();
    DecodeReport report;
    if (data.size() < kHeaderSize)
        return report;
    report.headerComplete = true;
    report.originX = GetUint32(data.data() + kOriginOffset);
    report.originY = GetUint32(data.data() + kOriginOffset + 4);
    report.originZ = GetUint32(data.data() + kOriginOffset + 8);
    report.declaredCount = GetUint32(data.data() + kCountOffset);
    report.version = GetWord(data.data() + kVersionOffset);
    if (!report.IsKnownVersion())
        return report;

    std::size_t pos = kHeaderSize;
    std::uint32_t recordsSeen = 0;
    bool modeUnsupported = false;
    for (int slot = 0; slot < kSlotCount; ++slot)
    {
        if (data[kPresenceOffset + slot] == 1)
        {
            ++recordsSeen;
            std::unique_ptr<ChunkBuffer> chunk;
            const RecordOutcome outcome =
                modeUnsupported ? RecordOutcome::UnsupportedMode : ReadRecord(report.version, data, pos, chunk, report);
            if (outcome == RecordOutcome::Truncated)
            {
                report.truncated = true;
                break;
            }
            if (outcome == RecordOutcome::UnsupportedMode)
            {
                // Where the next record starts is unknown: nothing after this one can be read.
                modeUnsupported = true;
                ++report.unsupportedModeSlots;
            }
            else
            {
                chunks[slot] = std::move(chunk);
                ++report.chunksRead;
            }
        }
        if (recordsSeen >= report.declaredCount)
            break;
    }
    return report;
}
}
