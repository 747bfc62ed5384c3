#include "world/LeftWindowChunks.h"

#include "world/WorldAddressing.h"

bool LeftWindowChunks::Add(std::uint64_t key, PimVoxelGrid* chunk)
{
    if (chunk == nullptr || !map.emplace(key, chunk).second)
        return false;
    order.push_back(key);
    positions.emplace(key, std::prev(order.end()));
    return true;
}

PimVoxelGrid* LeftWindowChunks::TakeForSlot(ChunkPool& pool, const PimVector3& location,
                                            const std::shared_ptr<const PimTexture>& faceTexture, bool& reused)
{
    const std::uint64_t key = WorldAddressing::ChunkKey(location);
    reused = Contains(key);
    if (reused)
        ForgetOrder(key);
    return WindowChunks::TakeChunkForSlot(pool, map, location, faceTexture);
}

PimVoxelGrid* LeftWindowChunks::TakeOldest()
{
    if (order.empty())
        return nullptr;
    const std::uint64_t key = order.front();
    ForgetOrder(key);
    const auto found = map.find(key);
    PimVoxelGrid* chunk = found->second;
    map.erase(found);
    return chunk;
}

void LeftWindowChunks::ForEach(const std::function<void(PimVoxelGrid&)>& visit) const
{
    for (const auto& [key, chunk] : map)
        visit(*chunk);
}

void LeftWindowChunks::Clear()
{
    map.clear();
    order.clear();
    positions.clear();
}

void LeftWindowChunks::ForgetOrder(std::uint64_t key)
{
    const auto found = positions.find(key);
    if (found == positions.end())
        return;
    order.erase(found->second);
    positions.erase(found);
}
