#include "editing/SelectionPointer.h"

#include "editing/EditTarget.h"
#include "editing/PointerSpace.h"
#include "editing/RayPick.h"
#include "editing/SelectionTool.h"

#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSimulator.h"
#include "engine/PimVrSystem.h"

#include <algorithm>
#include <cmath>

namespace
{
// The owner of the simulator's tool pointer target (the newest pointer).
const SelectionPointer* installed = nullptr;

// Where a ray enters an axis-aligned box and leaves it again (distances along the ray); nothing
// when it misses.
std::optional<std::pair<float, float>> BoxSpan(const PimVector3& origin, const PimVector3& direction,
                                               const PimVector3& low, const PimVector3& high)
{
    float enter = 0.0f, leave = 1e30f;
    for (int axis = 0; axis < 3; ++axis)
    {
        if (std::fabs(direction[axis]) < 1e-6f)
        {
            if (origin[axis] < low[axis] || origin[axis] >= high[axis])
                return std::nullopt;
            continue;
        }
        float a = (low[axis] - origin[axis]) / direction[axis];
        float b = (high[axis] - origin[axis]) / direction[axis];
        if (a > b)
            std::swap(a, b);
        enter = std::max(enter, a);
        leave = std::min(leave, b);
    }
    if (enter >= leave)
        return std::nullopt;
    return std::make_pair(enter, leave);
}
}

SelectionPointer::SelectionPointer(SelectionTool& toolIn) : tool(toolIn)
{
    PimVrSimulator* simulator = PimVrSystem::GetInstance().GetSimulator();
    if (simulator == nullptr)
        return;
    installed = this;
    simulator->SetToolPointerTarget([this](const PimVector3& eye, const PimVector3& ray) -> std::optional<PimVector3> {
        PimVector3 origin, direction;
        PointerSpace::RayInWorld(eye, ray, origin, direction);
        const std::optional<PimVector3> tip = Answer(origin, direction);
        if (!tip)
            return std::nullopt;
        return PointerSpace::WorldToTracking(*tip);
    });
}

SelectionPointer::~SelectionPointer()
{
    if (installed != this)
        return;
    if (PimVrSimulator* simulator = PimVrSystem::GetInstance().GetSimulator())
        simulator->SetToolPointerTarget({});
    installed = nullptr;
}

std::optional<PimVector3> SelectionPointer::Answer(const PimVector3& origin, const PimVector3& direction)
{
    if (!tool.IsActive())
    {
        dragDepth = -1.0f;
        return std::nullopt;
    }
    const PimVrSimulator* simulator = PimVrSystem::GetInstance().GetSimulator();
    const int mouseRole = simulator != nullptr ? simulator->GetMouseHand() : tool.DominantRole();
    if (std::optional<PimVector3> dragged = Dragging(mouseRole, origin, direction))
        return dragged;
    dragDepth = -1.0f;
    return Pick(origin, direction);
}

std::optional<PimVector3> SelectionPointer::Dragging(int mouseRole, const PimVector3& origin, const PimVector3& direction)
{
    SelectionBox& box = tool.GetBox();
    const Clipboard& clipboard = tool.GetTarget().GetClipboard();
    const RotateGizmo& rings = tool.GetRings();
    for (int axis = 0; axis < RotateGizmo::kRingCount; ++axis)
        if (rings.GetHolder(axis) == mouseRole)
            return rings.FollowAlong(axis, origin, direction);

    const int held = box.GetHeldHandle();
    const bool draggingCorner = box.IsActive() && held >= 0 && box.GetHandle(held).GetGraspingRole() == mouseRole;
    const bool carrying = clipboard.IsGrabbed() && mouseRole == tool.DominantRole();
    if (!draggingCorner && !carrying)
        return std::nullopt;
    if (dragDepth < 0.0f)
    {
        const PimVrController& hand = PimVrSystem::GetInstance().GetHandController(mouseRole);
        dragDepth = hand.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World).Distance(origin);
    }
    return origin + direction * dragDepth;
}

std::optional<PimVector3> SelectionPointer::Pick(const PimVector3& origin, const PimVector3& direction) const
{
    RayPick pick(origin, direction);
    SelectionBox& box = tool.GetBox();
    const Clipboard& clipboard = tool.GetTarget().GetClipboard();
    if (box.IsActive())
    {
        if (!clipboard.IsHeld())
            for (int corner = 0; corner < SelectionBox::kCornerCount; ++corner)
                pick.Consider(box.GetHandlePosition(corner), SelectionBox::kMarkerSize * 0.6f);
        if (std::optional<PimVector3> button = tool.GetButtons().PressableAlong(origin, direction))
            pick.ConsiderHit((*button - origin).Dot(direction), *button);
    }
    if (clipboard.IsHeld())
    {
        if (std::optional<PimVector3> button = tool.GetMirrorButtons().PressableAlong(origin, direction))
            pick.ConsiderHit((*button - origin).Dot(direction), *button);
        const RotateGizmo& rings = tool.GetRings();
        const float reach = std::max(rings.GetTolerance(), rings.GetRadius() * 0.15f);
        if (std::optional<PimVector3> onRing = rings.PickAlong(origin, direction, reach))
            pick.ConsiderHit((*onRing - origin).Dot(direction), *onRing);
        // The rings and buttons lie in or at the clipboard and are drawn over it: they come first.
        if (pick.Found())
            return pick.Found();
        // The clipboard itself: half a voxel past where the ray enters it (inside, so it grabs).
        if (const auto span = BoxSpan(origin, direction, clipboard.GetPosition(), clipboard.GetPosition() + clipboard.GetSize()))
        {
            const float at = std::min(span->first + 0.5f, (span->first + span->second) * 0.5f);
            pick.ConsiderHit(at, origin + direction * at);
        }
    }
    return pick.Found();
}
