#pragma once

#include "engine/PimColor.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// Small helpers the picture families share: an RGBA float canvas drawn with signed-distance
// shapes and anti-aliased edges, turned into bytes at the end.
struct Canvas
{
    int width;
    int height;
    std::vector<float> rgba;

    Canvas(int w, int h) : width(w), height(h), rgba(static_cast<std::size_t>(w) * h * 4, 0.0f) {}

    // Lays a colour over pixel (x, y) with the given coverage (0 to 1).
    void Blend(int x, int y, float r, float g, float b, float coverage)
    {
        if (x < 0 || y < 0 || x >= width || y >= height || coverage <= 0.0f)
            return;
        float* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
        const float a = std::clamp(coverage, 0.0f, 1.0f);
        const float outA = a + p[3] * (1.0f - a);
        if (outA <= 0.0f)
            return;
        p[0] = (r * a + p[0] * p[3] * (1.0f - a)) / outA;
        p[1] = (g * a + p[1] * p[3] * (1.0f - a)) / outA;
        p[2] = (b * a + p[2] * p[3] * (1.0f - a)) / outA;
        p[3] = outA;
    }

    // Fills where distance(x, y) < 0, with a one-pixel soft edge; distance in pixels.
    template <typename Distance>
    void Fill(Distance distance, float r, float g, float b, float alpha = 1.0f)
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
            {
                const float d = distance(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
                Blend(x, y, r, g, b, std::clamp(0.5f - d, 0.0f, 1.0f) * alpha);
            }
    }

    std::vector<std::uint8_t> Bytes() const
    {
        std::vector<std::uint8_t> bytes(rgba.size());
        for (std::size_t i = 0; i < rgba.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(std::lround(std::clamp(rgba[i], 0.0f, 1.0f) * 255.0f));
        return bytes;
    }
};

namespace Shape
{
inline float Circle(float x, float y, float cx, float cy, float radius)
{
    return std::hypot(x - cx, y - cy) - radius;
}
// A rectangle with rounded corners, centred at (cx, cy) with half sizes hx, hy.
inline float Box(float x, float y, float cx, float cy, float hx, float hy, float round = 0.0f)
{
    const float qx = std::fabs(x - cx) - hx + round;
    const float qy = std::fabs(y - cy) - hy + round;
    return std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - round;
}
// A line from (ax, ay) to (bx, by) with round ends, radius r.
inline float Capsule(float x, float y, float ax, float ay, float bx, float by, float r)
{
    const float ex = bx - ax, ey = by - ay, wx = x - ax, wy = y - ay;
    const float length2 = ex * ex + ey * ey;
    const float t = length2 > 0.0f ? std::clamp((wx * ex + wy * ey) / length2, 0.0f, 1.0f) : 0.0f;
    return std::hypot(wx - ex * t, wy - ey * t) - r;
}
// An ellipse with half axes rx, ry (approximate distance, exact on the axes).
inline float Ellipse(float x, float y, float cx, float cy, float rx, float ry)
{
    const float k = std::hypot((x - cx) / rx, (y - cy) / ry);
    return (k - 1.0f) * std::min(rx, ry);
}
// The same line, as the tool icons name it.
inline float Segment(float x, float y, float ax, float ay, float bx, float by, float halfWidth)
{
    return Capsule(x, y, ax, ay, bx, by, halfWidth);
}
// A convex polygon given by its corners as x, y pairs, in either winding: the largest signed
// distance to its edges' lines (exact along the edges, a little short at the corners).
template <std::size_t N>
inline float ConvexPolygon(float x, float y, const float (&p)[N])
{
    constexpr std::size_t corners = N / 2;
    float area = 0.0f;
    for (std::size_t i = 0; i < corners; ++i)
    {
        const std::size_t j = (i + 1) % corners;
        area += p[i * 2] * p[j * 2 + 1] - p[j * 2] * p[i * 2 + 1];
    }
    const float winding = area > 0.0f ? 1.0f : -1.0f;
    float d = -1e9f;
    for (std::size_t i = 0; i < corners; ++i)
    {
        const std::size_t j = (i + 1) % corners;
        const float ex = p[j * 2] - p[i * 2], ey = p[j * 2 + 1] - p[i * 2 + 1];
        const float length = std::hypot(ex, ey);
        if (length <= 0.0f)
            continue;
        // Outward normal of the edge for the polygon's winding.
        const float nx = ey / length * winding, ny = -ex / length * winding;
        d = std::max(d, (x - p[i * 2]) * nx + (y - p[i * 2 + 1]) * ny);
    }
    return d;
}
// A triangle given by its corners (in either winding).
inline float Triangle(float x, float y, const float (&p)[6])
{
    float d = 1e9f;
    float sign = 1.0f;
    int inside = 0;
    for (int i = 0; i < 3; ++i)
    {
        const float ax = p[i * 2], ay = p[i * 2 + 1];
        const float bx = p[((i + 1) % 3) * 2], by = p[((i + 1) % 3) * 2 + 1];
        const float ex = bx - ax, ey = by - ay, wx = x - ax, wy = y - ay;
        const float t = std::clamp((wx * ex + wy * ey) / (ex * ex + ey * ey), 0.0f, 1.0f);
        d = std::min(d, std::hypot(wx - ex * t, wy - ey * t));
        inside += (ex * wy - ey * wx) > 0.0f ? 1 : -1;
    }
    if (inside == 3 || inside == -3)
        sign = -1.0f;
    return d * sign;
}
}
