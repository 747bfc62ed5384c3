#include "editing/VoxelLine.h"

#include "editing/EditTarget.h"

#include "engine/PimMathFunctions.h"

#include <cmath>
#include <limits>

namespace
{
constexpr float kTiny = std::numeric_limits<float>::min();  // the smallest normal float
const PimVector3 kHalf(0.5f, 0.5f, 0.5f);
}

int VoxelLine::RayWalk(EditTarget& target, const PimVector3& from, const PimVector3& to, std::uint16_t colour)
{
    target.SetVoxel(colour, from, false, false);
    const float length = (to - from).Length();
    // A walk of no length has no direction: its one voxel is all there is (dividing by the zero
    // length would send NaN points through every later step).
    if (!(length > 0.0f) || !std::isfinite(length))
        return 1;
    const PimVector3 direction = (to - from) / length;
    const bool startedAbove = from.y >= 0.0f;
    const PimVector3 endCell = to.Integerize();
    const float stopDistanceSquared = 1.1f * length * length;
    int writes = 1;
    PimVector3 current = from;
    for (int step = 0; step < kMaxSteps; ++step)
    {
        const PimVector3 boundary = current.IntegerizeInDirection(direction);
        const int axis = ((boundary - current) / direction).SmallestNonZeroDimension();
        float delta = boundary[axis] - current[axis];
        if (delta == 0.0f)
            delta = kTiny;
        float factor = PimMathFunctions::SafeDivision(direction[axis], delta);
        if (factor == 0.0f)
            factor = kTiny;
        current += direction / std::fabs(factor);
        target.SetVoxel(colour, current, false, false);
        ++writes;
        if (startedAbove && current.y < 0.0f)
            break;
        if (current.Integerize() == endCell)
            break;
        if ((current - from).LengthSquared() >= stopDistanceSquared)
            break;
    }
    return writes;
}

void VoxelLine::Between(EditTarget& target, const PimVector3& a, const PimVector3& b, std::uint16_t colour)
{
    const PimVector3 aCentre = a.Integerize() + kHalf;
    const PimVector3 bCentre = b.Integerize() + kHalf;
    const PimVector3 middle = (aCentre + bCentre) * 0.5f;
    RayWalk(target, aCentre, middle, colour);
    RayWalk(target, bCentre, middle, colour);
}

std::vector<PimVector3> VoxelLine::EdgeCells(const PimVector3& p, const PimVector3& q)
{
    const PimVector3 a = p.Integerize();
    const PimVector3 b = q.Integerize();
    std::vector<PimVector3> cells{a, b};
    if (a == b)
        return cells;
    const PimVector3 span = b - a;
    const int axis = span.LargestDimension();
    const int count = static_cast<int>(std::fabs(span[axis]));
    const PimVector3 step = span / static_cast<float>(count);
    PimVector3 cell = a;
    for (int i = 1; i <= count; ++i)
    {
        cell += step;
        const PimVector3 whole = cell.Integerize();
        cells.push_back(whole);
        if (whole == b)
            break;
    }
    return cells;
}
