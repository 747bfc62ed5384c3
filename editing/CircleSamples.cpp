#include "editing/CircleSamples.h"

#include "engine/PimAngle.h"

#include <cmath>

bool CircleSamples::SpanPlane(const PimVector3& radius, const PimVector3& planeDirection)
{
    return radius.Cross(planeDirection).LengthSquared() > 0.0f;
}

std::size_t CircleSamples::CountFor(float r)
{
    // Samples are taken for i = 0, 1, 2 ... while i < 4 pi r.
    const float count = 2.0f * (2.0f * PimAngle::Pi * r);
    return count > 0.0f ? static_cast<std::size_t>(std::ceil(count)) : 0;
}

std::vector<PimVector3> CircleSamples::Around(const PimVector3& centre, const PimVector3& radius,
                                              const PimVector3& planeDirection)
{
    std::vector<PimVector3> samples;
    if (!SpanPlane(radius, planeDirection))
        return samples;
    const float r = radius.Length();
    const PimVector3 normal = radius.Cross(planeDirection);
    const PimVector3 u = radius.Normalized() * r;
    const PimVector3 w = radius.Cross(normal).Normalized() * r;
    const float count = 2.0f * (2.0f * PimAngle::Pi * r);
    samples.reserve(CountFor(r));
    for (float i = 0.0f; i < count; i += 1.0f)
    {
        const float theta = 2.0f * (i / count) * 3.14159f;
        samples.push_back(centre + u * std::cos(theta) + w * std::sin(theta));
    }
    return samples;
}
