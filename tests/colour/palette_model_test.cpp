#include "tests/support/EngineTablesFixture.h"

#include "colour/PaletteModel.h"

#include "engine/PimXMLWParser.h"

namespace
{
using PaletteTest = EngineTablesFixture;

PimColor Grey(std::uint8_t level) { return PimColor(level, level, level); }
}

TEST(DefaultColoursTest, FollowTheRowsOfHuesAndTheGreys)
{
    const std::vector<PimColor> colours = PaletteModel::BuildDefaultColours();
    ASSERT_EQ(colours.size(), 255u);
    EXPECT_EQ(colours[0], PimColor(255, 0, 255));
    EXPECT_EQ(colours[4], PimColor(255, 204, 51));
    EXPECT_EQ(colours[5], PimColor(255, 255, 0));
    EXPECT_EQ(colours[10], PimColor(0, 255, 255));
    EXPECT_EQ(colours[16], PimColor(239, 0, 255));
    EXPECT_EQ(colours[240], PimColor(15, 0, 255));
    EXPECT_EQ(colours[254], PimColor(204, 51, 15));
    const std::uint8_t greys[15] = {255, 127, 85, 63, 51, 42, 36, 31, 28, 25, 23, 21, 19, 18, 17};
    for (int k = 1; k <= 15; ++k)
        EXPECT_EQ(colours[16 * (k - 1) + 15], Grey(greys[k - 1])) << k;
    for (const PimColor& colour : colours)
        EXPECT_EQ(colour.a, 255);
}

TEST_F(PaletteTest, ApplyingDefaultsAgainRewritesOnlyThePlainTable)
{
    const std::vector<PimColor> before = PaletteModel::GetDefaultColours();
    ASSERT_EQ(before.size(), 255u);
    settings->activeGame.SetColour(PimColor(1, 2, 3), 7);
    MarkTable(false);
    MarkTable(true);

    PaletteModel::ApplyDefaultColours();
    EXPECT_EQ(PaletteModel::GetDefaultColours(), before);
    for (int i = 0; i < 255; ++i)
        EXPECT_EQ(Plain(i), before[i]) << i;
    EXPECT_EQ(Plain(240), PimColor(15, 0, 255));
    EXPECT_EQ(Plain(239), Grey(17));
    EXPECT_EQ(Plain(255), Marker);
    EXPECT_EQ(Special(100), Marker);
    EXPECT_EQ(PaletteModel::GetWorldColour(7), PimColor(1, 2, 3));
    EXPECT_EQ(PaletteModel::GetWorldColour(255), Grey(255));
}

TEST_F(PaletteTest, SetColourRedefinesTheWorldColourEverywhere)
{
    GameSettingsActiveGame& game = settings->activeGame;
    game.WriteXml();
    MarkTable(true);
    game.SetColour(PimColor(12, 34, 56), 200);

    EXPECT_EQ(PaletteModel::GetWorldColour(200), PimColor(12, 34, 56));
    EXPECT_EQ(Special(200), PimColor(12, 34, 56));
    EXPECT_EQ(Plain(200), PaletteModel::GetDefaultColour(200));
    const GameSettingItem& entry = game.Item(GameSettingsActiveGame::Key::ActiveColors).GetChildren()[200];
    EXPECT_EQ(entry.GetName(), "C200");
    EXPECT_FALSE(game.Item(GameSettingsActiveGame::Key::ActiveColors).IsChanged());
    GameSettingItem reset = entry;
    reset.ResetToDefault();
    EXPECT_EQ(SettingsHandler::ToXml(reset), L"<R>12</R><G>34</G><B>56</B>");

    game.SetColour(PimColor(9, 9, 9), 255);
    EXPECT_EQ(PimAssert::GetLastMessage(), "GameSettingsActiveGame::SetColour() - Colour index out of range");
    EXPECT_EQ(Special(255), Marker);
}

