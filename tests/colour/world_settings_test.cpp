#include "tests/support/EngineTablesFixture.h"

#include "colour/PaletteModel.h"

#include "engine/PimXMLWParser.h"

#include <string>

namespace
{
using WorldSettingsTest = EngineTablesFixture;
using Key = GameSettingsActiveGame::Key;

// Every key of the active game away from its default.
void SetEveryWorldKey(GameSettingsActiveGame& game)
{
    game.SetPlayerScaleIndex(7);
    game.SetWalkPhysics(1);
    game.SetOptionsSet(true);
    game.SetGameWorldName(L"Tour & Château");
    game.SetPlayerLocation({100.5f, 250.0f, -3.25f});
    game.SetWorldSeed(4000000000u);
    for (int i = 0; i < PaletteModel::ColourCount; ++i)
        game.SetColour(PimColor(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 7), static_cast<std::uint8_t>(i));
    game.SetActivePalette(2);
    for (int p = 0; p < 3; ++p)
        for (int s = 0; s < 16; ++s)
            game.SetPaletteEntry(p, s, static_cast<std::uint16_t>(0xFF00 + 16 * p + s + 1));
    PimMatrix4x4 orient = PimMatrix4x4::CreateRotationX(PimAngle::FromDegrees(20));
    orient.SetTranslation({1, 2, 3});
    for (int n = 0; n < 3; ++n)
    {
        game.SetRefImageEnabled(n, true);
        game.SetRefImagePath(n, L"/pictures/ref" + std::to_wstring(n) + L".png");
        game.SetRefImageLocked(n, true);
        game.SetRefImageLocation(n, {1.0f + n, 2, 3});
        game.SetRefImageOrient(n, orient);
        game.SetRefImageScale(n, 2.5f);
    }
    for (std::uint16_t i : {1, 64, 130, 255})
        game.SetColourLocked(true, i);
    game.SetFogColour(PimColor(10, 20, 30));
}

std::wstring Element(const SettingsHandler::Entry& entry)
{
    return PimXMLWParser::TagData(entry.item.GetName(), SettingsHandler::ToXml(entry.item));
}

// A world text with one element taken out (its first occurrence, with its data).
PimWString Without(PimWString text, const std::wstring& tag)
{
    const std::size_t start = text.find(L"<" + tag + L">");
    const std::wstring end = L"</" + tag + L">";
    const std::size_t stop = text.find(end, start);
    text.erase(start, stop + end.size() - start);
    return text;
}
}

TEST_F(WorldSettingsTest, EveryWorldKeySurvivesARoundTripAndReachesTheEngine)
{
    const auto defaults = Restart();
    GameSettingsActiveGame& game = settings->activeGame;
    SetEveryWorldKey(game);
    for (std::size_t i = 0; i < game.GetEntries().size(); ++i)
        EXPECT_NE(Element(game.GetEntries()[i]), Element(defaults->activeGame.GetEntries()[i]));
    ASSERT_TRUE(PimFile::MakeDirectory(temp.Wide() + L"\\World1"));
    ASSERT_TRUE(game.SaveWorldSettings(temp.Wide() + L"\\World1"));

    const auto other = Restart();
    MarkTable(true);
    PimVoxelGrid::fogColor = Marker;
    ASSERT_TRUE(other->activeGame.LoadWorldSettings(temp.Wide() + L"\\World1"));
    EXPECT_EQ(other->activeGame.WriteXml(), game.WriteXml());

    for (int i = 0; i < 255; ++i)
        EXPECT_EQ(Special(i), PimColor(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 7)) << i;
    EXPECT_EQ(Special(255), Marker);
    EXPECT_EQ(PaletteModel::GetWorldColour(254), PimColor(254, 1, 7));
    EXPECT_EQ(PimVoxelGrid::fogColor, PimColor(10, 20, 30));
    EXPECT_TRUE(other->activeGame.IsColourLocked(130));
    EXPECT_TRUE(other->activeGame.IsColourLocked(255));
    EXPECT_FALSE(other->activeGame.IsColourLocked(2));
    EXPECT_EQ(other->activeGame.GetRefImageLocation(2), PimVector3(3, 2, 3));
    EXPECT_EQ(other->activeGame.GetGameWorldName(), L"Tour & Château");
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u);
}

