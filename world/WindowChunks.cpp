#include "world/WindowChunks.h"


#include <limits>

namespace WindowChunks
{
using WorldAddressing::ChunkCoordinates;

namespace
{
// A chunk coordinate moved by -1, 0 or 1, saturating at the int range.
int Step(int coordinate, float step)
{
    if (step > 0.0f)
        return coordinate == std::numeric_limits<int>::max() ? coordinate : coordinate + 1;
    if (step < 0.0f)
        return coordinate == std::numeric_limits<int>::min() ? coordinate : coordinate - 1;
    return coordinate;
}

PimVector3 OriginOf(const ChunkCoordinates& c)
{
    return PimVector3(static_cast<float>(c.x), static_cast<float>(c.y), static_cast<float>(c.z)) *
           static_cast<float>(WorldAddressing::kChunkSide);
}
}

PimVoxelGrid* WindowView::ChunkAt(const ChunkCoordinates& c) const
{
    const int slot = WorldAddressing::WindowSlotOfChunk(c, originX, originZ);
    return slot < 0 || !slotAt ? nullptr : slotAt(slot);
}

PimVoxelGrid* FindChunk(const WindowView& window, const PimVector3& p)
{
    return window.ChunkAt(WorldAddressing::ChunkOf(p));
}

std::uint16_t GetVoxel(const WindowView& window, const PimVector3& p)
{
    PimVoxelGrid* chunk = FindChunk(window, p);
    return chunk ? chunk->GetVoxel(p - chunk->GetLocation()) : 0;
}

std::uint16_t SetVoxel(const WindowView& window, std::uint16_t code, const PimVector3& p, bool rebuildNow,
                       bool fillWrite)
{
    if (!WorldAddressing::IsInsideWorld(p))
        return 0;
    const PimVector3 origin = WorldAddressing::ChunkOrigin(p);
    PimVoxelGrid* chunk = FindChunk(window, origin);
    if (chunk == nullptr || chunk->GetLocation() != origin ||
        chunk->GetGridStatus() == PimVoxelGrid::kStatusNeedsData)
        return 0;
    return chunk->SetVoxel(code, p - origin, rebuildNow, fillWrite);
}

PimVoxelGrid* TakeChunkForSlot(ChunkPool& pool, LeftWindowMap& leftWindow, const PimVector3& location,
                               const std::shared_ptr<const PimTexture>& faceTexture)
{
    if (!leftWindow.empty())
    {
        const auto found = leftWindow.find(WorldAddressing::ChunkKey(location));
        if (found != leftWindow.end())
        {
            PimVoxelGrid* chunk = found->second;
            leftWindow.erase(found);
            chunk->SetLocation(location);
            chunk->UseSpecialColors(true);
            return chunk;
        }
    }
    PimVoxelGrid* chunk = pool.Take();
    chunk->LoadTextures(faceTexture);
    chunk->SetLocation(location);
    chunk->UseSpecialColors(true);
    return chunk;
}

void LinkNeighbours(PimVoxelGrid& chunk, const WindowView& window)
{
    PimVoxelGrid::BuildChannelsLock hold;
    const ChunkCoordinates c = WorldAddressing::ChunkOf(chunk.GetLocation());
    for (std::uint8_t side = 0; side < kVoxelFaceCount; ++side)
    {
        const PimVector3& step = PimVoxelGrid::directionModifier[side];
        const ChunkCoordinates n{Step(c.x, step.x), Step(c.y, step.y), Step(c.z, step.z)};
        PimVoxelGrid* neighbour = window.ChunkAt(n);
        if (neighbour == &chunk || (neighbour != nullptr && neighbour->GetLocation() != OriginOf(n)))
            neighbour = nullptr;
        if (neighbour != nullptr)
            neighbour->SetGridSide(PimVoxelGrid::opposingFace[side], &chunk);
        chunk.SetGridSide(side, neighbour);
    }
}
}
