#pragma once

#include "engine/VoxelFace.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// Tiles of the face texture atlas: 16 x 16 square tiles, tile t at column t % 16 and row t / 16,
// row 0 at the top of the picture. The atlas picture is drawn by the content generator; these are
// the tiles the built-in codes use.
namespace VoxelTile
{
inline constexpr std::uint8_t Plain = 0;   // white: colour voxels and the helper cube (tinted)
inline constexpr std::uint8_t Grass = 1;   // green grass seen from above
inline constexpr std::uint8_t Earth = 2;   // brown earth with roots
inline constexpr std::uint8_t Rock = 3;    // grey stone
inline constexpr std::uint8_t Sand = 4;    // pale yellow sand
inline constexpr std::uint8_t Water = 5;   // blue water, partly transparent in the picture
inline constexpr std::uint8_t Frame = 6;   // white square frame on a light grey field
inline constexpr std::uint8_t Guide = 7;   // faint cyan grid, mostly transparent
inline constexpr std::uint8_t Brick = 8;   // red bricks with light mortar
inline constexpr std::uint8_t Stripe = 9;  // dark floor plate with a yellow stripe (left-right)
inline constexpr std::uint8_t Unknown = 10; // magenta and black checks: a code with no definition
inline constexpr int AtlasTilesPerSide = 16;
} // namespace VoxelTile

// Voxel codes with a fixed role. Codes from FirstColour up are colour voxels (colour index =
// code - FirstColour); every other non-zero code is textured and looked up in VoxelCodeTable.
namespace VoxelCode
{
inline constexpr std::uint16_t Empty = 0;
inline constexpr std::uint16_t Water = 129;      // terrain water below the water level
inline constexpr std::uint16_t Frame = 131;      // selectable; cursor cubes and pedestal tops
inline constexpr std::uint16_t Stripe = 153;     // floor stripes of the saved-games hall
inline constexpr std::uint16_t Guide = 154;      // selectable see-through guide, never saved
inline constexpr std::uint16_t Turf = 2216;      // terrain top layer: grass over earth
inline constexpr std::uint16_t Rock = 2343;      // terrain rock under the top layer
inline constexpr std::uint16_t Sand = 2478;      // terrain bottom layers (the world's floor)
inline constexpr std::uint16_t Brick = 3560;     // selectable
inline constexpr std::uint16_t HelperCube = 0xFEFF; // drawn helper cubes (controllers)
inline constexpr std::uint16_t FirstColour = 0xFF00;

constexpr bool IsColour(std::uint16_t code) { return code >= FirstColour; }
} // namespace VoxelCode

// Collision classes of voxels. Classes 2 and 3 block movement; 1 is ground for probes only.
namespace VoxelCollision
{
inline constexpr std::uint8_t None = 0;
inline constexpr std::uint8_t Liquid = 1;  // water
inline constexpr std::uint8_t Helper = 2;  // guides and helper cubes: blocking, told apart from matter
inline constexpr std::uint8_t Solid = 3;
} // namespace VoxelCollision

// How one code looks and behaves.
struct VoxelData
{
    // Atlas tile of each face, in VoxelFace order (+z, -z, -x, +x, +y, -y). A negative value marks
    // a flipped face: the tile |value| is drawn mirrored left to right on that face.
    std::array<std::int16_t, kVoxelFaceCount> faceTextures{};
    std::uint8_t collisionClass = VoxelCollision::Solid;
    // Translucent voxels do not hide the faces of their neighbours; their own faces are hidden by
    // any filled neighbour (so water shows no inner faces and no faces against the ground).
    bool translucent = false;

    bool IsFlipped(int face) const { return faceTextures[face] < 0; }
    std::uint8_t Tile(int face) const;

    static VoxelData Uniform(std::uint8_t tile, std::uint8_t collisionClass, bool translucent = false);
};

// Maps a voxel code to its VoxelData. GetInstance is the engine's table of built-in codes; it is
// immutable after construction except for the lookup cache that CacheVoxelCodes builds, so every
// thread may read it. Other instances (tests, tools) are built with Define before being shared.
class VoxelCodeTable
{
public:
    static const VoxelCodeTable& GetInstance();

    // A table with the built-in codes.
    VoxelCodeTable();
    ~VoxelCodeTable();
    VoxelCodeTable(const VoxelCodeTable&) = delete;
    VoxelCodeTable& operator=(const VoxelCodeTable&) = delete;

    // Defines (or redefines) a textured code, 1 to 0xFEFF. Not for a table other threads read.
    // Returns false, changing nothing, for 0 and colour codes.
    bool Define(std::uint16_t code, const VoxelData& data);

    // Data of any code: 0 gives the empty voxel, colour codes the plain white tile, codes without a
    // definition the Unknown tile (opaque, solid).
    const VoxelData& GetVoxelData(std::uint16_t code) const;

    std::uint8_t GetCollisionClass(std::uint16_t code) const { return GetVoxelData(code).collisionClass; }

    // The translucent codes, few by design: the mesher compares each voxel against this list.
    const std::vector<std::uint16_t>& GetTranslucentCodes() const { return translucentCodes; }
    bool IsTranslucent(std::uint16_t code) const;

    // Builds a direct lookup for codes 0 to codeCount - 1 (at most 0xFF00), so that they are found
    // with one array read; other codes are found by a binary search of the definitions. Any
    // thread may call it at any time: a new lookup is published atomically and old ones are kept.
    void CacheCodes(std::uint32_t codeCount) const;
    std::uint32_t GetCachedCodeCount() const;

private:
    struct Definition
    {
        std::uint16_t code;
        VoxelData data;
    };
    struct DirectLookup
    {
        std::uint32_t count = 0;
        std::vector<std::uint16_t> slot; // index into definitions, or kNoDefinition
    };
    static constexpr std::uint16_t kNoDefinition = 0xFFFF;

    const VoxelData* FindDefinition(std::uint16_t code) const;
    void RebuildLookup();

    std::vector<Definition> definitions; // sorted by code
    std::vector<std::uint16_t> translucentCodes;
    VoxelData emptyData;
    VoxelData colourData;
    VoxelData unknownData;

    // Guards publishing and keeping lookups; taken by CacheCodes on any thread.
    mutable std::mutex lookupMutex;
    mutable std::vector<std::unique_ptr<DirectLookup>> lookups; // all ever published, newest last
    mutable std::atomic<const DirectLookup*> lookup{nullptr};
};
