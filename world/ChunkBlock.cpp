#include "world/ChunkBlock.h"


#include <cmath>

namespace
{
constexpr float kSide = static_cast<float>(PimVoxelGrid::kSide);
}

void ChunkBlock::Create(std::uint8_t xCountIn, std::uint8_t yCountIn, std::uint8_t zCountIn)
{
    xCount = xCountIn;
    yCount = yCountIn;
    zCount = zCountIn;
    xSize = static_cast<std::uint16_t>(xCount * PimVoxelGrid::kSide);
    ySize = static_cast<std::uint16_t>(yCount * PimVoxelGrid::kSide);
    zSize = static_cast<std::uint16_t>(zCount * PimVoxelGrid::kSide);
    totalChunks = static_cast<std::uint16_t>(xCount * yCount * zCount);

    chunks.clear();
    chunks.reserve(totalChunks);
    for (int y = 0; y < yCount; ++y)
        for (int z = 0; z < zCount; ++z)
            for (int x = 0; x < xCount; ++x)
            {
                auto chunk = std::make_unique<PimVoxelGrid>();
                chunk->SetLocation(PimVector3(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)) * kSide);
                chunks.push_back(std::move(chunk));
            }
}

void ChunkBlock::LoadTextures(const std::shared_ptr<const PimTexture>& texture)
{
    for (auto& chunk : chunks)
        chunk->LoadTextures(texture);
}

void ChunkBlock::Build()
{
    for (auto& chunk : chunks)
    {
        chunk->Initialize();
        chunk->UseSpecialColors(specialColors);
        chunk->SetGridStatus(PimVoxelGrid::kStatusToBuild);
        chunk->BuildGrid();
        chunk->GLLoad();
    }
}

PimVoxelGrid* ChunkBlock::GetChunk(int index) const
{
    return index >= 0 && index < static_cast<int>(chunks.size()) ? chunks[static_cast<std::size_t>(index)].get() : nullptr;
}

PimVoxelGrid* ChunkBlock::GetChunk(int x, int y, int z) const
{
    if (x < 0 || x >= xCount || y < 0 || y >= yCount || z < 0 || z >= zCount)
        return nullptr;
    return GetChunk((zCount * y + z) * xCount + x);
}

PimVoxelGrid* ChunkBlock::ChunkHolding(const PimVector3& local) const
{
    // Negated tests so that NaN is outside too.
    if (!(local.x >= 0.0f && local.x < xSize && local.y >= 0.0f && local.y < ySize && local.z >= 0.0f &&
          local.z < zSize))
        return nullptr;
    return GetChunk(static_cast<int>(std::floor(local.x / kSide)), static_cast<int>(std::floor(local.y / kSide)),
                    static_cast<int>(std::floor(local.z / kSide)));
}

std::uint16_t ChunkBlock::SetVoxelAt(std::uint16_t code, const PimVector3& position, bool rebuildNow, bool fillWrite)
{
    PimVoxelGrid* chunk = ChunkHolding(position);
    return chunk ? chunk->SetVoxel(code, position - chunk->GetLocation(), rebuildNow, fillWrite) : 0;
}

std::uint16_t ChunkBlock::SetVoxel(std::uint16_t code, const PimVector3& position, const PimVector3& blockOrigin)
{
    PimVoxelGrid* chunk = ChunkHolding(position - blockOrigin);
    return chunk ? chunk->SetVoxel(code, position - chunk->GetLocation(), false, false) : 0;
}

std::uint16_t ChunkBlock::GetVoxelAt(const PimVector3& position) const
{
    const PimVoxelGrid* chunk = ChunkHolding(position);
    return chunk ? chunk->GetVoxel(position - chunk->GetLocation()) : 0;
}

std::uint16_t ChunkBlock::GetVoxel(const PimVector3& position, const PimVector3& blockOrigin) const
{
    const PimVoxelGrid* chunk = ChunkHolding(position - blockOrigin);
    return chunk ? chunk->GetVoxel(position - chunk->GetLocation()) : 0;
}

void ChunkBlock::SetLocation(const PimVector3& newOrigin)
{
    const PimVector3 delta = newOrigin - origin;
    origin = newOrigin;
    for (auto& chunk : chunks)
        chunk->SetLocation(chunk->GetLocation() + delta);
}
