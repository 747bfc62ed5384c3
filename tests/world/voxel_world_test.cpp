#include "tests/world/world_fixture.h"

#include "world/WorldAddressing.h"

#include "engine/PimContentFolder.h"

#include <algorithm>
#include <map>
#include <set>
#include <thread>
#include <vector>

namespace
{
constexpr int kFlat = 1;
constexpr int kRolling = 0;
constexpr int kIsland = 2;

std::uint64_t KeyOf(const PimVoxelGrid& chunk)
{
    return WorldAddressing::ChunkKey(chunk.GetLocation());
}
}

class VoxelWorldTest : public WorldFixture
{
protected:
    // Location of every window chunk, by its chunk.
    std::map<std::uint64_t, PimVoxelGrid*> WindowByKey() const
    {
        std::map<std::uint64_t, PimVoxelGrid*> byKey;
        ForEachWindowChunk([&byKey](PimVoxelGrid& chunk) { byKey[KeyOf(chunk)] = &chunk; });
        return byKey;
    }

    // The seams are right when no finished chunk's mesh is older than its neighbours' data and
    // links: asking it for a rebuild then changes nothing. Every chunk that can be built must
    // be finished.
    void ExpectSeamsRight() const
    {
        std::size_t finished = 0;
        ForEachWindowChunk([&](PimVoxelGrid& chunk) {
            const PimVector3 at = chunk.GetLocation();
            if (HasEveryNeighbour(chunk))
            {
                EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusFinished) << at.x << " " << at.y << " " << at.z;
            }
            if (chunk.GetGridStatus() != PimVoxelGrid::kStatusFinished)
                return;
            ++finished;
            chunk.Regenerate(false);
            EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusFinished)
                << "mesh out of date at " << at.x << " " << at.y << " " << at.z;
        });
        EXPECT_GT(finished, 0u);
    }
};

TEST_F(VoxelWorldTest, NewFlatWorldBuildsAndUploadsEveryChunkOnceAndThenRests)
{
    Open(MakeSetup(kFlat, 8, 8), ChunkCentreColumn(4, 40.0f, 4));
    ASSERT_TRUE(Settle());

    // All 64 columns lie within the disc around the viewer.
    EXPECT_EQ(world->GetWindowChunkCount(), 8u * 8u * 16u);
    std::size_t empty = 0;
    ForEachWindowChunk([&empty](PimVoxelGrid& chunk) {
        std::uint16_t value = 1;
        empty += chunk.IsUniform(value) && value == 0 && chunk.GetVoxelBytes() == 0 ? 1 : 0;
    });
    EXPECT_EQ(empty, 1024u);
    // Each empty chunk's first build is handed over, so finishing means GLLoad took it.
    EXPECT_EQ(world->GetLoadCount(), 1024);
    EXPECT_EQ(world->GetBuildCount(), 1024);
    EXPECT_EQ(world->GetStore().GetRegionCount(), 0u);

    // A finished chunk is not scheduled again until it is regenerated.
    for (int frame = 0; frame < 60; ++frame)
        FrameAndWork();
    EXPECT_EQ(world->GetBuildCount(), 1024);
    world->FindChunkSlot(ChunkCentreColumn(4, 40.0f, 4))->Regenerate(true);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(world->GetBuildCount(), 1025);
    EXPECT_EQ(world->GetLoadCount(), 1024);
    EXPECT_FALSE(world->IsStalled());
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
}

TEST_F(VoxelWorldTest, AWindowFillsOverSeveralFramesNearestColumnsFirstAndSettlesWithRightSeams)
{
    // 12 x 12 columns, all inside the disc around the centre: 2304 chunks, several frames' fill.
    Open(MakeSetup(kRolling, 12, 12), ChunkCentreColumn(6, 60.0f, 6));
    Frame();
    Frame();
    ASSERT_EQ(world->GetWindowChunkCount(), static_cast<std::size_t>(VoxelWorld2::kFillPerFrame));
    EXPECT_TRUE(world->IsWindowFilling());
    // Whole columns, nearest first: no column that is not whole is nearer the viewer's column
    // than one that holds any chunk.
    std::map<std::pair<int, int>, int> chunksInColumn;
    ForEachWindowChunk([&chunksInColumn](PimVoxelGrid& chunk) {
        ++chunksInColumn[{static_cast<int>(chunk.GetLocation().x) / 32, static_cast<int>(chunk.GetLocation().z) / 32}];
    });
    const auto distance = [](int x, int z) { return (x - 6) * (x - 6) + (z - 6) * (z - 6); };
    int farthestTaken = 0;
    for (const auto& [column, count] : chunksInColumn)
        farthestTaken = std::max(farthestTaken, distance(column.first, column.second));
    for (int z = 0; z < 12; ++z)
        for (int x = 0; x < 12; ++x)
        {
            const auto found = chunksInColumn.find({x, z});
            if (found == chunksInColumn.end() || found->second < 16)
            {
                EXPECT_GE(distance(x, z), farthestTaken) << x << " " << z;
            }
        }

    // Chunks at the filling edge wait for their neighbours; once all are in, every seam is right.
    ASSERT_TRUE(Settle());
    EXPECT_FALSE(world->IsWindowFilling());
    EXPECT_EQ(world->GetWindowChunkCount(), 12u * 12u * 16u);
    ExpectSeamsRight();
}

