#include "world/VoxelCube.h"

#include "engine/PimVoxelGrid.h"
#include "engine/VoxelCodeTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

namespace
{
constexpr std::uint16_t kTestCode = 4000;

// The face normal of the cube's triangle starting at index i, from its winding.
PimVector3 WoundNormal(const VoxelCubeMesh& mesh, int i)
{
    const PimVector3& a = mesh.vertices[mesh.indices[i]].position;
    const PimVector3& b = mesh.vertices[mesh.indices[i + 1]].position;
    const PimVector3& c = mesh.vertices[mesh.indices[i + 2]].position;
    return (b - a).Cross(c - a);
}

VoxelData Tiles(std::int16_t posZ, std::int16_t negZ, std::int16_t negX, std::int16_t posX, std::int16_t posY,
                std::int16_t negY)
{
    VoxelData data;
    data.faceTextures = {posZ, negZ, negX, posX, posY, negY};
    return data;
}

struct Rect
{
    float u0, v0, u1, v1;
};

Rect TileRect(int tile)
{
    Rect r{};
    PimVoxelGrid::CalculateTextureCoordinates(tile, r.u0, r.v0, r.u1, r.v1);
    return r;
}
} // namespace

TEST(VoxelCubeMesh, FacesCloseAUnitCubeWoundOutwardsWithTheFaceColour)
{
    const VoxelCubeMesh mesh = VoxelCubeMesh::Make(Tiles(1, 2, 3, 4, 5, 6), PimColor(10, 20, 30, 200));
    std::set<std::tuple<float, float, float>> corners;
    for (int f = 0; f < VoxelCubeMesh::kFaces; ++f)
    {
        const PimVector3 normal = mesh.vertices[4 * f].normal;
        EXPECT_FLOAT_EQ(normal.Length(), 1.0f);
        for (int c = 0; c < 4; ++c)
        {
            const PimVoxelVertex& vertex = mesh.vertices[4 * f + c];
            EXPECT_EQ(vertex.normal, normal);
            EXPECT_FLOAT_EQ(vertex.position.Dot(normal), 0.5f) << "face " << f << " corner " << c;
            EXPECT_EQ(vertex.color, PimColor(10, 20, 30, 200));
            EXPECT_EQ(vertex.light, 1.0f);
            corners.insert({vertex.position.x, vertex.position.y, vertex.position.z});
        }
        for (int t = 0; t < 2; ++t)
        {
            const int first = 6 * f + 3 * t;
            for (int i = first; i < first + 3; ++i)
                EXPECT_EQ(mesh.indices[i] / 4, f) << "a triangle of face " << f << " uses another face's corner";
            EXPECT_GT(WoundNormal(mesh, first).Dot(normal), 0.0f) << "face " << f << " triangle " << t;
        }
    }
    EXPECT_EQ(corners.size(), 8u);
    // The faces come in the order -x, +x, -z, +z, -y, +y.
    const PimVector3 expected[] = {{-1, 0, 0}, {1, 0, 0}, {0, 0, -1}, {0, 0, 1}, {0, -1, 0}, {0, 1, 0}};
    for (int f = 0; f < VoxelCubeMesh::kFaces; ++f)
        EXPECT_EQ(mesh.vertices[4 * f].normal, expected[f]);
}

TEST(VoxelCubeMesh, EachFaceShowsItsOwnTileWithSidesUpright)
{
    // Tiles by VoxelFace order: +z 1, -z 2, -x 3, +x 4, +y 5, -y 6.
    const VoxelCubeMesh mesh = VoxelCubeMesh::Make(Tiles(1, 2, 3, 4, 5, 6), PimColor());
    const int tileOfFace[] = {3, 4, 2, 1, 6, 5}; // -x, +x, -z, +z, -y, +y
    for (int f = 0; f < VoxelCubeMesh::kFaces; ++f)
    {
        const Rect r = TileRect(tileOfFace[f]);
        float uMin = 1.0f, uMax = 0.0f, vMin = 1.0f, vMax = 0.0f;
        for (int c = 0; c < 4; ++c)
        {
            const PimVoxelVertex& vertex = mesh.vertices[4 * f + c];
            uMin = std::min(uMin, vertex.uv.x);
            uMax = std::max(uMax, vertex.uv.x);
            vMin = std::min(vMin, vertex.uv.y);
            vMax = std::max(vMax, vertex.uv.y);
            if (f < 4) // sides: the tile's top row (v0) along the cube's top edge
            {
                EXPECT_EQ(vertex.uv.y, vertex.position.y > 0.0f ? r.v0 : r.v1) << "face " << f << " corner " << c;
            }
        }
        EXPECT_EQ(uMin, r.u0);
        EXPECT_EQ(uMax, r.u1);
        EXPECT_EQ(vMin, r.v0);
        EXPECT_EQ(vMax, r.v1);
    }
    // The -x face in its corner order: (u0, v1), (u1, v1), (u0, v0), (u1, v0).
    const Rect x = TileRect(3);
    EXPECT_EQ(mesh.vertices[0].uv, PimVector2(x.u0, x.v1));
    EXPECT_EQ(mesh.vertices[1].uv, PimVector2(x.u1, x.v1));
    EXPECT_EQ(mesh.vertices[2].uv, PimVector2(x.u0, x.v0));
    EXPECT_EQ(mesh.vertices[3].uv, PimVector2(x.u1, x.v0));
    // The +y face: (u0, v0), (u1, v0), (u0, v1), (u1, v1).
    const Rect y = TileRect(5);
    EXPECT_EQ(mesh.vertices[20].uv, PimVector2(y.u0, y.v0));
    EXPECT_EQ(mesh.vertices[21].uv, PimVector2(y.u1, y.v0));
    EXPECT_EQ(mesh.vertices[22].uv, PimVector2(y.u0, y.v1));
    EXPECT_EQ(mesh.vertices[23].uv, PimVector2(y.u1, y.v1));
}

