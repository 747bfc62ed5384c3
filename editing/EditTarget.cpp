#include "editing/EditTarget.h"

#include "world/ChunkBlock.h"
#include "world/WorldAddressing.h"
#include "world/VoxelWorld2.h"
#include "world/WorldSetup.h"

#include "engine/PimVoxelGrid.h"
#include "engine/VoxelCodeTable.h"

#include <algorithm>
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

PimVector3 EditTarget::GetExtent() const
{
    switch (kind)
    {
    case Kind::Grid:
    {
        const float side = static_cast<float>(PimVoxelGrid::kSide);
        return PimVector3(side, side, side);
    }
    case Kind::World:
        if (const WorldSetup* setup = world->GetWorldSetup())
        {
            // A world whose parameters name no height (flat worlds) is as high as the world can be.
            const auto height = static_cast<std::uint16_t>(setup->GetWorldHeight());
            return PimVector3(static_cast<float>(setup->GetWidth()),
                              height == 0 ? WorldAddressing::kWorldSizeY : std::min<float>(height, WorldAddressing::kWorldSizeY),
                              static_cast<float>(setup->GetDepth()));
        }
        return PimVector3(WorldAddressing::kWorldSizeX, WorldAddressing::kWorldSizeY, WorldAddressing::kWorldSizeZ);
    case Kind::Model:
        return PimVector3(model->GetXSize(), model->GetYSize(), model->GetZSize());
    case Kind::None:
        break;
    }
    return PimVector3();
}

std::size_t EditTarget::WriteBox(const PimVector3& lower, const VoxelBox& box, bool skipEmpty)
{
    if (kind == Kind::World)
    {
        writes += box.GetCellCount();
        return world->WriteBox(lower, box, skipEmpty);
    }
    std::size_t changed = 0;
    for (int y = 0; y < box.GetSizeY(); ++y)
        for (int z = 0; z < box.GetSizeZ(); ++z)
            for (int x = 0; x < box.GetSizeX(); ++x)
            {
                const std::uint16_t code = box.At(x, y, z);
                if (code == 0 && skipEmpty)
                    continue;
                const PimVector3 cell = lower + PimVector3(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
                // Half a voxel in, so the cell is the one named whatever the container's rounding.
                if (SetVoxel(code, cell + PimVector3(0.5f, 0.5f, 0.5f), false, false) != code)
                    ++changed;
            }
    return changed;
}

void EditTarget::ForceRebuildBox(const PimVector3& low, const PimVector3& high)
{
    switch (kind)
    {
    case Kind::Grid:
        grid->Regenerate(true);
        break;
    case Kind::World:
        world->RegenerateBox(low, high, true, false);
        break;
    case Kind::Model:
        for (int index = 0; index < model->GetTotalChunks(); ++index)
            if (PimVoxelGrid* chunk = model->GetChunk(index))
                chunk->Regenerate(true);
        break;
    case Kind::None:
        break;
    }
}
