#include "pages/PictureModel.h"

#include "colour/NearestPaletteColour.h"
#include "colour/PaletteModel.h"

#include "world/Region.h"
#include "world/RegionFile.h"
#include "world/WorldAddressing.h"

#include "engine/PimTexture.h"
#include "engine/PimVoxelGrid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace
{
constexpr int kChunkSide = PimVoxelGrid::kSide;
constexpr int kChunksPerSide = PictureModel::kSide / kChunkSide;
// The depth of the relief on each side of the middle plane for a fully opaque pixel.
constexpr float kHalfDepth = 32.0f;
}

PictureModel::PictureModel(const std::shared_ptr<const PimTexture>& atlas, const PimVector3& baseIn)
{
    chunks.Create(kChunksPerSide, kChunksPerSide, kChunksPerSide);
    if (atlas)
        chunks.LoadTextures(atlas);
    for (int i = 0; i < chunks.GetTotalChunks(); ++i)
        chunks.GetChunk(i)->SetScale(kVoxelScale);
    SetBase(baseIn);
}

void PictureModel::SetBase(const PimVector3& newBase)
{
    base = newBase;
    for (int y = 0; y < kChunksPerSide; ++y)
        for (int z = 0; z < kChunksPerSide; ++z)
            for (int x = 0; x < kChunksPerSide; ++x)
                chunks.GetChunk(x, y, z)->SetLocation(base + PimVector3(x, y, z) * 0.5f);
}

void PictureModel::SetVoxel(std::uint16_t value, int x, int y, int z)
{
    PimVoxelGrid* chunk = chunks.GetChunk(x / kChunkSide, y / kChunkSide, z / kChunkSide);
    chunk->SetVoxel(value, x % kChunkSide, y % kChunkSide, z % kChunkSide, false, false);
}

std::uint16_t PictureModel::GetVoxel(int x, int y, int z) const
{
    if (x < 0 || y < 0 || z < 0 || x >= kSide || y >= kSide || z >= kSide)
        return 0;
    return chunks.GetChunk(x / kChunkSide, y / kChunkSide, z / kChunkSide)
        ->GetVoxel(x % kChunkSide, y % kChunkSide, z % kChunkSide);
}

void PictureModel::Clear()
{
    for (int i = 0; i < chunks.GetTotalChunks(); ++i)
    {
        PimVoxelGrid* chunk = chunks.GetChunk(i);
        chunk->LockVoxelMutex();
        chunk->FillVoxels(0);
        chunk->UnLockVoxelMutex();
    }
}

bool PictureModel::FillFromPicture(const PimTexture& picture)
{
    if (picture.GetWidth() != kSide || picture.GetHeight() != kSide)
        return false;
    for (int py = 0; py < kSide; ++py)
        for (int px = 0; px < kSide; ++px)
        {
            const PimColor pixel = picture.GetColor(px, kSide - 1 - py);
            if (pixel.a == 0)
                continue;
            const std::uint16_t value = NearestPaletteColour::VoxelFor(pixel);
            const int depth = static_cast<int>(pixel.a / 255.0f * kHalfDepth);
            // The front half fills towards the middle plane from z = 31, the back half from 32.
            for (int z = std::max(0, static_cast<int>(31.0f - static_cast<float>(depth))); z <= 31; ++z)
                SetVoxel(value, px, py, z);
            for (int z = 0; z <= std::min(31, depth); ++z)
                SetVoxel(value, px, py, kChunkSide + z);
        }
    return true;
}

bool PictureModel::FillFromModelFile(const PimWString& path)
{
    Clear();
    Region region;
    if (!RegionFile::ReadRegionFile(region, path))
        return false;
    for (int y = 0; y < kChunksPerSide; ++y)
        for (int z = 0; z < kChunksPerSide; ++z)
            for (int x = 0; x < kChunksPerSide; ++x)
            {
                const int slot = WorldAddressing::RegionSlot(PimVector3(x, y, z) * static_cast<float>(kChunkSide),
                                                             PimVector3());
                region.LoadSlot(slot, *chunks.GetChunk(x, y, z));
            }
    return true;
}

void PictureModel::FillPlaceholder()
{
    const auto random = [] { return std::rand(); };
    const std::uint16_t value = PaletteModel::ColourVoxel(static_cast<std::uint8_t>(108 - 4 * (random() % 7)));
    const auto scatter = [&](int count) {
        for (int i = 0; i < count; ++i)
        {
            const int x = random() % kSide;
            const int y = random() % kSide;
            const int z = random() % kSide;
            SetVoxel(value, x, y, z);
        }
    };
    if (random() % 5 == 0)
    {
        scatter(10000);
        return;
    }
    const float phase = static_cast<float>(random() % 3700);
    for (int z = 0; z < kSide; ++z)
        for (int x = 0; x < kSide; ++x)
        {
            const float height = (std::sin(0.1f * x + phase) + std::cos(0.1f * z - phase)) * 7.0f + 10.0f;
            for (int y = 0; y < kSide && static_cast<float>(y) < height; ++y)
                SetVoxel(value, x, y, z);
        }
    scatter(1000);
}

void PictureModel::Build()
{
    for (int i = 0; i < chunks.GetTotalChunks(); ++i)
        chunks.GetChunk(i)->Regenerate(false);
    chunks.Build();
}

void PictureModel::Update()
{
    for (int i = 0; i < chunks.GetTotalChunks(); ++i)
        chunks.GetChunk(i)->Update();
}

void PictureModel::Draw()
{
    for (int i = 0; i < chunks.GetTotalChunks(); ++i)
        chunks.GetChunk(i)->Draw();
}