TEST_F(WorldSettingsTest, ElementsAreFoundByTheirExactNames)
{
    GameSettingsActiveGame& game = settings->activeGame;
    SetEveryWorldKey(game);
    PimWString text = game.WriteXml();
    text = Without(text, L"C10");
    text = Without(text, L"Palette0");
    text = Without(text, L"Loc"); // of RefImage0 only
    ASSERT_NE(text.find(L"<Palettes>"), std::wstring::npos);
    ASSERT_NE(text.find(L"<Locked>"), std::wstring::npos);

    const auto other = Restart();
    other->activeGame.ReadXml(text);
    GameSettingsActiveGame& read = other->activeGame;
    EXPECT_EQ(PaletteModel::GetWorldColour(1), PimColor(1, 254, 7));
    EXPECT_EQ(PaletteModel::GetWorldColour(10), PaletteModel::GetDefaultColour(10));
    EXPECT_EQ(PaletteModel::GetWorldColour(11), PimColor(11, 244, 7));
    EXPECT_EQ(read.GetPaletteEntry(0, 0), 0xFFF8);
    EXPECT_EQ(read.GetPaletteEntry(1, 0), 0xFF11);
    EXPECT_EQ(read.GetRefImageLocation(0), PimVector3());
    EXPECT_TRUE(read.GetRefImageLocked(0));
    EXPECT_EQ(read.GetRefImageLocation(1), PimVector3(2, 2, 3));
}

TEST_F(WorldSettingsTest, AReferenceImageWithoutPathIsResetWhole)
{
    GameSettingsActiveGame& game = settings->activeGame;
    SetEveryWorldKey(game);
    game.SetRefImagePath(1, L"");
    const PimWString text = game.WriteXml();

    const auto other = Restart();
    other->activeGame.ReadXml(text);
    GameSettingsActiveGame& read = other->activeGame;
    EXPECT_FALSE(read.GetRefImageEnabled(1));
    EXPECT_FALSE(read.GetRefImageLocked(1));
    EXPECT_EQ(read.GetRefImageLocation(1), PimVector3());
    EXPECT_EQ(read.GetRefImageOrient(1), PimMatrix4x4::Identity());
    EXPECT_EQ(read.GetRefImageScale(1), 1.0f);
    EXPECT_TRUE(read.GetRefImageEnabled(2));
}

TEST_F(WorldSettingsTest, ANewWorldStartsFromTheDefaultColoursAndNoLocks)
{
    GameSettingsActiveGame& game = settings->activeGame;
    SetEveryWorldKey(game);
    EXPECT_EQ(PimVoxelGrid::fogColor, PimColor(10, 20, 30));

    // A folder without settings file: a new world.
    EXPECT_FALSE(game.LoadWorldSettings(temp.Wide() + L"\\Empty"));
    EXPECT_EQ(PaletteModel::GetWorldColour(100), PaletteModel::GetDefaultColour(100));
    EXPECT_EQ(Special(100), PaletteModel::GetDefaultColour(100));
    EXPECT_FALSE(game.IsColourLocked(130));
    game.SetColourLocked(true, 131);
    EXPECT_EQ(PimXMLWParser::XMLFindTag("L2", game.WriteXml()), L"8"); // no lock of the last world returns
    EXPECT_EQ(PimVoxelGrid::fogColor, PimColor::FromFloat3(0.15f, 0.15f, 0.25f));
    EXPECT_EQ(game.GetGameWorldName(), L"");
}

TEST_F(WorldSettingsTest, AnUnreadableOrCorruptWorldFileGivesDefaults)
{
    const auto defaults = Restart();
    GameSettingsActiveGame& game = settings->activeGame;
    SetEveryWorldKey(game);
    ASSERT_TRUE(PimFile::WriteString(temp.Wide() + L"\\settings.set", L"<ActiveColors><C0><R>", false));
    EXPECT_FALSE(game.LoadWorldSettings(temp.Wide()));
    EXPECT_EQ(game.WriteXml(), defaults->activeGame.WriteXml());
    // Kept aside, so that saving the world does not replace it.
    ASSERT_TRUE(game.SaveWorldSettings(temp.Wide()));
    PimString kept;
    ASSERT_TRUE(PimFile::ReadAllText(temp.Wide() + L"\\settings.set.unreadable", kept));
    EXPECT_EQ(kept, "<ActiveColors><C0><R>");

    SetEveryWorldKey(game);
    ASSERT_TRUE(PimFile::FileDelete(temp.Wide() + L"\\settings.set"));
    ASSERT_TRUE(PimFile::MakeDirectory(temp.Wide() + L"\\settings.set"));
    EXPECT_FALSE(game.LoadWorldSettings(temp.Wide()));
    EXPECT_EQ(game.WriteXml(), defaults->activeGame.WriteXml());
    EXPECT_FALSE(game.SaveWorldSettings(temp.Wide()));
}