TEST_F(VoxelWorldTest, MovingOneChunkAlongXShiftsTheWindowAndWalkingBackReusesTheChunks)
{
    // A long, narrow world: the disc around the viewer covers only part of it along x.
    const PimVector3 start = ChunkCentreColumn(32, 100.0f, 2);
    Open(MakeSetup(kFlat, 64, 4), start);
    ASSERT_TRUE(Settle());
    const PimVector2 origin = world->GetWindowOrigin();
    const auto before = WindowByKey();

    MoveViewer(start + PimVector3(32.0f, 0.0f, 0.0f));
    Frame();
    EXPECT_EQ(world->GetWindowOrigin(), origin + PimVector2(1.0f, 0.0f));
    std::size_t left = 0;
    std::set<PimVoxelGrid*> departed;
    for (const auto& [key, chunk] : before)
    {
        const PimVector3 location = chunk->GetLocation();
        if (location.x == origin.x * 32.0f)
        {
            // The column at the window's -x edge left: kept with its voxels, not in a slot.
            EXPECT_TRUE(world->IsInLeftWindow(location));
            EXPECT_EQ(world->FindChunkSlot(location), nullptr);
            departed.insert(chunk);
            ++left;
        }
        else
        {
            // Every other chunk moved one slot towards -x and is still found at its place.
            EXPECT_EQ(world->FindChunkSlot(location), chunk);
        }
    }
    EXPECT_GT(left, 0u);
    EXPECT_EQ(world->GetLeftWindowCount(), left);

    ASSERT_TRUE(Settle());
    const std::int32_t loads = world->GetLoadCount();
    MoveViewer(start);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(world->GetLoadCount(), loads) << "walking back loaded chunks again";
    EXPECT_EQ(world->GetWindowOrigin(), origin);
    for (const auto& [key, chunk] : before)
        EXPECT_EQ(world->FindChunkSlot(chunk->GetLocation()), chunk);
    for (PimVoxelGrid* chunk : departed)
        EXPECT_FALSE(world->IsInLeftWindow(chunk->GetLocation()));
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
}

TEST_F(VoxelWorldTest, AChunkThatLeavesWhileTheWorkerHoldsItGoesBackToThePoolWithItsEditsStored)
{
    // One column of 16 chunks, at the edge of the viewer's disc: one step along x and it leaves.
    const PimVector3 start = ChunkCentreColumn(16, 40.0f, 0);
    Open(MakeSetup(kFlat, 1, 1), start);
    ASSERT_TRUE(Settle());
    ASSERT_EQ(world->GetWindowChunkCount(), 16u);

    // An edit followed by a rebuild request (as a shape tool's, which the main thread does not
    // build at once); the next frame hands the chunk to the worker.
    const PimVector3 edit(3.0f, 40.0f, 3.0f);
    world->SetWorldVoxel(7, edit, false, false);
    PimVoxelGrid* edited = world->FindChunkSlot(edit);
    ASSERT_NE(edited, nullptr);
    edited->Regenerate(false);
    Frame();
    ASSERT_EQ(world->GetChannel(0).building, edited);

    MoveViewer(start + PimVector3(32.0f, 0.0f, 0.0f));
    Frame();
    EXPECT_EQ(world->GetWindowChunkCount(), 0u);
    EXPECT_EQ(world->GetLeftWindowCount(), 15u);
    EXPECT_FALSE(world->IsInLeftWindow(edited->GetLocation()));
    EXPECT_TRUE(world->GetChannel(0).leftWhileBuilding);
    EXPECT_TRUE(world->GetStore().HoldsChunk(*edited)) << "the edit was stored as the chunk left";

    const std::size_t idle = pool.IdleCount();
    while (world->WorkerPass())
    {
    }
    EXPECT_EQ(pool.IdleCount(), idle + 1);
    const VoxelWorld2::ChannelView channel = world->GetChannel(0);
    EXPECT_EQ(channel.building, nullptr);
    EXPECT_EQ(channel.upload, nullptr);
    EXPECT_FALSE(channel.leftWhileBuilding);

    // Walking back takes the other 15 from the map and loads the edited one from its region.
    const std::int32_t loads = world->GetLoadCount();
    MoveViewer(start);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(world->GetLoadCount(), loads + 1);
    EXPECT_EQ(world->GetWorldVoxel(edit), 7);
    EXPECT_EQ(world->GetLeftWindowCount(), 0u);
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
}

