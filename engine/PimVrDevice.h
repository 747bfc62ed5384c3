#pragma once

#include "engine/PimVrDeviceState.h"

#include <string>
#include <vector>

// A device backend behind PimVrSystem: the headset runtime (PimVrOpenXR), the desktop simulator
// (PimVrSimulator) or a test script (PimVrScriptedDevice). PimVrSystem owns one and drives it from
// the frame loop; main thread only.
class PimVrDevice
{
public:
    virtual ~PimVrDevice() = default;

    // True when a real headset shows the frames (PimSystem::IsVirtualReality).
    virtual bool IsHeadset() const = 0;

    // Samples every device for the frame that starts (after the frame's window events and the
    // clock's step; seconds is the frame's duration) into devices, in tracking space.
    virtual void BeginFrame(double seconds, PimVrDeviceStates& devices) = 0;
    // After every Draw of the frame, before the window's swap.
    virtual void EndFrame() {}

    // Backends with eyes of their own (a headset's swapchains) answer the eye queries below; the
    // scene draws into them through the eye output PimVrSystem installs. The others are seen
    // through the window, from the headset pose (PimVrSystem does that).
    virtual bool HasOwnEyes() const { return false; }
    virtual int GetEyeCount() const { return 0; }
    virtual PimVrEye GetEye(int /*eye*/) const { return {}; }
    virtual int GetEyeWidth(int /*eye*/) const { return 0; }
    virtual int GetEyeHeight(int /*eye*/) const { return 0; }
    // Once per frame, before the first eye is drawn: makes every eye's image ready (cleared to
    // black, depth 1) and appends one GL framebuffer per eye, in eye order. False when the frame
    // is not to be shown; nothing is then held and nothing appended.
    virtual bool AcquireEyes(std::vector<unsigned int>& /*framebuffers*/) { return false; }
    // After every eye of the frame is drawn, only after AcquireEyes returned true: hands the
    // images back to be shown at EndFrame. Leaves the window's framebuffer bound.
    virtual void ReleaseEyes() {}

    // The desktop simulator's on-screen key legend; empty for the others.
    virtual bool IsLegendVisible() const { return false; }
    virtual std::vector<std::string> GetLegendLines() const { return {}; }
};

// The standing user every backend starts from, in tracking space: eye height and where the hands
// rest relative to the head (metres, head frame: x right, y up, -z ahead).
namespace PimVrRestPose
{
constexpr float EyeHeight = 1.65f;
constexpr PimVector3 LeftHandOffset{-0.18f, -0.2f, -0.45f};
constexpr PimVector3 RightHandOffset{0.18f, -0.2f, -0.45f};
// Vertical field of view of a view through the window.
constexpr float WindowFieldOfViewDegrees = 70.0f;
}
