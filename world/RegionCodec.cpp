#include "world/RegionCodec.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Codes appended as little-endian bytes, and read back; a plain copy on little-endian hosts.
void AppendCodes(const std::uint16_t* codes, std::size_t count, std::vector<std::uint8_t>& out)
{
    if constexpr (kLittleEndianHost)
    {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(codes);
        out.insert(out.end(), bytes, bytes + count * 2);
    }
    else
    {
        const std::size_t at = out.size();
        out.resize(at + count * 2);
        for (std::size_t i = 0; i < count; ++i)
            PutWord(out.data() + at + 2 * i, codes[i]);
    }
}

void BytesToCodes(const std::uint8_t* bytes, std::size_t count, std::uint16_t* codes)
{
    if constexpr (kLittleEndianHost)
        std::memcpy(codes, bytes, count * 2);
    else
        for (std::size_t i = 0; i < count; ++i)
            codes[i] = GetWord(bytes + 2 * i);
}

// A run of equal non-zero codes at consecutive indices. A lists record is only made for chunks
// with empty voxels, so no run is 32768 long.
struct Run
{
    std::uint16_t start;
    std::uint16_t length;
    std::uint16_t code;
};

constexpr int kBlockCount = kVoxelCount / 64;

// Per-thread work space of the lists encoder. `wordAt` is indexed by code: the number of voxels
// of a code while counting, then where its next index goes; every entry is 0 between calls.
// `runStarts` has bit k of word b set when voxel 64 * b + k starts a run (differs from the voxel
// before it; voxel 0 always starts one).
struct ListsScratch
{
    std::unique_ptr<std::uint32_t[]> wordAt = std::make_unique<std::uint32_t[]>(kCodeCount);
    std::unique_ptr<Run[]> runs = std::make_unique<Run[]>(kVoxelCount);
    std::size_t runCount = 0;
    std::vector<std::uint16_t> codes;
    std::array<std::uint64_t, kBlockCount> runStarts{};

    void Reset()
    {
        for (std::uint16_t code : codes)
            wordAt[code] = 0;
        codes.clear();
        runCount = 0;
    }
};

thread_local ListsScratch listsScratch;

#if defined(__SSE2__)
// Bit k set when v[k] differs from v[k - 1] (v[-1] must be readable). Adds the number of zero
// codes among v[0] to v[63] to the lanes of zeros, negated.
std::uint64_t ScanBlock(const std::uint16_t* v, __m128i& negatedZeros)
{
    const __m128i zero = _mm_setzero_si128();
    std::uint64_t sameAsBefore = 0;
    for (int part = 0; part < 4; ++part)
    {
        const std::uint16_t* at = v + 16 * part;
        const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 8));
        const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at - 1));
        const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 7));
        const __m128i same = _mm_packs_epi16(_mm_cmpeq_epi16(a0, b0), _mm_cmpeq_epi16(a1, b1));
        sameAsBefore |= std::uint64_t(static_cast<std::uint32_t>(_mm_movemask_epi8(same))) << (16 * part);
        negatedZeros = _mm_add_epi16(negatedZeros, _mm_cmpeq_epi16(a0, zero));
        negatedZeros = _mm_add_epi16(negatedZeros, _mm_cmpeq_epi16(a1, zero));
    }
    return ~sameAsBefore;
}

