#include "engine/VoxelCodeTable.h"

#include <gtest/gtest.h>

TEST(VoxelCodeTable, TerrainAndSelectableCodesHaveTheirLookAndCollision)
{
    const VoxelCodeTable& table = VoxelCodeTable::GetInstance();
    const VoxelData& turf = table.GetVoxelData(VoxelCode::Turf);
    EXPECT_EQ(turf.Tile(VoxelFacePosY), VoxelTile::Grass);
    EXPECT_EQ(turf.Tile(VoxelFaceNegY), VoxelTile::Earth);
    EXPECT_EQ(turf.Tile(VoxelFacePosX), VoxelTile::Earth);
    EXPECT_EQ(table.GetVoxelData(VoxelCode::Rock).Tile(VoxelFacePosZ), VoxelTile::Rock);
    EXPECT_EQ(table.GetVoxelData(VoxelCode::Sand).Tile(VoxelFacePosZ), VoxelTile::Sand);

    EXPECT_EQ(table.GetCollisionClass(VoxelCode::Water), VoxelCollision::Liquid);
    EXPECT_TRUE(table.IsTranslucent(VoxelCode::Water));
    EXPECT_TRUE(table.IsTranslucent(VoxelCode::Guide));
    EXPECT_FALSE(table.IsTranslucent(VoxelCode::Rock));
    EXPECT_EQ(table.GetCollisionClass(VoxelCode::Turf), VoxelCollision::Solid);
    EXPECT_EQ(table.GetCollisionClass(VoxelCode::HelperCube), VoxelCollision::Helper);
    EXPECT_EQ(table.GetVoxelData(VoxelCode::HelperCube).Tile(0), VoxelTile::Plain);
    for (std::uint16_t code : {VoxelCode::Frame, VoxelCode::Stripe, VoxelCode::Brick})
        EXPECT_NE(table.GetVoxelData(code).Tile(0), VoxelTile::Unknown) << code;

    EXPECT_EQ(table.GetCollisionClass(0), VoxelCollision::None);
    EXPECT_EQ(table.GetVoxelData(0xFF3C).Tile(0), VoxelTile::Plain);
    EXPECT_EQ(table.GetCollisionClass(0xFFFF), VoxelCollision::Solid);
    EXPECT_EQ(table.GetVoxelData(4321).Tile(VoxelFaceNegY), VoxelTile::Unknown);
    EXPECT_EQ(table.GetCollisionClass(4321), VoxelCollision::Solid);
}

TEST(VoxelCodeTable, CachedLookupAnswersLikeTheSearch)
{
    VoxelCodeTable table;
    ASSERT_TRUE(table.Define(4000, VoxelData::Uniform(40, VoxelCollision::Helper, true)));
    EXPECT_FALSE(table.Define(0, VoxelData()));
    EXPECT_FALSE(table.Define(0xFF00, VoxelData()));

    const std::uint16_t probes[] = {1, 129, 154, 2216, 3560, 3999, 4000, 4001, 4999, 5000, 0xFEFF, 0xFF00};
    std::vector<const VoxelData*> before;
    for (std::uint16_t code : probes)
        before.push_back(&table.GetVoxelData(code));
    table.CacheCodes(5000);
    EXPECT_EQ(table.GetCachedCodeCount(), 5000u);
    table.CacheCodes(100);
    EXPECT_EQ(table.GetCachedCodeCount(), 5000u) << "a smaller request keeps the larger cache";
    for (std::size_t i = 0; i < std::size(probes); ++i)
        EXPECT_EQ(&table.GetVoxelData(probes[i]), before[i]) << probes[i];

    // Redefining after caching is seen through the cache.
    ASSERT_TRUE(table.Define(4001, VoxelData::Uniform(41, VoxelCollision::Solid)));
    EXPECT_EQ(table.GetVoxelData(4001).Tile(0), 41);
    EXPECT_TRUE(table.IsTranslucent(4000));
}
