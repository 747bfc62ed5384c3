#pragma once

#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"
#include "engine/PimVector4.h"

// The world's cheap test of whether a chunk is worth drawing, and worth building early: its
// centre lies in front of the camera within a cone that narrows with distance, or the chunk is
// close enough to the viewer to be seen whichever way the head turns. The same test decides what
// is drawn and which chunks get the visibility bonus when they are scheduled.
// Pure arithmetic; any thread.
namespace ChunkVisibility
{
// Chunks whose centre is nearer than this to the viewer (1.4 chunks) always count as visible.
inline constexpr float kNearDistance = 44.8f;
// The cone's half-width in normalised clip coordinates is (kConeReach - distance) / 1000.
inline constexpr float kConeReach = 950.0f;

// distance: set to |centre - viewer| (world units) for the caller's priority.
inline bool IsVisible(const PimVector3& centre, const PimVector3& viewer, const PimMatrix4x4& viewProjection,
                      float& distance)
{
    distance = (centre - viewer).Length();
    PimVector4 clip = viewProjection * PimVector4(centre, 1.0f);
    clip.Normalize();
    const float margin = (kConeReach - distance) / 1000.0f;
    return (clip.z >= 0.0f && clip.x > -margin && clip.x < margin) || distance < kNearDistance;
}
}
