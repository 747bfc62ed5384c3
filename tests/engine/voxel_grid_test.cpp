#include "engine/PimAssert.h"
#include "engine/PimVoxelGrid.h"
#include "voxel_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
// Builds and hands over until the chunk is finished; returns the last mesh handed over.
VoxelMesh BuildToFinished(PimVoxelGrid& chunk)
{
    VoxelMesh last;
    for (int round = 0; round < 4 && chunk.GetGridStatus() != PimVoxelGrid::kStatusFinished; ++round)
    {
        if (chunk.GetGridStatus() == PimVoxelGrid::kStatusToBuild)
            chunk.BuildGrid();
        chunk.TakeBuiltMesh(last);
    }
    return last;
}

void FillUniform(PimVoxelGrid& chunk, std::uint16_t code)
{
    chunk.LockVoxelMutex();
    std::uint16_t* codes = chunk.SetVoxels();
    std::fill(codes, codes + PimVoxelGrid::kVoxelCount, code);
    chunk.UnLockVoxelMutex();
}

FaceSet FacesOf(const VoxelMesh& mesh)
{
    std::string problems;
    FaceSet faces = MeshFaces(mesh, problems);
    EXPECT_EQ(problems, "");
    return faces;
}
} // namespace

TEST(PimVoxelGrid, IndexOrderIsXThenZThenY)
{
    EXPECT_EQ(PimVoxelGrid::GetIndex(0, 0, 0), 0);
    EXPECT_EQ(PimVoxelGrid::GetIndex(1, 0, 0), 1);
    EXPECT_EQ(PimVoxelGrid::GetIndex(0, 0, 1), 32);
    EXPECT_EQ(PimVoxelGrid::GetIndex(0, 1, 0), 1024);
    EXPECT_EQ(PimVoxelGrid::GetIndex(31, 31, 31), 32767);
    EXPECT_EQ(PimVoxelGrid::GetIndex(32, 33, 64), PimVoxelGrid::GetIndex(0, 1, 0)) << "only 5 bits per axis";

    PimVoxelGrid chunk;
    chunk.LockVoxelMutex();
    chunk.SetVoxels()[PimVoxelGrid::GetIndex(3, 20, 9)] = 77;
    chunk.UnLockVoxelMutex();
    EXPECT_EQ(chunk.GetVoxel(3, 20, 9), 77);
    EXPECT_EQ(chunk.GetVoxel(PimVector3(3.9f, 20.5f, 9.0f)), 77);
    EXPECT_FALSE(chunk.IsEditedSinceSave()) << "bulk data is not an edit";
}

TEST(PimVoxelGrid, SetVoxelReturnsThePreviousCodeAndMarksTheEdit)
{
    PimVoxelGrid chunk;
    EXPECT_EQ(chunk.SetVoxel(0xFF05, PimVector3(1.5f, 2.5f, 3.5f), false, false), 0);
    EXPECT_TRUE(chunk.IsEditedSinceSave());
    chunk.SetEditedSinceSave(false);
    EXPECT_EQ(chunk.SetVoxel(VoxelCode::Rock, 1, 2, 3, false, false), 0xFF05);
    EXPECT_EQ(chunk.GetVoxel(1, 2, 3), VoxelCode::Rock);
    chunk.SetEditedSinceSave(false);
    EXPECT_EQ(chunk.SetVoxel(VoxelCode::Rock, 1, 2, 3, false, false), VoxelCode::Rock);
    EXPECT_FALSE(chunk.IsEditedSinceSave()) << "writing the same code changes nothing";
}

TEST(PimVoxelGrid, OutOfRangeReadsGiveZeroAndWritesChangeNothing)
{
    PimVoxelGrid chunk;
    FillUniform(chunk, 9);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const PimVector3 outside[] = {{-0.5f, 0, 0}, {32.0f, 0, 0}, {0, 32.0f, 0}, {0, 0, -1e9f}, {nan, 1, 1}, {0, 1e30f, 0}};
    for (const PimVector3& p : outside)
    {
        EXPECT_EQ(chunk.GetVoxel(p), 0);
        EXPECT_EQ(chunk.SetVoxel(5, p, true, true), 0);
        EXPECT_EQ(chunk.GetCollision(0, p), VoxelCollision::None);
    }
    EXPECT_EQ(chunk.GetVoxel(-1, 0, 0), 0);
    EXPECT_EQ(chunk.SetVoxel(5, 0, 0, 32, false, false), 0);
    EXPECT_FALSE(chunk.IsEditedSinceSave());
    EXPECT_EQ(chunk.GetVoxelBytes(), 0u) << "still uniform";
    EXPECT_EQ(chunk.GetVoxel(PimVector3(31.99f, 0, 0)), 9);
}

