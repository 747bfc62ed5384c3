#include "world/WindowChunks.h"

#include "engine/PimAssert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

using WorldAddressing::kWindowSlots;

namespace
{
// A window of slots as the world keeps them, with chunks placed by chunk coordinates.
struct TestWindow
{
    std::vector<PimVoxelGrid*> slots = std::vector<PimVoxelGrid*>(kWindowSlots, nullptr);
    std::vector<std::unique_ptr<PimVoxelGrid>> owned;
    WindowChunks::WindowView view;

    TestWindow(int ox, int oz)
    {
        view.slotAt = [this](int slot) { return slots[static_cast<std::size_t>(slot)]; };
        view.originX = ox;
        view.originZ = oz;
    }

    PimVoxelGrid* Place(int cx, int cy, int cz, std::uint8_t status = PimVoxelGrid::kStatusToBuild)
    {
        auto chunk = std::make_unique<PimVoxelGrid>();
        chunk->SetLocation(PimVector3(float(cx), float(cy), float(cz)) * 32.0f);
        chunk->SetGridStatus(status);
        const int slot = WorldAddressing::WindowSlotOfChunk({cx, cy, cz}, view.originX, view.originZ);
        EXPECT_GE(slot, 0);
        slots[static_cast<std::size_t>(slot)] = chunk.get();
        owned.push_back(std::move(chunk));
        return owned.back().get();
    }
};
}

TEST(WindowChunks, EditsStayInsideTheWorld)
{
    TestWindow window(1000, 1000);
    PimVoxelGrid* edge = window.Place(1023, 0, 1023);
    EXPECT_EQ(WindowChunks::SetVoxel(window.view, 6, {32767.9f, 0.5f, 32767.9f}, false, false), 0);
    EXPECT_EQ(edge->GetVoxel(31, 0, 31), 6);
    EXPECT_EQ(WindowChunks::GetVoxel(window.view, {32767.9f, 0.5f, 32767.9f}), 6);
    EXPECT_EQ(WindowChunks::SetVoxel(window.view, 7, {32768.0f, 0.5f, 32767.0f}, false, false), 0);
    EXPECT_EQ(WindowChunks::SetVoxel(window.view, 7, {32767.0f, 0.5f, 32768.0f}, false, false), 0);
    EXPECT_EQ(edge->GetVoxel(31, 0, 31), 6);

    TestWindow low(-16, -16);
    PimVoxelGrid* corner = low.Place(0, 15, 0);
    EXPECT_EQ(WindowChunks::SetVoxel(low.view, 7, {0, 511.9f, 0}, false, false), 0);
    EXPECT_EQ(corner->GetVoxel(0, 31, 0), 7);
    for (const PimVector3& outside : {PimVector3(0, 512, 0), PimVector3(-0.1f, 500, 0), PimVector3(0, -1, 0),
                                      PimVector3(0, 500, -0.001f)})
        EXPECT_EQ(WindowChunks::SetVoxel(low.view, 8, outside, false, false), 0);
    EXPECT_EQ(corner->GetVoxel(0, 31, 0), 7);
}

TEST(WindowChunks, OnlyALoadedChunkAtThePositionTakesAnEdit)
{
    TestWindow window(0, 0);
    PimVoxelGrid* waiting = window.Place(1, 0, 1, PimVoxelGrid::kStatusNeedsData);
    EXPECT_EQ(WindowChunks::SetVoxel(window.view, 3, {40, 1, 40}, false, false), 0);
    EXPECT_EQ(waiting->GetVoxel(8, 1, 8), 0);
    waiting->SetGridStatus(PimVoxelGrid::kStatusToBuild);
    WindowChunks::SetVoxel(window.view, 3, {40, 1, 40}, false, false);
    EXPECT_EQ(waiting->GetVoxel(8, 1, 8), 3);
    EXPECT_EQ(WindowChunks::SetVoxel(window.view, 4, {40, 1, 40}, false, false), 3);

    // The window moved and the slot was given to another chunk: the old chunk is found by the
    // lookup but sits elsewhere, so the write is refused.
    PimVoxelGrid* moved = window.Place(2, 0, 2);
    moved->SetLocation({64 + 33 * 32, 0, 64});
    EXPECT_EQ(WindowChunks::SetVoxel(window.view, 5, {70, 1, 70}, false, false), 0);
    EXPECT_EQ(moved->GetVoxel(6, 1, 6), 0);
    EXPECT_EQ(WindowChunks::FindChunk(window.view, {70, 1, 70}), moved);
    EXPECT_EQ(WindowChunks::GetVoxel(window.view, {300, 1, 300}), 0);
    EXPECT_EQ(WindowChunks::FindChunk(window.view, {33 * 32, 1, 0}), nullptr);
}

TEST(WindowChunks, NeighboursAreLinkedBothWaysInsideTheWindow)
{
    TestWindow window(10, 20);
    PimVoxelGrid* centre = window.Place(10, 0, 21);
    PimVoxelGrid* east = window.Place(11, 0, 21);
    PimVoxelGrid* above = window.Place(10, 1, 21);
    PimVoxelGrid* stale = window.Place(10, 0, 22);
    stale->SetLocation({0, 0, 0}); // a slot whose chunk sits elsewhere is no neighbour
    centre->SetGridSide(5, east);  // a wrong link from before is replaced

    WindowChunks::LinkNeighbours(*centre, window.view);
    EXPECT_EQ(centre->GetGridSide(3), east);      // +x
    EXPECT_EQ(east->GetGridSide(2), centre);      // -x
    EXPECT_EQ(centre->GetGridSide(4), above);     // +y
    EXPECT_EQ(above->GetGridSide(5), centre);     // -y
    EXPECT_EQ(centre->GetGridSide(0), nullptr);   // +z: stale
    EXPECT_EQ(centre->GetGridSide(1), nullptr);   // -z: empty slot
    EXPECT_EQ(centre->GetGridSide(2), nullptr);   // -x: outside the window (x - ox = -1)
    EXPECT_EQ(centre->GetGridSide(5), nullptr);   // -y: below the world
    EXPECT_EQ(east->GetGridSide(4), nullptr);
}

