#pragma once

#include "engine/PimAngle.h"
#include "engine/PimEyeOutput.h"
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
// Eyes. A headset's eyes are drawn by the scene (PimScene): while a headset runs, PimVrSystem
// installs the PimEyeOutput, so that each frame every eye's swapchain image is acquired once,
// every main viewport draws into each eye with that eye's view and frustum (GetEyeViewFromHead,
// relative to the viewport's camera, which the program keeps at the headset's world pose), the
// images go back, eye 0 is copied to the window, and PimSystem hands the frame to the headset
// after the Draw phase (EndFrame). The simulator and the script have one eye, the window's default framebuffer, which
// code may also draw into by hand: BeginEye(0) binds it with the whole window as viewport, draw
// with GetEyeView(0) and GetEyeProjection(0, near, far), then EndEye(). BeginEye is false for a
// headset's eyes, which only the scene draws, and without GL.
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
    // How the eye sees from the head (the headset pose): its placement relative to the head in
    // world units (the frame's scale) and, for a headset, its own frustum. A window eye is the
    // head itself (Mono, no frustum of its own); an eye that does not exist gives that too.
    PimEyeView GetEyeViewFromHead(int eye) const;
    bool BeginEye(int eye);
    // Leaves the window's framebuffer bound with its whole viewport.
    void EndEye();
    // The eye between BeginEye and EndEye, -1 otherwise.
    int GetCurrentEye() const { return currentEye; }

    // The headset's side of PimEyeOutput (see Eyes above): the targets of every eye of this frame,
    // false when the headset does not show it; then, after the eyes are drawn, gives them back.
    bool AcquireHeadsetEyes(std::vector<PimEyeTarget>& eyes);
    void ReleaseHeadsetEyes();

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
    // Installed as the scene's eye output while a backend with eyes of its own runs.
    std::shared_ptr<PimEyeOutput> headsetEyes;
    bool headsetEyesHeld = false;
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
