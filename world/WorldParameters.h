#pragma once

#include <cstdint>
#include <vector>

// The list of numbers that describes a world before it is generated: which generator runs and
// with what sizes, walk counts and levels. The world page builds it (DefaultWorldParameters),
// the generators read it (world/TerrainGenerator.h) and the world worker reads the terrain type
// from it. A plain value; the readers below are pure and any thread may call them.

struct WorldParameter
{
    std::uint32_t id = 0;
    float value = 0.0f;
    // Three further figures; only the flat fill mode (the last of them) is read.
    float extra[3] = {0.0f, 0.0f, 0.0f};
};

using WorldParameterList = std::vector<WorldParameter>;

// Identifiers the generators read.
namespace WorldParameterId
{
inline constexpr std::uint32_t TerrainType = 0;
inline constexpr std::uint32_t LowestWalkers = 1;  // rolling and island: walker count range
inline constexpr std::uint32_t HighestWalkers = 2;
inline constexpr std::uint32_t WalkLengthBase = 3;
inline constexpr std::uint32_t WalkLengthSpread = 4;
inline constexpr std::uint32_t SmoothingPasses = 6;
inline constexpr std::uint32_t WaterLevel = 7;
inline constexpr std::uint32_t IslandSize = 8;     // rolling and island: width and depth in voxels
inline constexpr std::uint32_t WorldHeight = 9;
inline constexpr std::uint32_t FlatDepth = 10;     // flat: depth in voxels
inline constexpr std::uint32_t FlatWidth = 11;     // flat: width in voxels
inline constexpr std::uint32_t HeightCap = 13;     // island only
inline constexpr std::uint32_t FlatFillMode = 14;  // flat: read from the last further figure
}

// Values of the terrain-type parameter.
enum class TerrainType : std::int32_t
{
    Rolling = 0,
    Flat = 1,
    Island = 2,
};

// The first entry with the identifier, or null.
const WorldParameter* FindWorldParameter(const WorldParameterList& list, std::uint32_t id);

// The value of the first entry with the identifier; 0 when there is none.
float ReadWorldParameter(const WorldParameterList& list, std::uint32_t id);

// The same value truncated toward zero. Values beyond the 32-bit range read as its nearest end
// and NaN reads as 0, so no figure in a list can make the conversion undefined.
std::int32_t ReadWorldParameterInt(const WorldParameterList& list, std::uint32_t id);

// Truncation toward zero into 32 bits with the same saturation.
std::int32_t TruncateToInt(double value);

// The list the world page starts from: a flat 7040 x 7040 world, 1024 high, whose height map is
// all 1 (fill mode 2).
WorldParameterList DefaultWorldParameters();
