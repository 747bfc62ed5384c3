#pragma once

#include "editing/RotateGizmo.h"

#include "engine/PimImageQuad.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"
#include "engine/PimVrHandle.h"

#include <array>
#include <memory>

class PimTexture;

// One reference picture hanging in the world: a see-through image (one third opacity, seen from
// both sides) with the grab points that move, resize and turn it.
//
// Geometry: the picture lies in its orientation's x-y plane around its centre, one picture pixel
// as many voxel units as its scale factor. Corners 0 to 3 are top left, top right, bottom right
// and bottom left. Laying out makes the centre whole (so the picture sits on voxel edges however
// it was moved) and puts the corners, the rings and the quads around it.
//
// Grab points while movable:
// - a corner: the opposite corner stays, the grasped one follows the hand; the side the hand
//   pulled farther along (relative to the picture's shape) takes the hand's extent in whole units
//   and the other side keeps the picture's aspect. The scale factor follows, held to the range
//   the settings store (kMinScale to kMaxScale).
// - the move handle at the centre: the centre follows the hand, in whole units.
// - three rings (RotateGizmo) about the centre: turned beyond 15 degrees, the picture turns a
//   quarter about that ring's axis, the way the hand turned the ring; then nothing turns until
//   every ring is let go.
// Each finished move, resize or turn raises the moved flag (TakeMoved), which the owner answers
// by storing the placement.
//
// Main thread only; Update once per frame while the picture is shown.
class ReferenceImagePanel
{
public:
    static constexpr int kCornerCount = 4;
    static constexpr float kMinScale = 0.1f;
    static constexpr float kMaxScale = 10.0f;
    static constexpr float kTurnDegrees = 15.0f;
    static constexpr PimColor kImageColour{255, 255, 255, 84};  // (1, 1, 1, 0.33)

    // The grab points' pictures, shared by the panels.
    struct HandlePictures
    {
        std::shared_ptr<const PimTexture> corner;
        std::shared_ptr<const PimTexture> move;
        std::shared_ptr<const PimTexture> ring;
    };

    explicit ReferenceImagePanel(const HandlePictures& pictures);

    // The picture; its pixel size sets the width and height. Lays out again.
    void SetPicture(std::shared_ptr<const PimTexture> picture);
    const std::shared_ptr<const PimTexture>& GetPicture() const { return image.GetTexture(); }
    bool HasValidPicture() const;

    // Placement as stored: centre, orientation (quarter turns) and scale factor. Lays out and
    // lets go of every grab point. An orientation that is not made of quarter turns hangs the
    // picture upright, a centre that is not a number at the origin, and the scale is held to
    // kMinScale to kMaxScale: a damaged settings file still shows the picture whole.
    void Place(const PimVector3& centre, const PimMatrix4x4& orientation, float scale);
    void SetScale(float scale);

    // The grab points: follow the hands while movable (the editor's tool is ReferenceImage and
    // the picture is not locked); otherwise every grab point is let go. s: the player scale, which
    // sizes the grab points.
    void Update(bool movable, float playerScale);
    // True once after a finished move, resize or turn.
    bool TakeMoved();

    // The grab points first (when movable), then the picture.
    void Draw(bool movable);

    const PimVector3& GetCentre() const { return centre; }
    const PimMatrix4x4& GetOrientation() const { return orientation; }
    float GetScale() const { return scale; }
    // The picture's drawn size in voxel units.
    float GetWidthUnits() const { return width * scale; }
    float GetHeightUnits() const { return height * scale; }
    const PimVector3& GetCorner(int corner) const { return corners[static_cast<std::size_t>(corner)]; }
    const PimVrHandle& GetCornerHandle(int corner) const { return cornerHandles[static_cast<std::size_t>(corner)]; }
    const PimVrHandle& GetMoveHandle() const { return moveHandle; }
    const RotateGizmo& GetRings() const { return rings; }
    float GetRingRadius() const { return ringRadius; }
    // The corner being dragged, or -1.
    int GetGraspedCorner() const { return graspedCorner; }
    const PimImageQuad& GetImage() const { return image; }

private:
    void Layout();
    void ReleaseAll();
    void SizeGrabPoints(float playerScale);
    void UpdateCorners();
    void DragCorner(int corner);
    void UpdateMoveHandle();
    void UpdateRings(int busyRole);
    void PlaceQuads();

    PimImageQuad image;
    PimVector3 centre;
    PimMatrix4x4 orientation;
    float width = 1.0f;   // pixels
    float height = 1.0f;  // pixels
    float scale = 1.0f;

    std::array<PimVector3, kCornerCount> corners;
    std::array<PimVrHandle, kCornerCount> cornerHandles;
    std::array<PimImageQuad, kCornerCount> cornerQuads;
    int graspedCorner = -1;
    PimVector3 fixedCorner;  // the corner opposite the grasped one

    PimVrHandle moveHandle;
    std::array<PimImageQuad, 2> moveQuads;

    RotateGizmo rings;
    float ringRadius = 0.6f;
    bool ringLatch = false;

    float sizedForScale = -1.0f;
    bool dirty = true;
    bool moved = false;
};
