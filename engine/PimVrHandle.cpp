#include "engine/PimVrHandle.h"

#include "engine/PimVrController.h"
#include "engine/PimVrSystem.h"

#include <cmath>

namespace
{
PimVector3 TipOf(const PimVrController& controller)
{
    return controller.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
}
}

void PimVrHandle::SetGraspDistance(float distance)
{
    graspDistance = std::isfinite(distance) && distance > 0.0f ? distance : 0.0f;
}

void PimVrHandle::Update()
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    if (graspedBy != 0)
    {
        const PimVrController& holder = vr.GetHandController(graspedBy);
        if (!holder.IsValid() || !holder.IsPressed(PimVrButton::Trigger))
        {
            graspedBy = 0;
            return;
        }
        position = TipOf(holder) + grabOffset;
        return;
    }

    float nearest = graspDistance * graspDistance;
    for (int role : {PimVrDeviceIndex::LeftHand, PimVrDeviceIndex::RightHand})
    {
        const PimVrController& hand = vr.GetHandController(role);
        if (!hand.IsValid() || !hand.WasJustPressed(PimVrButton::Trigger))
            continue;
        const PimVector3 tip = TipOf(hand);
        const float distance = tip.DistanceSquared(position);
        if (distance <= nearest)
        {
            nearest = distance;
            graspedBy = role;
            grabOffset = position - tip;
        }
    }
}
