#include "editing/WireLines.h"

#include "engine/PimDrawContext.h"
#include "engine/PimDrawResources.h"
#include "engine/PimSystem.h"

#include <GL/glew.h>

void WireLines::AddSegment(const PimVector3& from, const PimVector3& to, PimColor colour)
{
    const int first = static_cast<int>(points.size());
    points.push_back(from);
    points.push_back(to);
    if (!groups.empty() && groups.back().colour == colour && groups.back().first + groups.back().count == first)
        groups.back().count += 2;
    else
        groups.push_back({first, 2, colour});
    stale = true;
}

void WireLines::AddBox(const PimVector3& l, const PimVector3& h, PimColor colour)
{
    for (float a : {l.y, h.y})
        for (float b : {l.z, h.z})
            AddSegment({l.x, a, b}, {h.x, a, b}, colour);
    for (float a : {l.x, h.x})
        for (float b : {l.z, h.z})
            AddSegment({a, l.y, b}, {a, h.y, b}, colour);
    for (float a : {l.x, h.x})
        for (float b : {l.y, h.y})
            AddSegment({a, b, l.z}, {a, b, h.z}, colour);
}

void WireLines::AddAxisBox(const PimVector3& l, const PimVector3& h)
{
    for (float a : {l.y, h.y})
        for (float b : {l.z, h.z})
            AddSegment({l.x, a, b}, {h.x, a, b}, WireColours::Red);
    for (float a : {l.x, h.x})
        for (float b : {l.z, h.z})
            AddSegment({a, l.y, b}, {a, h.y, b}, WireColours::Green);
    for (float a : {l.x, h.x})
        for (float b : {l.y, h.y})
            AddSegment({a, b, l.z}, {a, b, h.z}, WireColours::Blue);
}

PimColor WireLines::GetSegmentColour(std::size_t segment) const
{
    const int point = static_cast<int>(segment * 2);
    for (const Group& group : groups)
        if (point >= group.first && point < group.first + group.count)
            return group.colour;
    return {};
}

void WireLines::Draw()
{
    if (points.empty() || !PimSystem::HasGL())
        return;
    if (stale || !buffer.HasData())
    {
        if (!buffer.Upload(points.data(), points.size() * sizeof(PimVector3)))
            return;
        stale = false;
    }
    const PimMatrix4x4 mvp = PimDrawContext::GetViewProjection() * model;
    for (const Group& group : groups)
    {
        buffer.Bind();
        PimDrawResources::DrawFlatVertices(mvp, group.colour, GL_LINES, group.first, group.count);
    }
}
