#pragma once

#include "engine/PimAngle.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimSystemParameters.h"
#include "engine/PimVector3.h"
#include "engine/PimVrController.h"
#include "engine/PimVrDevice.h"

#include <memory>
#include <string>
#include <vector>

class PimVrScriptedDevice;
class PimVrSimulator;

// The headset, the two hand controllers and the player's place in the world. Main thread only.
//
// PimSystem::Initialize starts it with the backend that PimSystemParameters::deviceMode asks for:
// Headset runs the OpenXR runtime (no runtime: the system cannot start), HeadsetOrDesktop runs it
// when a runtime and a headset answer and the desktop simulator otherwise (with one line on
// stdout saying so), Desktop runs the simulator, Scripted runs a script for tests (GetScript).
// Nothing else in the program needs to know which one runs; PimSystem::IsVirtualReality tells
// whether a headset shows the frames.
//
// The world sees the tracked play area through three values:
//   world = root + RotationY(direction modifier) x (scale x tracking position)
// The root is where the play area's origin lies in the world, the direction modifier turns the
// play area about the vertical through the root, and the scale is world units per metre.
// Changes apply at once to every pose read afterwards. The eye views of a frame keep the values
// that held when the frame began, so that whatever was placed from poses read early in the frame
// is drawn where the eyes expect it; ForceRootPosition also moves the current frame's eyes.
//
// Eyes, for the renderer: once per frame in its Draw, for eye = 0 .. GetEyeCount() - 1, call
// BeginEye(eye); when it returns true, draw the scene with GetEyeView(eye) and
// GetEyeProjection(eye, near, far) into the framebuffer it bound (viewport already set to
// GetEyeWidth(eye) x GetEyeHeight(eye), colour black and depth 1), then EndEye(). A headset has two
// eyes, each with its own swapchain (BeginEye clears it; eye 0 is copied to the window at EndEye);
// the simulator and the script have one, the window's default framebuffer (cleared by the frame
// loop), seen from the headset pose. BeginEye returns false when an eye is not to be drawn this
// frame (no GL, the headset's session not showing). PimSystem hands the eyes to the headset after
// the Draw phase (EndFrame).
class PimVrSystem
{
public:
    static PimVrSystem& GetInstance();

    // --- Lifetime and frame bracket (PimSystem calls these) ---

    // Starts the backend of parameters.deviceMode; false (reason on stderr) when a headset is
    // required and none can be used. Root, scale and direction start at (0, 0, 0), 1 and 0.
    bool Start(const PimSystemParameters& parameters);
    void Stop();
    bool IsRunning() const { return device != nullptr; }
    // After the frame's window events and clock step, before any Update: samples the devices.
    void BeginFrame();
    // After the Draw phase, before the window's swap.
    void EndFrame();

    // --- Devices ---

    // 0 headset, 1 left hand, 2 right hand. Any other index gives a stand-in controller that is
    // never connected or valid, so callers need no null checks.
    PimVrController& GetController(int index);
    PimVrController& GetHeadsetController() { return GetController(PimVrDeviceIndex::Headset); }
    // Role 1 left, 2 right; any other role gives the stand-in.
    PimVrController& GetHandController(int role)
    {
        const bool isHand = role == PimVrDeviceIndex::LeftHand || role == PimVrDeviceIndex::RightHand;
        return isHand ? GetController(role) : standIn;
    }

    // --- The player's place ---

    PimVector3 GetRootPosition() const { return root; }
    // Non-finite values are reported through PimAssert and ignored.
    void SetRootPosition(const PimVector3& position);
    // As SetRootPosition, and the eyes of the frame being drawn move too.
    void ForceRootPosition(const PimVector3& position);
    float GetScale() const { return scale; }
    // World units per metre; values that are not finite and above 0 are reported and ignored.
    void SetScale(float worldUnitsPerMetre);
    PimAngle GetDirectionModifier() const { return direction; }
    void SetDirectionModifier(PimAngle angle);

    // Tracking space to world (or to the play area: the same without the root).
    PimVector3 TrackingToWorld(const PimVector3& trackingPosition) const;
    PimVector3 TrackingToPlayArea(const PimVector3& trackingPosition) const;
    PimMatrix4x4 TrackingToPlayAreaRotation(const PimMatrix4x4& trackingOrientation) const;

    // --- Eyes (see above) ---

    int GetEyeCount() const;
    // World to eye: a rigid transform in world units.
    PimMatrix4x4 GetEyeView(int eye) const;
    PimVector3 GetEyePosition(int eye) const;
    // Near and far in world units.
    PimMatrix4x4 GetEyeProjection(int eye, float nearPlane, float farPlane) const;
    int GetEyeWidth(int eye) const;
    int GetEyeHeight(int eye) const;
    bool BeginEye(int eye);
    // Leaves the window's framebuffer bound with its whole viewport.
    void EndEye();
    // The eye between BeginEye and EndEye, -1 otherwise.
    int GetCurrentEye() const { return currentEye; }

    // --- The desktop simulator's key legend (empty and hidden for the other backends) ---

    bool IsLegendVisible() const;
    std::vector<std::string> GetLegendLines() const;

    // --- Backend access for tests and the engine's own drawing; null unless that backend runs ---

    PimVrScriptedDevice* GetScript() const { return script; }
    PimVrSimulator* GetSimulator() const { return simulator; }

private:
    PimVrSystem();

    struct ViewTransform
    {
        PimVector3 root;
        float scale = 1.0f;
        PimAngle direction;
    };

    bool StartDevice(const PimSystemParameters& parameters);
    void UseDevice(std::unique_ptr<PimVrDevice> backend);
    void ResetPlace();
    PimVrEye EyeInTracking(int eye) const;
    bool IsEye(int eye) const { return eye >= 0 && eye < GetEyeCount(); }

    std::unique_ptr<PimVrDevice> device;
    PimVrScriptedDevice* script = nullptr;
    PimVrSimulator* simulator = nullptr;
    std::vector<PimVrController> controllers;
    PimVrController standIn;
    PimVector3 root;
    float scale = 1.0f;
    PimAngle direction;
    ViewTransform frameView;
    int currentEye = -1;
};
