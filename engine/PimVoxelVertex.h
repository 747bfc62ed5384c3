#pragma once

#include "engine/PimColor.h"
#include "engine/PimVector2.h"
#include "engine/PimVector3.h"

// One corner of a single voxel drawn on its own (the program's voxel cubes), read by the voxel
// program's unpacked form: "vPos", "vUv" (atlas coordinates), "vNorm" and "vColor" (bytes as 0 to
// 1). Chunks pack their corners into one word instead (VoxelMesh.h). 40 bytes.
struct PimVoxelVertex
{
    PimVector3 position;
    PimVector2 uv;
    PimVector3 normal;
    float light = 1.0f;
    PimColor color{255, 255, 255, 255};
};
static_assert(sizeof(PimVoxelVertex) == 40, "voxel cube vertices are 40 bytes");
