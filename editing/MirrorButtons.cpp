#include "editing/MirrorButtons.h"

#include "editing/RayPick.h"

#include "editing/WireLines.h"

#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrPoseMath.h"
#include "engine/PimVrSystem.h"

#include <algorithm>

namespace
{
constexpr PimColor kAxisColours[3] = {WireColours::Red, WireColours::Green, WireColours::Blue};

PimVector3 Along(int axis, float length)
{
    PimVector3 v;
    v[axis] = length;
    return v;
}
}

MirrorButtons::MirrorButtons(std::shared_ptr<const PimTexture> picture)
{
    for (QuadButton& button : buttons)
    {
        button.SetTexture(picture);
        button.SetReachBySizeFactor(true);
        button.SetSizeFactor(kSize);
    }
    for (int axis = 0; axis < 3; ++axis)
        lines[static_cast<std::size_t>(axis)].SetColor(kAxisColours[axis]);
}

void MirrorButtons::SetPicture(const std::shared_ptr<const PimTexture>& picture)
{
    for (QuadButton& button : buttons)
        button.SetTexture(picture);
}

float MirrorButtons::Reach(float playerScale)
{
    return std::min(playerScale / 1.5f, 25.0f);
}

int MirrorButtons::Update(const PimVector3& centre, const PimVector3& size, float playerScale)
{
    const float r = Reach(playerScale);
    const PimVrController& head = PimVrSystem::GetInstance().GetHeadsetController();
    const PimVector3 eye = head.GetDevicePosition(PimVrPose::Controller, PimVrCoordinates::World);
    int pressedAxis = -1;
    for (int axis = 0; axis < 3; ++axis)
    {
        const PimVector3 out = Along(axis, size[axis] * 0.5f + r);
        const PimVector3 ends[2] = {centre - out, centre + out};
        for (int side = 0; side < 2; ++side)
        {
            QuadButton& button = buttons[static_cast<std::size_t>(axis * 2 + side)];
            button.SetBaseLocation(ends[side]);
            button.SetSizeFactor(kSize * playerScale);
            button.SetOrientation(PimVrPoseMath::LookRotation(ends[side] - eye, {0.0f, 1.0f, 0.0f}));
            button.Update();
            if (button.IsPressed() && pressedAxis < 0)
                pressedAxis = axis;
        }
        PimGraphicsLine& line = lines[static_cast<std::size_t>(axis)];
        if (line.GetPoints().size() != 2 || line.GetPoints()[0] != ends[0] || line.GetPoints()[1] != ends[1])
            line.SetPoints({ends[0], ends[1]});
    }
    return pressedAxis;
}

void MirrorButtons::Draw()
{
    for (PimGraphicsLine& line : lines)
        line.RunDraw();
    for (QuadButton& button : buttons)
        button.Draw();
}

const QuadButton& MirrorButtons::GetButton(int axis, int side) const
{
    return buttons[static_cast<std::size_t>(std::clamp(axis, 0, 2) * 2 + std::clamp(side, 0, 1))];
}

std::optional<PimVector3> MirrorButtons::PressableAlong(const PimVector3& origin, const PimVector3& direction) const
{
    RayPick pick(origin, direction);
    for (const QuadButton& button : buttons)
        pick.Consider(button.GetBaseLocation(), button.GetTouchRadius());
    return pick.Found();
}
