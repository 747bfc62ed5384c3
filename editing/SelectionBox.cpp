#include "editing/SelectionBox.h"

#include "editing/LabelText.h"

#include "engine/Pim3DText.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimTexture.h"
#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrPoseMath.h"
#include "engine/PimVrSystem.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr PimColor kLabelColours[3] = {WireColours::Red, WireColours::Green, WireColours::Blue};
// The labels' text size and their spacing beside the right hand, per VR scale (metres).
constexpr float kLabelScale = 0.25f;
constexpr float kLabelStep = 0.035f;

// The face a corner moves along an axis: x the right face for corners 0, 1, 4, 5 (the left
// otherwise), y the top face for corners 0 to 3, z the front face for corners 0, 3, 4, 7.
SelectionBox::FaceId MovingFace(int corner, int axis)
{
    switch (axis)
    {
    case 0:
        return (corner == 0 || corner == 1 || corner == 4 || corner == 5) ? SelectionBox::Right : SelectionBox::Left;
    case 1:
        return corner <= 3 ? SelectionBox::Top : SelectionBox::Bottom;
    default:
        return (corner == 0 || corner == 3 || corner == 4 || corner == 7) ? SelectionBox::Front : SelectionBox::Back;
    }
}

SelectionBox::FaceId Opposite(SelectionBox::FaceId face)
{
    static constexpr SelectionBox::FaceId opposite[6] = {SelectionBox::Bottom, SelectionBox::Top,  SelectionBox::Back,
                                                         SelectionBox::Front,  SelectionBox::Right, SelectionBox::Left};
    return opposite[face];
}

// Degrees of v about an axis, in the axis' plane: x uses (y, z), y uses (z, x), z uses (x, y).
float AngleAbout(const PimVector3& v, int axis)
{
    const float u = axis == 0 ? v.y : axis == 1 ? v.z : v.x;
    const float w = axis == 0 ? v.z : axis == 1 ? v.x : v.y;
    return PimAngle::RadiansToDegrees(std::atan2(u, w));
}
}

