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
    auto& buffer = buffers[static_cast<std::size_t>(slot)];
    if (!buffer)
        buffer = std::make_unique_for_overwrite<RegionCodec::ChunkBuffer>();

    chunk.LockVoxelMutex();
    std::uint16_t uniform = 0;
    // A uniform chunk keeps no array; reading it through GetVoxels would make one.
    if (chunk.IsUniform(uniform))
        buffer->fill(uniform);
    else
        std::memcpy(buffer->data(), chunk.GetVoxels(), RegionCodec::kRawBytes);
    chunk.UnLockVoxelMutex();
    ++storeCount;
    return true;
}

bool Region::CopyIntoChunk(int slot, PimVoxelGrid& chunk) const
{
    const auto& buffer = buffers[static_cast<std::size_t>(slot)];
    if (!buffer)
        return false;
    chunk.LockVoxelMutex();
    std::memcpy(chunk.SetVoxels(), buffer->data(), RegionCodec::kRawBytes);
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

bool Region::HoldsChunk(const PimVoxelGrid& chunk) const
{
    const PimVector3 location = chunk.GetLocation();
    std::lock_guard<std::mutex> hold(regionMutex);
    const int slot = SlotOfLocked(location);
    return slot >= 0 && buffers[static_cast<std::size_t>(slot)] != nullptr;
}

bool Region::HoldsSlot(int slot) const
{
    if (slot < 0 || slot >= RegionCodec::kSlotCount)
        return false;
    std::lock_guard<std::mutex> hold(regionMutex);
    return buffers[static_cast<std::size_t>(slot)] != nullptr;
}

int Region::GetChunkCount() const
{
    std::lock_guard<std::mutex> hold(regionMutex);
    return static_cast<int>(std::count_if(buffers.begin(), buffers.end(), [](const auto& b) { return b != nullptr; }));
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
    for (auto& buffer : buffers)
        if (buffer)
            RegionCodec::ClearUnstoredCodes(*buffer);
    const RegionCodec::HeaderOrigin header{HeaderInteger(origin.x), HeaderInteger(origin.y), HeaderInteger(origin.z)};
    RegionCodec::EncodeRegion(header, buffers, file);
    return storeCount;
}

void Region::MarkWritten(std::uint64_t stamp)
{
    std::lock_guard<std::mutex> hold(regionMutex);
    writtenCount = stamp;
}

void Region::ReplaceContents(const PimVector3& newOrigin, RegionCodec::ChunkBuffers&& chunks)
{
    std::lock_guard<std::mutex> hold(regionMutex);
    origin = newOrigin;
    originSet = true;
    buffers = std::move(chunks);
    writtenCount = storeCount;
}
