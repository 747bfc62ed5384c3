#pragma once

#include "editing/WireLines.h"

#include "world/ChunkBlock.h"
#include "world/VoxelBox.h"

#include "engine/PimVector3.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class EditTarget;
class PimTexture;
class VoxelWorld2;

// What the selection box copied out of the world and the user now holds: its voxels (a dense
// VoxelBox, the truth every operation works on), drawn through a block of chunks of
// (size / 32 + 1) per axis at the clipboard's whole-voxel position, its size (whole voxels, at
// most 100 per axis) and its position (the lower corner; the hand carries it smoothly, the
// content follows in whole-voxel steps).
//
// Copy, Paste, Mirror and Rotate each hold the owning EditTarget's edit mutex for their whole run,
// so no other bulk work on the target interleaves with them. The drawn chunks are meshed on the
// main thread by Update, a few milliseconds a frame, so a large copy never stalls a frame; until
// then a chunk shows its previous mesh or nothing.
//
// Main thread only (the edit mutex is recursive, so a caller may already hold it).
class Clipboard
{
public:
    static constexpr int kMaxSize = 100;
    // Main-thread milliseconds a frame's Update may spend meshing (at least one chunk a frame).
    static constexpr double kMeshBudgetMs = 3.0;

    explicit Clipboard(std::recursive_mutex& editMutex);
    ~Clipboard();
    Clipboard(const Clipboard&) = delete;
    Clipboard& operator=(const Clipboard&) = delete;

    bool IsHeld() const { return held; }

    // Copies the world's voxels between the box's lower corner (inclusive) and upper corner
    // (exclusive), both made whole voxels. Whatever was held before is released first. Nothing is
    // copied - false, nothing held - when the box is larger than 100 on an axis, or when nothing
    // of it lies at coordinates of 0 or more (the lower side is clamped to 0) on some axis. The
    // corners may come in either order per axis.
    bool Copy(VoxelWorld2& world, const PimVector3& lower, const PimVector3& upper);
    // Holds the given content with its lower corner at a position, as a copy does once it has
    // read the world (at most 100 per axis; larger content is refused and nothing is held).
    bool Hold(VoxelBox newContent, const PimVector3& lowerCorner);
    // Frees the content; the size becomes 0 and nothing is held.
    void Release();
    // Writes every non-empty cell into the target at the whole-voxel position (empty cells keep
    // the container's voxels there), then asks for the rebuild: in a world only of the chunks
    // written and those around them. Returns the voxels that changed. The clipboard stays held,
    // so it can be pasted again.
    std::size_t Paste(EditTarget& target);
    // Turns the content over along an axis (0 x, 1 y, 2 z): offset i and size - 1 - i swap places.
    void Mirror(int axis);
    // Turns the content by 90 degrees about an axis; direction +1 takes cell (a, b) of the other two
    // axes (a < b) to (b, Na - 1 - a), -1 to (Nb - 1 - b, a). Their sizes swap; the lower corner
    // stays where it is.
    void Rotate(int axis, int direction);

    const VoxelBox& GetContent() const { return content; }
    PimVector3 GetSize() const;
    // The lower corner as carried (fractional while the hand moves it).
    const PimVector3& GetPosition() const { return position; }
    // The whole-voxel lower corner the content sits at and pastes to.
    PimVector3 GetPlacement() const { return position.Integerize(); }
    void SetPosition(const PimVector3& newPosition);
    PimVector3 GetCentre() const { return position + GetSize() * 0.5f; }

    // Carrying by hand: a point inside [position, position + size) on all three axes can grab the
    // clipboard; while grabbed, Carry moves it by the hand's motion since the last call.
    bool Contains(const PimVector3& point) const;
    bool IsGrabbed() const { return grabbed; }
    void Grab(const PimVector3& at);
    void Carry(const PimVector3& to);
    void EndGrab() { grabbed = false; }

    // Each frame while held (main thread): meshes the chunks whose content changed, within the
    // frame's budget; the white wire box follows the position.
    void Update();
    // True when every chunk of the content shows its current mesh.
    bool IsMeshed() const { return unmeshed.empty(); }
    // The content's chunks; the wire box while grabbed.
    void Draw();
    const ChunkBlock& GetModel() const { return model; }
    // The face atlas the chunks are drawn with (the world's).
    void SetFaceTexture(std::shared_ptr<const PimTexture> texture);

private:
    // Remakes the block of chunks for the content's size, fills them and queues them for meshing.
    void RebuildModel();
    void PlaceModel();

    std::recursive_mutex& editMutex;
    bool held = false;
    VoxelBox content;
    PimVector3 position;
    bool grabbed = false;
    PimVector3 grabPoint;
    ChunkBlock model;
    std::shared_ptr<const PimTexture> faceTexture;
    // Indices of model chunks whose mesh is older than their content.
    std::vector<int> unmeshed;
    WireLines wireBox;
};