TEST_F(PaletteTest, LocksAreBitsOfFourStoredWords)
{
    GameSettingsActiveGame& game = settings->activeGame;
    game.SetColourLocked(true, 200);
    EXPECT_TRUE(game.IsColourLocked(200));
    EXPECT_EQ(game.GetLockedMask().words[3], 256u);
    EXPECT_EQ(PimXMLWParser::XMLFindTag("L3", game.WriteXml()), L"256");

    game.SetColourLocked(true, 0);
    game.SetColourLocked(true, 63);
    EXPECT_EQ(game.GetLockedMask().words[0], 0x8000000000000001u);
    game.SetColourLocked(false, 200);
    EXPECT_EQ(PimXMLWParser::XMLFindTag("L3", game.WriteXml()), L"0");

    game.SetColourLocked(true, 256);
    EXPECT_EQ(PimAssert::GetLastMessage(), "GameSettingsActiveGame::SetColourLocked() - Colour index out of range");
    EXPECT_FALSE(game.IsColourLocked(256));
}

TEST_F(PaletteTest, EveryEntryOfTheDefaultPalettesReachesAFreshWorld)
{
    // Slot by slot, the entries of Palette0, Palette1 and Palette2.
    const std::uint16_t table[16][3] = {
        {0xFFF8, 0xFF79, 0xFF0F}, {0xFF69, 0xFFEF, 0xFF1F}, {0xFF55, 0xFF0F, 0xFF2F}, {0xFF4B, 0xFF3F, 0xFF3F},
        {0xFFB3, 0xFFE9, 0xFF4F}, {0xFFEF, 0xFFBE, 0xFF5F}, {0xFF4F, 0xFF23, 0xFF6F}, {0xFF0F, 0xFF2B, 0xFF7F},
        {0xFF38, 0xFFB7, 0xFF8F}, {0xFF00, 0xFFE6, 0xFF9F}, {0xFF6E, 0xFFCB, 0xFFAF}, {0xFF6C, 0xFF5E, 0xFFBF},
        {0xFFA9, 0xFF50, 0xFFCF}, {0xFFD6, 0xFFFB, 0xFFDF}, {0xFFEB, 0xFFB6, 0xFFEF}, {0xFF29, 0x009A, 0xFFFA},
    };
    GameSettingsActiveGame& game = settings->activeGame;
    game.SetPaletteEntry(1, 3, 131);
    game.ResetAll();
    for (int palette = 0; palette < PaletteModel::PaletteCount; ++palette)
    {
        for (int slot = 0; slot < 16; ++slot)
        {
            EXPECT_EQ(PaletteModel::DefaultPalettes()[palette][slot], table[slot][palette]) << palette << " " << slot;
            EXPECT_EQ(game.GetPaletteEntry(palette, slot), table[slot][palette]) << palette << " " << slot;
        }
    }
}

TEST_F(PaletteTest, PaletteEntriesRefuseIndicesOutOfRange)
{
    GameSettingsActiveGame& game = settings->activeGame;
    EXPECT_EQ(game.GetPaletteEntry(3, 0), 65280);
    EXPECT_EQ(game.GetPaletteEntry(0, 16), 65280);
    EXPECT_EQ(game.GetPaletteEntry(-1, 2), 65280);

    game.SetPaletteEntry(1, 15, 131);
    EXPECT_EQ(game.GetPaletteEntry(1, 15), 131);
    EXPECT_TRUE(game.coloursChanged);
    EXPECT_TRUE(game.Item(GameSettingsActiveGame::Key::Palettes).IsChanged());

    game.coloursChanged = false;
    game.SetPaletteEntry(3, 0, 1);
    game.SetPaletteEntry(0, 16, 1);
    EXPECT_FALSE(game.coloursChanged);

    game.SetActivePalette(7);
    EXPECT_EQ(game.GetActivePalette(), 2);
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u);
}

TEST(SelectableValuesTest, AreTheColoursThenThreeTexturedCodes)
{
    const std::vector<std::uint16_t> values = PaletteModel::GetSelectableValues();
    ASSERT_EQ(values.size(), 258u);
    EXPECT_EQ(values[0], 65280);
    EXPECT_EQ(values[254], 65534);
    EXPECT_EQ(values[255], 154);
    EXPECT_EQ(values[256], 131);
    EXPECT_EQ(values[257], 3560);
}
