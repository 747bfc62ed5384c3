#pragma once

#include "engine/PimTexture.h"
#include "engine/PimVector3.h"
#include "engine/PimVoxelGrid.h"
#include "world/ChunkPool.h"
#include "world/WindowChunks.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <unordered_map>

// Chunks that left the world's window but keep their voxels, so that walking back reuses them
// without loading: the left-window map by ChunkKey, plus the order in which the chunks entered
// it. The map is bounded by its owner: the oldest entries are taken out first (TakeOldest).
//
// Threads: the main thread only, under the world lock (the world's streaming and saving).
class LeftWindowChunks
{
public:
    // Enters a chunk under its key, as the newest entry. False, changing nothing, when the key
    // is already present (the chunk there stays) or the chunk is null.
    bool Add(std::uint64_t key, PimVoxelGrid* chunk);

    // A chunk for the window slot of the chunk at `location`: the one this map holds for it
    // (taken out, its voxels still valid) or one from the pool given the face texture; as
    // WindowChunks::TakeChunkForSlot. reused tells which it was.
    PimVoxelGrid* TakeForSlot(ChunkPool& pool, const PimVector3& location,
                              const std::shared_ptr<const PimTexture>& faceTexture, bool& reused);

    // Takes out the entry that has been in the map longest and returns its chunk; null when
    // the map is empty.
    PimVoxelGrid* TakeOldest();

    // Every held chunk, in key order.
    void ForEach(const std::function<void(PimVoxelGrid&)>& visit) const;
    bool Contains(std::uint64_t key) const { return map.count(key) != 0; }
    std::size_t Size() const { return map.size(); }
    bool Empty() const { return map.empty(); }
    // Forgets every entry (the caller has given the chunks back).
    void Clear();

private:
    void ForgetOrder(std::uint64_t key);

    WindowChunks::LeftWindowMap map;
    // Keys from the oldest entry to the newest, and where each key sits in that list.
    std::list<std::uint64_t> order;
    std::unordered_map<std::uint64_t, std::list<std::uint64_t>::iterator> positions;
};
