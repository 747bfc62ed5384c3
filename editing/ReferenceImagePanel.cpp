#include "editing/ReferenceImagePanel.h"

#include "engine/PimDrawResources.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"
#include "engine/PimVrController.h"
#include "engine/PimVrSystem.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace
{
// Corner signs along the picture's x and y: top left, top right, bottom right, bottom left.
constexpr std::array<float, 4> kSignX = {-1.0f, 1.0f, 1.0f, -1.0f};
constexpr std::array<float, 4> kSignY = {1.0f, 1.0f, -1.0f, -1.0f};
// Grab points per player scale: the quads' size and the rings' radius (out of the move handle's
// reach, inside a hand's sweep).
constexpr float kHandleQuadScale = 0.05f;
constexpr float kRingRadiusScale = 0.4f;

// Quarter turns leave every element at -1, 0 or 1; rounding keeps stored orientations exact
// however many turns were made.
PimMatrix4x4 Snapped(const PimMatrix4x4& rotation)
{
    PimMatrix4x4 snapped = rotation;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            snapped.Set(row, col, std::round(rotation.Get(row, col)));
    return snapped;
}

// Stored orientations are quarter turns; anything else (a damaged settings file: zeros, a
// mirror, not a number) would collapse or mirror the picture, so it hangs upright instead.
PimMatrix4x4 QuarterTurnsOrUpright(const PimMatrix4x4& stored)
{
    const PimMatrix4x4 snapped = Snapped(stored);
    PimMatrix4x4 rotation;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            rotation.Set(row, col, snapped.Get(row, col));
    const bool turn = rotation * rotation.Transposed() == PimMatrix4x4() && rotation.Determinant() > 0.0f;
    return turn ? rotation : PimMatrix4x4();
}

// The nearest whole place: a point a hair below a whole unit (rounding in the drag's sums) stays
// on it rather than dropping a unit.
PimVector3 Nearest(const PimVector3& at)
{
    return {std::round(at.x), std::round(at.y), std::round(at.z)};
}

PimMatrix4x4 QuarterTurn(int axis, float sign)
{
    const PimAngle angle = PimAngle::FromDegrees(90.0f * sign);
    return axis == 0 ? PimMatrix4x4::CreateRotationX(angle)
         : axis == 1 ? PimMatrix4x4::CreateRotationY(angle)
                     : PimMatrix4x4::CreateRotationZ(angle);
}
}

ReferenceImagePanel::ReferenceImagePanel(const HandlePictures& pictures) : rings(pictures.ring)
{
    image.SetColor(kImageColour);
    for (PimImageQuad& quad : cornerQuads)
        quad.SetTexture(pictures.corner);
    for (PimImageQuad& quad : moveQuads)
        quad.SetTexture(pictures.move);
}

void ReferenceImagePanel::SetPicture(std::shared_ptr<const PimTexture> picture)
{
    if (picture && picture->IsValid())
    {
        width = static_cast<float>(picture->GetWidth());
        height = static_cast<float>(picture->GetHeight());
    }
    image.SetTexture(std::move(picture));
    Layout();
}

bool ReferenceImagePanel::HasValidPicture() const
{
    return image.GetTexture() && image.GetTexture()->IsValid();
}

void ReferenceImagePanel::Place(const PimVector3& newCentre, const PimMatrix4x4& newOrientation, float newScale)
{
    const bool finite = std::isfinite(newCentre.x) && std::isfinite(newCentre.y) && std::isfinite(newCentre.z);
    centre = finite ? newCentre : PimVector3();
    orientation = QuarterTurnsOrUpright(newOrientation);
    scale = std::clamp(std::isfinite(newScale) ? newScale : 1.0f, kMinScale, kMaxScale);
    ReleaseAll();
    Layout();
}

void ReferenceImagePanel::SetScale(float newScale)
{
    Place(centre, orientation, newScale);
}