TEST_F(VoxelWorldTest, ASinglePlacementIsBuiltInItsFrameEvenWhenTheWorkersBuildPredatesIt)
{
    const PimVector3 start = ChunkCentreColumn(16, 40.0f, 0);
    Open(MakeSetup(kFlat, 1, 1), start);
    ASSERT_TRUE(Settle());

    // A placement asks for its rebuild at once: the next frame builds and uploads it on the main
    // thread, without the worker.
    const PimVector3 first(3.0f, 40.0f, 3.0f);
    PimVoxelGrid* edited = world->FindChunkSlot(first);
    ASSERT_NE(edited, nullptr);
    world->SetWorldVoxel(7, first, true, false);
    const std::int32_t editBuilds = world->GetEditBuildCount();
    Frame();
    EXPECT_EQ(world->GetEditBuildCount(), editBuilds + 1);
    EXPECT_EQ(edited->GetGridStatus(), PimVoxelGrid::kStatusFinished);
    EXPECT_EQ(edited->GetBuildChannel(), PimVoxelGrid::kNoBuildChannel);

    // The worker holds the chunk and has built it (this thread plays its part) when the next
    // placement arrives: that frame leaves the chunk with the worker, and the frame after it is
    // handed back rebuilds it at once instead of waiting for the scheduler.
    world->SetWorldVoxel(8, first + PimVector3(1, 0, 0), false, false);
    edited->Regenerate(false);
    Frame();
    ASSERT_EQ(world->GetChannel(0).building, edited);
    edited->BuildGrid();
    world->SetWorldVoxel(9, first + PimVector3(2, 0, 0), true, false);
    Frame();
    EXPECT_EQ(world->GetChannel(0).building, edited) << "the worker's until it hands it on";
    ASSERT_TRUE(world->WorkerPass());
    ASSERT_EQ(world->GetChannel(0).upload, edited);
    Frame();
    EXPECT_EQ(world->GetEditBuildCount(), editBuilds + 2);
    EXPECT_EQ(edited->GetGridStatus(), PimVoxelGrid::kStatusFinished);
    EXPECT_EQ(edited->GetBuildChannel(), PimVoxelGrid::kNoBuildChannel);
    edited->Regenerate(false);
    EXPECT_EQ(edited->GetGridStatus(), PimVoxelGrid::kStatusFinished) << "the mesh holds the last placement";
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
}

TEST_F(VoxelWorldTest, AChunkThatLeavesWhileItsDataLoadsIsNotLinkedAndGoesBack)
{
    const PimVector3 start = ChunkCentreColumn(16, 40.0f, 0);
    Open(MakeSetup(kRolling, 1, 1), start);
    // The first frame does nothing, the second fills the window, the third hands chunks over.
    for (int frame = 0; frame < 3; ++frame)
        Frame();
    std::vector<PimVoxelGrid*> loading;
    for (int index = 0; index < BuildBudget::Get(); ++index)
        if (PimVoxelGrid* chunk = world->GetChannel(index).building)
            loading.push_back(chunk);
    ASSERT_EQ(loading.size(), static_cast<std::size_t>(BuildBudget::Get()));

    MoveViewer(start + PimVector3(32.0f, 0.0f, 0.0f));
    Frame();
    const std::size_t idle = pool.IdleCount();
    while (world->WorkerPass())
    {
    }
    EXPECT_EQ(pool.IdleCount(), idle + loading.size());
    for (PimVoxelGrid* chunk : loading)
    {
        EXPECT_EQ(chunk->GetGridStatus(), PimVoxelGrid::kStatusNeedsData);
        for (std::uint8_t side = 0; side < kVoxelFaceCount; ++side)
            EXPECT_EQ(chunk->GetGridSide(side), nullptr);
    }
    EXPECT_EQ(world->GetLeftWindowCount(), 16u - loading.size());
}

TEST_F(VoxelWorldTest, DestructionGivesBackChunksHeldAnywhere)
{
    // Two columns, 32 chunks; with 24 channels every chunk of the near column and some of the
    // far one are with the worker when the far column leaves.
    const PimVector3 start = ChunkCentreColumn(16, 40.0f, 0);
    Open(MakeSetup(kRolling, 2, 1), start);
    world->SetBudgetControl(24);
    for (int frame = 0; frame < 3; ++frame)
        Frame();
    ASSERT_NE(world->GetChannel(23).building, nullptr);
    // Chunks in the window, in the map and left while the worker holds them.
    MoveViewer(start + PimVector3(32.0f, 0.0f, 0.0f));
    Frame();
    EXPECT_GT(world->GetLeftWindowCount(), 0u);
    EXPECT_GT(world->GetWindowChunkCount(), 0u);
    bool anyLeftWhileBuilding = false;
    for (int index = 0; index < VoxelWorld2::kChannelCount; ++index)
        anyLeftWhileBuilding = anyLeftWhileBuilding || world->GetChannel(index).leftWhileBuilding;
    EXPECT_TRUE(anyLeftWhileBuilding);
    world.reset();
    EXPECT_EQ(pool.IdleCount(), pool.OwnedCount());
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
}

