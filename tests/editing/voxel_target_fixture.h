#pragma once

#include "editing/EditTarget.h"

#include "world/ChunkBlock.h"

#include "engine/PimVoxelGrid.h"
#include "engine/VoxelCodeTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <tuple>

// An edit target over an empty block of 2 x 2 x 2 chunks (64 voxels a side) whose origin lies at
// `origin`, with helpers that list the voxels holding a value.
class VoxelTargetFixture : public testing::Test
{
protected:
    using Cell = std::tuple<int, int, int>;
    static constexpr std::uint16_t kRed = VoxelCode::FirstColour + 100;
    static constexpr std::uint16_t kBlue = VoxelCode::FirstColour + 4;

    void SetUp() override { Open({0.0f, 0.0f, 0.0f}); }

    void Open(const PimVector3& origin)
    {
        PimVoxelGrid::CacheVoxelCodes(64);
        block = std::make_unique<ChunkBlock>();
        block->Create(2, 2, 2);
        block->SetLocation(origin);
        target.SetModel(block.get());
        this->origin = origin;
    }

    // Every cell of the block holding the value.
    std::set<Cell> CellsOf(std::uint16_t value) const
    {
        std::set<Cell> cells;
        for (int z = 0; z < 64; ++z)
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 64; ++x)
                {
                    const PimVector3 p = origin + PimVector3(x + 0.5f, y + 0.5f, z + 0.5f);
                    if (target.GetVoxel(p) == value)
                        cells.insert({static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(p.y)),
                                      static_cast<int>(std::floor(p.z))});
                }
        return cells;
    }
    void Put(std::uint16_t value, int x, int y, int z)
    {
        target.SetVoxel(value, PimVector3(x + 0.5f, y + 0.5f, z + 0.5f), false, false);
    }
    std::uint16_t At(int x, int y, int z) const { return target.GetVoxel(PimVector3(x + 0.5f, y + 0.5f, z + 0.5f)); }

    std::unique_ptr<ChunkBlock> block;
    EditTarget target;
    PimVector3 origin;
};
