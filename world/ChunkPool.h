#pragma once

#include "engine/PimVoxelGrid.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>

// The list of idle chunks that worlds take their chunks from and give them back to, so that
// streaming never creates or frees a chunk object. Start-up fills the process-wide pool (Shared)
// to 5000 chunks.
//
// The pool owns every chunk it ever made, idle or lent out: a chunk taken from it is borrowed and
// goes back with GiveBack, never with delete. Chunks made elsewhere (those of a ChunkBlock) are
// refused. An idle chunk keeps no voxel array: a chunk given back drops its 64 KiB of codes into
// the VoxelArrayStock, from which the next chunk that needs an array takes it.
//
// Threads: the main thread takes chunks (streaming) and gives them back (a world's destruction);
// the world's worker gives back chunks that left the window while it built them.
// Lock: poolMutex guards the idle list and the ownership records. It is a leaf lock: nothing else
// is taken while it is held, and the chunk calls of Take and GiveBack (which take the global
// build-channel lock and the chunk's voxel lock) run outside it. So the pool may be used while
// holding the global build-channel lock or a world lock.
class ChunkPool
{
public:
    // The pool of the process. It is never destroyed, so its chunks outlive every world and
    // nothing runs at exit.
    static ChunkPool& Shared();

    ChunkPool() = default;
    // Frees every chunk the pool made; all of them must be back by then (a lent-out chunk is
    // reported and freed all the same).
    ~ChunkPool();
    ChunkPool(const ChunkPool&) = delete;
    ChunkPool& operator=(const ChunkPool&) = delete;

    // Makes chunks until the pool holds `count` idle ones: each de-initialised, special colours
    // off.
    void FillTo(std::size_t count);

    // The first idle chunk, de-initialised and prepared (InitializeGrid); a new chunk, made and
    // owned by the pool, when none is idle. Never null.
    PimVoxelGrid* Take();

    // Returns a borrowed chunk: de-initialised, special colours off, appended to the idle list.
    // A chunk the pool did not make, or one already idle, is reported and left alone (so it can
    // never be lent out twice).
    void GiveBack(PimVoxelGrid* chunk);

    std::size_t IdleCount() const;
    // Calls visit with every idle chunk, in the order Take would hand them out; the pool is
    // locked meanwhile, so visit must not call back into it.
    void ForEachIdle(const std::function<void(const PimVoxelGrid&)>& visit) const;
    // Idle and lent-out chunks together.
    std::size_t OwnedCount() const;

private:
    struct Owned
    {
        std::unique_ptr<PimVoxelGrid> chunk;
        bool idle = false;
    };

    mutable std::mutex poolMutex;
    std::deque<PimVoxelGrid*> idle;
    std::unordered_map<PimVoxelGrid*, Owned> owned;
};