TEST_F(VoxelWorldTest, NothingStreamsBeforeTheViewerIsKnownAndTheFirstFrameSchedulesNothing)
{
    world = std::make_unique<VoxelWorld2>(*settings, pool, std::make_shared<PimTexture>());
    world->SetWorldSetup(MakeSetup(kFlat, 4, 4));
    viewport.GetCamera()->SetPosition({100.7f, 3.0f, 50.2f});
    for (int frame = 0; frame < 3; ++frame)
        Frame();
    EXPECT_EQ(world->GetWindowChunkCount(), 0u);
    EXPECT_FALSE(world->HasDrawn());
    EXPECT_EQ(world->GetActiveViewport(), &viewport);
    EXPECT_EQ(world->GetActiveCamera(), viewport.GetCamera());
    EXPECT_FLOAT_EQ(viewport.GetCamera()->GetFarPlane(), 512.0f);
    // The ground plane is drawn from the first frame on, under the camera in whole voxels.
    EXPECT_EQ(world->GetWorldMesh().GetModelMatrix().GetTranslation(), PimVector3(100.0f, 0.0f, 50.0f));

    MoveViewer(ChunkCentreColumn(2, 40.0f, 2));
    Frame();
    EXPECT_TRUE(world->HasDrawn());
    EXPECT_EQ(world->GetWindowChunkCount(), 0u);
    EXPECT_EQ(world->GetStreamingPassCount(), 0u);
    for (int index = 0; index < VoxelWorld2::kChannelCount; ++index)
    {
        const VoxelWorld2::ChannelView channel = world->GetChannel(index);
        EXPECT_EQ(channel.queued, nullptr);
        EXPECT_EQ(channel.building, nullptr);
    }

    // Scheduling comes before streaming in a frame: the window fills now, and its chunks go to
    // the worker in the next frame.
    Frame();
    EXPECT_EQ(world->GetWindowChunkCount(), 4u * 4u * 16u);
    EXPECT_EQ(world->GetChannel(0).building, nullptr);
    Frame();
    EXPECT_NE(world->GetChannel(0).building, nullptr);
}

TEST_F(VoxelWorldTest, SeamsAreRightWhateverOrderChunksLoadAndBuildIn)
{
    const PimVector3 start = ChunkCentreColumn(20, 45.0f, 4);
    Open(MakeSetup(kRolling, 40, 8), start);
    ASSERT_TRUE(Settle());
    ExpectSeamsRight();
    const std::int32_t firstBuilds = world->GetBuildCount();

    // The same world again, built in another order: a wide budget, a worker that lags behind
    // by several frames and runs one pass at a time, and a viewer walking meanwhile.
    world.reset();
    Open(MakeSetup(kRolling, 40, 8), start);
    world->SetBudgetControl(32);
    for (int frame = 0; frame < 400; ++frame)
    {
        if (frame % 40 == 0 && frame < 240)
            MoveViewer(start + PimVector3(static_cast<float>(frame / 40) * 32.0f, 0.0f, 0.0f));
        Frame();
        if (frame % 3 == 0)
            world->WorkerPass();
    }
    ASSERT_TRUE(Settle());
    ExpectSeamsRight();
    EXPECT_GT(world->GetBuildCount(), 0);
    EXPECT_GT(firstBuilds, 0);

    // Writes that do not ask for rebuilds are made visible by RegenerateAll: the chunk and the
    // neighbour whose face it touches are built again.
    const std::int32_t builds = world->GetBuildCount();
    const PimVector3 border = ChunkCentreColumn(22, 0.0f, 4) + PimVector3(15.5f, 100.5f, 0.0f);
    world->SetWorldVoxel(3, border, false, true);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(world->GetBuildCount(), builds);
    world->RegenerateAll();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(world->GetBuildCount(), builds + 2);
    ExpectSeamsRight();
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
}

