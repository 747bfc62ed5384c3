#include "editing/ActionButtons.h"

#include "editing/RayPick.h"

#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSystem.h"

#include <algorithm>
#include <limits>

namespace
{
constexpr std::array<PimVector3, ActionButtons::kCount> kOffsets = {{
    {-0.05f, 0.15f, -0.1f}, // Play
    {0.05f, 0.25f, -0.1f},  // ExitMenu
    {0.05f, 0.15f, -0.1f},  // Copy
    {-0.05f, 0.15f, -0.1f}, // Cut
    {-0.05f, 0.25f, -0.1f}, // Move
}};

std::size_t IndexOf(ActionButtons::Action action)
{
    return static_cast<std::size_t>(std::clamp(static_cast<int>(action) - ActionButtons::kFirst, 0, ActionButtons::kCount - 1));
}

ActionButtons::Action ActionAt(std::size_t index)
{
    return static_cast<ActionButtons::Action>(static_cast<int>(index) + ActionButtons::kFirst);
}

PimMatrix4x4 ButtonTurn(const PimMatrix4x4& offOrientation)
{
    return offOrientation * PimMatrix4x4::CreateRotationZ(PimAngle::FromDegrees(90.0f));
}
}

ActionButtons::ActionButtons(const std::array<std::shared_ptr<const PimTexture>, kCount>& pictures)
{
    for (std::size_t i = 0; i < buttons.size(); ++i)
    {
        buttons[i].SetTexture(pictures[i]);
        buttons[i].SetReachBySizeFactor(true);
        buttons[i].SetSizeFactor(kSize);
    }
}

void ActionButtons::SetPictures(const std::array<std::shared_ptr<const PimTexture>, kCount>& pictures)
{
    for (std::size_t i = 0; i < buttons.size(); ++i)
        buttons[i].SetTexture(pictures[i]);
}

void ActionButtons::SetState(State state)
{
    enabled.fill(false);
    const auto enable = [this](Action action) { enabled[IndexOf(action)] = true; };
    enable(Action::ExitMenu);
    if (state == State::SelectWithoutClipboard)
    {
        enable(Action::Copy);
        enable(Action::Cut);
        enable(Action::Move);
    }
    else
        enable(Action::Play);
}

bool ActionButtons::IsEnabled(Action action) const
{
    return action != Action::None && enabled[IndexOf(action)];
}

const QuadButton& ActionButtons::GetButton(Action action) const
{
    return buttons[IndexOf(action)];
}

QuadButton& ActionButtons::Button(Action action)
{
    return buttons[IndexOf(action)];
}

PimVector3 ActionButtons::PlaceOf(Action action, const PimVector3& tip, const PimMatrix4x4& orientation, float vrScale)
{
    return tip - ButtonTurn(orientation).TransformDirection(kOffsets[IndexOf(action)] * vrScale);
}

ActionButtons::Action ActionButtons::Update(int offHand)
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    const float scale = vr.GetScale();
    const PimVrController& off = vr.GetHandController(offHand);
    const PimVector3 tip = off.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
    const PimMatrix4x4 orientation = off.GetDeviceOrientation(PimVrPose::Tip, PimVrCoordinates::World);

    // The pressing tips of this frame: a button pressed by two is judged by the nearer.
    std::array<std::optional<PimVector3>, 2> pressingTips;
    for (int role : {PimVrDeviceIndex::LeftHand, PimVrDeviceIndex::RightHand})
    {
        const PimVrController& hand = vr.GetHandController(role);
        if (hand.IsValid() && hand.IsPressed(PimVrButton::Trigger))
            pressingTips[static_cast<std::size_t>(role - 1)] = hand.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
    }

    Action nearest = Action::None;
    float nearestDistance = std::numeric_limits<float>::max();
    bool anyPressed = false;
    for (std::size_t i = 0; i < buttons.size(); ++i)
    {
        if (!enabled[i])
            continue;
        QuadButton& button = buttons[i];
        button.SetBaseLocation(PlaceOf(ActionAt(i), tip, orientation, scale));
        // Placed by R; the picture itself stays upright in the hand's frame (R would lay it on
        // its side).
        button.SetOrientation(orientation);
        button.SetSizeFactor(kSize * scale);
        button.Update();
        if (!button.IsPressed())
            continue;
        anyPressed = true;
        for (const std::optional<PimVector3>& pressing : pressingTips)
        {
            if (!pressing)
                continue;
            const float distance = pressing->DistanceSquared(button.GetBaseLocation());
            if (distance < button.GetTouchRadius() * button.GetTouchRadius() && distance < nearestDistance)
            {
                nearestDistance = distance;
                nearest = ActionAt(i);
            }
        }
    }
    if (!anyPressed)
    {
        latched = false;
        return Action::None;
    }
    if (latched)
        return Action::None;
    latched = true;
    return nearest;
}

void ActionButtons::Draw()
{
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (enabled[i])
            buttons[i].Draw();
}

std::optional<PimVector3> ActionButtons::PressableAlong(const PimVector3& origin, const PimVector3& direction) const
{
    RayPick pick(origin, direction);
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (enabled[i])
            pick.Consider(buttons[i].GetBaseLocation(), buttons[i].GetTouchRadius());
    return pick.Found();
}
