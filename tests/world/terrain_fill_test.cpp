#include "world/TerrainFill.h"
#include "world/TerrainGenerator.h"

#include "engine/VoxelCodeTable.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace
{
// A record of side x side samples, all at `height`; the island disc then covers the middle.
WorldSetup Level(int side, std::uint16_t height, float waterLevel)
{
    WorldSetup setup(1);
    setup.SetSize(side * 32, side * 32);
    setup.GetHeightMap().Fill(height);
    setup.SetWaterLevel(waterLevel);
    return setup;
}

// The column's codes from y = 0 up, as a string of letters: s sand, r rock, t turf, w water,
// . air, ? anything else.
std::string Column(PimVoxelGrid& chunk, int x, int z)
{
    std::string letters;
    for (int y = 0; y < 32; ++y)
    {
        switch (chunk.GetVoxel(x, y, z))
        {
        case VoxelCode::Sand: letters += 's'; break;
        case VoxelCode::Rock: letters += 'r'; break;
        case VoxelCode::Turf: letters += 't'; break;
        case VoxelCode::Water: letters += 'w'; break;
        case VoxelCode::Empty: letters += '.'; break;
        default: letters += '?'; break;
        }
    }
    return letters;
}

void Fill(const WorldSetup& setup, PimVoxelGrid& chunk, float x, float y, float z)
{
    chunk.SetLocation(PimVector3(x, y, z));
    FillChunk(setup, chunk);
}

std::string Repeat(char letter, int count) { return std::string(static_cast<std::size_t>(count), letter); }
}

TEST(TerrainFill, FloorIsThreeLayersOfSandWhateverTheHeights)
{
    PimVoxelGrid chunk;
    // Sea floor at 0 under water up to 10.5: sand, then water to 10, then air.
    Fill(Level(8, 0, 10.5f), chunk, 128, 0, 128);
    EXPECT_EQ(Column(chunk, 5, 5), "sss" + Repeat('w', 8) + Repeat('.', 21));
    // Deep ground: sand under rock.
    Fill(Level(8, 300, 10.0f), chunk, 128, 0, 128);
    EXPECT_EQ(Column(chunk, 0, 31), "sss" + Repeat('r', 29));
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusToBuild);
    EXPECT_FALSE(chunk.IsEditedSinceSave());
}

TEST(TerrainFill, LevelGroundHasRockUnderEightTurfLayers)
{
    PimVoxelGrid chunk;
    Fill(Level(8, 40, 0.0f), chunk, 96, 32, 160);
    // Height 40: rock below 33, turf from 33 to 40, air above.
    const std::string expected = "r" + Repeat('t', 8) + Repeat('.', 23);
    for (int x : {0, 17, 31})
        for (int z : {0, 9, 31})
            EXPECT_EQ(Column(chunk, x, z), expected) << x << "," << z;
}

TEST(TerrainFill, HeightsAreInterpolatedAndSteepGroundThinsTheTurf)
{
    WorldSetup setup = Level(8, 0, 0.0f);
    // Along x from 0 to 320 over one chunk: 10 voxels of height per voxel, slope 10.
    setup.GetHeightMap().Set(5, 4, 320);
    setup.GetHeightMap().Set(5, 5, 320);
    PimVoxelGrid chunk;
    Fill(setup, chunk, 128, 64, 128);
    // Column x = 8: height 80, relative 16; turf from 80 - 7 + 1 = 74 to 80.
    EXPECT_EQ(Column(chunk, 8, 0), Repeat('r', 10) + Repeat('t', 7) + Repeat('.', 15));
    EXPECT_EQ(Column(chunk, 8, 31), Column(chunk, 8, 0));
    // Column x = 0 is at height 0, below the chunk: air (no water at level 0).
    EXPECT_EQ(Column(chunk, 0, 3), Repeat('.', 32));
    // Column x = 31: height 310, far above the chunk.
    EXPECT_EQ(Column(chunk, 31, 3), Repeat('r', 32));
}

TEST(TerrainFill, LastColumnAndRowReadTheMapsEdge)
{
    // All 40 except the sample that follows the last column in memory (the first of the next
    // row): a fill that read past the row would slope down toward it.
    WorldSetup setup = Level(8, 40, 0.0f);
    setup.GetHeightMap().Set(0, 5, 0);
    PimVoxelGrid chunk;
    Fill(setup, chunk, 7 * 32, 0, 4 * 32);
    EXPECT_EQ(Column(chunk, 0, 0), "sss" + Repeat('r', 29));
    Fill(setup, chunk, 7 * 32, 32, 4 * 32);
    EXPECT_EQ(Column(chunk, 20, 0), "r" + Repeat('t', 8) + Repeat('.', 23));

    // The last row reads past the end of the map without the clamp.
    Fill(setup, chunk, 4 * 32, 32, 7 * 32);
    EXPECT_EQ(Column(chunk, 0, 0), "r" + Repeat('t', 8) + Repeat('.', 23));
    EXPECT_EQ(Column(chunk, 31, 20), "r" + Repeat('t', 8) + Repeat('.', 23));
}

