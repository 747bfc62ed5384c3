#include "world/HeightMapPicture.h"
#include "world/TerrainGenerator.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>

namespace
{
WorldParameterList WalkerList(float type, float width, float waterLevel = 4.0f)
{
    return {
        {WorldParameterId::TerrainType, type, {}},
        {WorldParameterId::LowestWalkers, 4.0f, {}},
        {WorldParameterId::HighestWalkers, 8.0f, {}},
        {WorldParameterId::WalkLengthBase, 300.0f, {}},
        {WorldParameterId::WalkLengthSpread, 100.0f, {}},
        {WorldParameterId::SmoothingPasses, 2.0f, {}},
        {WorldParameterId::WaterLevel, waterLevel, {}},
        {WorldParameterId::IslandSize, width, {}},
        {WorldParameterId::WorldHeight, 512.0f, {}},
        {WorldParameterId::HeightCap, 200.0f, {}},
    };
}

WorldParameterList FlatList(float width, float depth, float fillMode)
{
    return {
        {WorldParameterId::TerrainType, 1.0f, {}},
        {WorldParameterId::FlatDepth, depth, {}},
        {WorldParameterId::FlatWidth, width, {}},
        {WorldParameterId::WorldHeight, 256.0f, {}},
        {WorldParameterId::FlatFillMode, 0.0f, {0.0f, 0.0f, fillMode}},
    };
}

bool OutsideDisc(int x, int z, int width)
{
    const long long c = width / 2;
    return (x - c) * (x - c) + (z - c) * (z - c) > c * c;
}

std::uint16_t Highest(const HeightMap& map)
{
    return *std::max_element(map.Samples().begin(), map.Samples().end());
}
}

TEST(TerrainGenerator, DefaultListBuildsAFlatWorldOfHeightOne)
{
    WorldSetup setup(1);
    const TerrainOutcome outcome = GenerateTerrain(setup, DefaultWorldParameters());
    EXPECT_TRUE(outcome.built);
    EXPECT_EQ(setup.GetTerrainType(), 1);
    EXPECT_EQ(setup.GetWidth(), 7040);
    EXPECT_EQ(setup.GetDepth(), 7040);
    EXPECT_EQ(setup.GetWorldHeight(), 1024);
    ASSERT_EQ(setup.GetHeightMap().GetWidth(), 220);
    ASSERT_EQ(setup.GetHeightMap().GetDepth(), 220);
    for (std::uint16_t h : setup.GetHeightMap().Samples())
        ASSERT_EQ(h, 1);
    EXPECT_EQ(setup.GetParameters().size(), 5u);
}

TEST(TerrainGenerator, FlatSizesComeFromTheirOwnIdentifiers)
{
    WorldSetup setup(1);
    // Width from 11, depth from 10; a side that is not a multiple of 32 keeps whole chunks only.
    ASSERT_TRUE(GenerateTerrain(setup, FlatList(640.0f, 100.0f, 2.0f)).built);
    EXPECT_EQ(setup.GetWidth(), 640);
    EXPECT_EQ(setup.GetDepth(), 100);
    EXPECT_EQ(setup.GetHeightMap().GetWidth(), 20);
    EXPECT_EQ(setup.GetHeightMap().GetDepth(), 3);
    EXPECT_EQ(setup.GetPreviewMap(0).GetWidth(), 20);
    EXPECT_EQ(setup.GetPreviewMap(1).GetDepth(), 3);

    // Fill modes other than 2 leave the map at 0, and so does a list without the entry.
    for (float mode : {0.0f, 1.0f, 2.5f, 3.0f, -2.0f})
    {
        GenerateTerrain(setup, FlatList(64.0f, 64.0f, mode));
        EXPECT_EQ(Highest(setup.GetHeightMap()), mode == 2.5f ? 1 : 0) << mode;
    }
    WorldParameterList noMode = FlatList(64.0f, 64.0f, 2.0f);
    noMode.pop_back();
    GenerateTerrain(setup, noMode);
    EXPECT_EQ(Highest(setup.GetHeightMap()), 0);

    // Sides beyond the world are held to it.
    GenerateTerrain(setup, FlatList(1e9f, 40000.0f, 2.0f));
    EXPECT_EQ(setup.GetWidth(), 32768);
    EXPECT_EQ(setup.GetHeightMap().GetDepth(), 1024);
}