// Marks where runs start and returns the number of non-zero codes.
std::size_t ScanChunk(const ChunkBuffer& chunk, ListsScratch& s)
{
    // The first block compares voxel 0 with a copy of itself; it starts a run whatever it holds.
    std::uint16_t first[65];
    first[0] = chunk[0];
    std::memcpy(first + 1, chunk.data(), 64 * sizeof(std::uint16_t));
    // Each 16-bit lane counts at most 32768 / 8 zeros, negated: no lane overflows.
    __m128i negatedZeros = _mm_setzero_si128();
    s.runStarts[0] = ScanBlock(first + 1, negatedZeros) | 1;
    for (int block = 1; block < kBlockCount; ++block)
        s.runStarts[block] = ScanBlock(chunk.data() + 64 * block, negatedZeros);
    std::uint16_t lanes[8];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), _mm_sub_epi16(_mm_setzero_si128(), negatedZeros));
    std::size_t zeros = 0;
    for (std::uint16_t lane : lanes)
        zeros += lane;
    return kVoxelCount - zeros;
}
#else
// Marks where runs start and returns the number of non-zero codes.
std::size_t ScanChunk(const ChunkBuffer& chunk, ListsScratch& s)
{
    std::size_t zeros = 0;
    for (int block = 0; block < kBlockCount; ++block)
    {
        std::uint64_t starts = 0;
        for (int k = 0; k < 64; ++k)
        {
            const int i = 64 * block + k;
            starts |= std::uint64_t(i == 0 || chunk[i] != chunk[i - 1]) << k;
            zeros += chunk[i] == 0;
        }
        s.runStarts[block] = starts;
    }
    return kVoxelCount - zeros;
}
#endif

// Lists the runs of non-zero codes and counts each code's voxels. False, with the scratch reset,
// as soon as the lists record is known to reach the raw threshold.
bool CollectRuns(const ChunkBuffer& chunk, std::size_t nonZero, ListsScratch& s)
{
    const std::uint16_t* v = chunk.data();
    std::uint32_t runStart = 0;
    for (int block = 0; block <= kBlockCount; ++block)
    {
        // Every run start closes the run before it; voxel 0 closes nothing, and the end of the
        // chunk (one past the last block) closes the last run.
        std::uint64_t starts = block == kBlockCount ? 1 : s.runStarts[block] & (block == 0 ? ~std::uint64_t(1) : ~std::uint64_t(0));
        while (starts != 0)
        {
            const std::uint32_t at = 64 * block + static_cast<std::uint32_t>(std::countr_zero(starts));
            starts &= starts - 1;
            const std::uint16_t code = v[runStart];
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
                s.wordAt[code] += at - runStart;
                s.runs[s.runCount++] = {static_cast<std::uint16_t>(runStart), static_cast<std::uint16_t>(at - runStart), code};
            }
            runStart = at;
        }
    }
    return true;
}

// Writes the little-endian indices first, first + 1, ... (count of them, all below 32768).
void WriteIndexRun(std::uint8_t* out, std::uint32_t first, std::uint32_t count)
{
    if constexpr (kLittleEndianHost)
    {
        if (count >= 4)
        {
            // Four indices per 64-bit store (no lane carries into the next: indices stay below
            // 65536); the last store ends exactly at the run's end, overlapping the one before.
            const std::uint64_t step = 0x0004000400040004ull;
            std::uint64_t four = first * 0x0001000100010001ull + 0x0003000200010000ull;
            std::uint32_t k = 0;
            for (; k + 4 < count; k += 4, four += step)
                std::memcpy(out + 2 * k, &four, sizeof four);
            const std::uint64_t last = (first + count - 4) * 0x0001000100010001ull + 0x0003000200010000ull;
            std::memcpy(out + 2 * (count - 4), &last, sizeof last);
            return;
        }
    }
    for (std::uint32_t k = 0; k < count; ++k)
        PutWord(out + 2 * k, static_cast<std::uint16_t>(first + k));
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
    for (std::size_t r = 0; r < s.runCount; ++r)
    {
        const Run& run = s.runs[r];
        WriteIndexRun(out + 2 * std::size_t(s.wordAt[run.code]), run.start, run.length);
        s.wordAt[run.code] += run.length;
    }
    s.Reset();
}

void AppendRaw(const ChunkBuffer& chunk, std::vector<std::uint8_t>& out)
{
    std::uint8_t mode[2];
    PutWord(mode, kModeRaw);
    out.insert(out.end(), mode, mode + 2);
    AppendCodes(chunk.data(), kVoxelCount, out);
}

