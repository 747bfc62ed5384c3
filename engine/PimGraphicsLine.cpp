#include "engine/PimGraphicsLine.h"

#include "engine/PimDrawContext.h"
#include "engine/PimDrawResources.h"
#include "engine/PimSystem.h"

#include <GL/glew.h>

static_assert(sizeof(PimVector3) == 3 * sizeof(float), "points are uploaded as packed floats");

void PimGraphicsLine::SetPoints(std::vector<PimVector3> newPoints)
{
    points = std::move(newPoints);
    bufferStale = true;
}

void PimGraphicsLine::AddPoint(const PimVector3& point)
{
    points.push_back(point);
    bufferStale = true;
}

void PimGraphicsLine::ClearPoints()
{
    points.clear();
    bufferStale = true;
}

void PimGraphicsLine::Draw()
{
    if (points.size() < 2 || !PimSystem::HasGL())
        return;
    if (bufferStale || !buffer.HasData())
    {
        if (!buffer.Upload(points.data(), points.size() * sizeof(PimVector3)))
            return;
        bufferStale = false;
    }
    buffer.Bind();
    PimDrawResources::DrawFlatVertices(PimDrawContext::GetViewProjection(), color,
                                       closed ? GL_LINE_LOOP : GL_LINE_STRIP, 0, static_cast<int>(points.size()));
}