TEST_F(VoxelWorldTest, TheLeftWindowMapIsBoundedOldestFirstAndEditsSurvive)
{
    // One column wide, 64 deep: each step along z sends one column of 16 chunks into the map.
    const PimVector3 start = ChunkCentreColumn(0, 40.0f, 16);
    Open(MakeSetup(kFlat, 1, 64), start);
    world->SetLeftWindowLimit(40);
    ASSERT_TRUE(Settle());
    const PimVector3 edit(5.0f, 10.0f, 5.0f); // in the chunk at (0, 0, 0), first to leave
    world->SetWorldVoxel(9, edit, true, false);

    for (int step = 1; step <= 4; ++step)
    {
        MoveViewer(start + PimVector3(0.0f, 0.0f, static_cast<float>(step) * 32.0f));
        ASSERT_TRUE(Settle());
        EXPECT_LE(world->GetLeftWindowCount(), 40u);
    }
    // 64 chunks left, in slot order (y outer) column by column; the 24 oldest were let go.
    EXPECT_EQ(world->GetLeftWindowCount(), 40u);
    for (int y = 0; y < 16; ++y)
    {
        const auto at = [y](int cz) { return PimVector3(0.0f, static_cast<float>(y), static_cast<float>(cz)) * 32.0f; };
        EXPECT_FALSE(world->IsInLeftWindow(at(0)));
        EXPECT_EQ(world->IsInLeftWindow(at(1)), y >= 8);
        EXPECT_TRUE(world->IsInLeftWindow(at(2)));
        EXPECT_TRUE(world->IsInLeftWindow(at(3)));
    }
    EXPECT_EQ(world->GetStore().GetRegionCount(), 1u) << "the edited chunk was stored as it was let go";

    MoveViewer(start);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(world->GetWorldVoxel(edit), 9);
    EXPECT_EQ(world->GetWindowChunkCount(), 33u * 16u);
    EXPECT_LE(world->GetLeftWindowCount(), 40u);
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
}

TEST_F(VoxelWorldTest, WorldWritesAreRefusedOutsideTheWorldTheWindowAndUnloadedChunks)
{
    // The world's far x edge, 1024 columns wide.
    const PimVector3 viewer(32760.0f, 40.0f, 40.0f);
    Open(MakeSetup(kFlat, 1024, 2), viewer);
    Frame();
    Frame();
    const PimVector3 edge(32767.9f, 0.5f, 40.0f);
    ASSERT_NE(world->FindChunkSlot(edge), nullptr);
    EXPECT_EQ(world->FindChunkSlot(edge)->GetGridStatus(), PimVoxelGrid::kStatusNeedsData);
    EXPECT_EQ(world->SetWorldVoxel(4, edge, false, false), 0);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(world->GetWorldVoxel(edge), 0);

    world->SetWorldVoxel(4, edge, false, false);
    EXPECT_EQ(world->GetWorldVoxel(edge), 4);
    EXPECT_TRUE(world->FindChunkSlot(edge)->IsEditedSinceSave());
    EXPECT_EQ(world->SetWorldVoxel(5, edge, false, false), 4) << "the write returns the code it replaced";
    for (const PimVector3& outside : {PimVector3(32768.0f, 0.5f, 40.0f), PimVector3(32000.0f, 512.0f, 40.0f),
                                      PimVector3(32000.0f, -0.5f, 40.0f), PimVector3(32000.0f, 0.5f, -0.5f),
                                      PimVector3(-1.0f, 0.5f, 40.0f)})
        EXPECT_EQ(world->SetWorldVoxel(6, outside, false, false), 0);
    // Inside the world but outside the window (column 900 is far from the viewer's).
    const PimVector3 far(900.0f * 32.0f, 0.5f, 40.0f);
    EXPECT_EQ(world->FindChunkSlot(far), nullptr);
    EXPECT_EQ(world->SetWorldVoxel(6, far, false, false), 0);
    EXPECT_EQ(world->GetWorldVoxel(far), 0);
    EXPECT_EQ(world->GetWorldVoxel(edge), 5);
}

TEST_F(VoxelWorldTest, AWorldThatNeverBuildsDeclaresItselfStalledAndForgetsTheWorldChoice)
{
    Open(MakeSetup(77, 2, 2), ChunkCentreColumn(1, 40.0f, 1)); // an unknown terrain: nothing loads
    // Opening a world without a settings file reset the active game; the menu had chosen it.
    settings->activeGame.SetOptionsSet(true);
    settings->activeGame.SetGameWorldName(L"TestWorld");
    while (world->GetStreamingPassCount() < VoxelWorld2::kStallPasses - 1)
        FrameAndWork();
    EXPECT_FALSE(world->IsStalled());
    EXPECT_TRUE(settings->activeGame.GetOptionsSet());
    FrameAndWork();
    EXPECT_TRUE(world->IsStalled());
    EXPECT_FALSE(settings->activeGame.GetOptionsSet());
    EXPECT_TRUE(settings->activeGame.GetGameWorldName().empty());
    EXPECT_EQ(world->GetBuildCount(), 0);
    EXPECT_EQ(world->GetLoadCount(), 0);
}

