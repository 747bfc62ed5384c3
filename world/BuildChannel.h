#pragma once

#include "engine/PimVoxelGrid.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

// One of the world's build channels: a three-stage conveyor that carries chunks from the main
// thread's scheduler to the build worker and back for upload, up to kStageDepth of them a frame.
// A chunk in any stage of a channel carries that channel's number (SetBuildChannel); a chunk in
// no stage carries none.
//
// - queued (each with its priority): chosen by the main thread's scheduler, in the order the
//   worker takes them. The scheduler may take them back to queue better ones.
// - building: the one chunk the worker owns while it loads, fills and builds it. Whenever the
//   stage is empty the first queued chunk moves into it: the worker takes it as soon as it is
//   done with the one before, and the main thread's harvest moves it for a worker that is
//   paused or behind.
// - upload: chunks the worker built with a mesh to hand over, waiting for the main thread's
//   GLLoad. A built chunk with nothing to hand over leaves the channel from the building stage.
// - leftWhileBuilding: set by the main thread when the chunk in the building stage left the
//   window, so that the worker gives it back to the pool instead of handing it on; cleared by
//   the worker when it has done so.
//
// Every field is guarded by the owning world's channel lock, which both threads take for the
// moves between stages only (see VoxelWorld2).
struct BuildChannel
{
    static constexpr std::size_t kStageDepth = 4;

    struct Queued
    {
        PimVoxelGrid* chunk = nullptr;
        std::int32_t priority = 0;
    };

    // A stage of up to kStageDepth entries, oldest first.
    template <typename Entry>
    struct Stage
    {
        std::array<Entry, kStageDepth> entries{};
        std::size_t count = 0;

        bool Empty() const { return count == 0; }
        bool Full() const { return count == kStageDepth; }
        const Entry& Front() const { return entries[0]; }
        void Push(const Entry& entry) { entries[count++] = entry; }
        Entry PopFront()
        {
            const Entry front = entries[0];
            std::copy(entries.begin() + 1, entries.begin() + static_cast<std::ptrdiff_t>(count), entries.begin());
            entries[--count] = Entry{};
            return front;
        }
        // Removes the entries for which `match` holds; true when there was one.
        template <typename Match>
        bool RemoveIf(Match match)
        {
            const auto end = entries.begin() + static_cast<std::ptrdiff_t>(count);
            const auto kept = std::remove_if(entries.begin(), end, match);
            const bool removed = kept != end;
            std::fill(kept, end, Entry{});
            count = static_cast<std::size_t>(kept - entries.begin());
            return removed;
        }
        void Clear()
        {
            entries.fill(Entry{});
            count = 0;
        }
    };

    Stage<Queued> queued;
    PimVoxelGrid* building = nullptr;
    Stage<PimVoxelGrid*> upload;
    bool leftWhileBuilding = false;

    bool IsOccupied() const { return !queued.Empty() || building != nullptr || !upload.Empty() || leftWhileBuilding; }
};