TEST(VoxelCubeMesh, NegativeFaceCodesTurnTheirFaceInwardsAndMirrorItsTile)
{
    const VoxelCubeMesh plain = VoxelCubeMesh::Make(Tiles(8, 8, 8, 8, 8, 8), PimColor());
    const VoxelCubeMesh inverted = VoxelCubeMesh::Make(Tiles(-8, -8, -8, -8, -8, -8), PimColor());
    for (int f = 0; f < VoxelCubeMesh::kFaces; ++f)
    {
        const int b = 4 * f;
        const std::uint16_t reversed[6] = {std::uint16_t(b + 3), std::uint16_t(b + 1), std::uint16_t(b + 2),
                                           std::uint16_t(b + 2), std::uint16_t(b + 1), std::uint16_t(b)};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(inverted.indices[6 * f + i], reversed[i]);
        for (int t = 0; t < 2; ++t)
            EXPECT_LT(WoundNormal(inverted, 6 * f + 3 * t).Dot(inverted.vertices[b].normal), 0.0f);
        // Same corners, the tile's columns swapped, its rows kept.
        for (int c = 0; c < 4; ++c)
        {
            EXPECT_EQ(inverted.vertices[b + c].position, plain.vertices[b + c].position);
            EXPECT_EQ(inverted.vertices[b + c].uv.y, plain.vertices[b + c].uv.y);
            EXPECT_NE(inverted.vertices[b + c].uv.x, plain.vertices[b + c].uv.x);
        }
    }

    // Only the flipped face turns: here the top (+y, the cube's last face).
    const VoxelCubeMesh topFlipped = VoxelCubeMesh::Make(Tiles(8, 8, 8, 8, -8, 8), PimColor());
    for (int f = 0; f < VoxelCubeMesh::kFaces; ++f)
    {
        const float facing = WoundNormal(topFlipped, 6 * f).Dot(topFlipped.vertices[4 * f].normal);
        EXPECT_EQ(facing < 0.0f, f == 5) << "face " << f;
    }
}

TEST(VoxelCube, BuildLooksTheCodeUpAndKeepsCodeAndColour)
{
    VoxelCodeTable table;
    ASSERT_TRUE(table.Define(kTestCode, Tiles(-9, -9, -9, -9, -9, -9)));
    VoxelCube cube;
    EXPECT_FALSE(cube.GetMesh().has_value());
    cube.Build(kTestCode, PimColor(1, 2, 3), table); // no GL here: the buffers wait for a draw
    ASSERT_TRUE(cube.GetMesh().has_value());
    EXPECT_EQ(cube.GetCode(), kTestCode);
    EXPECT_EQ(cube.GetColour(), PimColor(1, 2, 3));
    EXPECT_EQ(cube.GetMesh()->indices[0], 3);

    // The engine's own table: the helper cube is plain and faces outwards.
    cube.Build(VoxelCode::HelperCube, PimColor(77, 77, 77));
    EXPECT_EQ(cube.GetMesh()->indices[0], 0);
    EXPECT_EQ(cube.GetMesh()->vertices[0].color, PimColor(77, 77, 77));

    // Placement: rotation and scale from the transform, translation from the position.
    cube.SetTransform(PimMatrix4x4::CreateScale(2.0f));
    cube.SetPosition({1.0f, 2.0f, 3.0f});
    cube.Draw();
    EXPECT_EQ(cube.GetModelMatrix().TransformPoint({0.5f, 0.5f, 0.5f}), PimVector3(2.0f, 3.0f, 4.0f));
}