TEST(TerrainFill, OutsideTheIslandAndTheMapEverythingIsEmpty)
{
    const WorldSetup setup = Level(8, 40, 20.0f);
    PimVoxelGrid chunk;
    // The corner chunk is wholly outside the disc of radius 128 around (128, 128).
    Fill(setup, chunk, 0, 0, 0);
    std::uint16_t value = 1;
    EXPECT_TRUE(chunk.IsUniform(value));
    EXPECT_EQ(value, 0);
    EXPECT_EQ(chunk.GetGridStatus(), PimVoxelGrid::kStatusToBuild);

    // A chunk the disc's edge crosses: empty columns outside, ground inside.
    Fill(setup, chunk, 224, 0, 128);
    EXPECT_EQ(Column(chunk, 31, 31), Repeat('.', 32));
    EXPECT_EQ(Column(chunk, 0, 0), "sss" + Repeat('r', 29));

    // Beyond the map on any side, and with no map at all.
    for (const PimVector3& at : {PimVector3(256, 0, 128), PimVector3(128, 0, 256), PimVector3(-32, 0, 128),
                                 PimVector3(128, 0, -32), PimVector3(1e30f, 0, 1e30f)})
    {
        Fill(setup, chunk, at.x, at.y, at.z);
        EXPECT_TRUE(chunk.IsUniform(value) && value == 0) << at.x << "," << at.z;
    }
    Fill(WorldSetup(1), chunk, 0, 0, 0);
    EXPECT_TRUE(chunk.IsUniform(value) && value == 0);
}

TEST(TerrainFill, ChunksOfOneCodeKeepNoArray)
{
    const WorldSetup setup = Level(8, 300, 100.0f);
    PimVoxelGrid chunk;
    Fill(setup, chunk, 128, 96, 128); // all rock
    std::uint16_t value = 0;
    EXPECT_TRUE(chunk.IsUniform(value));
    EXPECT_EQ(value, VoxelCode::Rock);
    EXPECT_EQ(chunk.GetVoxelBytes(), 0u);

    Fill(setup, chunk, 128, 0, 128); // sand under rock: an array
    EXPECT_GT(chunk.GetVoxelBytes(), 0u);
    Fill(setup, chunk, 128, 480, 128); // air again: the array is given back
    EXPECT_TRUE(chunk.IsUniform(value));
    EXPECT_EQ(value, 0);
    EXPECT_EQ(chunk.GetVoxelBytes(), 0u);

    Fill(Level(8, 0, 300.0f), chunk, 128, 128, 128); // under water
    EXPECT_TRUE(chunk.IsUniform(value));
    EXPECT_EQ(value, VoxelCode::Water);
}

TEST(TerrainFill, GeneratedIslandFillsEveryColumnConsistently)
{
    WorldSetup setup(9);
    const WorldParameterList list = {
        {WorldParameterId::TerrainType, 2.0f, {}},    {WorldParameterId::LowestWalkers, 4.0f, {}},
        {WorldParameterId::HighestWalkers, 6.0f, {}}, {WorldParameterId::WalkLengthBase, 200.0f, {}},
        {WorldParameterId::WalkLengthSpread, 50.0f, {}}, {WorldParameterId::SmoothingPasses, 2.0f, {}},
        {WorldParameterId::WaterLevel, 12.0f, {}},    {WorldParameterId::IslandSize, 512.0f, {}},
        {WorldParameterId::HeightCap, 60.0f, {}},
    };
    ASSERT_TRUE(GenerateTerrain(setup, list).built);
    PimVoxelGrid chunk;
    for (int zc = 0; zc < 16; ++zc)
        for (int xc = 0; xc < 16; ++xc)
        {
            Fill(setup, chunk, xc * 32.0f, 0, zc * 32.0f);
            for (int z = 0; z < 32; z += 7)
                for (int x = 0; x < 32; x += 5)
                {
                    const long long dx = xc * 32 + x - 256, dz = zc * 32 + z - 256;
                    const std::string column = Column(chunk, x, z);
                    if (dx * dx + dz * dz > 256 * 256)
                    {
                        ASSERT_EQ(column, Repeat('.', 32));
                    }
                    else
                    {
                        ASSERT_EQ(column.substr(0, 3), "sss") << xc << "," << zc << " " << column;
                    }
                    ASSERT_EQ(column.find('?'), std::string::npos);
                }
        }
}
