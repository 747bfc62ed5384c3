#include "pages/QuadButton.h"

#include "engine/PimTime.h"
#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSystem.h"

#include <cmath>

namespace
{
// How far and how fast a touched button sways, in world units and radians per second.
constexpr float kWobbleAmplitude = 0.01f;
constexpr float kWobbleSpeed = 6.0f;
}

void QuadButton::Update()
{
    pressed = false;
    touched = false;
    PimVrSystem& vr = PimVrSystem::GetInstance();
    for (int role : {PimVrDeviceIndex::LeftHand, PimVrDeviceIndex::RightHand})
    {
        const PimVrController& hand = vr.GetHandController(role);
        if (!hand.IsValid())
            continue;
        const PimVector3 tip = hand.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
        if (tip.Distance(baseLocation) >= GetTouchRadius())
            continue;
        touched = true;
        pressed = pressed || hand.IsPressed(PimVrButton::Trigger);
    }
    if (touched)
    {
        wobblePhase += static_cast<float>(PimTime::SecondDelta()) * kWobbleSpeed;
        const PimVector3 sway(std::sin(wobblePhase), std::cos(wobblePhase * 1.3f), 0.0f);
        quad.SetLocation(baseLocation + quad.GetOrientation().TransformDirection(sway) * kWobbleAmplitude);
    }
    else
    {
        wobblePhase = 0.0f;
        quad.SetLocation(baseLocation);
    }
}

void QuadButton::Draw()
{
    quad.SetScale(sizeFactor * (pressed ? kPressedScale : 1.0f));
    quad.Draw();
}
