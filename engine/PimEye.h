#pragma once

#include "engine/PimAngle.h"
#include "engine/PimMatrix4x4.h"

#include <cstdint>
#include <optional>

// Which view a draw pass renders. The headset draws Left and Right; the desktop draws one Mono
// view from the (simulated) headset; Spectator is a view from a camera of its own that the
// desktop shows (the in-game camera), which drawing code may leave helpers out of.
enum class PimEye : std::uint8_t
{
    Left = 0,
    Right = 1,
    Mono = 2,
    Spectator = 3,
};

// A view frustum by the angles of its four sides measured from the view direction: left and down
// are negative for a frustum that contains the view direction. Headsets give asymmetric ones.
struct PimFieldOfView
{
    PimAngle left;
    PimAngle right;
    PimAngle up;
    PimAngle down;
};

// How one eye sees relative to the camera (the head): its pose in head space and, for a headset,
// its own frustum. A plain value.
struct PimEyeView
{
    PimEye eye = PimEye::Mono;
    // The eye's placement in the camera's space (half the eye distance to the side, maybe a small
    // turn); identity when the eye is the camera itself.
    PimMatrix4x4 headFromEye;
    // Empty: the camera's own symmetric field of view and aspect ratio.
    std::optional<PimFieldOfView> fieldOfView;
};
