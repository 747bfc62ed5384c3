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
