#include "engine/PimVrScriptedDevice.h"

#include "engine/PimAssert.h"
#include "engine/PimSystem.h"
#include "engine/PimTime.h"

#include <string>

PimVrScriptedDevice::PimVrScriptedDevice()
{
    for (PimVrDeviceState& state : states)
    {
        state.connected = true;
        state.valid = true;
        state.trackingResult = PimVrTrackingResult::RunningOk;
    }
    const PimVector3 head(0.0f, PimVrRestPose::EyeHeight, 0.0f);
    states[PimVrDeviceIndex::Headset].position = head;
    states[PimVrDeviceIndex::LeftHand].position = head + PimVrRestPose::LeftHandOffset;
    states[PimVrDeviceIndex::RightHand].position = head + PimVrRestPose::RightHandOffset;
}

PimVrDeviceState* PimVrScriptedDevice::Find(int deviceIndex, const char* operation)
{
    if (deviceIndex >= 0 && deviceIndex < PimVrDeviceIndex::Count)
        return &states[static_cast<std::size_t>(deviceIndex)];
    PimAssert::Assert(false, std::string("PimVrScriptedDevice::") + operation + "() - no such device");
    return nullptr;
}

void PimVrScriptedDevice::SetPose(int deviceIndex, const PimVector3& position, const PimMatrix4x4& orientation)
{
    if (PimVrDeviceState* state = Find(deviceIndex, "SetPose"))
    {
        state->position = position;
        state->orientation = orientation;
    }
}

void PimVrScriptedDevice::SetValue(int deviceIndex, int button, float value)
{
    PimVrDeviceState* state = Find(deviceIndex, "SetValue");
    if (state == nullptr)
        return;
    if (button < 0 || button >= PimVrButton::Count)
    {
        PimAssert::Assert(false, "PimVrScriptedDevice::SetValue() - no such button");
        return;
    }
    state->values[static_cast<std::size_t>(button)] = value;
}

void PimVrScriptedDevice::SetTracking(int deviceIndex, bool connected, bool valid, int trackingResult)
{
    if (PimVrDeviceState* state = Find(deviceIndex, "SetTracking"))
    {
        state->connected = connected;
        state->valid = valid;
        state->trackingResult = trackingResult;
    }
}

void PimVrScriptedDevice::SetActsAsHeadset(bool headset)
{
    actsAsHeadset = headset;
    PimSystem::SetVirtualReality(headset);
}

const PimVrDeviceState& PimVrScriptedDevice::GetState(int deviceIndex) const
{
    static const PimVrDeviceState none;
    if (deviceIndex >= 0 && deviceIndex < PimVrDeviceIndex::Count)
        return states[static_cast<std::size_t>(deviceIndex)];
    return none;
}

void PimVrScriptedDevice::BeginFrame(double /*seconds*/, PimVrDeviceStates& devices)
{
    if (frameScript)
        frameScript(*this, PimTime::FrameCount());
    devices = states;
}
