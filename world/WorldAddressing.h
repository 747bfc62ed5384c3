#pragma once

#include "engine/PimVector3.h"

#include <cstdint>

// Where a world position lives: its chunk, the chunk's key and its slot in the streamed window.
// Pure arithmetic, callable from any thread.
//
// The world spans [0, 32768) x [0, 512) x [0, 32768) voxels: 1024 x 16 x 1024 chunks of 32.
// The streamed window is 33 x 16 x 33 chunk slots; x and z count from the window origin (in
// chunks), y is absolute.
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
}
