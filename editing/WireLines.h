#pragma once

#include "engine/PimColor.h"
#include "engine/PimGLBuffer.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"

#include <cstdint>
#include <vector>

// Line segments built once in their own frame and placed by a model matrix each frame: the
// editor's cursor cube, axis cross, lag line and wire box. Segments of one colour that follow
// each other are drawn in one call. The segments are uploaded once; moving them only changes
// the matrix. Main thread only for Draw.
class WireLines
{
public:
    void AddSegment(const PimVector3& from, const PimVector3& to, PimColor colour);
    // The twelve edges of the box from `low` to `high`, in one colour or in the axis colours
    // (edges along x red, y green, z blue).
    void AddBox(const PimVector3& low, const PimVector3& high, PimColor colour);
    void AddAxisBox(const PimVector3& low, const PimVector3& high);

    void SetModel(const PimMatrix4x4& matrix) { model = matrix; }
    // Recolours the segments added in one colour run (runs counted from 0 in the order added);
    // no upload follows, the colour is given at each draw.
    void SetRunColour(std::size_t run, PimColor colour)
    {
        if (run < groups.size())
            groups[run].colour = colour;
    }
    const PimMatrix4x4& GetModel() const { return model; }
    std::size_t GetSegmentCount() const { return points.size() / 2; }
    // Colour of segment i (for tests).
    PimColor GetSegmentColour(std::size_t segment) const;
    const std::vector<PimVector3>& GetPoints() const { return points; }

    // Through the draw context's view-projection x model; nothing without GL.
    void Draw();

private:
    struct Group
    {
        int first = 0;
        int count = 0;
        PimColor colour;
    };
    std::vector<PimVector3> points;
    std::vector<Group> groups;
    PimMatrix4x4 model;
    PimGLBuffer buffer{PimGLBuffer::Kind::Vertices};
    bool stale = true;
};

namespace WireColours
{
inline constexpr PimColor Red{255, 0, 0, 255};
inline constexpr PimColor Green{0, 255, 0, 255};
inline constexpr PimColor Blue{0, 0, 255, 255};
}
