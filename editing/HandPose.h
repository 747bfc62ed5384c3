#pragma once

#include "engine/PimColor.h"
#include "engine/PimRenderableMesh.h"

#include <cstdint>
#include <vector>

// The voxel hand's model: a two-pronged claw 0.1 units wide whose prongs close as
// the trigger is pulled. Pose k (0 to 32) has closure k / 32 and is unmirrored; pose k + 33 is
// the same closure mirrored (x negated, windings reversed) for the other hand. 66 poses in all.
namespace HandPose
{
inline constexpr int kSteps = 33;
inline constexpr int kPoseCount = 2 * kSteps;

struct Mesh
{
    std::vector<PimMeshVertex> vertices;
    std::vector<std::uint32_t> indices;
};

// The mesh of pose `pose` (0 to 65) in the hand colour: 16 outline vertices (top at y = +0.05
// with normal +y, bottom at y = -0.05 with normal -y), then 4 vertices for each side wall with
// its outward normal. Every vertex has texture coordinate (1, 1) and light factor 1.
Mesh Build(int pose, PimColor colour);

// The pose index for a trigger value t (0 to 1): (int)(t * 32), plus 33 for the dominant hand.
int IndexFor(float trigger, bool dominant);
}