TEST_F(VoxelWorldTest, TheBudgetFollowsTheFrameRateUnlessFixed)
{
    Open(MakeSetup(kFlat, 2, 2), ChunkCentreColumn(1, 40.0f, 1));
    // Frames come at 90 a second: one step up after the first check, the top within two seconds.
    for (int frame = 0; frame < 30; ++frame)
        Frame();
    EXPECT_EQ(BuildBudget::Get(), BuildBudget::kMinimum + BuildBudget::kStep);
    for (int frame = 0; frame < 90 * 2; ++frame)
        Frame();
    EXPECT_EQ(BuildBudget::Get(), BuildBudget::kMaximum);

    // Frames at 20 a second take it back down to the bottom.
    PimTime::SetFixedStep(1000.0 / 20.0);
    for (int frame = 0; frame < 20 * 3; ++frame)
        Frame();
    EXPECT_EQ(BuildBudget::Get(), BuildBudget::kMinimum);

    // Fixed on the loading page, it stays where it was put, whatever the frames do.
    world->SetBudgetControl(20);
    EXPECT_TRUE(world->IsBudgetFixed());
    for (int frame = 0; frame < 20 * 2; ++frame)
        Frame();
    EXPECT_EQ(BuildBudget::Get(), 20);
    PimTime::SetFixedStep(1000.0 / 90.0);
    for (int frame = 0; frame < 90 * 2; ++frame)
        Frame();
    EXPECT_EQ(BuildBudget::Get(), 20);
    world->SetBudgetControl(3);
    EXPECT_EQ(BuildBudget::Get(), BuildBudget::kMinimum);
    world->SetBudgetControl(0);
    EXPECT_FALSE(world->IsBudgetFixed());
    for (int frame = 0; frame < 30; ++frame)
        Frame();
    EXPECT_EQ(BuildBudget::Get(), BuildBudget::kMinimum + BuildBudget::kStep);
}

TEST_F(VoxelWorldTest, TheWorkerThreadBuildsWhileTheViewerWalks)
{
    const PimVector3 start = ChunkCentreColumn(20, 45.0f, 4);
    Open(MakeSetup(kRolling, 40, 8), start);
    world->SetWorkerPaused(false);
    int frames = 0;
    const auto walkUntil = [&](const PimVector3& to) {
        MoveViewer(to);
        // Waits for the worker without a clock: bounded by frames, each giving it a moment.
        for (int frame = 0; frame < 200000 && (frame < 3 || !IsSettled()); ++frame, ++frames)
        {
            Frame();
            world->GetWorldVoxel(to + PimVector3(0.0f, -20.0f, 0.0f));
            std::this_thread::yield();
        }
    };
    walkUntil(start);
    walkUntil(start + PimVector3(96.0f, 0.0f, 0.0f));
    walkUntil(start);
    world->SetWorkerPaused(true);
    EXPECT_TRUE(world->IsWorkerPaused());
    ASSERT_TRUE(Settle());
    ExpectSeamsRight();
    EXPECT_GT(frames, 0);
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
}

TEST_F(VoxelWorldTest, TheGroundPlaneShowsItsGridInEveryKindOfWorld)
{
    // Rolling and island worlds come with preview pictures; the plane must not tile them per voxel.
    for (const int terrain : {kRolling, kIsland, kFlat})
    {
        auto setup = MakeSetup(terrain, 2, 2);
        ASSERT_TRUE(setup->GetPreviewPicture(1).Create(2, 2, PimColor(255, 0, 0)));
        Open(setup, ChunkCentreColumn(1, 40.0f, 1));
        EXPECT_TRUE(world->GetWorldMesh().UsesOwnTexture()) << terrain;
        world.reset();
    }
}

TEST_F(VoxelWorldTest, TheFaceTextureComesFromTheTexturesFolderAndAMissingOneIsReported)
{
    // The build's content folder holds the face atlas.
    const PimWString contentBase = PimWString::Widen(PimContentFolder::Get().parent_path().string());
    GameSettings withContent(SettingsFolders::FromBases(contentBase, temp.Wide() + L"/data", temp.Wide() + L"/Pictures"));
    withContent.activeGame.SetGameWorldName(L"TestWorld");
    world = std::make_unique<VoxelWorld2>(withContent, pool);
    world->SetWorldSetup(MakeSetup(kFlat, 2, 2));
    MoveViewer(ChunkCentreColumn(1, 40.0f, 1));
    Frame();
    Frame();
    PimVoxelGrid* chunk = world->FindChunkSlot(ChunkCentreColumn(1, 40.0f, 1));
    ASSERT_NE(chunk, nullptr);
    ASSERT_NE(chunk->GetTextures(), nullptr);
    EXPECT_TRUE(chunk->GetTextures()->IsValid());
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
    world.reset();

    // The fixture's settings point at an empty content folder: reported, and the world works
    // with untextured chunks.
    world = std::make_unique<VoxelWorld2>(*settings, pool);
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
    EXPECT_NE(PimAssert::GetLastMessage().find("VoxelTexturesTop1.png"), std::string::npos);
    world->SetWorldSetup(MakeSetup(kFlat, 2, 2));
    MoveViewer(ChunkCentreColumn(1, 40.0f, 1));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(world->GetBuildCount(), 2 * 2 * 16);
}