TEST(TerrainGenerator, SidesTooSmallForOneChunkBuildNothing)
{
    WorldSetup setup(1);
    for (const WorldParameterList& list : {FlatList(0.0f, 640.0f, 2.0f), FlatList(640.0f, -64.0f, 2.0f),
                                           FlatList(31.0f, 640.0f, 2.0f), WalkerList(0.0f, 20.0f),
                                           WalkerList(2.0f, -4096.0f)})
    {
        GenerateTerrain(setup, FlatList(640.0f, 640.0f, 2.0f));
        const TerrainOutcome outcome = GenerateTerrain(setup, list);
        EXPECT_FALSE(outcome.built);
        EXPECT_EQ(setup.GetWidth(), 0);
        EXPECT_EQ(setup.GetDepth(), 0);
        EXPECT_TRUE(setup.GetHeightMap().IsEmpty());
    }
}

TEST(TerrainGenerator, TerrainTypePicksTheGenerator)
{
    WorldSetup setup(42);
    // Rolling: low land folded to at most 7, nothing outside the disc.
    ASSERT_TRUE(GenerateTerrain(setup, WalkerList(0.0f, 2048.0f)).built);
    const HeightMap& map = setup.GetHeightMap();
    ASSERT_EQ(map.GetWidth(), 64);
    EXPECT_LE(Highest(map), 7);
    EXPECT_GT(Highest(map), 3);
    for (int z = 0; z < 64; ++z)
        for (int x = 0; x < 64; ++x)
        {
            if (OutsideDisc(x, z, 64))
            {
                ASSERT_EQ(map.At(x, z), 0) << x << "," << z;
            }
        }
    EXPECT_EQ(setup.GetPreviewMap(1).At(10, 10), 5);
    EXPECT_TRUE(setup.GetPreviewPicture(0).IsValid());

    // Island (2.9 truncates to 2): capped at 200, and it reaches the cap.
    ASSERT_TRUE(GenerateTerrain(setup, WalkerList(2.9f, 2048.0f)).built);
    EXPECT_EQ(Highest(map), 200);
    EXPECT_EQ(map.At(0, 0), 0);

    // A list without a type is rolling; unknown types build nothing.
    WorldParameterList untyped = WalkerList(2.0f, 2048.0f);
    untyped.erase(untyped.begin());
    EXPECT_TRUE(GenerateTerrain(setup, untyped).built);
    EXPECT_LE(Highest(map), 7);
    for (float type : {3.0f, -1.0f, 1e12f})
    {
        EXPECT_FALSE(GenerateTerrain(setup, WalkerList(type, 2048.0f)).built) << type;
        EXPECT_TRUE(map.IsEmpty());
        EXPECT_EQ(setup.GetParameters().size(), 10u);
    }
}

TEST(TerrainGenerator, OneSeedOneTerrain)
{
    for (float type : {0.0f, 2.0f})
    {
        WorldSetup first(777);
        WorldSetup second(777);
        WorldSetup other(778);
        GenerateTerrain(first, WalkerList(type, 4096.0f));
        GenerateTerrain(second, WalkerList(type, 4096.0f));
        GenerateTerrain(other, WalkerList(type, 4096.0f));
        EXPECT_EQ(first.GetHeightMap().Samples(), second.GetHeightMap().Samples()) << type;
        EXPECT_EQ(first.GetPreviewMap(0).Samples(), second.GetPreviewMap(0).Samples()) << type;
        EXPECT_NE(first.GetHeightMap().Samples(), other.GetHeightMap().Samples()) << type;

        // Generating again into the same record starts from the seed again.
        const std::vector<std::uint16_t> before = first.GetHeightMap().Samples();
        GenerateTerrain(first, WalkerList(type, 4096.0f));
        EXPECT_EQ(first.GetHeightMap().Samples(), before) << type;
    }
}

TEST(TerrainGenerator, IslandTerrainOfASeedNeverChanges)
{
    // Chunks nobody edited are not stored: they are generated again from the seed each time a
    // world opens. A change to the random figures or to the order of the steps would move the
    // ground under every saved edit, so the result for one seed is pinned here.
    WorldSetup setup(2024);
    GenerateTerrain(setup, WalkerList(2.0f, 2048.0f, 120.0f));
    std::uint64_t hash = 1469598103934665603ull;
    for (std::uint16_t h : setup.GetHeightMap().Samples())
        hash = (hash ^ h) * 1099511628211ull;
    EXPECT_EQ(hash, 10451976946661394599ull);
}

