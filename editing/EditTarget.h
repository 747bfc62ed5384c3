#pragma once

#include "editing/Clipboard.h"

#include "world/VoxelBox.h"

#include "engine/PimVector3.h"

#include <cstdint>
#include <mutex>

class ChunkBlock;
class PimVoxelGrid;
class VoxelWorld2;

// The one door through which editing and locomotion read and write voxels: it refers
// to exactly one container - a single chunk (a 32 x 32 x 32 model), the streamed world, or a
// multi-chunk model (a ChunkBlock: a menu room, a model) - and forwards every read, write,
// rebuild and collision query to it. Nothing else of editing or locomotion reaches a container
// directly, so that a later undo history can record the edits here.
//
// Positions are world positions in voxel units (floats); the container decides which voxel a
// position falls in. A single chunk is addressed relative to its location, a block relative to
// its origin. Out-of-range reads give 0 and out-of-range writes change nothing (0 returned).
//
// Collision: GetCollision gives the engine's collision class (0 nothing, 1 water, 2 helpers,
// 3 solid) of the voxel holding a position, at a base level (see PimVoxelGrid::GetCollision).
// Everything below y = 0 is the world's floor and counts as solid (class 3), so a player can
// never fall out of the world; reads and writes there still see nothing.
//
// The target also holds the Clipboard: what the selection box copied stays with the container
// link it was copied through.
//
// Main thread only. editMutex, the edit mutex (recursive), is held by the clipboard's copy, paste,
// mirror and rotate for their whole run, so that no other bulk work on the target interleaves
// with them.
class EditTarget
{
public:
    EditTarget() = default;
    EditTarget(const EditTarget&) = delete;
    EditTarget& operator=(const EditTarget&) = delete;

    enum class Kind
    {
        None,
        Grid,
        World,
        Model,
    };

    // Each setter points the target at one container and clears the other links; null clears
    // everything.
    void SetGrid(PimVoxelGrid* grid);
    void SetWorld(VoxelWorld2* world);
    void SetModel(ChunkBlock* model);
    void Clear();

    Kind GetKind() const { return kind; }
    PimVoxelGrid* GetGrid() const { return grid; }
    VoxelWorld2* GetWorld() const { return world; }
    ChunkBlock* GetModel() const { return model; }

    std::uint16_t GetVoxel(const PimVector3& position) const;
    // Writes value and returns the value the voxel had before. The two flags go to the engine
    // unchanged (PimVoxelGrid::SetVoxel): (true, false) for a single placement, which no rebuild
    // follows; (false, false) for shapes and box fills; (false, true) for flood fills.
    std::uint16_t SetVoxel(std::uint16_t value, const PimVector3& position, bool rebuildNow, bool fillWrite);
    // Asks for the meshes of everything changed since to be rebuilt: Regenerate(false) on the
    // grid or on every chunk of the model in order, the world's RegenerateAll.
    void Rebuild();

    // The container's extent in voxels per axis, from 0: 32 for a single grid, the world's width,
    // height (at most 512; 512 when its parameters name none, as a flat world's) and depth (the
    // whole addressable world until its setup is given), a model's size.
    // Zero without a container.
    PimVector3 GetExtent() const;
    // Writes a whole box of cells whose lowest cell is `lower`: as SetVoxel(code, cell, false,
    // false) for every cell (cells holding 0 skipped with skipEmpty), done for the world in one
    // pass per chunk. Returns the voxels that changed. No rebuild follows.
    std::size_t WriteBox(const PimVector3& lower, const VoxelBox& box, bool skipEmpty);
    // A forced rebuild (Regenerate(true)) after a box was cleared: of the grid, of every chunk of
    // the model, or of the world's loaded chunks that overlap the box from `low` to `high` (corners
    // in either order, high exclusive), so that chunks that became empty replace what they drew.
    void ForceRebuildBox(const PimVector3& low, const PimVector3& high);

    Clipboard& GetClipboard() { return clipboard; }
    const Clipboard& GetClipboard() const { return clipboard; }

    // Collision class at a position (see above); below y = 0 always 3.
    std::uint8_t GetCollision(std::uint32_t level, const PimVector3& position) const;

    std::recursive_mutex& GetEditMutex() { return editMutex; }

    // Writes and reads so far, for tests and the benchmark.
    std::uint64_t GetWriteCount() const { return writes; }

private:
    Kind kind = Kind::None;
    PimVoxelGrid* grid = nullptr;
    VoxelWorld2* world = nullptr;
    ChunkBlock* model = nullptr;
    std::uint64_t writes = 0;
    // The edit mutex; see the class comment.
    std::recursive_mutex editMutex;
    Clipboard clipboard{editMutex};
};