TEST_F(VoxelWorldTest, AChunkBuiltInTheStintThatLoadsItHasTheMeshOfALaterBuildAndOneLoadedFirstIsBuiltLater)
{
    Open(MakeSetup(kRolling, 6, 6), ChunkCentreColumn(3, 45.0f, 3));
    int builtWhereLoaded = 0;
    int builtLater = 0;
    std::set<PimVoxelGrid*> loadedBeforeNeighbours;
    // One worker pass a frame, the statuses seen before and after it: a chunk that went from 1
    // (no data) to 3 or 5 (built) was loaded and built in one stint, one that went from 2 was
    // built in a later stint than its load.
    for (int frame = 0; frame < 600 && (frame < 3 || !IsSettled()); ++frame)
    {
        Frame();
        std::map<PimVoxelGrid*, std::uint8_t> before;
        ForEachWindowChunk([&](PimVoxelGrid& chunk) { before[&chunk] = chunk.GetGridStatus(); });
        world->WorkerPass();
        for (const auto& [chunk, status] : before)
        {
            const std::uint8_t now = chunk->GetGridStatus();
            if (status == PimVoxelGrid::kStatusNeedsData && now == PimVoxelGrid::kStatusToBuild)
                loadedBeforeNeighbours.insert(chunk);
            const bool built = now == PimVoxelGrid::kStatusBuilt || now == PimVoxelGrid::kStatusFinished;
            if (status == PimVoxelGrid::kStatusFinished || status == PimVoxelGrid::kStatusBuilt || !built)
                continue;
            // The stint's mesh (empty when it had nothing to hand over), then the same chunk
            // built again now, from the same voxels and neighbours.
            VoxelMesh stint;
            chunk->TakeBuiltMesh(stint);
            chunk->Regenerate(true);
            chunk->BuildGrid();
            VoxelMesh again;
            chunk->TakeBuiltMesh(again);
            const PimVector3 at = chunk->GetLocation();
            EXPECT_TRUE(std::equal(stint.vertices.begin(), stint.vertices.end(), again.vertices.begin(),
                                   again.vertices.end(),
                                   [](const VoxelVertex& a, const VoxelVertex& b) { return a.bits == b.bits; }))
                << at.x << " " << at.y << " " << at.z;
            EXPECT_EQ(stint.opaqueQuadCount, again.opaqueQuadCount);
            (status == PimVoxelGrid::kStatusNeedsData ? builtWhereLoaded : builtLater) += 1;
        }
    }
    ASSERT_TRUE(Settle());
    EXPECT_GT(builtWhereLoaded, 0);
    EXPECT_GT(builtLater, 0);
    EXPECT_FALSE(loadedBeforeNeighbours.empty());
    // Every chunk that waited for its neighbours was built once they came.
    for (PimVoxelGrid* chunk : loadedBeforeNeighbours)
    {
        if (world->FindChunkSlot(chunk->GetLocation()) == chunk && HasEveryNeighbour(*chunk))
        {
            EXPECT_EQ(chunk->GetGridStatus(), PimVoxelGrid::kStatusFinished);
        }
    }
    ExpectSeamsRight();

    // Chunks that leave the window for the pool come back without data; the built chunks beside
    // them are built again once that data is in.
    world->SetLeftWindowLimit(0);
    MoveViewer(ChunkCentreColumn(5, 45.0f, 3));
    ASSERT_TRUE(Settle());
    MoveViewer(ChunkCentreColumn(3, 45.0f, 3));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(world->GetLeftWindowCount(), 0u);
    ExpectSeamsRight();
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
}

