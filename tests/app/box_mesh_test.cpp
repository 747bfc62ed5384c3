#include "app/BoxMesh.h"

#include <gtest/gtest.h>

// Every triangle of a box faces outwards (counter-clockwise seen from outside, as back-face
// culling expects) and lies on the face its vertices' normal names.
TEST(BoxMesh, TrianglesFaceOutwardsAndCoverEveryFace)
{
    std::vector<PimMeshVertex> vertices(3);  // earlier geometry: indices must be offset past it
    std::vector<std::uint32_t> indices;
    const PimVector3 low{-1.0f, 0.0f, 2.0f};
    const PimVector3 high{3.0f, 0.5f, 2.25f};
    AppendBox(low, high, {10, 20, 30, 255}, vertices, indices);

    ASSERT_EQ(vertices.size(), 3u + 24u);
    ASSERT_EQ(indices.size(), 36u);
    const PimVector3 centre = (low + high) * 0.5f;
    int facesSeen[3][2] = {};
    for (std::size_t t = 0; t < indices.size(); t += 3)
    {
        ASSERT_GE(indices[t], 3u);
        const PimMeshVertex& a = vertices[indices[t]];
        const PimMeshVertex& b = vertices[indices[t + 1]];
        const PimMeshVertex& c = vertices[indices[t + 2]];
        const PimVector3 winding = (b.position - a.position).Cross(c.position - a.position);
        EXPECT_GT(winding.Dot(a.normal), 0.0f) << "triangle " << t / 3 << " is wound inwards";
        EXPECT_GT((a.position - centre).Dot(a.normal), 0.0f) << "normal of triangle " << t / 3 << " points inwards";
        EXPECT_EQ(a.normal, b.normal);
        EXPECT_EQ(a.normal, c.normal);
        EXPECT_EQ(a.color, (PimColor{10, 20, 30, 255}));
        for (int axis = 0; axis < 3; ++axis)
            if (a.normal[axis] != 0.0f)
                ++facesSeen[axis][a.normal[axis] > 0.0f ? 1 : 0];
    }
    for (const auto& axis : facesSeen)
    {
        EXPECT_EQ(axis[0], 2);
        EXPECT_EQ(axis[1], 2);
    }
}
