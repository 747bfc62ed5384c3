#pragma once

#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"
#include "engine/PimVrHandle.h"

#include "world/VoxelCube.h"

#include <array>
#include <cstdint>

// The hand-controller models the VR pages draw, made once at start-up and kept in GameSettings
// for the whole run: five helper cubes (code 0xFEFF) - a grey grip, a black trigger, a grey head,
// a grey thumb pad and a darker grey tip - laid out as a controller pointing along its -z, with a
// grab handle, the model's turn and offset against the controller's pose, and a word of flags
// saying which hands are hidden. Main thread only.
struct ControllerModels
{
    static constexpr int kCubeCount = 5;
    static constexpr int kGrip = 0;
    static constexpr int kTrigger = 1;
    static constexpr int kHead = 2;
    static constexpr int kPad = 3;
    static constexpr int kTip = 4;
    // How far a full pull draws the trigger back towards the grip, in world units.
    static constexpr float kTriggerTravel = 0.012f;

    // Builds the five cubes (with GL, their buffers too).
    ControllerModels();

    // Places the cubes for a controller of hand role 1 (left) or 2 (right) at its pose, the
    // trigger pulled in by triggerPull (0 to 1, held to that range), and draws them - unless that
    // hand is hidden.
    void Draw(int role, const PimVector3& position, const PimMatrix4x4& orientation, float triggerPull);

    // Hand roles whose bit (1 << role) is set here are not drawn: pages hide a hand that holds
    // something drawn in its place.
    static constexpr std::uint16_t HandBit(int role) { return static_cast<std::uint16_t>(1u << (role & 15)); }

    PimVrHandle handle;
    std::array<VoxelCube, kCubeCount> cubes;
    // The model's own turn and its offset (in the controller's frame) against the pose drawn at.
    PimMatrix4x4 modelOrientation;
    std::uint16_t hiddenHands = 0;
    PimVector3 modelOffset;
};
