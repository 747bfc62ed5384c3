#include "world/TerrainFill.h"

#include "engine/VoxelCodeTable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace
{
constexpr int kSide = PimVoxelGrid::kSide;
constexpr int kColumns = kSide * kSide;
constexpr int kSandTop = 3;        // voxels below this world height are the world's floor
constexpr int kTurfDepth = 7;      // turf thickness on level ground
constexpr int kSlopePerVoxel = 10; // slope that takes one voxel off the turf

// Chunk bottoms farther than this from the ground's 0 to 65535 voxels all give the same clamped
// figures, so the column arithmetic can stay in 32 bits.
constexpr std::int64_t kFarBottom = 1 << 20;

std::int64_t FloorToInt(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double kLimit = 1e15;
    return static_cast<std::int64_t>(std::floor(std::clamp(value, -kLimit, kLimit)));
}

int Relative(std::int64_t worldHeight, std::int64_t chunkBottom, int lowest, int highest)
{
    return static_cast<int>(std::clamp<std::int64_t>(worldHeight - chunkBottom, lowest, highest));
}

// Chunk-relative thresholds of every column, in layer order (index z * 32 + x), and their range
// over the island's columns. Layer y of a column holds: sand below sandEnd; above top the
// layer's water or air; rock below rock; turf from rock up to top. keep is all bits for island
// columns and 0 outside.
struct ColumnPlan
{
    alignas(64) std::int16_t top[kColumns];
    alignas(64) std::int16_t rock[kColumns];
    alignas(64) std::uint16_t keep[kColumns];
    int sandEnd = 0;
    int waterTop = -1;
    int minTop = 32, maxTop = -1, minRock = 32, maxRock = 0;
    bool anyInside = false;
    bool anyOutside = false;
};

// The four height-map samples around a chunk: its own column corner and the next ones along x
// and z, read at the map's edge for the last column and row.
struct Corners
{
    std::int32_t h00, h01, h10, h11;
};

Corners CornersAt(const HeightMap& map, int xc, int zc)
{
    return {map.ClampedAt(xc, zc), map.ClampedAt(xc + 1, zc), map.ClampedAt(xc, zc + 1), map.ClampedAt(xc + 1, zc + 1)};
}

// The central island: a disc around the middle of the height map, radius half its width, in
// voxels.
struct IslandDisc
{
    std::int64_t centreX, centreZ, radius;

    explicit IslandDisc(const HeightMap& map)
        : centreX(static_cast<std::int64_t>(map.GetWidth() / 2) * kSide),
          centreZ(static_cast<std::int64_t>(map.GetDepth() / 2) * kSide),
          radius(centreX)
    {
    }

    bool Contains(std::int64_t x, std::int64_t z) const
    {
        const std::int64_t dx = x - centreX;
        const std::int64_t dz = z - centreZ;
        return dx * dx + dz * dz <= radius * radius;
    }

    // Whether every column of the chunk at (x0, z0) lies inside, every one outside, or neither.
    enum class Cover { Inside, Outside, Partly };
    Cover Covers(std::int64_t x0, std::int64_t z0) const
    {
        const std::int64_t x1 = x0 + kSide - 1;
        const std::int64_t z1 = z0 + kSide - 1;
        if (Contains(x0, z0) && Contains(x1, z0) && Contains(x0, z1) && Contains(x1, z1))
            return Cover::Inside;
        if (!Contains(std::clamp(centreX, x0, x1), std::clamp(centreZ, z0, z1)))
            return Cover::Outside;
        return Cover::Partly;
    }
};

// The column heights and slopes by bilinear interpolation over the chunk's 32 steps, in integers
// scaled by 1024 so that every machine gets the same figures: height 1024 * h(x, z) =
// 1024 h00 + 32 x (h01 - h00) + 32 z (h10 - h00) + x z (h11 - h01 - h10 + h00), never negative.
// The slope of a column is |dh/dx| + |dh/dz at x = 0 plus dh/dz at x = 32|, truncated.
void PlanColumns(const Corners& c, int bottom, ColumnPlan& plan)
{
    const std::int32_t zSlope = std::abs((c.h10 - c.h00) * 32 + (c.h11 - c.h01) * 32);
    const std::int32_t twist = (c.h11 - c.h01) - (c.h10 - c.h00);
    for (int z = 0; z < kSide; ++z)
    {
        const std::int32_t xSlope = (c.h01 - c.h00) * 32 + twist * z;
        const std::int32_t slope = (std::abs(xSlope) + zSlope) / 1024;
        const std::int32_t rockBelowTop = slope / kSlopePerVoxel - kTurfDepth;
        const std::int32_t rowStart = c.h00 * 1024 + (c.h10 - c.h00) * 32 * z;
        std::int16_t* top = plan.top + z * kSide;
        std::int16_t* rock = plan.rock + z * kSide;
        for (int x = 0; x < kSide; ++x)
        {
            const std::int32_t height = ((rowStart + xSlope * x) >> 10) - bottom;
            top[x] = static_cast<std::int16_t>(std::clamp(height, -1, kSide));
            rock[x] = static_cast<std::int16_t>(std::clamp(height + rockBelowTop, 0, kSide));
        }
    }
}

// Marks the island's columns and takes the range of their thresholds.
void PlanIsland(const IslandDisc& disc, IslandDisc::Cover cover, std::int64_t x0, std::int64_t z0, ColumnPlan& plan)
{
    if (cover == IslandDisc::Cover::Inside)
    {
        // The common case, kept free of branches so that it runs on whole vectors.
        std::fill_n(plan.keep, kColumns, std::uint16_t{0xFFFF});
        std::int16_t minTop = kSide, maxTop = -1, minRock = kSide, maxRock = 0;
        for (int column = 0; column < kColumns; ++column)
        {
            minTop = std::min(minTop, plan.top[column]);
            maxTop = std::max(maxTop, plan.top[column]);
            minRock = std::min(minRock, plan.rock[column]);
            maxRock = std::max(maxRock, plan.rock[column]);
        }
        plan.minTop = minTop;
        plan.maxTop = maxTop;
        plan.minRock = minRock;
        plan.maxRock = maxRock;
        plan.anyInside = true;
        return;
    }
    for (int column = 0; column < kColumns; ++column)
    {
        const bool inside = disc.Contains(x0 + column % kSide, z0 + column / kSide);
        plan.keep[column] = inside ? 0xFFFF : 0;
        if (!inside)
        {
            plan.anyOutside = true;
            continue;
        }
        plan.anyInside = true;
        plan.minTop = std::min<int>(plan.minTop, plan.top[column]);
        plan.maxTop = std::max<int>(plan.maxTop, plan.top[column]);
        plan.minRock = std::min<int>(plan.minRock, plan.rock[column]);
        plan.maxRock = std::max<int>(plan.maxRock, plan.rock[column]);
    }
}

std::uint16_t AboveGround(const ColumnPlan& plan, int y)
{
    return y <= plan.waterTop ? VoxelCode::Water : VoxelCode::Empty;
}

// The code every island column has on layer y, or false when the columns differ.
bool UniformLayerCode(const ColumnPlan& plan, int y, std::uint16_t& code)
{
    if (y < plan.sandEnd)
        code = VoxelCode::Sand;
    else if (y > plan.maxTop)
        code = AboveGround(plan, y);
    else if (y > plan.minTop)
        return false;
    else if (y < plan.minRock)
        code = VoxelCode::Rock;
    else if (y >= plan.maxRock)
        code = VoxelCode::Turf;
    else
        return false;
    return true;
}

// All bits where a < b, else none: the sign of a - b, which fits 16 bits for thresholds of
// -1 to 32. Written as arithmetic so that it runs on whole vectors of 16-bit lanes.
inline std::uint16_t LessMask(std::int16_t a, std::int16_t b)
{
    return static_cast<std::uint16_t>(static_cast<std::int16_t>(a - b) >> 15);
}

void WriteSurfaceLayer(const ColumnPlan& plan, int y, std::uint16_t* layer)
{
    const std::uint16_t above = AboveGround(plan, y);
    const auto level = static_cast<std::int16_t>(y);
    constexpr std::uint16_t kRockOrTurf = VoxelCode::Rock ^ VoxelCode::Turf;
    for (int column = 0; column < kColumns; ++column)
    {
        const std::uint16_t ground = VoxelCode::Turf ^ (kRockOrTurf & LessMask(level, plan.rock[column]));
        const std::uint16_t code = ground ^ ((ground ^ above) & LessMask(plan.top[column], level));
        layer[column] = code & plan.keep[column];
    }
}

void WriteMaskedLayer(const ColumnPlan& plan, std::uint16_t code, std::uint16_t* layer)
{
    for (int column = 0; column < kColumns; ++column)
        layer[column] = static_cast<std::uint16_t>(code & plan.keep[column]);
}

// Writes the chunk as one code throughout; a chunk that already is needs no writing.
void FillUniform(PimVoxelGrid& chunk, std::uint16_t code)
{
    std::uint16_t held = 0;
    if (chunk.IsUniform(held) && held == code)
        return;
    std::uint16_t* voxels = chunk.SetVoxels();
    std::fill_n(voxels, PimVoxelGrid::kVoxelCount, code);
}

void FillFromPlan(const ColumnPlan& plan, PimVoxelGrid& chunk)
{
    std::uint16_t layerCodes[kSide];
    bool layerUniform[kSide];
    bool wholeChunkUniform = true;
    for (int y = 0; y < kSide; ++y)
    {
        layerUniform[y] = UniformLayerCode(plan, y, layerCodes[y]);
        // Outside the island a layer is empty, so a layer with outside columns is one code only
        // when it is empty.
        if (layerUniform[y] && plan.anyOutside && layerCodes[y] != VoxelCode::Empty)
            layerUniform[y] = false;
        wholeChunkUniform = wholeChunkUniform && layerUniform[y] && layerCodes[y] == layerCodes[0];
    }
    if (wholeChunkUniform)
    {
        FillUniform(chunk, layerCodes[0]);
        return;
    }
    std::uint16_t* voxels = chunk.SetVoxels();
    for (int y = 0; y < kSide; ++y)
    {
        std::uint16_t* layer = voxels + PimVoxelGrid::GetIndex(0, static_cast<std::uint16_t>(y), 0);
        if (layerUniform[y])
            std::fill_n(layer, kColumns, layerCodes[y]);
        else if (y < plan.sandEnd || y > plan.maxTop)
            WriteMaskedLayer(plan, y < plan.sandEnd ? VoxelCode::Sand : AboveGround(plan, y), layer);
        else
            WriteSurfaceLayer(plan, y, layer);
    }
}
} // namespace