TEST(PimVoxelGrid, UniformStorageSwitchesToFullOnTheFirstDifferingWrite)
{
    PimVoxelGrid chunk;
    EXPECT_EQ(chunk.GetVoxelBytes(), 0u);
    FillUniform(chunk, VoxelCode::Rock);
    EXPECT_EQ(chunk.GetVoxelBytes(), 0u) << "bulk data that is all one code is compacted";
    EXPECT_EQ(chunk.GetVoxel(31, 31, 31), VoxelCode::Rock);

    chunk.SetVoxel(VoxelCode::Rock, 4, 4, 4, false, false);
    EXPECT_EQ(chunk.GetVoxelBytes(), 0u) << "same value: no array";
    chunk.SetVoxel(0, 4, 4, 4, false, false);
    EXPECT_EQ(chunk.GetVoxelBytes(), 65536u);
    EXPECT_EQ(chunk.GetVoxel(4, 4, 4), 0);
    EXPECT_EQ(chunk.GetVoxel(4, 4, 5), VoxelCode::Rock);

    // A uniform chunk is handed out in full under the lock and compacted again when released.
    PimVoxelGrid uniform;
    FillUniform(uniform, VoxelCode::Sand);
    uniform.LockVoxelMutex();
    const std::uint16_t* codes = uniform.GetVoxels();
    EXPECT_EQ(codes[PimVoxelGrid::GetIndex(31, 0, 5)], VoxelCode::Sand);
    uniform.UnLockVoxelMutex();
    EXPECT_EQ(uniform.GetVoxelBytes(), 0u);
}

TEST(PimVoxelGrid, EditedBackToUniformReleasesTheArrayAfterBuildAndUpdate)
{
    PimVoxelGrid chunk;
    chunk.SetVoxel(0xFF01, 10, 10, 10, false, false);
    chunk.SetVoxel(0, 10, 10, 10, false, false);
    EXPECT_EQ(chunk.GetVoxelBytes(), 65536u);
    chunk.BuildGrid();
    chunk.SetVoxel(0xFF01, 1, 1, 1, false, false);
    chunk.Update();
    EXPECT_EQ(chunk.GetVoxelBytes(), 65536u) << "a write after the build keeps the array";
    chunk.SetVoxel(0, 1, 1, 1, false, false);
    chunk.BuildGrid();
    chunk.Update();
    EXPECT_EQ(chunk.GetVoxelBytes(), 0u);
    EXPECT_EQ(chunk.GetVoxel(1, 1, 1), 0);
}

TEST(PimVoxelGrid, FillingWithOneValueDropsTheArrayAndCountsAsData)
{
    PimVoxelGrid chunk;
    chunk.SetVoxel(0xFF01, 10, 10, 10, false, false);
    chunk.SetEditedSinceSave(false);
    chunk.SetGridStatus(PimVoxelGrid::kStatusToBuild);
    BuildToFinished(chunk);
    ASSERT_EQ(chunk.GetVoxelBytes(), 65536u);

    chunk.LockVoxelMutex();
    chunk.FillVoxels(VoxelCode::Rock);
    chunk.UnLockVoxelMutex();
    std::uint16_t value = 0;
    EXPECT_TRUE(chunk.IsUniform(value));
    EXPECT_EQ(value, VoxelCode::Rock);
    EXPECT_EQ(chunk.GetVoxelBytes(), 0u);
    EXPECT_EQ(chunk.GetVoxel(10, 10, 10), VoxelCode::Rock);
    EXPECT_FALSE(chunk.IsEditedSinceSave()) << "bulk data is not an edit";
    chunk.Regenerate(false);
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusToBuild) << "the mesh is out of date";
}

