#pragma once

#include "editing/WireLines.h"

#include "engine/PimColor.h"
#include "engine/PimImageQuad.h"
#include "engine/PimVector3.h"
#include "engine/PimVrHandle.h"

#include <array>
#include <memory>

class Pim3DText;
class PimTexture;

// The box the selection and box-fill tools work on: 14 grab handles in the world - 8 corners (0
// to 7) and the 6 face centres (8 to 13) - opened 10 x 10 x 10 around a cell. Corner 0 (opened at
// +5, +5, +5) is the box's upper corner and corner 6 (at -5, -5, -5) its lower corner for the box
// operations.
//
// Dragging: a controller grasps a handle within 1 voxel of its tip by pulling its trigger. Only
// corners resize: each whole voxel the grasped corner is pulled along an axis (the pull truncated
// towards zero; less than a voxel and a bit does nothing) moves the box face that corner lies on
// along that axis, one axis at a time. A move that would put the face more than 100 voxels from
// the opposite face is refused (Update reports it; the editor flashes). A face may pass the
// opposite one; the box then has a negative extent on that axis and the box tools do nothing with
// it. Face handles follow the mean of their face's corners and move nothing when grasped.
//
// While a handle is held, three labels beside the right hand show its angles about the box
// centre around x, y and z (red, green, blue). The outline is drawn in the editor's guide colour
// (red while the error flash fades) and each corner carries a grab marker.
//
// Main thread only.
class SelectionBox
{
public:
    static constexpr int kHandleCount = 14;
    static constexpr int kCornerCount = 8;
    static constexpr float kMaxSpan = 100.0f;
    static constexpr float kGraspDistance = 1.0f;
    static constexpr float kMarkerSize = 0.7f;

    // The handles' offsets from the opening cell.
    static constexpr std::array<PimVector3, kHandleCount> kOffsets = {{
        {5, 5, 5}, {5, 5, -5}, {-5, 5, -5}, {-5, 5, 5}, {5, -5, 5}, {5, -5, -5}, {-5, -5, -5}, {-5, -5, 5},
        {0, 0, 5}, {-5, 0, 0}, {0, 0, -5}, {5, 0, 0}, {0, 5, 0}, {0, -5, 0},
    }};
    // Each face: its four corners, then its face handle.
    struct Face
    {
        std::array<int, 4> corners;
        int handle;
    };
    enum FaceId
    {
        Top,
        Bottom,
        Front,
        Back,
        Left,
        Right,
    };
    static constexpr std::array<Face, 6> kFaces = {{
        {{3, 0, 2, 1}, 12}, // top (y+)
        {{7, 4, 6, 5}, 13}, // bottom (y-)
        {{7, 4, 3, 0}, 8},  // front (z+)
        {{6, 5, 2, 1}, 10}, // back (z-)
        {{7, 6, 3, 2}, 9},  // left (x-)
        {{4, 5, 0, 1}, 11}, // right (x+)
    }};

    // marker: the picture each corner shows (null draws none).
    explicit SelectionBox(std::shared_ptr<const PimTexture> marker);
    ~SelectionBox();
    SelectionBox(const SelectionBox&) = delete;
    SelectionBox& operator=(const SelectionBox&) = delete;

    // Opens the 10 x 10 x 10 box around a cell (nothing while the box is active).
    void SetMarker(const std::shared_ptr<const PimTexture>& marker);
    void Open(const PimVector3& cell);
    void Close();
    bool IsActive() const { return active; }

    // Each frame while the box may be dragged: the handles follow the controllers, and the
    // highest grasped handle's pull is applied (Drag). False when a resize was refused.
    bool Update();
    // The drag rule for handle g pulled by `pull` from its stored position; false when a move was
    // refused on some axis.
    bool Drag(int handle, const PimVector3& pull);
    // Lets go of every handle.
    void ReleaseHandles();

    const PimVector3& GetHandlePosition(int handle) const;
    PimVector3 GetUpperCorner() const { return stored[0]; }
    PimVector3 GetLowerCorner() const { return stored[6]; }
    PimVector3 GetCentre() const { return centre; }
    // The grasped handle that counts (the highest grasped), or -1.
    int GetHeldHandle() const { return heldHandle; }
    const PimVrHandle& GetHandle(int handle) const;
    // The held handle's angles about the centre (labels 0 to 2: around x, y, z).
    const Pim3DText& GetAngleLabel(int axis) const;

    // The outline in the guide colour, the corner markers (when `markers`) and, while a handle is
    // held, the angle labels.
    void Draw(PimColor guide, bool markers);

private:
    void FollowFaces();
    void ShowAngles();

    bool active = false;
    std::array<PimVrHandle, kHandleCount> handles;
    std::array<PimVector3, kHandleCount> stored;
    PimVector3 centre;
    int heldHandle = -1;
    WireLines outline;
    std::array<PimImageQuad, kCornerCount> markers;
    std::array<std::shared_ptr<Pim3DText>, 3> angleLabels;
};