TEST_F(VoxelWorldTest, AWorldOpenedWhileItsRegionsAreReadShowsNoChunkOfARegionBeforeItsData)
{
    // Every chunk of the region at the origin stored all in one colour, which terrain never makes.
    constexpr std::uint16_t kStored = 0xFF05;
    {
        WorldStore store(*settings);
        ASSERT_TRUE(store.Open());
        PimVoxelGrid chunk;
        for (int slot = 0; slot < WorldAddressing::kRegionSlots; ++slot)
        {
            chunk.DeInitialize();
            chunk.SetLocation(WorldAddressing::RegionSlotOffset(slot));
            chunk.LockVoxelMutex();
            chunk.FillVoxels(kStored);
            chunk.UnLockVoxelMutex();
            chunk.SetEditedSinceSave(true);
            store.StoreIfEdited(&chunk);
        }
        PimVoxelGrid::BuildChannelsLock global;
        ASSERT_TRUE(store.WriteRegions());
    }
    const PimVector3 start = ChunkCentreColumn(4, 45.0f, 4);
    Open(MakeSetup(kRolling, 16, 16), start);
    const WorldStore& firstStore = world->GetStore();
    EXPECT_EQ(firstStore.GetRegionFilesRead(), 0u) << "opening reads no region file";
    EXPECT_EQ(firstStore.GetRegionFilesFound(), 1u);
    EXPECT_EQ(firstStore.GetRegionCount(), 1u);

    const auto insideRegion = [](const PimVector3& at) { return at.x < 256.0f && at.y < 256.0f && at.z < 256.0f; };
    // Every chunk of the region that has its data shows the stored code, never terrain.
    const auto expectStoredDataOnly = [&] {
        ForEachWindowChunk([&](PimVoxelGrid& chunk) {
            const PimVector3 at = chunk.GetLocation();
            if (insideRegion(at) && chunk.GetGridStatus() != PimVoxelGrid::kStatusNeedsData)
            {
                ASSERT_EQ(chunk.GetVoxel(5, 5, 5), kStored) << at.x << " " << at.y << " " << at.z;
            }
        });
    };
    for (int frame = 0; frame < 3; ++frame)
        Frame();
    EXPECT_EQ(firstStore.GetRegionFilesRead(), 0u);
    EXPECT_EQ(world->GetLoadCount(), 0);
    // The first stint loads a chunk near the viewer, inside the region: its file is read then.
    world->WorkerPass();
    EXPECT_EQ(firstStore.GetRegionFilesRead(), 1u);
    EXPECT_GT(world->GetLoadCount(), 0);
    expectStoredDataOnly();

    // The same with the worker on its own thread, from a fresh opening: checked every frame.
    world.reset();
    Open(MakeSetup(kRolling, 16, 16), start);
    world->SetWorkerPaused(false);
    for (int frame = 0; frame < 200000 && (frame < 3 || !IsSettled()); ++frame)
    {
        Frame();
        expectStoredDataOnly();
        std::this_thread::yield();
    }
    world->SetWorkerPaused(true);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(world->GetStore().GetRegionFilesRead(), 1u);
    EXPECT_EQ(world->GetStore().GetPendingRegionCount(), 0u);
    expectStoredDataOnly();
    // Outside the region the terrain is generated.
    EXPECT_NE(world->GetWorldVoxel(PimVector3(300.5f, 5.5f, 5.5f)), kStored);
    EXPECT_EQ(world->GetWorldVoxel(PimVector3(5.5f, 5.5f, 5.5f)), kStored);
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
}

TEST_F(VoxelWorldTest, ChunksLeavingWhileTheWorkerLoadsOrBuildsThemGoBackToThePoolWithTheirEdits)
{
    // A world one column deep: each step along x sends a column out of the window, and with no
    // left-window map every chunk that leaves goes back to the pool, whether the worker holds it
    // or not. The worker runs on its own thread, so chunks leave in the middle of its stints.
    const PimVector3 start = ChunkCentreColumn(16, 45.0f, 0);
    Open(MakeSetup(kRolling, 40, 1), start);
    world->SetLeftWindowLimit(0);
    world->SetBudgetControl(32);
    world->SetWorkerPaused(false);
    std::map<int, std::uint16_t> edits; // column -> code written at its edit position
    const auto editAt = [](int column) { return PimVector3(static_cast<float>(column) * 32.0f + 7.5f, 300.5f, 9.5f); };
    for (int step = 0; step < 24; ++step)
    {
        const int offset = step % 6 < 3 ? step % 6 : 6 - step % 6; // out three columns and back
        MoveViewer(start + PimVector3(static_cast<float>(offset) * 32.0f, 0.0f, 0.0f));
        // Edit the columns at the window's edges as soon as their chunks hold data, then move
        // on at once: the worker is still busy with the chunks around them. Frames run until
        // both edits took (the worker's pace depends on the machine), within a generous bound.
        std::set<int> editedThisStep;
        for (int frame = 0; frame < 2000 && editedThisStep.size() < 2; ++frame)
        {
            Frame();
            for (const int column : {offset, 32 + offset})
            {
                const auto code = static_cast<std::uint16_t>(0xFF10 + step % 8);
                world->SetWorldVoxel(code, editAt(column), true, false);
                if (world->GetWorldVoxel(editAt(column)) == code)
                {
                    edits[column] = code;
                    editedThisStep.insert(column);
                }
            }
            std::this_thread::yield();
        }
    }
    world->SetWorkerPaused(true);
    ASSERT_FALSE(edits.empty());
    // Every edit comes back, from the chunk that kept it or from its region.
    for (const auto& [column, code] : edits)
    {
        MoveViewer(ChunkCentreColumn(std::max(column, 16), 45.0f, 0));
        ASSERT_TRUE(Settle());
        EXPECT_EQ(world->GetWorldVoxel(editAt(column)), code) << "column " << column;
    }
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
    // The fixture's tear-down checks that every chunk went back to the pool.
}
