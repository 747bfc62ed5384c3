#pragma once

#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"
#include "engine/PimVrInputCodes.h"

#include <array>

// What a device backend reports for one device at the start of a frame, in the runtime's
// tracking space (metres, y up, floor at y = 0). Orientation is a pure rotation whose -z axis is
// the pointing (or viewing) direction. Plain data.
struct PimVrDeviceState
{
    bool connected = false;
    bool valid = false;  // the pose can be used
    int trackingResult = PimVrTrackingResult::Uninitialized;
    PimVector3 position;
    PimMatrix4x4 orientation;
    std::array<float, PimVrButton::Count> values{};
    // Where the device's model is drawn relative to its pose (tracking space, metres): zero for
    // real devices. The desktop simulator moves the model of its free pointing hand below and to
    // the right of the pointer, so that the hand does not hide what it points at; the pose (and
    // so the tip, the aim and every tool) stays on the pointer.
    PimVector3 drawShift;
};

using PimVrDeviceStates = std::array<PimVrDeviceState, PimVrDeviceIndex::Count>;

// One eye of the current frame in tracking space: its pose and the four half-angles of its field
// of view in radians (left and down negative for a view that straddles the axis).
struct PimVrEye
{
    PimVector3 position;
    PimMatrix4x4 orientation;
    float angleLeft = 0.0f;
    float angleRight = 0.0f;
    float angleUp = 0.0f;
    float angleDown = 0.0f;
};
