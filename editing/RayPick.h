#pragma once

#include "engine/PimVector3.h"

#include <optional>

// The nearest of several round targets a pointer ray passes through: each candidate is a centre
// with a radius, taken when the ray passes within the radius ahead of its origin; the one
// nearest along the ray wins. The simulator's pointer targets pick with it. Any thread.
class RayPick
{
public:
    RayPick(const PimVector3& origin, const PimVector3& direction) : origin(origin), direction(direction) {}

    // Considers a target; `answer` is what the pick gives when it wins (its centre by default).
    void Consider(const PimVector3& centre, float radius);
    void Consider(const PimVector3& centre, float radius, const PimVector3& answer);
    // A point already known to lie on the ray (a hit found otherwise), `along` the ray.
    void ConsiderHit(float along, const PimVector3& answer);

    const std::optional<PimVector3>& Found() const { return found; }
    float FoundAlong() const { return foundAlong; }
    const PimVector3& GetOrigin() const { return origin; }
    const PimVector3& GetDirection() const { return direction; }

private:
    PimVector3 origin;
    PimVector3 direction;
    std::optional<PimVector3> found;
    float foundAlong = 0.0f;
};
