#include "editing/FloodFill.h"

#include "editing/EditTarget.h"

#include <vector>

int FloodFill::Fill(EditTarget& target, const PimVector3& seed, std::uint16_t colour)
{
    const std::uint16_t region = target.GetVoxel(seed);
    if (region == 0)
        return 0;
    // A stack (depth first); the immediate write keeps a voxel from being visited twice.
    std::vector<PimVector3> waiting{seed};
    int writes = 0;
    while (!waiting.empty() && writes < kMaxWrites && static_cast<int>(waiting.size()) < kMaxEntries)
    {
        const PimVector3 position = waiting.back();
        waiting.pop_back();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                for (int dz = -1; dz <= 1; ++dz)
                {
                    const PimVector3 next = position + PimVector3(static_cast<float>(dx), static_cast<float>(dy),
                                                                  static_cast<float>(dz));
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