void FillChunk(const WorldSetup& setup, PimVoxelGrid& chunk)
{
    const PimVector3 location = chunk.GetLocation();
    const std::int64_t x0 = FloorToInt(location.x);
    const std::int64_t z0 = FloorToInt(location.z);
    const std::int64_t bottom = std::clamp(FloorToInt(location.y), -kFarBottom, kFarBottom);
    const HeightMap& map = setup.GetHeightMap();
    const std::int64_t xc = x0 >= 0 ? x0 / kSide : -1;
    const std::int64_t zc = z0 >= 0 ? z0 / kSide : -1;
    const IslandDisc disc(map);

    // Chunks beyond the map are outside the world, and chunks outside the island are empty.
    bool empty = !map.Contains(static_cast<int>(std::clamp<std::int64_t>(xc, -1, map.GetWidth())),
                               static_cast<int>(std::clamp<std::int64_t>(zc, -1, map.GetDepth())));
    const IslandDisc::Cover cover = empty ? IslandDisc::Cover::Outside : disc.Covers(x0, z0);
    empty = empty || cover == IslandDisc::Cover::Outside;

    ColumnPlan plan;
    if (!empty)
    {
        const float water = setup.GetWaterLevel();
        plan.sandEnd = Relative(kSandTop, bottom, 0, kSide);
        plan.waterTop = std::isnan(water) ? -1 : Relative(FloorToInt(water), bottom, -1, kSide);
        const Corners corners = CornersAt(map, static_cast<int>(xc), static_cast<int>(zc));
        // Above the highest corner, the water and the floor there is nothing but air.
        const std::int32_t highest = std::max({corners.h00, corners.h01, corners.h10, corners.h11});
        empty = bottom > highest && plan.waterTop < 0 && plan.sandEnd == 0;
        if (!empty)
        {
            PlanColumns(corners, static_cast<int>(bottom), plan);
            PlanIsland(disc, cover, x0, z0, plan);
        }
    }

    chunk.LockVoxelMutex();
    if (empty)
        FillUniform(chunk, VoxelCode::Empty);
    else
        FillFromPlan(plan, chunk);
    chunk.UnLockVoxelMutex();
    chunk.SetGridStatus(PimVoxelGrid::kStatusToBuild);
}