TEST(PimVoxelGrid, DeInitialisedChunkHoldsNoMemoryAndIsCleared)
{
    PimVoxelGrid chunk;
    PimVoxelGrid neighbour;
    chunk.SetGridSide(VoxelFacePosX, &neighbour);
    chunk.SetVoxel(0xFF01, 3, 3, 3, false, false);
    chunk.SetGridStatus(PimVoxelGrid::kStatusToBuild);
    chunk.SetBuildChannel(4);
    chunk.BuildGrid();
    chunk.GetCollision(2, PimVector3(3, 3, 3));
    EXPECT_GT(chunk.GetVoxelBytes(), 65536u) << "array and coarse collision cache";
    EXPECT_GT(chunk.GetMeshBytes(), 0u);

    chunk.DeInitialize();
    EXPECT_EQ(chunk.GetVoxelBytes(), 0u);
    EXPECT_EQ(chunk.GetMeshBytes(), 0u);
    EXPECT_EQ(chunk.GetVoxel(3, 3, 3), 0);
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusNeedsData);
    EXPECT_EQ(chunk.GetBuildChannel(), PimVoxelGrid::kNoBuildChannel);
    EXPECT_FALSE(chunk.IsEditedSinceSave());
    EXPECT_EQ(chunk.GetGridSide(VoxelFacePosX), nullptr);
    EXPECT_EQ(neighbour.GetGridSide(VoxelFaceNegX), nullptr) << "unlinked both ways";
}

TEST(PimVoxelGrid, StatusFollowsBuildsUploadsAndRegeneration)
{
    PimVoxelGrid chunk;
    VoxelMesh mesh;
    chunk.Regenerate(false);
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusNeedsData) << "no data yet";

    chunk.SetGridStatus(PimVoxelGrid::kStatusToBuild);
    chunk.BuildGrid();
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusFinished) << "empty, nothing to replace";
    EXPECT_FALSE(chunk.TakeBuiltMesh(mesh));

    chunk.Regenerate(true);
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusToBuild);
    chunk.BuildGrid();
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusBuilt) << "forced: handed over even when empty";
    EXPECT_TRUE(chunk.TakeBuiltMesh(mesh));
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusFinished);

    // A single placement asks for its own rebuild.
    chunk.SetVoxel(VoxelCode::Rock, 5, 5, 5, true, false);
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusToBuild);
    chunk.BuildGrid();
    ASSERT_TRUE(chunk.TakeBuiltMesh(mesh));
    EXPECT_EQ(mesh.QuadCount(), 6u);
    EXPECT_EQ(chunk.GetMeshBytes(), 0u) << "the mesh moved out";

    // Batched writes wait for Regenerate; an up-to-date chunk ignores it.
    chunk.Regenerate(false);
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusFinished);
    chunk.SetVoxel(0, 5, 5, 5, false, false);
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusFinished);
    chunk.Regenerate(false);
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusToBuild);
    chunk.BuildGrid();
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusBuilt) << "the old faces must be replaced";
    ASSERT_TRUE(chunk.TakeBuiltMesh(mesh));
    EXPECT_TRUE(mesh.IsEmpty());

    // A change after the build began is not lost: the upload sends the chunk back to be built.
    chunk.SetVoxel(0xFF03, 6, 6, 6, false, false);
    chunk.Regenerate(false);
    chunk.BuildGrid();
    chunk.SetVoxel(0xFF04, 7, 6, 6, false, false);
    chunk.Regenerate(false);
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusBuilt);
    ASSERT_TRUE(chunk.TakeBuiltMesh(mesh));
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusToBuild);
    EXPECT_EQ(BuildToFinished(chunk).QuadCount(), 10u);
}

TEST(PimVoxelGrid, EmptyChunksAreHandedOverWhenInitialisedOrForced)
{
    PimVoxelGrid block;
    block.Initialize();
    block.SetGridStatus(PimVoxelGrid::kStatusToBuild);
    block.BuildGrid();
    EXPECT_EQ(block.GetGridStatus(), PimVoxelGrid::kStatusBuilt);

    // An empty world chunk: forced while it still waits for data, then given its (empty) data.
    PimVoxelGrid chunk;
    chunk.LockVoxelMutex();
    chunk.UnLockVoxelMutex();
    chunk.Regenerate(true);
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusNeedsData);
    chunk.SetGridStatus(PimVoxelGrid::kStatusToBuild);
    chunk.BuildGrid();
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusBuilt);
    VoxelMesh mesh;
    EXPECT_TRUE(chunk.TakeBuiltMesh(mesh));
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusFinished);
}