enum class RecordOutcome
{
    Read,
    Truncated,
    UnsupportedMode,
};

// Stores `code` at each of `count` little-endian indices; returns how many indices were skipped
// for lying outside the chunk. (The plain loop measured faster than 64-bit run stores or a
// separate validity pass: the test is always predicted.)
std::size_t ScatterCode(std::uint16_t code, const std::uint8_t* indices, std::size_t count, std::uint16_t* codes)
{
    std::size_t ignored = 0;
    for (std::size_t k = 0; k < count; ++k)
    {
        const std::uint16_t index = GetWord(indices + 2 * k);
        if (index < kVoxelCount)
            codes[index] = code;
        else
            ++ignored;
    }
    return ignored;
}

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
        report.ignoredIndices += ScatterCode(code, data.data() + pos, count, codes);
        pos += 2 * count;
    }
    return RecordOutcome::Read;
}

// True, with the code, when the record at `pos` holds one code in every voxel and can be read
// without its codes: a whole raw record of equal words, or a lists body without codes. `pos`
// then moves past it.
bool ReadOneCode(std::uint16_t mode, std::span<const std::uint8_t> data, std::size_t& pos, std::uint16_t& code)
{
    const std::uint8_t* at = data.data() + pos;
    if (mode == kModeRaw)
    {
        // Every word equals the one before it exactly when the bytes equal those two further on.
        if (data.size() - pos < kRawBytes || std::memcmp(at, at + 2, kRawBytes - 2) != 0)
            return false;
        code = GetWord(at);
        pos += kRawBytes;
        return true;
    }
    if (data.size() - pos < 2 || GetWord(at) != 0)
        return false;
    code = 0;
    pos += 2;
    return true;
}

RecordOutcome ReadRaw(std::span<const std::uint8_t> data, std::size_t& pos, ChunkBuffer& chunk)
{
    if (data.size() - pos < kRawBytes)
        return RecordOutcome::Truncated;
    BytesToCodes(data.data() + pos, kVoxelCount, chunk.data());
    pos += kRawBytes;
    return RecordOutcome::Read;
}

// Reads the record at `pos` by the file's version into `chunk`, allocating it when absent, or,
// when the caller takes uniform slots, into `uniform` when it holds one code.
RecordOutcome ReadRecord(std::uint16_t version, std::span<const std::uint8_t> data, std::size_t& pos,
                         std::unique_ptr<ChunkBuffer>& chunk, UniformSlot* uniform, DecodeReport& report)
{
    std::uint16_t mode = version == 1 ? kModeRaw : kModeValueLists;
    if (version == 3)
    {
        if (data.size() - pos < 2)
            return RecordOutcome::Truncated;
        mode = GetWord(data.data() + pos);
        pos += 2;
    }
    if (mode != kModeRaw && mode != kModeValueLists)
        return RecordOutcome::UnsupportedMode;
    if (uniform != nullptr && ReadOneCode(mode, data, pos, uniform->code))
    {
        uniform->present = true;
        chunk.reset();
        return RecordOutcome::Read;
    }
    if (!chunk)
        chunk = std::make_unique_for_overwrite<ChunkBuffer>();
    if (mode == kModeRaw)
        return ReadRaw(data, pos, *chunk);
    chunk->fill(0);
    return ReadLists(data, pos, *chunk, report);
}
}

void ClearUnstoredCodes(ChunkBuffer& chunk)
{
    for (std::uint16_t& code : chunk)
        code = code == kUnstoredCode ? 0 : code;
}

bool IsUniform(const ChunkBuffer& chunk, std::uint16_t& code)
{
    const std::uint16_t first = chunk[0];
    // Or-ing the differences lets the compiler vectorise the scan without an early exit.
    std::uint16_t differences = 0;
    for (std::uint16_t c : chunk)
        differences |= static_cast<std::uint16_t>(c ^ first);
    if (differences != 0)
        return false;
    code = first;
    return true;
}

