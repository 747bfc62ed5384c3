#include "editing/ReferenceImagePointer.h"

#include "editing/PointerSpace.h"
#include "editing/RayPick.h"
#include "editing/ReferenceImageSet.h"

#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSystem.h"

#include <algorithm>

namespace
{
// The owner of the simulator's tool pointer target (the newest pointer).
const ReferenceImagePointer* installed = nullptr;
}

ReferenceImagePointer::ReferenceImagePointer(ReferenceImageSet& imagesIn) : images(imagesIn)
{
    PimVrSimulator* simulator = PimVrSystem::GetInstance().GetSimulator();
    if (simulator == nullptr)
        return;
    before = simulator->GetToolPointerTarget();
    installed = this;
    simulator->SetToolPointerTarget([this](const PimVector3& eye, const PimVector3& ray) -> std::optional<PimVector3> {
        PimVector3 origin, direction;
        PointerSpace::RayInWorld(eye, ray, origin, direction);
        if (const std::optional<PimVector3> tip = Answer(origin, direction))
            return PointerSpace::WorldToTracking(*tip);
        return before ? before(eye, ray) : std::nullopt;
    });
}

ReferenceImagePointer::~ReferenceImagePointer()
{
    if (installed != this)
        return;
    if (PimVrSimulator* simulator = PimVrSystem::GetInstance().GetSimulator())
        simulator->SetToolPointerTarget(before);
    installed = nullptr;
}

std::optional<PimVector3> ReferenceImagePointer::Answer(const PimVector3& origin, const PimVector3& direction)
{
    if (!images.IsEditable())
    {
        dragDepth = -1.0f;
        return std::nullopt;
    }
    const PimVrSimulator* simulator = PimVrSystem::GetInstance().GetSimulator();
    const int mouseRole = simulator != nullptr ? simulator->GetMouseHand() : PimVrDeviceIndex::RightHand;
    if (std::optional<PimVector3> dragged = Dragging(mouseRole, origin, direction))
        return dragged;
    dragDepth = -1.0f;
    return Pick(origin, direction);
}

std::optional<PimVector3> ReferenceImagePointer::Dragging(int mouseRole, const PimVector3& origin,
                                                         const PimVector3& direction)
{
    for (int slot = 0; slot < ReferenceImageSet::kSlotCount; ++slot)
    {
        const ReferenceImagePanel* panel = images.GetPanel(slot);
        if (panel == nullptr || !images.IsMovable(slot))
            continue;
        const RotateGizmo& rings = panel->GetRings();
        for (int axis = 0; axis < RotateGizmo::kRingCount; ++axis)
            if (rings.GetHolder(axis) == mouseRole)
                return rings.FollowAlong(axis, origin, direction);
        const int corner = panel->GetGraspedCorner();
        const bool draggingCorner = corner >= 0 && panel->GetCornerHandle(corner).GetGraspingRole() == mouseRole;
        const bool draggingCentre = panel->GetMoveHandle().GetGraspingRole() == mouseRole;
        if (!draggingCorner && !draggingCentre)
            continue;
        if (dragDepth < 0.0f)
        {
            const PimVrController& hand = PimVrSystem::GetInstance().GetHandController(mouseRole);
            dragDepth = hand.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World).Distance(origin);
        }
        return origin + direction * dragDepth;
    }
    return std::nullopt;
}

std::optional<PimVector3> ReferenceImagePointer::Pick(const PimVector3& origin, const PimVector3& direction) const
{
    RayPick pick(origin, direction);
    for (int slot = 0; slot < ReferenceImageSet::kSlotCount; ++slot)
    {
        const ReferenceImagePanel* panel = images.GetPanel(slot);
        if (panel == nullptr || !images.IsMovable(slot))
            continue;
        // A little inside the grasp distance, so a tip put on the spot's edge still grasps.
        for (int corner = 0; corner < ReferenceImagePanel::kCornerCount; ++corner)
        {
            const PimVrHandle& handle = panel->GetCornerHandle(corner);
            pick.Consider(handle.GetPosition(), handle.GetGraspDistance() * 0.8f);
        }
        pick.Consider(panel->GetMoveHandle().GetPosition(), panel->GetMoveHandle().GetGraspDistance() * 0.8f);
        const RotateGizmo& rings = panel->GetRings();
        const float reach = std::max(rings.GetTolerance(), rings.GetRadius() * 0.15f);
        if (std::optional<PimVector3> onRing = rings.PickAlong(origin, direction, reach))
            pick.ConsiderHit((*onRing - origin).Dot(direction), *onRing);
    }
    return pick.Found();
}