TEST(PimVoxelGrid, NeighbourLinksAreSymmetric)
{
    PimVoxelGrid a, b, c;
    a.SetGridSide(VoxelFacePosY, &b);
    EXPECT_EQ(b.GetGridSide(VoxelFaceNegY), &a);
    a.SetGridSide(VoxelFacePosY, &c);
    EXPECT_EQ(b.GetGridSide(VoxelFaceNegY), nullptr) << "the replaced neighbour lets go";
    EXPECT_EQ(c.GetGridSide(VoxelFaceNegY), &a);
    b.SetGridSide(VoxelFaceNegY, &a);
    EXPECT_EQ(c.GetGridSide(VoxelFaceNegY), nullptr) << "a's previous upper neighbour lets go";
    EXPECT_EQ(a.GetGridSide(VoxelFacePosY), &b);

    EXPECT_FALSE(a.IsSurrounded());
    PimVoxelGrid around[6];
    for (std::uint8_t side = 0; side < kVoxelFaceCount; ++side)
        c.SetGridSide(side, &around[side]);
    EXPECT_TRUE(c.IsSurrounded());
    for (std::uint8_t side = 0; side < kVoxelFaceCount; ++side)
        EXPECT_EQ(around[side].GetGridSide(PimVoxelGrid::opposingFace[side]), &c);

    const unsigned long failures = PimAssert::GetFailureCount();
    c.SetGridSide(6, &a);
    c.SetGridSide(0, &c);
    EXPECT_EQ(PimAssert::GetFailureCount(), failures + 2);
    EXPECT_TRUE(c.IsSurrounded());

    {
        PimVoxelGrid temporary;
        temporary.SetGridSide(VoxelFaceNegX, &a);
    }
    EXPECT_EQ(a.GetGridSide(VoxelFacePosX), nullptr) << "a destroyed chunk leaves no dangling link";
}

TEST(PimVoxelGrid, DirectionTablesAgree)
{
    for (int side = 0; side < kVoxelFaceCount; ++side)
    {
        const PimVector3 d = PimVoxelGrid::directionModifier[side];
        const PimVector3 back = PimVoxelGrid::directionModifier[PimVoxelGrid::opposingFace[side]];
        EXPECT_EQ(d + back, PimVector3());
        EXPECT_EQ(d.x, static_cast<float>(kVoxelFaceSteps[side].x));
        EXPECT_EQ(d.y, static_cast<float>(kVoxelFaceSteps[side].y));
        EXPECT_EQ(d.z, static_cast<float>(kVoxelFaceSteps[side].z));
    }
}

TEST(PimVoxelGrid, FacesAreCulledAcrossALinkedNeighbourAndShownOnAnOpenBorder)
{
    PimVoxelGrid a, b;
    a.SetVoxel(0xFF01, 31, 5, 5, false, false);
    b.SetVoxel(0xFF02, 0, 5, 5, false, false);

    a.BuildGrid();
    VoxelMesh mesh;
    ASSERT_TRUE(a.TakeBuiltMesh(mesh));
    EXPECT_TRUE(FacesOf(mesh).count({31, 5, 5, VoxelFacePosX})) << "unlinked border shows the face";

    a.SetGridSide(VoxelFacePosX, &b);
    a.Regenerate(false);
    EXPECT_EQ(a.GetGridStatus(), PimVoxelGrid::kStatusToBuild) << "a new link makes the mesh out of date";
    mesh = BuildToFinished(a);
    FaceSet faces = FacesOf(mesh);
    EXPECT_FALSE(faces.count({31, 5, 5, VoxelFacePosX}));
    EXPECT_EQ(faces.size(), 5u);
    EXPECT_EQ(FaceDifference(ExpectedFaces(ReaderOf(a), VoxelCodeTable::GetInstance()), faces), "");

    // Removing b's voxel makes a's face visible again: a learns it through the link.
    b.SetVoxel(0, 0, 5, 5, false, false);
    a.Regenerate(false);
    EXPECT_EQ(a.GetGridStatus(), PimVoxelGrid::kStatusToBuild);
    EXPECT_TRUE(FacesOf(BuildToFinished(a)).count({31, 5, 5, VoxelFacePosX}));

    // A single placement on b's border rebuilds a at once; a recolour does not disturb a.
    b.SetVoxel(0xFF02, 0, 5, 5, true, false);
    EXPECT_EQ(a.GetGridStatus(), PimVoxelGrid::kStatusToBuild);
    EXPECT_FALSE(FacesOf(BuildToFinished(a)).count({31, 5, 5, VoxelFacePosX}));
    b.SetVoxel(0xFF07, 0, 5, 5, false, false);
    a.Regenerate(false);
    EXPECT_EQ(a.GetGridStatus(), PimVoxelGrid::kStatusFinished);
}