void AppendChunkRecord(const ChunkBuffer& chunk, std::vector<std::uint8_t>& out)
{
    ListsScratch& s = listsScratch;
    const std::size_t nonZero = ScanChunk(chunk, s);
    // Even one code costs 4 words besides its indices.
    if (nonZero + 4 >= kRawThresholdWords || !CollectRuns(chunk, nonZero, s))
    {
        AppendRaw(chunk, out);
        return;
    }
    const std::size_t words = 2 + 2 * s.codes.size() + nonZero;
    const std::size_t at = out.size();
    out.resize(at + 2 * words);
    WriteLists(out.data() + at, s);
}

void AppendUniformRecord(std::uint16_t code, std::vector<std::uint8_t>& out)
{
    std::uint8_t words[4];
    if (code == 0)
    {
        // No non-zero code: a lists record with no groups.
        PutWord(words, kModeValueLists);
        PutWord(words + 2, 0);
        out.insert(out.end(), words, words + 4);
        return;
    }
    // 32768 non-zero voxels always reach the raw threshold.
    PutWord(words, kModeRaw);
    PutWord(words + 2, code);
    out.insert(out.end(), words, words + 2);
    const std::size_t at = out.size();
    out.resize(at + kRawBytes);
    std::uint8_t* codes = out.data() + at;
    for (std::size_t i = 0; i < kRawBytes; i += 2)
    {
        codes[i] = words[2];
        codes[i + 1] = words[3];
    }
}

void EncodeRegion(const HeaderOrigin& origin, const ChunkBuffers& chunks, std::vector<std::uint8_t>& out)
{
    ChunkViews views;
    for (int slot = 0; slot < kSlotCount; ++slot)
        views[slot] = {chunks[slot] != nullptr, chunks[slot].get(), 0};
    EncodeRegion(origin, views, out);
}

void EncodeHeader(const HeaderOrigin& origin, const ChunkViews& chunks, std::vector<std::uint8_t>& out)
{
    out.assign(kHeaderSize, 0);
    std::uint32_t present = 0;
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (chunks[slot].present)
        {
            out[kPresenceOffset + slot] = 1;
            ++present;
        }
    PutUint32(out.data() + kOriginOffset, static_cast<std::uint32_t>(origin.x));
    PutUint32(out.data() + kOriginOffset + 4, static_cast<std::uint32_t>(origin.y));
    PutUint32(out.data() + kOriginOffset + 8, static_cast<std::uint32_t>(origin.z));
    PutUint32(out.data() + kCountOffset, present);
    PutWord(out.data() + kVersionOffset, kWrittenVersion);
}

void EncodeRegion(const HeaderOrigin& origin, const ChunkViews& chunks, std::vector<std::uint8_t>& out)
{
    EncodeHeader(origin, chunks, out);
    const std::uint32_t present = GetUint32(out.data() + kCountOffset);
    // Room for every record at its largest, so appending never moves the bytes.
    out.reserve(kHeaderSize + present * (2 + kRawBytes));
    for (const ChunkView& chunk : chunks)
    {
        if (!chunk.present)
            continue;
        if (chunk.codes)
            AppendChunkRecord(*chunk.codes, out);
        else
            AppendUniformRecord(chunk.uniformCode, out);
    }
}

