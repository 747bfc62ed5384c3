#include "world/RegionCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

// Any bytes as a region file: decoding stays inside the data and accounts for every present slot
// it reached; whatever it read encodes to an intact file that reads back the same, and reads the
// same when records of one code are taken as their code.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    RegionCodec::ChunkBuffers chunks;
    const RegionCodec::DecodeReport report = RegionCodec::DecodeRegion({data, size}, chunks);
    int held = 0;
    for (const auto& chunk : chunks)
        held += chunk != nullptr;
    if (held != report.chunksRead || (!report.headerComplete && held != 0) ||
        (!report.IsKnownVersion() && held != 0))
        std::abort();

    for (auto& chunk : chunks)
        if (chunk)
            RegionCodec::ClearUnstoredCodes(*chunk);
    std::vector<std::uint8_t> file;
    RegionCodec::EncodeRegion({static_cast<std::int32_t>(report.originX), 0, 0}, chunks, file);
    RegionCodec::ChunkBuffers again;
    const RegionCodec::DecodeReport second = RegionCodec::DecodeRegion(file, again);
    if (!second.IsIntact() || second.chunksRead != held || second.originX != report.originX ||
        second.ignoredIndices != 0)
        std::abort();
    for (std::size_t slot = 0; slot < chunks.size(); ++slot)
        if ((chunks[slot] == nullptr) != (again[slot] == nullptr) || (chunks[slot] && *chunks[slot] != *again[slot]))
            std::abort();

    // Read with uniform slots, the same data gives the same chunks: one-code ones as their code.
    RegionCodec::ChunkBuffers split;
    RegionCodec::UniformSlots uniform;
    const RegionCodec::DecodeReport third = RegionCodec::DecodeRegion({data, size}, split, &uniform);
    if (third.chunksRead != report.chunksRead || third.truncated != report.truncated)
        std::abort();
    for (std::size_t slot = 0; slot < chunks.size(); ++slot)
    {
        if (uniform[slot].present && split[slot] != nullptr)
            std::abort();
        if ((chunks[slot] == nullptr) != (split[slot] == nullptr && !uniform[slot].present))
            std::abort();
        if (split[slot] != nullptr)
            RegionCodec::ClearUnstoredCodes(*split[slot]);
        if (split[slot] != nullptr && *split[slot] != *chunks[slot])
            std::abort();
        std::uint16_t code = 0;
        const std::uint16_t stored = uniform[slot].code == RegionCodec::kUnstoredCode ? 0 : uniform[slot].code;
        if (uniform[slot].present && (!RegionCodec::IsUniform(*chunks[slot], code) || code != stored))
            std::abort();
    }
    return 0;
}