TEST(PimVoxelGrid, BuiltMeshMatchesThePerVoxelFacesWithNeighbours)
{
    PimVoxelGrid chunk;
    PimVoxelGrid around[6];
    for (std::uint8_t side = 0; side < kVoxelFaceCount; ++side)
        chunk.SetGridSide(side, &around[side]);
    FillUniform(around[VoxelFaceNegY], VoxelCode::Rock);
    FillUniform(around[VoxelFacePosX], VoxelCode::Water);
    unsigned state = 7;
    auto next = [&state] { return state = state * 1103515245u + 12345u; };
    for (int i = 0; i < 4000; ++i)
    {
        const std::uint16_t codes[] = {VoxelCode::Turf, VoxelCode::Water, 0xFF11, VoxelCode::Guide};
        chunk.SetVoxel(codes[(next() >> 8) % 4], (next() >> 8) % 32, (next() >> 8) % 32, (next() >> 8) % 32, false, false);
    }
    for (int i = 0; i < 200; ++i)
        around[VoxelFacePosZ].SetVoxel(0xFF12, (next() >> 8) % 32, (next() >> 8) % 32, 0, false, false);
    chunk.SetGridStatus(PimVoxelGrid::kStatusToBuild);
    const FaceSet faces = FacesOf(BuildToFinished(chunk));
    EXPECT_EQ(FaceDifference(ExpectedFaces(ReaderOf(chunk), VoxelCodeTable::GetInstance()), faces), "");
}

TEST(PimVoxelGrid, CollisionClassesAndCoarseLevels)
{
    PimVoxelGrid chunk;
    EXPECT_EQ(chunk.GetCollision(0, PimVector3(1, 1, 1)), VoxelCollision::None);
    chunk.SetVoxel(VoxelCode::Water, 0, 0, 0, false, false);
    chunk.SetVoxel(VoxelCode::Rock, 5, 6, 7, false, false);
    chunk.SetVoxel(VoxelCode::Guide, 20, 20, 20, false, false);
    EXPECT_EQ(chunk.GetCollision(0, PimVector3(0.5f, 0.5f, 0.5f)), VoxelCollision::Liquid);
    EXPECT_EQ(chunk.GetCollision(0, PimVector3(5.2f, 6.9f, 7.0f)), VoxelCollision::Solid);
    EXPECT_EQ(chunk.GetCollision(0, PimVector3(4.9f, 6.9f, 7.0f)), VoxelCollision::None);
    EXPECT_EQ(chunk.GetCollision(0, PimVector3(20, 20, 20)), VoxelCollision::Helper);

    // Level 1: the 2-cube (4..5, 6..7, 6..7) holds the rock.
    EXPECT_EQ(chunk.GetCollision(1, PimVector3(4, 7, 6)), VoxelCollision::Solid);
    EXPECT_EQ(chunk.GetCollision(1, PimVector3(3, 7, 6)), VoxelCollision::None);
    EXPECT_EQ(chunk.GetCollision(1, PimVector3(1, 1, 1)), VoxelCollision::Liquid);
    EXPECT_EQ(chunk.GetCollision(3, PimVector3(0, 0, 0)), VoxelCollision::Solid) << "the 8-cube holds rock";
    EXPECT_EQ(chunk.GetCollision(4, PimVector3(31, 31, 31)), VoxelCollision::Helper);
    EXPECT_EQ(chunk.GetCollision(5, PimVector3(31, 31, 31)), VoxelCollision::Solid);
    EXPECT_EQ(chunk.GetCollision(40, PimVector3(31, 31, 31)), VoxelCollision::Solid) << "beyond 5 counts as 5";

    // Writes after the coarse levels were built are seen.
    chunk.SetVoxel(VoxelCode::Rock, 30, 30, 30, false, false);
    EXPECT_EQ(chunk.GetCollision(1, PimVector3(31, 31, 31)), VoxelCollision::Solid);
    chunk.SetVoxel(0, 5, 6, 7, false, false);
    EXPECT_EQ(chunk.GetCollision(3, PimVector3(0, 0, 0)), VoxelCollision::Liquid);
    chunk.SetVoxel(VoxelCode::Rock, 1, 1, 1, false, true);
    EXPECT_EQ(chunk.GetCollision(2, PimVector3(3, 3, 3)), VoxelCollision::Solid);

    PimVoxelGrid solid;
    FillUniform(solid, 0xFF00);
    EXPECT_EQ(solid.GetCollision(3, PimVector3(9, 9, 9)), VoxelCollision::Solid);
    EXPECT_EQ(solid.GetVoxelBytes(), 0u) << "a uniform chunk needs no collision cache";
}

