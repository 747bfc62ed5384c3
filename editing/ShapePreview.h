#pragma once

#include "engine/PimGraphicsLine.h"
#include "engine/PimVector3.h"

#include <cstdint>
#include <vector>

// The white line strip that shows what the shape and plane-fill tools will make while their
// points are being picked: picked points appear as their voxel centres, the cursor as the
// smoothed cursor point. One point picked: a line between the point and the cursor. Two points:
// the triangle's two edges, the closed parallelogram, or the circle through the cursor (disc,
// ring, plane fill). Other tools and no points: empty. Main thread only.
class ShapePreview
{
public:
    // The strip's points for a tool, its picked points and the cursor (for tests and Rebuild).
    static std::vector<PimVector3> StripPoints(std::uint32_t tool, const std::vector<PimVector3>& points,
                                               const PimVector3& cursor);

    void Rebuild(std::uint32_t tool, const std::vector<PimVector3>& points, const PimVector3& cursor);
    void Clear() { line.ClearPoints(); }
    const std::vector<PimVector3>& GetPoints() const { return line.GetPoints(); }
    void Draw() { line.Draw(); }

private:
    PimGraphicsLine line;
};