void ReferenceImagePanel::ReleaseAll()
{
    for (PimVrHandle& handle : cornerHandles)
        handle.Release();
    moveHandle.Release();
    rings.Reset();
    graspedCorner = -1;
}

void ReferenceImagePanel::Layout()
{
    centre = centre.Integerize();
    const PimVector3 a = orientation.TransformDirection({width * 0.5f, 0.0f, 0.0f}) * scale;
    const PimVector3 b = orientation.TransformDirection({0.0f, height * 0.5f, 0.0f}) * scale;
    corners = {centre - a + b, centre + a + b, centre + a - b, centre - a - b};
    for (int corner = 0; corner < kCornerCount; ++corner)
        if (graspedCorner != corner)
            cornerHandles[static_cast<std::size_t>(corner)].SetPosition(corners[static_cast<std::size_t>(corner)]);
    if (!moveHandle.IsGrasped())
        moveHandle.SetPosition(centre);
    dirty = true;
}

void ReferenceImagePanel::PlaceQuads()
{
    image.SetLocation(centre);
    image.SetOrientation(orientation);
    image.SetSize({width, height});
    image.SetScale(scale);
    for (int corner = 0; corner < kCornerCount; ++corner)
    {
        PimImageQuad& quad = cornerQuads[static_cast<std::size_t>(corner)];
        quad.SetLocation(corners[static_cast<std::size_t>(corner)]);
        quad.SetOrientation(orientation);
    }
    // The move handle's two quads cross, so one of them faces the viewer from any side.
    moveQuads[0].SetLocation(centre);
    moveQuads[0].SetOrientation(orientation);
    moveQuads[1].SetLocation(centre);
    moveQuads[1].SetOrientation(orientation * PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(90.0f)));
    dirty = false;
}

void ReferenceImagePanel::SizeGrabPoints(float playerScale)
{
    if (playerScale == sizedForScale)
        return;
    sizedForScale = playerScale;
    const float grasp = playerScale * PimVrHandle::GRASP_SCALE;
    for (PimVrHandle& handle : cornerHandles)
        handle.SetGraspDistance(grasp);
    moveHandle.SetGraspDistance(grasp);
    for (PimImageQuad& quad : cornerQuads)
        quad.SetScale(playerScale * kHandleQuadScale);
    for (PimImageQuad& quad : moveQuads)
        quad.SetScale(playerScale * kHandleQuadScale);
    ringRadius = playerScale * kRingRadiusScale;
}

void ReferenceImagePanel::Update(bool movable, float playerScale)
{
    SizeGrabPoints(playerScale > 0.0f ? playerScale : 1.0f);
    if (!movable)
    {
        if (graspedCorner >= 0 || moveHandle.IsGrasped() || rings.GetAnyHolder() != 0)
        {
            ReleaseAll();
            Layout();
        }
        ringLatch = false;
    }
    else
    {
        UpdateCorners();
        if (graspedCorner < 0)
            UpdateMoveHandle();
        int busyRole = moveHandle.GetGraspingRole();
        if (graspedCorner >= 0)
            busyRole = cornerHandles[static_cast<std::size_t>(graspedCorner)].GetGraspingRole();
        UpdateRings(busyRole);
    }
    if (dirty)
        PlaceQuads();
}

void ReferenceImagePanel::UpdateCorners()
{
    if (graspedCorner >= 0)
    {
        PimVrHandle& handle = cornerHandles[static_cast<std::size_t>(graspedCorner)];
        handle.Update();
        if (handle.IsGrasped())
        {
            DragCorner(graspedCorner);
            return;
        }
        // Let go: the centre is made whole and every corner handle goes back onto its corner.
        graspedCorner = -1;
        centre = Nearest(centre);
        Layout();
        moved = true;
        return;
    }
    if (moveHandle.IsGrasped())
        return;
    for (int corner = 0; corner < kCornerCount; ++corner)
    {
        PimVrHandle& handle = cornerHandles[static_cast<std::size_t>(corner)];
        handle.Update();
        if (handle.IsGrasped())
        {
            graspedCorner = corner;
            fixedCorner = corners[static_cast<std::size_t>((corner + 2) % kCornerCount)];
            return;
        }
    }
}

