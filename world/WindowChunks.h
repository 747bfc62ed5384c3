#pragma once

#include "engine/PimTexture.h"
#include "engine/PimVector3.h"
#include "engine/PimVoxelGrid.h"
#include "world/ChunkPool.h"
#include "world/WorldAddressing.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

// The world's streamed window of 33 x 16 x 33 chunk slots as seen by the operations that read,
// edit, fill and link its chunks. The world owns the slots and its world lock; these functions
// only read the slots through a lookup and are called by the world with the locks it documents:
// voxel access under the world lock, linking and taking chunks under the global build-channel
// lock (LinkNeighbours takes that lock itself as well).
namespace WindowChunks
{
// The chunk a slot (0 to 17423) holds, or null.
using SlotLookup = std::function<PimVoxelGrid*(int slot)>;

// Chunks that left the window but keep their voxels, by ChunkKey.
using LeftWindowMap = std::map<std::uint64_t, PimVoxelGrid*>;

struct WindowView
{
    SlotLookup slotAt;
    // Window origin in chunk units.
    int originX = 0;
    int originZ = 0;

    // The chunk in the slot of the chunk at c; null when c is outside the window or the slot is
    // empty.
    PimVoxelGrid* ChunkAt(const WorldAddressing::ChunkCoordinates& c) const;
};

// The chunk in the slot that covers p, or null (FindChunkSlot).
PimVoxelGrid* FindChunk(const WindowView& window, const PimVector3& p);

// The code at world position p; 0 when p's slot is empty or outside the window.
std::uint16_t GetVoxel(const WindowView& window, const PimVector3& p);

// Writes a code at world position p and returns the chunk's SetVoxel result (the code the voxel
// had). Refused with 0, changing nothing, when p is outside the world, when p's slot holds no
// chunk or a chunk at another location (the window moved and the slot was reused), or when the
// chunk's data is not loaded yet (status 1). rebuildNow and fillWrite go to the chunk unchanged.
std::uint16_t SetVoxel(const WindowView& window, std::uint16_t code, const PimVector3& p, bool rebuildNow,
                       bool fillWrite);

// A chunk for the slot of the chunk at `location`: the one that left the window there, if the
// map still holds it (its voxels are valid: taken out of the map, moved to the location), else
// one from the pool, given the face texture. Either way at `location` with special colours on.
// Main thread.
PimVoxelGrid* TakeChunkForSlot(ChunkPool& pool, LeftWindowMap& leftWindow, const PimVector3& location,
                               const std::shared_ptr<const PimTexture>& faceTexture);

// Links a chunk with the chunks in the window on its six sides, both ways, and unlinks the sides
// where the window holds no chunk (outside the window, an empty slot, or a slot whose chunk sits
// elsewhere). Either thread; takes the global build-channel lock, under which the world changes
// its slots.
void LinkNeighbours(PimVoxelGrid& chunk, const WindowView& window);
}