TEST(WindowChunks, TakingReusesAChunkThatLeftTheWindow)
{
    ChunkPool pool;
    pool.FillTo(2);
    WindowChunks::LeftWindowMap left;
    const auto faces = std::make_shared<const PimTexture>();

    PimVoxelGrid* first = WindowChunks::TakeChunkForSlot(pool, left, {64, 32, 96}, faces);
    EXPECT_EQ(pool.IdleCount(), 1u);
    EXPECT_EQ(first->GetLocation(), PimVector3(64, 32, 96));
    EXPECT_TRUE(first->IsUsingSpecialColors());
    EXPECT_EQ(first->GetTextures(), faces);
    first->SetGridStatus(PimVoxelGrid::kStatusToBuild);
    first->SetVoxel(12, 1, 2, 3, false, false);

    // It leaves the window and comes back: same chunk, voxels intact, no pool chunk used.
    left.emplace(WorldAddressing::ChunkKey({64, 32, 96}), first);
    left.emplace(WorldAddressing::ChunkKey({0, 0, 0}), nullptr);
    EXPECT_EQ(WindowChunks::TakeChunkForSlot(pool, left, {64, 32, 96}, faces), first);
    EXPECT_EQ(first->GetVoxel(1, 2, 3), 12);
    EXPECT_EQ(left.size(), 1u);
    EXPECT_EQ(pool.IdleCount(), 1u);

    PimVoxelGrid* second = WindowChunks::TakeChunkForSlot(pool, left, {96, 32, 96}, faces);
    PimVoxelGrid* made = WindowChunks::TakeChunkForSlot(pool, left, {128, 32, 96}, faces);
    EXPECT_NE(second, made);
    EXPECT_EQ(pool.IdleCount(), 0u);
    EXPECT_EQ(pool.OwnedCount(), 3u);
    for (PimVoxelGrid* chunk : {first, second, made})
        pool.GiveBack(chunk);
}

TEST(ChunkPool, ChunksGoBackCleanAndOnlyOnce)
{
    ChunkPool pool;
    pool.FillTo(3);
    EXPECT_EQ(pool.IdleCount(), 3u);
    PimVoxelGrid* chunk = pool.Take();
    EXPECT_FALSE(chunk->IsUsingSpecialColors());
    EXPECT_EQ(chunk->GetGridStatus(), PimVoxelGrid::kStatusNeedsData);
    chunk->UseSpecialColors(true);
    chunk->SetGridStatus(PimVoxelGrid::kStatusToBuild);
    chunk->SetVoxel(5, 0, 0, 0, false, false);
    chunk->SetBuildChannel(4);

    pool.GiveBack(chunk);
    EXPECT_EQ(pool.IdleCount(), 3u);
    EXPECT_FALSE(chunk->IsUsingSpecialColors());
    EXPECT_EQ(chunk->GetVoxel(0, 0, 0), 0);
    EXPECT_EQ(chunk->GetBuildChannel(), PimVoxelGrid::kNoBuildChannel);
    EXPECT_FALSE(chunk->IsEditedSinceSave());

    // Given back twice, or a chunk the pool never made: refused, so no chunk is lent out twice.
    const unsigned long before = PimAssert::GetFailureCount();
    pool.GiveBack(chunk);
    PimVoxelGrid foreign;
    pool.GiveBack(&foreign);
    EXPECT_EQ(PimAssert::GetFailureCount() - before, 2u);
    EXPECT_EQ(pool.IdleCount(), 3u);

    // Idle chunks are taken first in, first out; an empty pool makes a new chunk.
    std::vector<PimVoxelGrid*> taken;
    for (int i = 0; i < 4; ++i)
        taken.push_back(pool.Take());
    EXPECT_EQ(taken[2], chunk);
    EXPECT_NE(taken[3], nullptr);
    EXPECT_EQ(pool.IdleCount(), 0u);
    EXPECT_EQ(pool.OwnedCount(), 4u);
    for (PimVoxelGrid* lent : taken)
        pool.GiveBack(lent);
}

TEST(ChunkPool, AWorkerGivesBackWhileTheMainThreadTakes)
{
    ChunkPool pool;
    constexpr int kChunks = 64;
    std::vector<PimVoxelGrid*> lent;
    for (int i = 0; i < kChunks; ++i)
        lent.push_back(pool.Take());
    std::thread worker([&] {
        for (PimVoxelGrid* chunk : lent)
            pool.GiveBack(chunk);
    });
    std::vector<PimVoxelGrid*> taken;
    for (int i = 0; i < kChunks; ++i)
        taken.push_back(pool.Take());
    worker.join();
    // Every chunk is either idle or lent exactly once.
    EXPECT_EQ(pool.IdleCount() + taken.size(), pool.OwnedCount());
    std::sort(taken.begin(), taken.end());
    EXPECT_EQ(std::adjacent_find(taken.begin(), taken.end()), taken.end());
    for (PimVoxelGrid* chunk : taken)
        pool.GiveBack(chunk);
    EXPECT_EQ(pool.IdleCount(), pool.OwnedCount());
}
