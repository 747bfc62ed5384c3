#include "world/Region.h"

#include "engine/PimAssert.h"
#include "world/WorldAddressing.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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

void Region::StoredChunk::Compact()
{
    std::uint16_t code = 0;
    if (codes && RegionCodec::IsUniform(*codes, code))
        MakeUniform(code);
}

bool Region::StoreChunk(PimVoxelGrid& chunk)
{
    const PimVector3 location = chunk.GetLocation();
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
    StoredChunk& stored = slots[static_cast<std::size_t>(slot)];

    chunk.LockVoxelMutex();
    std::uint16_t uniform = 0;
    // A uniform chunk keeps no array; reading it through GetVoxels would make one.
    if (chunk.IsUniform(uniform))
        stored.MakeUniform(uniform);
    else
    {
        if (!stored.codes)
            stored.codes = std::make_unique_for_overwrite<RegionCodec::ChunkBuffer>();
        std::memcpy(stored.codes->data(), chunk.GetVoxels(), RegionCodec::kRawBytes);
        stored.present = true;
        // An edited chunk keeps its array until its next build, though it may be uniform again.
        stored.Compact();
    }
    chunk.UnLockVoxelMutex();
    ++storeCount;
    return true;
}

bool Region::CopyIntoChunk(int slot, PimVoxelGrid& chunk) const
{
    const StoredChunk& stored = slots[static_cast<std::size_t>(slot)];
    if (!stored.present)
        return false;
    chunk.LockVoxelMutex();
    if (stored.codes)
        std::memcpy(chunk.SetVoxels(), stored.codes->data(), RegionCodec::kRawBytes);
    else
        chunk.FillVoxels(stored.uniformCode);
    chunk.UnLockVoxelMutex();
    return true;
}

bool Region::LoadChunk(PimVoxelGrid& chunk) const
{
    const PimVector3 location = chunk.GetLocation();
    std::lock_guard<std::mutex> hold(regionMutex);
    const int slot = SlotOfLocked(location);
    if (slot < 0)
    {
        PimAssert::Assert(false, kOutOfRange);
        return false;
    }
    return CopyIntoChunk(slot, chunk);
}

bool Region::LoadSlot(int slot, PimVoxelGrid& chunk) const
{
    if (slot < 0 || slot >= RegionCodec::kSlotCount)
        return false;
    std::lock_guard<std::mutex> hold(regionMutex);
    return CopyIntoChunk(slot, chunk);
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
    const auto full = std::count_if(slots.begin(), slots.end(), [](const StoredChunk& s) { return s.codes != nullptr; });
    return static_cast<std::size_t>(full) * sizeof(RegionCodec::ChunkBuffer);
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
    std::lock_guard<std::mutex> hold(regionMutex);
    RegionCodec::ChunkViews views;
    for (std::size_t slot = 0; slot < slots.size(); ++slot)
    {
        StoredChunk& stored = slots[slot];
        if (stored.codes)
        {
            RegionCodec::ClearUnstoredCodes(*stored.codes);
            stored.Compact();
        }
        else if (stored.uniformCode == RegionCodec::kUnstoredCode)
            stored.uniformCode = 0;
        views[slot] = {stored.present, stored.codes.get(), stored.uniformCode};
    }
    const RegionCodec::HeaderOrigin header{HeaderInteger(origin.x), HeaderInteger(origin.y), HeaderInteger(origin.z)};
    RegionCodec::EncodeRegion(header, views, file);
    return storeCount;
}

void Region::MarkWritten(std::uint64_t stamp)
{
    std::lock_guard<std::mutex> hold(regionMutex);
    writtenCount = stamp;
}

void Region::ReplaceContents(const PimVector3& newOrigin, RegionCodec::ChunkBuffers&& chunks,
                             const RegionCodec::UniformSlots& uniform)
{
    // Compacted before the lock is taken: the worker may be loading from this region meanwhile.
    StoredChunks replacement;
    for (std::size_t slot = 0; slot < chunks.size(); ++slot)
        if (uniform[slot].present)
            replacement[slot].MakeUniform(uniform[slot].code);
        else if (chunks[slot])
        {
            replacement[slot].present = true;
            replacement[slot].codes = std::move(chunks[slot]);
            replacement[slot].Compact();
        }
    {
        std::lock_guard<std::mutex> hold(regionMutex);
        origin = newOrigin;
        originSet = true;
        slots.swap(replacement);
        writtenCount = storeCount;
    }
    // The previous contents are released here, after the lock.
}
