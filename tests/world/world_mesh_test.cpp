#include "world/WorldMesh.h"

#include "engine/PimCamera.h"

#include <gtest/gtest.h>

TEST(WorldMesh, PlaneRepeatsItsPictureOncePerVoxelShiftedByHalfAVoxel)
{
    const WorldMesh mesh;
    ASSERT_TRUE(mesh.IsDirty());
    ASSERT_EQ(mesh.GetVertices().size(), 4u);
    EXPECT_EQ(mesh.GetIndexCount(), 6u);
    EXPECT_EQ(mesh.GetIndices(), (std::vector<std::uint16_t>{0, 1, 2, 2, 1, 3}));
    float lowest = 0.0f;
    float highest = 0.0f;
    for (const WorldMeshVertex& corner : mesh.GetVertices())
    {
        EXPECT_FLOAT_EQ(corner.position.y, WorldMesh::kPlaneHeight);
        EXPECT_LT(corner.position.y, 0.0f); // just under the world's floor, never fighting it
        EXPECT_FLOAT_EQ(corner.uv.x - corner.position.x, 0.5f);
        EXPECT_FLOAT_EQ(corner.uv.y - corner.position.z, 0.5f);
        EXPECT_EQ(corner.colour, PimVector3(1.0f, 1.0f, 1.0f));
        lowest = std::min({lowest, corner.position.x, corner.position.z});
        highest = std::max({highest, corner.position.x, corner.position.z});
    }
    EXPECT_EQ(lowest, -500.0f);
    EXPECT_EQ(highest, 500.0f);
}

TEST(WorldMesh, FadesOutAsTheViewerRisesToHeight64)
{
    EXPECT_FLOAT_EQ(WorldMesh::FadeAt(0.0f), 1.0f);
    EXPECT_FLOAT_EQ(WorldMesh::FadeAt(32.0f), 0.5f);
    EXPECT_FLOAT_EQ(WorldMesh::FadeAt(64.0f), 0.0f);
    EXPECT_LT(WorldMesh::FadeAt(100.0f), 0.0f);
    EXPECT_FLOAT_EQ(WorldMesh::FadeAt(-40.0f), 1.0f); // below the ground it never brightens past 1
}

TEST(WorldMesh, FollowsTheViewerInWholeVoxelsOnTheGround)
{
    WorldMesh mesh;
    PimCamera camera;
    camera.SetPosition({10.9f, 20.0f, 3.5f});
    mesh.DrawFrom(camera); // no GL: only the placement and the fade are worked out
    const PimVector3 before = mesh.GetModelMatrix().GetTranslation();
    EXPECT_EQ(before, PimVector3(10.0f, 0.0f, 3.0f));
    EXPECT_FLOAT_EQ(mesh.GetFade(), 1.0f - 20.0f / 64.0f);

    camera.SetPosition({11.2f, 20.0f, 3.5f});
    mesh.DrawFrom(camera);
    EXPECT_EQ(mesh.GetModelMatrix().GetTranslation() - before, PimVector3(1.0f, 0.0f, 0.0f));

    // Below zero the plane steps down, not towards zero, so no cell is ever skipped or doubled.
    EXPECT_EQ(WorldMesh::AnchorFor({-0.5f, 3.0f, -1.0f}), PimVector3(-1.0f, 0.0f, -1.0f));
    EXPECT_EQ(WorldMesh::AnchorFor({0.25f, -3.0f, 31.999f}), PimVector3(0.0f, 0.0f, 31.0f));
}
