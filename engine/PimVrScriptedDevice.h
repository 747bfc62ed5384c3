#pragma once

#include "engine/PimVrDevice.h"

#include <cstdint>
#include <functional>

// The device backend of tests: poses, button values and tracking states are whatever the test
// sets, taken over at the start of the next frame (as a runtime's would be). Run it with the
// fixed-step clock (PimSystemParameters::fixedFrameSeconds) for repeatable frames. Every device
// starts connected and tracked, standing at the rest pose (engine/PimVrDevice.h). Main thread
// only.
class PimVrScriptedDevice final : public PimVrDevice
{
public:
    // Called at the start of every frame, before the states are taken, with the frame number
    // (PimTime::FrameCount, 1 for the first frame): a timeline of poses and presses.
    using FrameScript = std::function<void(PimVrScriptedDevice& device, std::uint64_t frame)>;

    PimVrScriptedDevice();

    // Device 0 headset, 1 left hand, 2 right hand; other numbers are reported through PimAssert.
    // Positions are tracking-space metres; orientations rotations whose -z axis points ahead.
    void SetPose(int deviceIndex, const PimVector3& position, const PimMatrix4x4& orientation);
    void SetValue(int deviceIndex, int button, float value);
    void SetTracking(int deviceIndex, bool connected, bool valid, int trackingResult);
    // Whether the script stands in for a headset (PimSystem::IsVirtualReality); true at first.
    void SetActsAsHeadset(bool headset);
    void SetFrameScript(FrameScript script) { frameScript = std::move(script); }

    const PimVrDeviceState& GetState(int deviceIndex) const;

    bool IsHeadset() const override { return actsAsHeadset; }
    void BeginFrame(double seconds, PimVrDeviceStates& devices) override;

private:
    PimVrDeviceState* Find(int deviceIndex, const char* operation);

    PimVrDeviceStates states;
    FrameScript frameScript;
    bool actsAsHeadset = true;
};
