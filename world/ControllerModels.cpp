#include "world/ControllerModels.h"

#include "engine/PimAngle.h"
#include "engine/VoxelCodeTable.h"

#include <algorithm>
#include <cmath>

namespace
{
struct CubePlace
{
    PimVector3 centre; // in the model's frame, metres at player scale 1
    PimVector3 size;
    float tiltDegrees; // about the model's x axis; negative swings the cube's bottom backwards
};

// A controller held in the hand, pointing along -z: a head with the thumb pad on top, the trigger
// under its front, the grip slanting down and back under it, a darker tip ahead.
constexpr CubePlace kPlaces[ControllerModels::kCubeCount] = {
    {{0.0f, -0.045f, 0.03f}, {0.036f, 0.075f, 0.04f}, -20.0f},  // grip
    {{0.0f, -0.022f, -0.035f}, {0.014f, 0.022f, 0.016f}, 0.0f}, // trigger
    {{0.0f, 0.0f, -0.02f}, {0.05f, 0.03f, 0.09f}, 0.0f},        // head
    {{0.0f, 0.016f, -0.025f}, {0.03f, 0.006f, 0.03f}, 0.0f},    // thumb pad
    {{0.0f, 0.0f, -0.075f}, {0.03f, 0.024f, 0.02f}, 0.0f},      // tip
};

const PimColor kCubeColours[ControllerModels::kCubeCount] = {
    PimColor::FromFloat3(0.3f, 0.3f, 0.3f),
    PimColor::FromFloat3(0.0f, 0.0f, 0.0f),
    PimColor::FromFloat3(0.3f, 0.3f, 0.3f),
    PimColor::FromFloat3(0.3f, 0.3f, 0.3f),
    PimColor::FromFloat3(0.25f, 0.25f, 0.25f),
};
} // namespace

ControllerModels::ControllerModels()
{
    for (int i = 0; i < kCubeCount; ++i)
        cubes[static_cast<std::size_t>(i)].Build(VoxelCode::HelperCube, kCubeColours[i]);
}

void ControllerModels::Draw(int role, const PimVector3& position, const PimMatrix4x4& orientation, float triggerPull)
{
    if ((hiddenHands & HandBit(role)) != 0)
        return;
    const float pull = std::isfinite(triggerPull) ? std::clamp(triggerPull, 0.0f, 1.0f) : 0.0f;
    const PimMatrix4x4 turn = orientation * modelOrientation;
    const PimVector3 origin = position + orientation.TransformDirection(modelOffset);
    for (int i = 0; i < kCubeCount; ++i)
    {
        PimVector3 centre = kPlaces[i].centre;
        if (i == kTrigger)
            centre.z += pull * kTriggerTravel;
        VoxelCube& cube = cubes[static_cast<std::size_t>(i)];
        const PimMatrix4x4 tilt = PimMatrix4x4::CreateRotationX(PimAngle::FromDegrees(kPlaces[i].tiltDegrees));
        cube.SetTransform(turn * tilt * PimMatrix4x4::CreateScale(kPlaces[i].size));
        cube.SetPosition(origin + turn.TransformDirection(centre));
        cube.Draw();
    }
}
