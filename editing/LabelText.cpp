#include "editing/LabelText.h"

#include "engine/Pim3DText.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimString.h"
#include "engine/PimVrController.h"
#include "engine/PimVrSystem.h"

#include <cmath>

namespace LabelText
{
std::string OneDecimal(float value)
{
    std::string text = PimString::FromFloat(value);
    const std::size_t dot = text.find('.');
    if (dot != std::string::npos && dot + 2 < text.size())
        text.resize(dot + 2);
    return text;
}

void FaceViewer(Pim3DText& label)
{
    const PimVrController& head = PimVrSystem::GetInstance().GetHeadsetController();
    const PimVector3 toViewer =
        head.GetDevicePosition(PimVrPose::Controller, PimVrCoordinates::World) - label.GetPosition();
    if (toViewer.x == 0.0f && toViewer.z == 0.0f)
        return;
    label.SetOrientation(PimMatrix4x4::CreateRotationY(PimAngle::FromRadians(std::atan2(toViewer.x, toViewer.z))));
}
}
