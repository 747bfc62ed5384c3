#include "engine/PimVoxelGrid.h"
#include "voxel_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

// The world's two threads on one chunk and its neighbour: the worker builds while the main thread
// edits both, reads, queries collision and takes meshes for upload. Run under ThreadSanitizer
// this shows the chunk free of data races; in any build it shows no rebuild request is lost.
TEST(PimVoxelGridThreads, WorkerBuildsWhileMainThreadEditsChunkAndNeighbour)
{
    PimVoxelGrid chunk;
    PimVoxelGrid neighbour;
    PimVoxelGrid below;
    chunk.SetGridSide(VoxelFacePosX, &neighbour);
    chunk.SetGridSide(VoxelFaceNegY, &below);
    below.LockVoxelMutex();
    std::fill(below.SetVoxels(), below.SetVoxels() + PimVoxelGrid::kVoxelCount, VoxelCode::Rock);
    below.UnLockVoxelMutex();
    chunk.SetGridStatus(PimVoxelGrid::kStatusToBuild);

    std::atomic<bool> stop{false};
    std::atomic<int> builds{0};
    std::thread worker([&] {
        while (!stop.load())
        {
            if (chunk.GetGridStatus() == PimVoxelGrid::kStatusToBuild)
            {
                chunk.BuildGrid();
                builds.fetch_add(1);
            }
            else
                std::this_thread::yield();
            // Bulk copies of the neighbour, as loading and saving do.
            neighbour.LockVoxelMutex();
            volatile std::uint16_t sample = neighbour.GetVoxels()[PimVoxelGrid::GetIndex(0, 3, 3)];
            (void)sample;
            neighbour.UnLockVoxelMutex();
        }
    });

    unsigned state = 1;
    auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 8; };
    VoxelMesh uploaded;
    // Go on until the worker has built a good number of times, however the threads are scheduled.
    for (int i = 0; i < 3000 || builds.load() < 50; ++i)
    {
        const std::uint16_t code = (next() % 3 == 0) ? 0 : static_cast<std::uint16_t>(0xFF00 + next() % 4);
        const int x = static_cast<int>(next() % 32);
        const int y = static_cast<int>(next() % 32);
        const int z = static_cast<int>(next() % 32);
        if (i % 2 == 0)
            chunk.SetVoxel(code, x, y, z, i % 3 == 0, false);
        else
            neighbour.SetVoxel(code, 0, y, z, true, false);
        EXPECT_EQ(chunk.GetVoxel(-1, y, z), 0);
        (void)chunk.GetVoxel(x, y, z);
        (void)chunk.GetCollision(static_cast<std::uint32_t>(i % 3), PimVector3(float(x), float(y), float(z)));
        if (i % 50 == 0)
            chunk.Regenerate(false);
        chunk.TakeBuiltMesh(uploaded);
        chunk.Update();
        if (i % 500 == 0)
        {
            PimVoxelGrid::LockAllBuildChannels(true);
            chunk.Regenerate(false);
            PimVoxelGrid::LockAllBuildChannels(false);
        }
    }
    stop.store(true);
    worker.join();

    // Bring the chunk up to date the way the world does and compare with the final voxels.
    chunk.Regenerate(false);
    for (int round = 0; round < 4 && chunk.GetGridStatus() != PimVoxelGrid::kStatusFinished; ++round)
    {
        if (chunk.GetGridStatus() == PimVoxelGrid::kStatusToBuild)
            chunk.BuildGrid();
        chunk.TakeBuiltMesh(uploaded);
    }
    ASSERT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusFinished);
    std::string problems;
    const FaceSet faces = MeshFaces(uploaded, problems);
    EXPECT_EQ(problems, "");
    EXPECT_EQ(FaceDifference(ExpectedFaces(ReaderOf(chunk), VoxelCodeTable::GetInstance()), faces), "");
}

TEST(PimVoxelGridThreads, GlobalLockHeldByMainThreadHoldsBuildsBack)
{
    PimVoxelGrid chunk;
    chunk.SetVoxel(0xFF01, 1, 1, 1, false, false);
    std::atomic<bool> built{false};
    PimVoxelGrid::LockAllBuildChannels(true);
    std::thread worker([&] {
        chunk.BuildGrid();
        built.store(true);
    });
    // Edits under the global lock (as box fills do) still reach the voxels.
    chunk.SetVoxel(0xFF02, 2, 1, 1, false, false);
    const bool builtWhileHeld = built.load();
    PimVoxelGrid::LockAllBuildChannels(false);
    worker.join();
    EXPECT_FALSE(builtWhileHeld);
    VoxelMesh mesh;
    ASSERT_TRUE(chunk.TakeBuiltMesh(mesh));
    EXPECT_EQ(mesh.QuadCount(), 10u) << "the build started after the lock was released";
}
