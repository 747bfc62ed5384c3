#pragma once

#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"
#include "engine/PimVrDeviceState.h"

class PimVrSystem;

// One tracked device: the headset (index 0) or a hand controller (index 1 left, 2 right).
// PimVrSystem owns three and refreshes them at the start of every frame, so everything read during
// a frame describes the same moment. Main thread only.
//
// Poses are asked for by pose and coordinate numbers (engine/PimVrInputCodes.h): e.g.
// GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World) is where the controller touches
// things in the world. An unknown pose or coordinate number is reported through PimAssert and
// gives (0, 0, 0) and the identity.
class PimVrController
{
public:
    // A button counts as pressed above this value.
    static constexpr float PressThreshold = 0.3f;
    // Distance in metres from a controller's pose to its tip.
    static constexpr float TipDistance = 0.05f;

    // The button's value this frame (engine/PimVrInputCodes.h); 0 for unknown codes and while the
    // device is not connected.
    float GetValue(int button) const;
    // The value the button had in the previous frame.
    float GetPreviousValue(int button) const;
    bool IsPressed(int button) const { return GetValue(button) > PressThreshold; }
    // Pressed this frame and not in the previous one.
    bool WasJustPressed(int button) const
    {
        return IsPressed(button) && !(GetPreviousValue(button) > PressThreshold);
    }

    PimVector3 GetDevicePosition(int pose, int coordinates) const;
    // A pure rotation: orientation x (0, 0, -1) is the pointing (viewing) direction.
    PimMatrix4x4 GetDeviceOrientation(int pose, int coordinates) const;
    // Where the controller's model is drawn, in world coordinates: its position moved by the
    // state's draw shift (see PimVrDeviceState::drawShift).
    PimVector3 GetDrawnPosition() const;

    // The pose can be used (tracked or estimated). An invalid device keeps its last pose.
    bool IsValid() const { return state.valid; }
    bool IsConnected() const { return state.connected; }
    // PimVrTrackingResult: RunningOk (200) while properly tracked.
    int GetTrackingResult() const { return state.trackingResult; }
    // IsValid, IsConnected and RunningOk together.
    bool IsTracked() const
    {
        return state.valid && state.connected && state.trackingResult == PimVrTrackingResult::RunningOk;
    }

    // 0 headset, 1 left hand, 2 right hand; -1 for the stand-in returned for an unknown index.
    int GetIndex() const { return index; }

private:
    friend class PimVrSystem;
    PimVrController(const PimVrSystem& system, int index) : system(&system), index(index) {}

    // Takes the frame's state; the values of the frame before become the previous values.
    void Refresh(const PimVrDeviceState& next);
    void Clear();
    // The pose in tracking space, or false for an unknown pose number.
    bool TrackingPose(int pose, PimVector3& position, PimMatrix4x4& orientation) const;

    const PimVrSystem* system;
    int index;
    PimVrDeviceState state;
    std::array<float, PimVrButton::Count> previousValues{};
};
