#include "world/Region.h"

#include "engine/PimAssert.h"
#include "world/WorldAddressing.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
constexpr const char* kOutOfRange = "Must be in range";

// A float origin as the header's 32-bit integer: truncated, saturated, NaN as 0.
std::int32_t HeaderInteger(float v)
{
    const double t = std::trunc(static_cast<double>(v));
    if (!(t == t))
        return 0;
    return static_cast<std::int32_t>(std::clamp(t, static_cast<double>(std::numeric_limits<std::int32_t>::min()),
                                                static_cast<double>(std::numeric_limits<std::int32_t>::max())));
}
}

int Region::SlotOfLocked(const PimVector3& location) const
{
    return WorldAddressing::RegionSlot(location, origin);
}

void Region::StoredChunk::MakeUniform(std::uint16_t code)
{
    present = true;
    codes.reset();
    uniformCode = code;
}

void Region::StoredChunk::Keep(std::shared_ptr<const ChunkRuns> copy)
{
    std::uint16_t code = 0;
    if (copy->IsUniform(code))
    {
        MakeUniform(code);
        return;
    }
    present = true;
    codes = std::move(copy);
    uniformCode = 0;
}

bool Region::StoreChunk(PimVoxelGrid& chunk)
{
    const PimVector3 location = chunk.GetLocation();
    // The copy is made before the region is locked: the worker may be loading from it meanwhile.
    StoredChunk copy;
    chunk.LockVoxelMutex();
    std::uint16_t uniform = 0;
    // A uniform chunk keeps no array; reading it through GetVoxels would make one.
    if (chunk.IsUniform(uniform))
        copy.MakeUniform(uniform);
    else
        copy.Keep(ChunkRuns::Make(chunk.GetVoxels()));
    chunk.UnLockVoxelMutex();

    std::lock_guard<std::mutex> hold(regionMutex);
    if (!originSet)
    {
        origin = WorldAddressing::RegionOrigin(location);
        originSet = true;
    }
    const int slot = SlotOfLocked(location);
    if (slot < 0)
    {
        PimAssert::Assert(false, kOutOfRange);
        return false;
    }
    slots[static_cast<std::size_t>(slot)] = std::move(copy);
    ++storeCount;
    return true;
}

bool Region::CopyIntoChunk(const StoredChunk& stored, PimVoxelGrid& chunk)
{
    if (!stored.present)
        return false;
    chunk.LockVoxelMutex();
    if (stored.codes)
        stored.codes->CopyTo(chunk.SetVoxels());
    else
        chunk.FillVoxels(stored.uniformCode);
    chunk.UnLockVoxelMutex();
    return true;
}

bool Region::LoadChunk(PimVoxelGrid& chunk) const
{
    const PimVector3 location = chunk.GetLocation();
    StoredChunk stored;
    {
        std::lock_guard<std::mutex> hold(regionMutex);
        const int slot = SlotOfLocked(location);
        if (slot < 0)
        {
            PimAssert::Assert(false, kOutOfRange);
            return false;
        }
        stored = SnapshotLocked(slot);
    }
    return CopyIntoChunk(stored, chunk);
}

bool Region::LoadSlot(int slot, PimVoxelGrid& chunk) const
{
    if (slot < 0 || slot >= RegionCodec::kSlotCount)
        return false;
    StoredChunk stored;
    {
        std::lock_guard<std::mutex> hold(regionMutex);
        stored = SnapshotLocked(slot);
    }
    return CopyIntoChunk(stored, chunk);
}

bool Region::HoldsChunkAt(const PimVector3& location) const
{
    std::lock_guard<std::mutex> hold(regionMutex);
    const int slot = SlotOfLocked(location);
    return slot >= 0 && slots[static_cast<std::size_t>(slot)].present;
}