TEST(PimVoxelGrid, GlobalBuildLockIsRecursiveAndRefusesStrayReleases)
{
    const unsigned long failures = PimAssert::GetFailureCount();
    PimVoxelGrid::LockAllBuildChannels(true);
    PimVoxelGrid::LockAllBuildChannels(true);
    PimVoxelGrid chunk;
    chunk.SetVoxel(0xFF01, 0, 0, 0, false, false);
    chunk.BuildGrid(); // takes the lock again on this thread
    PimVoxelGrid::LockAllBuildChannels(false);
    PimVoxelGrid::LockAllBuildChannels(false);
    EXPECT_EQ(PimAssert::GetFailureCount(), failures);
    PimVoxelGrid::LockAllBuildChannels(false);
    EXPECT_EQ(PimAssert::GetFailureCount(), failures + 1);
}

TEST(PimVoxelGrid, ColourTablesAndPlacement)
{
    PimVoxelGrid::SetColorDefinition(200, PimColor(1, 2, 3), false);
    PimVoxelGrid::SetColorDefinition(200, PimColor(4, 5, 6, 7), true);
    EXPECT_EQ(PimVoxelGrid::GetColorDefinition(200, false), PimColor(1, 2, 3));
    EXPECT_EQ(PimVoxelGrid::GetColorDefinition(200, true), PimColor(4, 5, 6, 7));
    EXPECT_EQ(PimVoxelGrid::GetColorTable(true)[200], PimColor(4, 5, 6, 7));

    PimVoxelGrid chunk;
    chunk.SetLocation(PimVector3(64, 32, 96));
    EXPECT_EQ(chunk.GetCenter(), PimVector3(80, 48, 112));
    chunk.SetScale(0.5f);
    EXPECT_EQ(chunk.GetCenter(), PimVector3(72, 40, 104));
    chunk.UseSpecialColors(true);
    EXPECT_TRUE(chunk.IsUsingSpecialColors());
}

TEST(PimVoxelGrid, TextureCoordinatesPickTheTileRectangle)
{
    float u0, v0, u1, v1;
    PimVoxelGrid::CalculateTextureCoordinates(17, u0, v0, u1, v1);
    EXPECT_NEAR(u0, 1.0f / 16, 0.001f);
    EXPECT_NEAR(v0, 1.0f / 16, 0.001f);
    EXPECT_NEAR(u1, 2.0f / 16, 0.001f);
    EXPECT_NEAR(v1, 2.0f / 16, 0.001f);
    EXPECT_GT(u0, 1.0f / 16) << "inset against bleeding";
    float n0, m0, n1, m1;
    PimVoxelGrid::CalculateTextureCoordinates(-17, n0, m0, n1, m1);
    EXPECT_EQ(u0, n0);
    EXPECT_EQ(v1, m1);
    PimVoxelGrid::CalculateTextureCoordinates(255, u0, v0, u1, v1);
    EXPECT_NEAR(u1, 1.0f, 0.001f);
    EXPECT_NEAR(v1, 1.0f, 0.001f);
}
