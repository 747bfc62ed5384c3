#include "app/BoxMesh.h"

#include <array>

namespace
{
struct Face
{
    PimVector3 normal;
    // Corners as (x, y, z) picks: 0 the minimum, 1 the maximum, in counter-clockwise order seen
    // from outside.
    std::array<std::array<int, 3>, 4> corners;
};

constexpr std::array<Face, 6> kFaces = {{
    {{0, 0, 1}, {{{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}}}},
    {{0, 0, -1}, {{{1, 0, 0}, {0, 0, 0}, {0, 1, 0}, {1, 1, 0}}}},
    {{-1, 0, 0}, {{{0, 0, 0}, {0, 0, 1}, {0, 1, 1}, {0, 1, 0}}}},
    {{1, 0, 0}, {{{1, 0, 1}, {1, 0, 0}, {1, 1, 0}, {1, 1, 1}}}},
    {{0, 1, 0}, {{{0, 1, 1}, {1, 1, 1}, {1, 1, 0}, {0, 1, 0}}}},
    {{0, -1, 0}, {{{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}}},
}};
}  // namespace

void AppendBox(const PimVector3& minCorner, const PimVector3& maxCorner, PimColor color,
               std::vector<PimMeshVertex>& vertices, std::vector<std::uint32_t>& indices)
{
    for (const Face& face : kFaces)
    {
        const auto first = static_cast<std::uint32_t>(vertices.size());
        for (const auto& pick : face.corners)
        {
            PimMeshVertex vertex;
            vertex.position = {pick[0] ? maxCorner.x : minCorner.x, pick[1] ? maxCorner.y : minCorner.y,
                               pick[2] ? maxCorner.z : minCorner.z};
            vertex.normal = face.normal;
            vertex.color = color;
            vertices.push_back(vertex);
        }
        for (std::uint32_t corner : {0u, 1u, 2u, 0u, 2u, 3u})
            indices.push_back(first + corner);
    }
}
