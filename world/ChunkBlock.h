#pragma once

#include "engine/PimMatrix4x4.h"
#include "engine/PimTexture.h"
#include "engine/PimVector3.h"
#include "engine/PimVoxelGrid.h"

#include <cstdint>
#include <memory>
#include <vector>

// A fixed block of chunks for menu rooms, models and the clipboard: xCount x yCount x zCount
// chunks of its own (never from the pool), chunk (x, y, z) at array index
// (zCount * y + z) * xCount + x and, until the block is moved, at location (x, y, z) * 32.
//
// Positions: the *At operations take positions in the block's own frame (the block laid out
// from the world origin, as rooms are); SetVoxel and GetVoxel take a world position and the
// block's origin. A position outside the block reads 0 and writes nothing (0 returned).
//
// Main thread only; the block has no lock of its own (the chunks lock themselves).
class ChunkBlock
{
public:
    ChunkBlock() = default;
    ChunkBlock(const ChunkBlock&) = delete;
    ChunkBlock& operator=(const ChunkBlock&) = delete;

    // Makes xCount x yCount x zCount new chunks (y outer, z middle, x inner), chunk (x, y, z) at
    // (x, y, z) * 32. The block's previous chunks, if any, are freed. The origin and transform are
    // left as they are.
    void Create(std::uint8_t xCount, std::uint8_t yCount, std::uint8_t zCount);

    // Gives every chunk the face texture.
    // Every chunk shares the one atlas.
    void LoadTextures(const std::shared_ptr<const PimTexture>& texture);

    // Builds every chunk now, on the calling thread, in array order: prepared for drawing, the
    // block's colour table, data marked ready, meshed, then uploaded.
    void Build();

    // Writes a code at a position of the block's own frame (chunk index from the position / 32 on
    // each axis) through the chunk's SetVoxel with both flags. Returns SetVoxel's result, or 0
    // when the position is outside the block.
    std::uint16_t SetVoxelAt(std::uint16_t code, const PimVector3& position, bool rebuildNow, bool fillWrite);
    // Writes a code at a world position of a block whose origin is blockOrigin (no immediate
    // rebuild, no fill write). 0 when the position lies outside the block.
    std::uint16_t SetVoxel(std::uint16_t code, const PimVector3& position, const PimVector3& blockOrigin);

    std::uint16_t GetVoxelAt(const PimVector3& position) const;
    std::uint16_t GetVoxel(const PimVector3& position, const PimVector3& blockOrigin) const;

    // Moves the block: every chunk moves by the difference between the new and the old origin.
    void SetLocation(const PimVector3& newOrigin);
    const PimVector3& GetLocation() const { return origin; }

    std::uint8_t GetXCount() const { return xCount; }
    std::uint8_t GetYCount() const { return yCount; }
    std::uint8_t GetZCount() const { return zCount; }
    std::uint16_t GetXSize() const { return xSize; }
    std::uint16_t GetYSize() const { return ySize; }
    std::uint16_t GetZSize() const { return zSize; }
    std::uint16_t GetTotalChunks() const { return totalChunks; }

    // Chunk by array index, or by block coordinates; null outside the block.
    PimVoxelGrid* GetChunk(int index) const;
    PimVoxelGrid* GetChunk(int x, int y, int z) const;

    const PimMatrix4x4& GetTransform() const { return transform; }
    void SetTransform(const PimMatrix4x4& matrix) { transform = matrix; }
    // Colour table the chunks get at Build: special (world) or plain (menu rooms).
    bool GetSpecialColors() const { return specialColors; }
    void SetSpecialColors(bool special) { specialColors = special; }

private:
    // The chunk holding a position relative to the block's minimum corner, or null when the
    // position is outside the block.
    PimVoxelGrid* ChunkHolding(const PimVector3& local) const;

    std::uint8_t xCount = 0;
    std::uint8_t yCount = 0;
    std::uint8_t zCount = 0;
    std::uint16_t xSize = 0;
    std::uint16_t ySize = 0;
    std::uint16_t zSize = 0;
    std::uint16_t totalChunks = 0;
    PimVector3 origin;
    PimMatrix4x4 transform;
    bool specialColors = false;
    std::vector<std::unique_ptr<PimVoxelGrid>> chunks;
};
