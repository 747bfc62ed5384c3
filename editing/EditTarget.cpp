#include "editing/EditTarget.h"

#include "world/ChunkBlock.h"
#include "world/VoxelWorld2.h"

#include "engine/PimVoxelGrid.h"
#include "engine/VoxelCodeTable.h"

#include <cmath>

namespace
{
// The chunk of a block holding a position relative to the block's origin, and the position
// inside that chunk; null outside the block.
PimVoxelGrid* BlockChunk(const ChunkBlock& block, const PimVector3& local, PimVector3& inChunk)
{
    const float side = static_cast<float>(PimVoxelGrid::kSide);
    const float cx = std::floor(local.x / side);
    const float cy = std::floor(local.y / side);
    const float cz = std::floor(local.z / side);
    if (cx < 0.0f || cy < 0.0f || cz < 0.0f || cx >= block.GetXCount() || cy >= block.GetYCount() ||
        cz >= block.GetZCount())
        return nullptr;
    inChunk = local - PimVector3(cx, cy, cz) * side;
    return block.GetChunk(static_cast<int>(cx), static_cast<int>(cy), static_cast<int>(cz));
}
}

void EditTarget::SetGrid(PimVoxelGrid* newGrid)
{
    Clear();
    grid = newGrid;
    kind = grid != nullptr ? Kind::Grid : Kind::None;
}

void EditTarget::SetWorld(VoxelWorld2* newWorld)
{
    Clear();
    world = newWorld;
    kind = world != nullptr ? Kind::World : Kind::None;
}

void EditTarget::SetModel(ChunkBlock* newModel)
{
    Clear();
    model = newModel;
    kind = model != nullptr ? Kind::Model : Kind::None;
}

void EditTarget::Clear()
{
    kind = Kind::None;
    grid = nullptr;
    world = nullptr;
    model = nullptr;
}

std::uint16_t EditTarget::GetVoxel(const PimVector3& position) const
{
    switch (kind)
    {
    case Kind::Grid:
        return grid->GetVoxel(position - grid->GetLocation());
    case Kind::World:
        return world->GetWorldVoxel(position);
    case Kind::Model:
        return model->GetVoxel(position, model->GetLocation());
    case Kind::None:
        break;
    }
    return 0;
}

std::uint16_t EditTarget::SetVoxel(std::uint16_t value, const PimVector3& position, bool rebuildNow, bool fillWrite)
{
    ++writes;
    switch (kind)
    {
    case Kind::Grid:
        return grid->SetVoxel(value, position - grid->GetLocation(), rebuildNow, fillWrite);
    case Kind::World:
        return world->SetWorldVoxel(value, position, rebuildNow, fillWrite);
    case Kind::Model:
    {
        PimVector3 inChunk;
        PimVoxelGrid* chunk = BlockChunk(*model, position - model->GetLocation(), inChunk);
        return chunk != nullptr ? chunk->SetVoxel(value, inChunk, rebuildNow, fillWrite) : 0;
    }
    case Kind::None:
        break;
    }
    return 0;
}

void EditTarget::Rebuild()
{
    switch (kind)
    {
    case Kind::Grid:
        grid->Regenerate(false);
        break;
    case Kind::World:
        world->RegenerateAll();
        break;
    case Kind::Model:
        for (int index = 0; index < model->GetTotalChunks(); ++index)
            if (PimVoxelGrid* chunk = model->GetChunk(index))
                chunk->Regenerate(false);
        break;
    case Kind::None:
        break;
    }
}

std::uint8_t EditTarget::GetCollision(std::uint32_t level, const PimVector3& position) const
{
    if (position.y < 0.0f)
        return VoxelCollision::Solid;
    switch (kind)
    {
    case Kind::Grid:
        return grid->GetCollision(level, position - grid->GetLocation());
    case Kind::World:
    {
        PimVoxelGrid* chunk = world->FindChunkSlot(position);
        return chunk != nullptr ? chunk->GetCollision(level, position - chunk->GetLocation()) : 0;
    }
    case Kind::Model:
    {
        PimVector3 inChunk;
        const PimVoxelGrid* chunk = BlockChunk(*model, position - model->GetLocation(), inChunk);
        return chunk != nullptr ? chunk->GetCollision(level, inChunk) : 0;
    }
    case Kind::None:
        break;
    }
    return 0;
}
