#pragma once

#include "engine/PimVector3.h"

#include <cstdint>

// Where a world position lives: its chunk, the chunk's key, its slot in the streamed window and
// its region on disk. Pure arithmetic, callable from any thread.
//
// The world spans [0, 32768) x [0, 512) x [0, 32768) voxels: 1024 x 16 x 1024 chunks of 32.
// The streamed window is 33 x 16 x 33 chunk slots; x and z count from the window origin (in
// chunks), y is absolute. A region is a cube of 8 x 8 x 8 chunks (256 voxels a side) whose
// origin is a multiple of 256; it is what one region file holds.
namespace WorldAddressing
{
constexpr int kChunkSide = 32;
constexpr float kWorldSizeX = 32768.0f;
constexpr float kWorldSizeY = 512.0f;
constexpr float kWorldSizeZ = 32768.0f;
constexpr int kChunksX = 1024;
constexpr int kChunksY = 16;
constexpr int kChunksZ = 1024;

constexpr int kWindowX = 33;
constexpr int kWindowY = 16;
constexpr int kWindowZ = 33;
constexpr int kWindowSlots = kWindowX * kWindowY * kWindowZ;

constexpr int kRegionSide = 256;
constexpr int kRegionChunks = kRegionSide / kChunkSide;
constexpr int kRegionSlots = kRegionChunks * kRegionChunks * kRegionChunks;

// Chunk coordinates (chunk units) of a chunk location or any position inside the chunk.
struct ChunkCoordinates
{
    int x = 0;
    int y = 0;
    int z = 0;
    constexpr bool operator==(const ChunkCoordinates&) const = default;
};

// True when p lies inside the world (every coordinate in [0, size)).
bool IsInsideWorld(const PimVector3& p);

// Minimum corner of the chunk containing p: each coordinate floored to a whole voxel, then to a
// multiple of 32. For the world's non-negative positions this is the truncation the world's
// files assume.
PimVector3 ChunkOrigin(const PimVector3& p);

// Key of the chunk with the given origin: (cy * 1024 + cz) * 1024 + cx with c = origin / 32.
std::uint64_t ChunkKey(const PimVector3& origin);

// Slot of the window (origin ox, oz in chunks) that holds the chunk containing p, or -1 when
// that chunk lies outside the window: slot = (y * 33 + z) * 33 + x.
int WindowSlot(const PimVector3& p, int windowOriginX, int windowOriginZ);

// The chunk containing p, in chunk units (each coordinate floored, then divided by 32 and
// floored). Coordinates beyond the int range saturate; NaN gives 0.
ChunkCoordinates ChunkOf(const PimVector3& p);

// Slot of the window (origin ox, oz in chunks) for the chunk at chunk coordinates c, or -1 when
// c lies outside the window (y outside [0, 16), x - ox or z - oz outside [0, 33)).
int WindowSlotOfChunk(const ChunkCoordinates& c, int windowOriginX, int windowOriginZ);

// Origin of the region holding a chunk: the location / 256, floored, times 256 on each axis.
PimVector3 RegionOrigin(const PimVector3& chunkLocation);

// Key of a region: (y * 327680 + z) * 327680 + x (327680 = 0x50000), with x, y, z the origin as
// unsigned 32-bit integers. A negative coordinate counts as its 32-bit two's complement, as a
// region file's header reads it back, so a region keeps its key across a write and a read.
std::uint64_t RegionKey(const PimVector3& regionOrigin);

// Slot of a chunk inside the region with the given origin: cy * 64 + cz * 8 + cx with
// c = (chunk location - region origin) / 32 floored per axis. -1 when the chunk does not lie in
// the region (some c outside 0 to 7).
int RegionSlot(const PimVector3& chunkLocation, const PimVector3& regionOrigin);

// Minimum corner of the chunk in a region slot, relative to the region origin.
PimVector3 RegionSlotOffset(int slot);
}
