#include "editing/RotateGizmo.h"

#include "editing/WireLines.h"

#include "engine/PimDrawResources.h"
#include "engine/PimSystem.h"
#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrPoseMath.h"
#include "engine/PimVrSystem.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr PimColor kAxisColours[3] = {WireColours::Red, WireColours::Green, WireColours::Blue};

// The ring's plane axes: a point at measure m lies at centre + u sin m + v cos m.
PimVector3 AxisU(int axis)
{
    return axis == 0 ? PimVector3(0, 1, 0) : axis == 1 ? PimVector3(0, 0, 1) : PimVector3(1, 0, 0);
}
PimVector3 AxisV(int axis)
{
    return axis == 0 ? PimVector3(0, 0, 1) : axis == 1 ? PimVector3(1, 0, 0) : PimVector3(0, 1, 0);
}
PimVector3 Normal(int axis)
{
    PimVector3 n;
    n[axis] = 1.0f;
    return n;
}

float Wrapped(float radians)
{
    return std::remainder(radians, PimAngle::TwoPi);
}
}

RotateGizmo::RotateGizmo(std::shared_ptr<const PimTexture> picture)
{
    for (int axis = 0; axis < kRingCount; ++axis)
    {
        Ring& ring = rings[static_cast<std::size_t>(axis)];
        ring.circle.SetColor(kAxisColours[axis]);
        for (PimImageQuad& quad : ring.quads)
            quad.SetTexture(picture);
    }
}

void RotateGizmo::SetPicture(const std::shared_ptr<const PimTexture>& picture)
{
    for (Ring& ring : rings)
        for (PimImageQuad& quad : ring.quads)
            quad.SetTexture(picture);
}

float RotateGizmo::GetTolerance() const
{
    return PimVrSystem::GetInstance().GetScale() * 0.0035f * 15.0f;
}

float RotateGizmo::MeasureOf(int axis, const PimVector3& offset)
{
    return std::atan2(offset.Dot(AxisU(axis)), offset.Dot(AxisV(axis)));
}

PimVector3 RotateGizmo::PointOnRing(int axis, float radians) const
{
    return centre + (AxisU(axis) * std::sin(radians) + AxisV(axis) * std::cos(radians)) * radius;
}

void RotateGizmo::Reset()
{
    for (Ring& ring : rings)
    {
        ring.angle = 0.0f;
        ring.holder = 0;
    }
}

int RotateGizmo::FindHolder(int axis, int ignoredRole)
{
    Ring& ring = rings[static_cast<std::size_t>(axis)];
    const float t = GetTolerance();
    PimVrSystem& vr = PimVrSystem::GetInstance();
    int holder = 0;
    for (int role : {PimVrDeviceIndex::LeftHand, PimVrDeviceIndex::RightHand})
    {
        const PimVrController& hand = vr.GetHandController(role);
        const bool pressed = hand.IsValid() && hand.IsPressed(PimVrButton::Trigger);
        bool& blocked = ring.blocked[static_cast<std::size_t>(role)];
        if (!pressed)
        {
            blocked = false;
            continue;
        }
        const PimVector3 offset = hand.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World) - centre;
        const float along = offset[axis];
        const bool inSlab = std::fabs(along) <= t;
        if (!triggerWasHeld[static_cast<std::size_t>(role)] && !inSlab)
            blocked = true;
        if (blocked || holder != 0 || role == ignoredRole || !inSlab)
            continue;
        const PimVector3 inPlane = offset - Normal(axis) * along;
        if (std::fabs(inPlane.Length() - radius) <= t)
            holder = role;
    }
    return holder;
}

void RotateGizmo::Update(const PimVector3& newCentre, float newRadius, int ignoredRole)
{
    centre = newCentre;
    radius = newRadius;
    bool oneHeld = false;
    PimVrSystem& vr = PimVrSystem::GetInstance();
    for (int axis = 0; axis < kRingCount; ++axis)
    {
        Ring& ring = rings[static_cast<std::size_t>(axis)];
        const int holder = FindHolder(axis, ignoredRole);
        if (holder == 0 || oneHeld)
        {
            ring.holder = 0;
            ring.angle = 0.0f;
        }
        else
        {
            const PimVector3 tip = vr.GetHandController(holder).GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
            const float now = MeasureOf(axis, tip - centre);
            if (ring.holder != holder)
                ring.start = now;
            ring.holder = holder;
            ring.angle = Wrapped(now - ring.start);
            oneHeld = true;
        }
        PlaceRing(axis);
    }
    for (int role : {PimVrDeviceIndex::LeftHand, PimVrDeviceIndex::RightHand})
    {
        const PimVrController& hand = vr.GetHandController(role);
        triggerWasHeld[static_cast<std::size_t>(role)] = hand.IsValid() && hand.IsPressed(PimVrButton::Trigger);
    }
}