SelectionBox::SelectionBox(std::shared_ptr<const PimTexture> marker)
{
    outline.AddBox({0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, WireColours::Red);
    for (int corner = 0; corner < kCornerCount; ++corner)
    {
        PimImageQuad& quad = markers[static_cast<std::size_t>(corner)];
        quad.SetTexture(marker);
        quad.SetScale(kMarkerSize);
        // Each marker faces out along its corner's diagonal, its picture upright where it can be.
        const PimVector3 outward = kOffsets[static_cast<std::size_t>(corner)].Normalized();
        quad.SetOrientation(PimVrPoseMath::LookRotation(-outward, {0.0f, 1.0f, 0.0f}));
    }
    for (int axis = 0; axis < 3; ++axis)
    {
        auto label = std::make_shared<Pim3DText>();
        label->SetColor(kLabelColours[axis]);
        angleLabels[static_cast<std::size_t>(axis)] = std::move(label);
    }
}

SelectionBox::~SelectionBox() = default;

void SelectionBox::SetMarker(const std::shared_ptr<const PimTexture>& marker)
{
    for (PimImageQuad& quad : markers)
        quad.SetTexture(marker);
}

void SelectionBox::Open(const PimVector3& cell)
{
    if (active)
        return;
    active = true;
    heldHandle = -1;
    for (int handle = 0; handle < kHandleCount; ++handle)
    {
        const std::size_t i = static_cast<std::size_t>(handle);
        stored[i] = cell + kOffsets[i];
        handles[i].Release();
        handles[i].SetPosition(stored[i]);
        handles[i].SetGraspDistance(kGraspDistance);
    }
    FollowFaces();
}

void SelectionBox::Close()
{
    active = false;
    ReleaseHandles();
}

void SelectionBox::ReleaseHandles()
{
    for (PimVrHandle& handle : handles)
        handle.Release();
    heldHandle = -1;
}

const PimVector3& SelectionBox::GetHandlePosition(int handle) const
{
    return stored[static_cast<std::size_t>(std::clamp(handle, 0, kHandleCount - 1))];
}

const PimVrHandle& SelectionBox::GetHandle(int handle) const
{
    return handles[static_cast<std::size_t>(std::clamp(handle, 0, kHandleCount - 1))];
}

const Pim3DText& SelectionBox::GetAngleLabel(int axis) const
{
    return *angleLabels[static_cast<std::size_t>(std::clamp(axis, 0, 2))];
}

bool SelectionBox::Update()
{
    if (!active)
        return true;
    heldHandle = -1;
    for (int handle = 0; handle < kHandleCount; ++handle)
    {
        PimVrHandle& vrHandle = handles[static_cast<std::size_t>(handle)];
        vrHandle.Update();
        if (vrHandle.IsGrasped())
            heldHandle = handle;
        else
            vrHandle.SetPosition(stored[static_cast<std::size_t>(handle)]);
    }
    bool accepted = true;
    if (heldHandle >= 0)
    {
        const std::size_t held = static_cast<std::size_t>(heldHandle);
        accepted = Drag(heldHandle, handles[held].GetPosition() - stored[held]);
        ShowAngles();
    }
    return accepted;
}

bool SelectionBox::Drag(int handle, const PimVector3& pull)
{
    if (handle < 0 || handle >= kCornerCount)
        return true; // face handles move nothing
    bool accepted = true;
    for (int axis = 0; axis < 3; ++axis)
    {
        if (!(std::fabs(pull[axis]) > 1.0f))
            continue;
        const float step = std::trunc(pull[axis]);
        const Face& moving = kFaces[MovingFace(handle, axis)];
        const Face& opposite = kFaces[Opposite(MovingFace(handle, axis))];
        const float movingAt = stored[static_cast<std::size_t>(moving.corners[0])][axis];
        const float oppositeAt = stored[static_cast<std::size_t>(opposite.corners[0])][axis];
        if (std::fabs(movingAt + step - oppositeAt) > kMaxSpan)
        {
            accepted = false;
            continue;
        }
        for (int corner : moving.corners)
            stored[static_cast<std::size_t>(corner)][axis] += step;
    }
    FollowFaces();
    return accepted;
}

void SelectionBox::FollowFaces()
{
    PimVector3 sum;
    for (const Face& face : kFaces)
    {
        PimVector3 mean;
        for (int corner : face.corners)
            mean += stored[static_cast<std::size_t>(corner)] * 0.25f;
        stored[static_cast<std::size_t>(face.handle)] = mean;
        sum += mean;
    }
    centre = sum / 6.0f;
}

void SelectionBox::ShowAngles()
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    const PimVrController& right = vr.GetHandController(PimVrDeviceIndex::RightHand);
    const PimVector3 tip = right.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
    const float scale = vr.GetScale();
    const PimVector3 v = stored[static_cast<std::size_t>(heldHandle)] - centre;
    for (int axis = 0; axis < 3; ++axis)
    {
        Pim3DText& label = *angleLabels[static_cast<std::size_t>(axis)];
        label.SetText(LabelText::OneDecimal(AngleAbout(v, axis)));
        label.SetScale(kLabelScale * scale);
        label.SetPosition(tip + PimVector3(0.05f, 0.1f - kLabelStep * static_cast<float>(axis), 0.0f) * scale);
        LabelText::FaceViewer(label);
    }
}

void SelectionBox::Draw(PimColor guide, bool showMarkers)
{
    if (!active)
        return;
    const PimVector3 lower = stored[6];
    outline.SetRunColour(0, guide);
    outline.SetModel(PimMatrix4x4::CreateTranslation(lower) * PimMatrix4x4::CreateScale(stored[0] - lower));
    outline.Draw();
    if (showMarkers)
    {
        for (int corner = 0; corner < kCornerCount; ++corner)
        {
            PimImageQuad& quad = markers[static_cast<std::size_t>(corner)];
            quad.SetLocation(stored[static_cast<std::size_t>(corner)]);
            quad.Draw();
        }
    }
    if (heldHandle >= 0)
        for (auto& label : angleLabels)
            label->RunDraw();
}
