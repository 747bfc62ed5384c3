#include "editing/RayPick.h"

void RayPick::Consider(const PimVector3& centre, float radius)
{
    Consider(centre, radius, centre);
}

void RayPick::Consider(const PimVector3& centre, float radius, const PimVector3& answer)
{
    const float along = (centre - origin).Dot(direction);
    if (along <= 0.0f || (origin + direction * along).Distance(centre) >= radius)
        return;
    ConsiderHit(along, answer);
}

void RayPick::ConsiderHit(float along, const PimVector3& answer)
{
    if (along <= 0.0f)
        return;
    if (!found || along < foundAlong)
    {
        found = answer;
        foundAlong = along;
    }
}