namespace
{
using SlotSet = std::array<bool, kSlotCount>;

// Reads the records of the given slots in slot order from the header's end, into chunks (marking
// the slots read), until the slots run out, the data ends or a record has an unknown mode.
// report.recordsEnd is where the last record read ended.
void ReadLayout(std::span<const std::uint8_t> data, const SlotSet& slots, ChunkBuffers& chunks, UniformSlots* uniform,
                SlotSet& read, DecodeReport& report)
{
    std::size_t pos = kHeaderSize;
    bool modeUnsupported = false;
    for (int slot = 0; slot < kSlotCount; ++slot)
    {
        if (!slots[slot])
            continue;
        ++report.recordsListed;
        const RecordOutcome outcome =
            modeUnsupported ? RecordOutcome::UnsupportedMode
                            : ReadRecord(report.version, data, pos, chunks[slot],
                                         uniform != nullptr ? &(*uniform)[slot] : nullptr, report);
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
            read[slot] = true;
            ++report.chunksRead;
        }
    }
    report.recordsEnd = pos;
}

// Header and records agree: as many records as the count says, and the last one ends the data.
bool Agrees(const DecodeReport& report, std::size_t dataSize)
{
    return report.recordsListed == report.declaredCount && !report.truncated && report.unsupportedModeSlots == 0 &&
           report.recordsEnd == dataSize;
}

// Of two readings of one file, the better: the one whose header agrees with its records, else
// the one that reads more chunks; the first on a tie.
bool IsBetterReading(const DecodeReport& candidate, const DecodeReport& current, std::size_t dataSize)
{
    const bool candidateAgrees = Agrees(candidate, dataSize);
    const bool currentAgrees = Agrees(current, dataSize);
    if (candidateAgrees != currentAgrees)
        return candidateAgrees;
    return candidate.chunksRead > current.chunksRead;
}
}

DecodeReport DecodeRegion(std::span<const std::uint8_t> data, ChunkBuffers& chunks, UniformSlots* uniform)
{
    DecodeReport report;
    if (uniform != nullptr)
        uniform->fill(UniformSlot{});
    // Buffers of the slots read are reused; every other slot is emptied at the end.
    SlotSet read{};
    auto finish = [&] {
        for (int slot = 0; slot < kSlotCount; ++slot)
            if (!read[slot])
            {
                chunks[slot].reset();
                if (uniform != nullptr)
                    (*uniform)[slot] = UniformSlot{};
            }
        return report;
    };
    if (data.size() < kHeaderSize)
        return finish();
    report.headerComplete = true;
    report.originX = GetUint32(data.data() + kOriginOffset);
    report.originY = GetUint32(data.data() + kOriginOffset + 4);
    report.originZ = GetUint32(data.data() + kOriginOffset + 8);
    report.declaredCount = GetUint32(data.data() + kCountOffset);
    report.version = GetWord(data.data() + kVersionOffset);
    if (!report.IsKnownVersion())
        return finish();

    // Every present slot is read, whatever the count says: a count damaged to a smaller number
    // must not lose the chunks after it. A presence byte other than 0 and 1 is damage; whether it
    // was a 0 or a 1 is decided by which reading makes the records fit the file.
    SlotSet ones{};
    SlotSet nonZero{};
    bool oddPresence = false;
    for (int slot = 0; slot < kSlotCount; ++slot)
    {
        const std::uint8_t presence = data[kPresenceOffset + slot];
        ones[slot] = presence == 1;
        nonZero[slot] = presence != 0;
        oddPresence = oddPresence || presence > 1;
    }
    const DecodeReport header = report;
    ReadLayout(data, ones, chunks, uniform, read, report);
    if (oddPresence)
    {
        DecodeReport other = header;
        ChunkBuffers otherChunks;
        UniformSlots otherUniform;
        SlotSet otherRead{};
        ReadLayout(data, nonZero, otherChunks, uniform != nullptr ? &otherUniform : nullptr, otherRead, other);
        if (IsBetterReading(other, report, data.size()))
        {
            report = other;
            read = otherRead;
            for (int slot = 0; slot < kSlotCount; ++slot)
                chunks[slot] = std::move(otherChunks[slot]);
            if (uniform != nullptr)
                *uniform = otherUniform;
        }
    }
    report.headerMismatch = oddPresence || !Agrees(report, data.size());
    return finish();
}
}
