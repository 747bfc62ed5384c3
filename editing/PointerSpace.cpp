#include "editing/PointerSpace.h"

#include "engine/PimMatrix4x4.h"
#include "engine/PimVrSystem.h"

namespace PointerSpace
{
void RayInWorld(const PimVector3& eye, const PimVector3& ray, PimVector3& origin, PimVector3& direction)
{
    const PimVrSystem& vr = PimVrSystem::GetInstance();
    origin = vr.TrackingToWorld(eye);
    direction = (vr.TrackingToWorld(eye + ray) - origin).Normalized();
}

PimVector3 WorldToTracking(const PimVector3& world)
{
    const PimVrSystem& vr = PimVrSystem::GetInstance();
    const PimMatrix4x4 unturn = PimMatrix4x4::CreateRotationY(PimAngle::FromRadians(-vr.GetDirectionModifier().GetRadians()));
    return unturn.TransformDirection(world - vr.GetRootPosition()) / vr.GetScale();
}
}
