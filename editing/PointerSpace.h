#pragma once

#include "engine/PimVector3.h"

// The desktop simulator's pointer targets are asked in tracking space (metres, the play area's
// frame); the things they point at live in the world. These convert between the two through the
// VR system's root, direction and scale. Main thread.
namespace PointerSpace
{
// The pointer's ray in the world: its origin and unit direction.
void RayInWorld(const PimVector3& eye, const PimVector3& ray, PimVector3& origin, PimVector3& direction);
// A world point back in tracking space: unturned about the root and unscaled.
PimVector3 WorldToTracking(const PimVector3& world);
}