void ReferenceImagePanel::DragCorner(int corner)
{
    const PimVector3 axisX = orientation.TransformDirection({1.0f, 0.0f, 0.0f});
    const PimVector3 axisY = orientation.TransformDirection({0.0f, 1.0f, 0.0f});
    const PimVector3 pulled = cornerHandles[static_cast<std::size_t>(corner)].GetPosition() - fixedCorner;
    const float signX = kSignX[static_cast<std::size_t>(corner)];
    const float signY = kSignY[static_cast<std::size_t>(corner)];
    // The extents the hand asks for on each side (negative past the fixed corner: the smallest).
    const float extentX = pulled.Dot(axisX) * signX;
    const float extentY = pulled.Dot(axisY) * signY;
    // The side pulled farther relative to the picture's shape is the one dragged.
    const bool alongX = extentX / width >= extentY / height;
    const float dragged = std::max(1.0f, std::round(alongX ? extentX : extentY));
    const float newScale = std::clamp(dragged / (alongX ? width : height), kMinScale, kMaxScale);
    if (newScale == scale)
        return;
    scale = newScale;
    const PimVector3 a = axisX * (width * scale * 0.5f * signX);
    const PimVector3 b = axisY * (height * scale * 0.5f * signY);
    // The fixed corner stays; the centre is the middle of the diagonal.
    centre = fixedCorner + a + b;
    const PimVector3 ha = axisX * (width * scale * 0.5f);
    const PimVector3 hb = axisY * (height * scale * 0.5f);
    corners = {centre - ha + hb, centre + ha + hb, centre + ha - hb, centre - ha - hb};
    dirty = true;
}

void ReferenceImagePanel::UpdateMoveHandle()
{
    const bool wasGrasped = moveHandle.IsGrasped();
    if (!wasGrasped)
        moveHandle.SetPosition(centre);
    moveHandle.Update();
    if (moveHandle.IsGrasped())
    {
        const PimVector3 whole = Nearest(moveHandle.GetPosition());
        if (whole != centre)
        {
            centre = whole;
            Layout();
        }
    }
    else if (wasGrasped)
    {
        Layout();
        moved = true;
    }
}

void ReferenceImagePanel::UpdateRings(int busyRole)
{
    rings.Update(centre, ringRadius, busyRole);
    if (ringLatch)
    {
        if (rings.GetAnyHolder() == 0)
            ringLatch = false;
        return;
    }
    for (int axis = 0; axis < RotateGizmo::kRingCount; ++axis)
    {
        const float degrees = rings.GetAngleDegrees(axis);
        if (std::fabs(degrees) <= kTurnDegrees)
            continue;
        // A ring's angle grows as the hand goes round against the right-handed turn about its
        // axis: the picture turns the same way as the hand.
        orientation = Snapped(QuarterTurn(axis, degrees > 0.0f ? -1.0f : 1.0f) * orientation);
        ringLatch = true;
        Layout();
        moved = true;
        return;
    }
}

bool ReferenceImagePanel::TakeMoved()
{
    const bool was = moved;
    moved = false;
    return was;
}

void ReferenceImagePanel::Draw(bool movable)
{
    if (dirty)
        PlaceQuads();
    if (!PimSystem::HasGL())
        return;
    if (movable)
    {
        rings.Draw();
        for (PimImageQuad& quad : cornerQuads)
            quad.RunDraw();
        for (PimImageQuad& quad : moveQuads)
            quad.RunDraw();
    }
    // See-through: what lies behind shows, and nothing drawn after it (hands, other pictures) is
    // hidden by it.
    const PimGLDepthWritesOff keepDepth;
    image.RunDraw();
}
