#include "engine/PimVrController.h"

#include "engine/PimAssert.h"
#include "engine/PimVrSystem.h"

namespace
{
bool IsButton(int button)
{
    return button >= 0 && button < PimVrButton::Count;
}
}

float PimVrController::GetValue(int button) const
{
    return IsButton(button) && state.connected ? state.values[static_cast<std::size_t>(button)] : 0.0f;
}

float PimVrController::GetPreviousValue(int button) const
{
    return IsButton(button) ? previousValues[static_cast<std::size_t>(button)] : 0.0f;
}

void PimVrController::Refresh(const PimVrDeviceState& next)
{
    for (int button = 0; button < PimVrButton::Count; ++button)
        previousValues[static_cast<std::size_t>(button)] = GetValue(button);
    const PimVector3 lastPosition = state.position;
    const PimMatrix4x4 lastOrientation = state.orientation;
    state = next;
    if (!state.valid)
    {
        state.position = lastPosition;
        state.orientation = lastOrientation;
    }
}

void PimVrController::Clear()
{
    state = PimVrDeviceState();
    previousValues.fill(0.0f);
}

bool PimVrController::TrackingPose(int pose, PimVector3& position, PimMatrix4x4& orientation) const
{
    if (pose != PimVrPose::Controller && pose != PimVrPose::Tip)
        return false;
    orientation = state.orientation;
    position = state.position;
    if (pose == PimVrPose::Tip && index != PimVrDeviceIndex::Headset)
        position += state.orientation.TransformDirection({0.0f, 0.0f, -TipDistance});
    return true;
}

PimVector3 PimVrController::GetDevicePosition(int pose, int coordinates) const
{
    PimVector3 position;
    PimMatrix4x4 orientation;
    if (!TrackingPose(pose, position, orientation))
    {
        PimAssert::Assert(false, "PimVrController::GetDevicePosition() - unknown pose type");
        return {};
    }
    switch (coordinates)
    {
    case PimVrCoordinates::World:
        return system->TrackingToWorld(position);
    case PimVrCoordinates::PlayArea:
        return system->TrackingToPlayArea(position);
    case PimVrCoordinates::Tracking:
        return position;
    default:
        PimAssert::Assert(false, "PimVrController::GetDevicePosition() - unknown coordinate type");
        return {};
    }
}

PimVector3 PimVrController::GetDrawnPosition() const
{
    return system->TrackingToWorld(state.position + state.drawShift);
}

PimMatrix4x4 PimVrController::GetDeviceOrientation(int pose, int coordinates) const
{
    PimVector3 position;
    PimMatrix4x4 orientation;
    if (!TrackingPose(pose, position, orientation))
    {
        PimAssert::Assert(false, "PimVrController::GetDeviceOrientation() - unknown pose type");
        return {};
    }
    switch (coordinates)
    {
    case PimVrCoordinates::World:
    case PimVrCoordinates::PlayArea:
        return system->TrackingToPlayAreaRotation(orientation);
    case PimVrCoordinates::Tracking:
        return orientation;
    default:
        PimAssert::Assert(false, "PimVrController::GetDeviceOrientation() - unknown coordinate type");
        return {};
    }
}