void RotateGizmo::PlaceRing(int axis)
{
    Ring& ring = rings[static_cast<std::size_t>(axis)];
    if (placedCentre != centre || placedRadius != radius || ring.circle.GetPoints().empty())
    {
        std::vector<PimVector3> points;
        points.reserve(kCirclePoints);
        for (int step = 0; step < kCirclePoints; ++step)
            points.push_back(PointOnRing(axis, PimAngle::DegreesToRadians(static_cast<float>(step * 10))));
        ring.circle.SetPoints(std::move(points));
        if (axis == kRingCount - 1)
        {
            placedCentre = centre;
            placedRadius = radius;
        }
    }
    const float size = 2.0f * GetTolerance();
    for (std::size_t i = 0; i < ring.quads.size(); ++i)
    {
        const float at = ring.angle + PimAngle::DegreesToRadians(90.0f * static_cast<float>(i));
        const PimVector3 tangent = AxisU(axis) * std::cos(at) - AxisV(axis) * std::sin(at);
        PimImageQuad& quad = ring.quads[i];
        quad.SetLocation(PointOnRing(axis, at));
        quad.SetOrientation(PimVrPoseMath::LookRotation(Normal(axis), tangent));
        quad.SetScale(size);
    }
}

float RotateGizmo::GetAngleDegrees(int axis) const
{
    return PimAngle::RadiansToDegrees(rings[static_cast<std::size_t>(std::clamp(axis, 0, 2))].angle);
}

int RotateGizmo::GetHolder(int axis) const
{
    return rings[static_cast<std::size_t>(std::clamp(axis, 0, 2))].holder;
}

int RotateGizmo::GetAnyHolder() const
{
    for (const Ring& ring : rings)
        if (ring.holder != 0)
            return ring.holder;
    return 0;
}

std::optional<PimVector3> RotateGizmo::FollowAlong(int axis, const PimVector3& origin, const PimVector3& direction) const
{
    const PimVector3 normal = Normal(axis);
    const float approach = direction.Dot(normal);
    if (std::fabs(approach) < 1e-4f)
        return std::nullopt;
    const float along = (centre - origin).Dot(normal) / approach;
    if (along <= 0.0f)
        return std::nullopt;
    const PimVector3 hit = origin + direction * along;
    const PimVector3 fromCentre = hit - centre;
    if (fromCentre.LengthSquared() <= 0.0f)
        return std::nullopt;
    return centre + fromCentre.Normalized() * radius;
}

std::optional<PimVector3> RotateGizmo::PickAlong(const PimVector3& origin, const PimVector3& direction, float reach,
                                                 int* pickedAxis) const
{
    std::optional<PimVector3> best;
    float bestAlong = 0.0f;
    for (int axis = 0; axis < kRingCount; ++axis)
    {
        const PimVector3 normal = Normal(axis);
        const float approach = direction.Dot(normal);
        if (std::fabs(approach) < 1e-4f)
            continue;
        const float along = (centre - origin).Dot(normal) / approach;
        if (along <= 0.0f)
            continue;
        const PimVector3 hit = origin + direction * along;
        if (std::fabs((hit - centre).Length() - radius) > reach || (best && along >= bestAlong))
            continue;
        best = FollowAlong(axis, origin, direction);
        bestAlong = along;
        if (pickedAxis != nullptr)
            *pickedAxis = axis;
    }
    return best;
}

void RotateGizmo::Draw()
{
    if (!PimSystem::HasGL())
        return;
    // Drawn over the content they sit in.
    const PimGLCapabilityOff noDepth(PimGLCapabilityOff::Capability::DepthTest);
    for (Ring& ring : rings)
    {
        ring.circle.RunDraw();
        for (PimImageQuad& quad : ring.quads)
            quad.RunDraw();
    }
}
