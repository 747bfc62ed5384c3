#include "editing/PlaneFill.h"

#include "editing/EditTarget.h"

#include <algorithm>
#include <array>

bool PlaneFill::AcceptsPoint(const std::vector<PimVector3>& points, const PimVector3& cell)
{
    if (points.empty())
        return true;
    if (points.size() >= 3 || cell == points.front() || cell == points.back())
        return false;
    const PimVector3& first = points.front();
    if (!cell.DimensionsTheSame_AtLeast(first, 1))
        return false;
    if (points.size() == 1)
        return true;
    const PimVector3& second = points[1];
    if (!cell.DimensionsTheSame_AtLeast(second, 1))
        return false;
    return (second - first).Cross(cell - first).LengthSquared() > 0.0f;
}

int PlaneFill::NormalAxis(const PimVector3& p1, const PimVector3& p2, const PimVector3& p3)
{
    return (p2 - p1).Cross(p3 - p1).LargestDimension();
}

int PlaneFill::Fill(EditTarget& target, const PimVector3& seed, int normalAxis, std::uint16_t colour)
{
    // The in-plane axes (a, b) across each normal, and the neighbours in their order.
    static constexpr int kInPlane[3][2] = {{2, 1}, {0, 2}, {0, 1}};
    const int normal = std::clamp(normalAxis, 0, 2);
    const int axisA = kInPlane[normal][0];
    const int axisB = kInPlane[normal][1];
    std::array<PimVector3, 4> offsets{};
    offsets[0][axisA] = -1.0f;
    offsets[1][axisA] = 1.0f;
    offsets[2][axisB] = -1.0f;
    offsets[3][axisB] = 1.0f;

    const std::uint16_t region = target.GetVoxel(seed);
    // Used as a stack: the visiting order is depth first. No visited set: a written voxel no
    // longer holds the region's value (or the write limit ends a fill with the region's own colour).
    std::vector<PimVector3> waiting{seed};
    int writes = 0;
    while (!waiting.empty() && writes < kMaxWrites && static_cast<int>(waiting.size()) < kMaxEntries)
    {
        const PimVector3 position = waiting.back();
        waiting.pop_back();
        for (const PimVector3& offset : offsets)
        {
            const PimVector3 next = position + offset;
            if (target.GetVoxel(next) != region)
                continue;
            waiting.push_back(next);
            target.SetVoxel(colour, next, false, true);
            ++writes;
        }
    }
    target.Rebuild();
    return writes;
}
