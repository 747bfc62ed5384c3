#pragma once

#include "engine/PimVector3.h"

#include <vector>

// The sample points of a circle, shared by the disc and ring tools and by the preview of the tools
// that pick a circle: 4 pi r points (rounded up) spaced evenly round the centre, so neighbouring
// samples lie at most half a voxel apart. The first sample lies at centre + radius, the circle's
// plane holds radius and planeDirection. Any thread (pure).
namespace CircleSamples
{
// True when the two directions span a plane (neither is zero and they are not parallel).
bool SpanPlane(const PimVector3& radius, const PimVector3& planeDirection);

// Empty when radius and planeDirection do not span a plane.
std::vector<PimVector3> Around(const PimVector3& centre, const PimVector3& radius, const PimVector3& planeDirection);

// The number of samples of a circle of radius r.
std::size_t CountFor(float r);
}
