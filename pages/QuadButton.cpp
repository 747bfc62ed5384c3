#include "pages/QuadButton.h"

#include "engine/PimTime.h"
#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSystem.h"

#include <algorithm>
#include <cmath>

float QuadButton::GetTouchRadius() const
{
    if (!reachBySizeFactor)
        return quadScale * kTouchShare;
    return std::sqrt(std::max(0.0f, PimVrSystem::GetInstance().GetScale() * kReachPerSize * sizeFactor));
}

void QuadButton::Update()
{
    pressed = false;
    touched = false;
    PimVrSystem& vr = PimVrSystem::GetInstance();
    const float radius = GetTouchRadius();
    for (int role : {PimVrDeviceIndex::LeftHand, PimVrDeviceIndex::RightHand})
    {
        const PimVrController& hand = vr.GetHandController(role);
        if (!hand.IsValid())
            continue;
        const PimVector3 tip = hand.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
        if (tip.DistanceSquared(baseLocation) >= radius * radius)
            continue;
        touched = true;
        if (hand.IsPressed(PimVrButton::Trigger))
        {
            pressed = true;
            break;
        }
    }
    if (touched)
    {
        wobblePhase += static_cast<float>(PimTime::MillisecondDelta()) * kWobbleRadiansPerMillisecond;
        const float a = vr.GetScale() * kWobbleShare;
        quad.SetLocation(baseLocation + PimVector3(std::sin(wobblePhase) * a, std::cos(wobblePhase + 0.39f) * a,
                                                   std::sin(wobblePhase + 1.7f) * a));
    }
    else
    {
        wobblePhase = 0.0f;
        quad.SetLocation(baseLocation);
    }
}

void QuadButton::Draw()
{
    quad.SetScale(GetDrawnScale());
    quad.Draw();
}
