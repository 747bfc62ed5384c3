#include "editing/ShapePreview.h"

#include "editing/CircleSamples.h"
#include "editing/ToolId.h"

std::vector<PimVector3> ShapePreview::StripPoints(std::uint32_t tool, const std::vector<PimVector3>& points,
                                                  const PimVector3& cursor)
{
    if (points.empty())
        return {};
    const PimVector3 half(0.5f, 0.5f, 0.5f);
    const PimVector3 p1 = points[0] + half;
    const bool two = points.size() >= 2;
    const PimVector3 p2 = two ? points[1] + half : p1;
    switch (static_cast<ToolId>(tool))
    {
    case ToolId::LineTool:
        return {cursor, p1};
    case ToolId::MagicTriangle:
        return two ? std::vector<PimVector3>{p2, cursor, p1} : std::vector<PimVector3>{cursor, p1};
    case ToolId::MagicQuad:
        return two ? std::vector<PimVector3>{p2, cursor, cursor - p2 + p1, p1, p2} : std::vector<PimVector3>{p1, cursor};
    case ToolId::MagicCircle:
    case ToolId::MagicRing:
    case ToolId::FillPlain:
    {
        std::vector<PimVector3> strip{p1, cursor};
        if (two)
        {
            const std::vector<PimVector3> circle = CircleSamples::Around(p1, cursor - p1, points[1] - points[0]);
            strip.insert(strip.end(), circle.begin(), circle.end());
        }
        return strip;
    }
    default:
        return {};
    }
}

void ShapePreview::Rebuild(std::uint32_t tool, const std::vector<PimVector3>& points, const PimVector3& cursor)
{
    line.SetPoints(StripPoints(tool, points, cursor));
}
