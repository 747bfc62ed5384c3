#include "world/TerrainGenerator.h"
#include "world/WorldSeed.h"
#include "world/WorldStore.h"

#include "tests/support/SettingsFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
WorldParameterList IslandList()
{
    return {
        {WorldParameterId::TerrainType, 2.0f, {}},
        {WorldParameterId::LowestWalkers, 4.0f, {}},
        {WorldParameterId::HighestWalkers, 8.0f, {}},
        {WorldParameterId::WalkLengthBase, 300.0f, {}},
        {WorldParameterId::WalkLengthSpread, 100.0f, {}},
        {WorldParameterId::SmoothingPasses, 2.0f, {}},
        {WorldParameterId::WaterLevel, 100.0f, {}},
        {WorldParameterId::IslandSize, 2048.0f, {}},
        {WorldParameterId::WorldHeight, 512.0f, {}},
        {WorldParameterId::HeightCap, 160.0f, {}},
    };
}

class WorldSeedTest : public SettingsFixture
{
protected:
    // Opens the world as the world page does - its store first, then the seed - and generates
    // its terrain; the height map grown.
    std::vector<std::uint16_t> OpenAndGenerate(const PimWString& name)
    {
        settings->activeGame.SetGameWorldName(name);
        store = std::make_unique<WorldStore>(*settings);
        EXPECT_TRUE(store->Open());
        WorldSetup setup(TakeWorldSeed(settings->activeGame));
        GenerateTerrain(setup, IslandList());
        return setup.GetHeightMap().Samples();
    }

    std::string SettingsText(const PimWString& name) const
    {
        PimString text;
        PimFile::ReadAllText(settings->GetFolders().models + name + L"\\settings.set", text);
        return text;
    }

    void WriteSettingsText(const PimWString& name, const std::string& text) const
    {
        ASSERT_TRUE(PimFile::WriteString(settings->GetFolders().models + name + L"\\settings.set",
                                         PimWString::Widen(text), false));
    }

    std::unique_ptr<WorldStore> store;
};
}

TEST_F(WorldSeedTest, AWorldGrowsTheSameTerrainEveryTimeItIsOpened)
{
    const std::vector<std::uint16_t> first = OpenAndGenerate(L"Isle");
    const std::optional<std::uint32_t> seed = settings->activeGame.GetWorldSeed();
    ASSERT_TRUE(seed.has_value()) << "a new world records the seed it was given";
    ASSERT_TRUE(store->WriteSettings());
    EXPECT_NE(SettingsText(L"Isle").find("<WorldSeed>" + std::to_string(*seed) + "</WorldSeed>"), std::string::npos);

    // Another world in between gets a seed of its own and does not disturb this one's.
    OpenAndGenerate(L"Other");
    ASSERT_TRUE(store->WriteSettings());

    settings = Restart();
    EXPECT_EQ(OpenAndGenerate(L"Isle"), first);
    EXPECT_EQ(settings->activeGame.GetWorldSeed(), seed);
}

TEST_F(WorldSeedTest, AWorldSavedWithoutASeedGetsOneThatItKeepsFromItsNextSave)
{
    OpenAndGenerate(L"Old");
    ASSERT_TRUE(store->WriteSettings());
    // The settings file as worlds were saved before their seeds were kept.
    std::string text = SettingsText(L"Old");
    const std::size_t start = text.find("<WorldSeed>");
    ASSERT_NE(start, std::string::npos);
    text.erase(start, text.find("</WorldSeed>") + std::string("</WorldSeed>").size() - start);
    WriteSettingsText(L"Old", text);

    settings = Restart();
    const std::vector<std::uint16_t> drawn = OpenAndGenerate(L"Old");
    EXPECT_TRUE(store->HadSettingsFile()) << "the rest of the file still reads";
    ASSERT_TRUE(settings->activeGame.GetWorldSeed().has_value());
    ASSERT_TRUE(store->WriteSettings());

    settings = Restart();
    EXPECT_EQ(OpenAndGenerate(L"Old"), drawn);

    // A number no seed can be counts as no seed at all, and is replaced.
    text = SettingsText(L"Old");
    const std::size_t value = text.find("<WorldSeed>") + std::string("<WorldSeed>").size();
    text.replace(value, text.find("</WorldSeed>") - value, "99999999999");
    WriteSettingsText(L"Old", text);
    settings = Restart();
    OpenAndGenerate(L"Old");
    const std::optional<std::uint32_t> replaced = settings->activeGame.GetWorldSeed();
    ASSERT_TRUE(replaced.has_value());
    EXPECT_NE(SettingsText(L"Old").find("99999999999"), std::string::npos) << "the file changes only when saved";
}