bool Region::HoldsSlot(int slot) const
{
    if (slot < 0 || slot >= RegionCodec::kSlotCount)
        return false;
    std::lock_guard<std::mutex> hold(regionMutex);
    return slots[static_cast<std::size_t>(slot)].present;
}

int Region::GetChunkCount() const
{
    std::lock_guard<std::mutex> hold(regionMutex);
    return static_cast<int>(std::count_if(slots.begin(), slots.end(), [](const StoredChunk& s) { return s.present; }));
}

std::size_t Region::GetStoredBytes() const
{
    std::lock_guard<std::mutex> hold(regionMutex);
    std::size_t bytes = 0;
    for (const StoredChunk& stored : slots)
        bytes += stored.codes ? stored.codes->GetBytes() : 0;
    return bytes;
}

PimVector3 Region::GetOrigin() const
{
    std::lock_guard<std::mutex> hold(regionMutex);
    return origin;
}

bool Region::IsOriginSet() const
{
    std::lock_guard<std::mutex> hold(regionMutex);
    return originSet;
}

bool Region::IsDirty() const
{
    std::lock_guard<std::mutex> hold(regionMutex);
    return storeCount != writtenCount;
}

std::uint64_t Region::EncodeFile(std::vector<std::uint8_t>& file)
{
    // Each copy is written out through one chunk's codes, in space each thread keeps.
    thread_local RegionCodec::ChunkBuffer codes;
    std::lock_guard<std::mutex> hold(regionMutex);
    RegionCodec::ChunkViews views;
    for (std::size_t slot = 0; slot < slots.size(); ++slot)
    {
        StoredChunk& stored = slots[slot];
        if (stored.codes && stored.codes->Contains(RegionCodec::kUnstoredCode))
        {
            stored.codes->CopyTo(codes.data());
            RegionCodec::ClearUnstoredCodes(codes);
            stored.Keep(ChunkRuns::Make(codes.data()));
        }
        else if (!stored.codes && stored.uniformCode == RegionCodec::kUnstoredCode)
            stored.uniformCode = 0;
        views[slot] = {stored.present, nullptr, stored.uniformCode};
    }
    const RegionCodec::HeaderOrigin header{HeaderInteger(origin.x), HeaderInteger(origin.y), HeaderInteger(origin.z)};
    RegionCodec::EncodeHeader(header, views, file);
    // Room for every record at its largest, so appending never moves the bytes.
    file.reserve(RegionCodec::kHeaderSize +
                 static_cast<std::size_t>(std::count_if(slots.begin(), slots.end(),
                                                        [](const StoredChunk& stored) { return stored.present; })) *
                     (2 + RegionCodec::kRawBytes));
    for (const StoredChunk& stored : slots)
    {
        if (!stored.present)
            continue;
        if (!stored.codes)
        {
            RegionCodec::AppendUniformRecord(stored.uniformCode, file);
            continue;
        }
        stored.codes->CopyTo(codes.data());
        RegionCodec::AppendChunkRecord(codes, file);
    }
    return storeCount;
}

void Region::MarkWritten(std::uint64_t stamp)
{
    std::lock_guard<std::mutex> hold(regionMutex);
    writtenCount = stamp;
}

void Region::ReplaceContents(const PimVector3& newOrigin, const RegionCodec::ChunkBuffers& chunks,
                             const RegionCodec::UniformSlots& uniform)
{
    // Copied before the lock is taken: the worker may be loading from this region meanwhile.
    StoredChunks replacement;
    for (std::size_t slot = 0; slot < chunks.size(); ++slot)
        if (uniform[slot].present)
            replacement[slot].MakeUniform(uniform[slot].code);
        else if (chunks[slot])
            replacement[slot].Keep(ChunkRuns::Make(chunks[slot]->data()));
    {
        std::lock_guard<std::mutex> hold(regionMutex);
        origin = newOrigin;
        originSet = true;
        slots.swap(replacement);
        writtenCount = storeCount;
    }
    // The previous contents are released here, after the lock.
}