TEST(TerrainGenerator, IslandSeaBelowHundredDoesNotWrapToTheSky)
{
    // The island starts from trunc(water level - 100): below 0 it is 0, not 65436 and up.
    WorldSetup setup(5);
    WorldParameterList list = WalkerList(2.0f, 2048.0f, 50.0f);
    list[9].value = 60000.0f;
    ASSERT_TRUE(GenerateTerrain(setup, list).built);
    EXPECT_LE(Highest(setup.GetHeightMap()), 511);
}

TEST(TerrainGenerator, BadWalkFiguresGiveATerrainNotACrash)
{
    WorldSetup setup(8);
    WorldParameterList list = WalkerList(0.0f, 1024.0f);
    list[1].value = 200.0f; // lowest above highest
    list[2].value = 3.0f;
    list[4].value = 0.0f;   // no spread
    list[5].value = -4.0f;  // negative passes
    EXPECT_TRUE(GenerateTerrain(setup, list).built);
    list[1].value = list[2].value = 1e9f; // equal bounds, far beyond 8 bits
    list[3].value = -1e9f;                // negative walk lengths
    EXPECT_TRUE(GenerateTerrain(setup, list).built);
    EXPECT_TRUE(GenerateTerrain(setup, WalkerList(2.0f, 32.0f)).built); // a one-sample island
    EXPECT_EQ(setup.GetHeightMap().Samples().size(), 1u);
}

TEST(TerrainGenerator, StepPicturesAreWrittenAndReadBack)
{
    TempFolder folder("terrain-pictures");
    WorldSetup setup(3);
    const TerrainOutcome rolling = GenerateTerrain(setup, WalkerList(0.0f, 2048.0f), folder.path.string() + "/");
    EXPECT_EQ(rolling.picturesSaved, 6);
    EXPECT_EQ(rolling.pictureFailures, 0);
    for (const char* step : {"A", "B", "C", "D", "E", "F"})
    {
        PimTexture picture;
        ASSERT_TRUE(picture.Load((folder / (std::string("HMap") + step + ".png")).string())) << step;
        EXPECT_EQ(picture.GetWidth(), 64);
        EXPECT_EQ(picture.GetHeight(), 64);
    }
    // Without a trailing separator the pictures still go inside the folder.
    const TerrainOutcome island = GenerateTerrain(setup, WalkerList(2.0f, 2048.0f), folder.path.string());
    EXPECT_EQ(island.picturesSaved, 7);
    EXPECT_TRUE(std::filesystem::exists(folder / "HMapA7.png"));

    // A folder that does not exist: every picture fails, the terrain is built all the same.
    const TerrainOutcome missing = GenerateTerrain(setup, WalkerList(0.0f, 2048.0f), (folder / "none" / "x").string());
    EXPECT_TRUE(missing.built);
    EXPECT_EQ(missing.picturesSaved, 0);
    EXPECT_EQ(missing.pictureFailures, 6);
    EXPECT_EQ(HeightMapPicture::PathFor("C:\\Saved\\", "B"), "C:\\Saved\\HMapB.png");
}

TEST(TerrainGenerator, PictureColoursShowWaterLandAndGrid)
{
    HeightMap map;
    map.Resize(20, 20, 0);
    map.Set(5, 5, 10);   // water, at the level
    map.Set(6, 5, 512);  // high land
    map.Set(16, 5, 512); // high land on a grid column
    const PimTexture picture = HeightMapPicture::Make(map, 10.0f);
    ASSERT_TRUE(picture.IsValid());
    EXPECT_EQ(picture.GetColor(1, 1), PimColor(0, 0, 77));    // dry sea floor: 0.3 blue
    EXPECT_EQ(picture.GetColor(5, 5), PimColor(0, 0, 255));   // at the level: full blue
    EXPECT_EQ(picture.GetColor(6, 5), PimColor(178, 128, 51)); // t = 1: (0.7, 0.5, 0.2)
    EXPECT_EQ(picture.GetColor(16, 5), PimColor(242, 64, 0));  // tinted grid line
    EXPECT_EQ(picture.GetColor(0, 5), PimColor(64, 0, 13));    // grid line over water
    EXPECT_FALSE(HeightMapPicture::Make(HeightMap(), 10.0f).IsValid());
}
