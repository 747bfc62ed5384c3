#pragma once

#include "engine/PimVoxelGrid.h"

#include <atomic>
#include <cstdint>

// One of the world's build channels: a three-stage conveyor that carries one chunk at a time
// from the main thread's scheduler to the build worker and back for upload.
//
// - queued (with its priority): chosen by the main thread's scheduler; main thread only, under
//   the world lock. A priority of 0 means the stage is free (real priorities are above 0).
// - building: filled by the main thread only while it is empty, emptied only by the worker,
//   which owns the chunk while it is there (loads, fills or builds it).
// - upload: filled by the worker only while it is empty (a chunk it built), emptied only by the
//   main thread after GLLoad.
// - leftWhileBuilding: set by the main thread when the chunk in the building stage left the
//   window, so that the worker gives it back to the pool instead of handing it on; cleared by
//   the worker when it has done so. Both sides change it, and the worker changes the building
//   and upload stages, only while holding the global build-channel lock, so that the main
//   thread's window change (which holds that lock too) sees the stages standing still.
//
// The two stages that both threads touch are atomic: each has one filler and one emptier, and
// the release of the pointer hands the chunk over.
struct BuildChannel
{
    PimVoxelGrid* queued = nullptr;
    std::int32_t queuedPriority = 0;
    std::atomic<PimVoxelGrid*> building{nullptr};
    std::atomic<PimVoxelGrid*> upload{nullptr};
    std::atomic<bool> leftWhileBuilding{false};
};
