#include "world/ChunkPool.h"

#include "engine/PimAssert.h"

ChunkPool& ChunkPool::Shared()
{
    // Deliberately never destroyed: chunks must not be freed while a worker thread may still run,
    // and their destructors need the engine's global build-channel lock, whose own destruction
    // at exit comes in no fixed order relative to this pool's.
    static ChunkPool* const pool = new ChunkPool();
    return *pool;
}

ChunkPool::~ChunkPool()
{
    PimAssert::Assert(idle.size() == owned.size(), "ChunkPool::~ChunkPool() - chunks still lent out");
}

void ChunkPool::FillTo(std::size_t count)
{
    while (IdleCount() < count)
    {
        auto chunk = std::make_unique<PimVoxelGrid>();
        chunk->DeInitialize();
        chunk->UseSpecialColors(false);
        PimVoxelGrid* raw = chunk.get();
        std::lock_guard<std::mutex> hold(poolMutex);
        owned.emplace(raw, Owned{std::move(chunk), true});
        idle.push_back(raw);
    }
}

PimVoxelGrid* ChunkPool::Take()
{
    PimVoxelGrid* chunk = nullptr;
    {
        std::lock_guard<std::mutex> hold(poolMutex);
        if (!idle.empty())
        {
            chunk = idle.front();
            idle.pop_front();
            owned[chunk].idle = false;
        }
        else
        {
            auto made = std::make_unique<PimVoxelGrid>();
            chunk = made.get();
            owned.emplace(chunk, Owned{std::move(made), false});
            return chunk; // a new chunk is already in the pooled state
        }
    }
    chunk->DeInitialize();
    chunk->InitializeGrid();
    return chunk;
}

void ChunkPool::GiveBack(PimVoxelGrid* chunk)
{
    if (chunk == nullptr)
        return;
    {
        std::lock_guard<std::mutex> hold(poolMutex);
        const auto found = owned.find(chunk);
        if (found == owned.end())
        {
            PimAssert::Assert(false, "ChunkPool::GiveBack() - chunk does not belong to the pool");
            return;
        }
        if (found->second.idle)
        {
            PimAssert::Assert(false, "ChunkPool::GiveBack() - chunk is already in the pool");
            return;
        }
        // Marked now, so a second give-back is refused; it joins the idle list (and can be taken)
        // only once it is cleared below.
        found->second.idle = true;
    }
    // Outside the pool lock: these take the global build-channel lock and the chunk's voxel lock.
    chunk->DeInitialize();
    chunk->UseSpecialColors(false);
    std::lock_guard<std::mutex> hold(poolMutex);
    idle.push_back(chunk);
}

std::size_t ChunkPool::IdleCount() const
{
    std::lock_guard<std::mutex> hold(poolMutex);
    return idle.size();
}

void ChunkPool::ForEachIdle(const std::function<void(const PimVoxelGrid&)>& visit) const
{
    std::lock_guard<std::mutex> hold(poolMutex);
    for (const PimVoxelGrid* chunk : idle)
        visit(*chunk);
}

std::size_t ChunkPool::OwnedCount() const
{
    std::lock_guard<std::mutex> hold(poolMutex);
    return owned.size();
}
