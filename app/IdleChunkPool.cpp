#include "app/IdleChunkPool.h"

IdleChunkPool& IdleChunkPool::GetInstance()
{
    static IdleChunkPool pool;
    return pool;
}

void IdleChunkPool::FillTo(std::size_t count)
{
    chunks.reserve(count);
    while (chunks.size() < count)
    {
        auto chunk = std::make_unique<PimVoxelGrid>();
        chunk->DeInitialize();
        chunk->UseSpecialColors(false);
        chunks.push_back(std::move(chunk));
    }
}
