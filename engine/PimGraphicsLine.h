#pragma once

#include "engine/PimColor.h"
#include "engine/PimGLBuffer.h"
#include "engine/PimRenderableObject.h"
#include "engine/PimVector3.h"

#include <vector>

// A line strip through world points in one colour: outlines, the teleport arc, hint lines. Closed,
// it also joins the last point to the first. The points are uploaded once after each change, not
// per draw. Drawn one pixel wide (the widest every GL core context offers). Main thread only.
class PimGraphicsLine : public PimRenderableObject
{
public:
    void SetPoints(std::vector<PimVector3> newPoints);
    void AddPoint(const PimVector3& point);
    void ClearPoints();
    const std::vector<PimVector3>& GetPoints() const { return points; }

    void SetColor(PimColor newColor) { color = newColor; }
    PimColor GetColor() const { return color; }
    void SetClosed(bool closedLoop) { closed = closedLoop; }
    bool IsClosed() const { return closed; }

    // Draws through the current draw context's view-projection; nothing for fewer than 2 points.
    void Draw() override;

private:
    std::vector<PimVector3> points;
    PimColor color{255, 255, 255, 255};
    bool closed = false;
    PimGLBuffer buffer{PimGLBuffer::Kind::Vertices};
    bool bufferStale = true;
};
