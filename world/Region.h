#pragma once

#include "engine/PimVector3.h"
#include "engine/PimVoxelGrid.h"
#include "world/ChunkRuns.h"
#include "world/RegionCodec.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

// The stored voxels of one region (8 x 8 x 8 chunks, 256 voxels a side): up to 512 chunk copies
// in PimVoxelGrid's index order, one per slot, as one region file holds them. A chunk is copied in
// when it is saved (StoreChunk) and copied out when the world loads it (LoadChunk).
//
// A copy whose voxels all hold one code keeps only that code; any other is kept as runs of equal
// codes (ChunkRuns), a few kilobytes for layered terrain instead of 64 KiB. A world keeps every
// region it read, and fresh memory for 64 KiB copies cost more than reading the files.
//
// The origin is set by the first chunk stored or by reading a file. The region is dirty from a
// store until the file written after it (WriteRegionFile) succeeds.
//
// Threads: the main thread stores chunks and writes the file (or the world's save writer writes
// it); the world's worker loads chunks.
// Lock: regionMutex guards the origin, the flags and the slots. The copies themselves are
// immutable and shared, so a chunk is filled from its copy after the lock is released, and a
// copy is made from a chunk before it is taken; regionMutex and a chunk's voxel lock are never
// held together. Lock order: the global build-channel lock, then regionMutex.
class Region
{
public:
    Region() = default;
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;

    // Copies a chunk's voxels into its slot and marks the region dirty; the first chunk stored sets the origin to its region's. A chunk outside this region
    // is reported ("Must be in range") and not stored: false.
    bool StoreChunk(PimVoxelGrid& chunk);

    // Copies the stored voxels of the chunk's slot into the chunk (a bulk write: data, not an
    // edit); a uniform copy leaves the chunk uniform, without a voxel array. False, changing nothing, when the region holds no copy for it; a chunk outside this
    // region is reported ("Must be in range").
    bool LoadChunk(PimVoxelGrid& chunk) const;
    // The same for a slot given directly, into any chunk (model previews place a region's chunks
    // elsewhere). False for an empty or invalid slot.
    bool LoadSlot(int slot, PimVoxelGrid& chunk) const;

    // True when the region holds a copy of this chunk (by its location), or of the chunk at
    // this location.
    bool HoldsChunk(const PimVoxelGrid& chunk) const { return HoldsChunkAt(chunk.GetLocation()); }
    bool HoldsChunkAt(const PimVector3& chunkLocation) const;
    bool HoldsSlot(int slot) const;
    int GetChunkCount() const;
    // Bytes the copies that are not uniform keep for their codes.
    std::size_t GetStoredBytes() const;

    PimVector3 GetOrigin() const;
    bool IsOriginSet() const;
    bool IsDirty() const;

    // The file image of the region's current contents. Codes 154 are cleared to 0 in the stored
    // copies first (files never keep them). Returns the change stamp to hand to MarkWritten once
    // the bytes are safely on disk.
    std::uint64_t EncodeFile(std::vector<std::uint8_t>& file);
    // Clears the dirty flag, unless a chunk was stored after the EncodeFile that gave the stamp.
    void MarkWritten(std::uint64_t stamp);

    // Replaces the whole contents by decoded file contents: the origin (set), copies of the
    // buffers (the caller keeps them, to decode the next file into) and the slots decoded as one
    // code; the region is clean afterwards.
    void ReplaceContents(const PimVector3& origin, const RegionCodec::ChunkBuffers& chunks,
                         const RegionCodec::UniformSlots& uniform);

private:
    // One slot's copy: absent, uniform (every voxel holds uniformCode; no codes kept) or runs.
    struct StoredChunk
    {
        bool present = false;
        std::shared_ptr<const ChunkRuns> codes;
        std::uint16_t uniformCode = 0;

        void MakeUniform(std::uint16_t code);
        // Keeps the copy, or only its code when every voxel holds that code.
        void Keep(std::shared_ptr<const ChunkRuns> copy);
    };
    using StoredChunks = std::array<StoredChunk, RegionCodec::kSlotCount>;

    int SlotOfLocked(const PimVector3& location) const;
    // The slot's copy as it is now; regionMutex held.
    StoredChunk SnapshotLocked(int slot) const { return slots[static_cast<std::size_t>(slot)]; }
    // Fills the chunk from a copy taken from a slot (no lock held): false when it is absent.
    static bool CopyIntoChunk(const StoredChunk& stored, PimVoxelGrid& chunk);

    mutable std::mutex regionMutex;
    PimVector3 origin;
    bool originSet = false;
    // Stores since creation, and the store count the last successful write covered.
    std::uint64_t storeCount = 0;
    std::uint64_t writtenCount = 0;
    StoredChunks slots;
};
