#include "tests/support/SettingsFixture.h"

#include "engine/PimXMLWParser.h"

#include <gmock/gmock.h>

#include <string>
#include <utility>
#include <vector>

namespace
{
using GroupsTest = SettingsFixture;

std::vector<std::pair<std::uint16_t, std::string>> IdsAndNames(const SettingsHandler& handler)
{
    std::vector<std::pair<std::uint16_t, std::string>> list;
    for (const SettingsHandler::Entry& entry : handler.GetEntries())
        list.emplace_back(entry.id, entry.item.GetName());
    return list;
}

// Sets a UInt key below and above its range and returns what it held each time.
std::pair<std::uint32_t, std::uint32_t> UIntBounds(GameSettingItem& item)
{
    item.SetUInt(0, ValueUse::Current);
    const std::uint32_t low = item.GetUInt();
    item.SetUInt(0xFFFFFFFFu, ValueUse::Current);
    return {low, item.GetUInt()};
}

std::pair<float, float> FloatBounds(GameSettingItem& item)
{
    item.SetFloat(-100.0f, ValueUse::Current);
    const float low = item.GetFloat();
    item.SetFloat(100.0f, ValueUse::Current);
    return {low, item.GetFloat()};
}
}

TEST_F(GroupsTest, EveryGroupHoldsItsKeysInDefinitionOrderWithTheirIdentifiers)
{
    using Entries = std::vector<std::pair<std::uint16_t, std::string>>;
    EXPECT_EQ(IdsAndNames(*settings),
              (Entries{{0, "SettingVersion"}, {1, "SaveTimer"}, {2, "UndoStackSize"}, {3, "TutorialCount"},
                       {4, "TutorialOne"}, {5, "CV"}, {6, "PHC"}, {7, "VolumeMaster"}, {8, "VolumeEffects"},
                       {9, "VolumeMusic"}}));
    EXPECT_EQ(IdsAndNames(settings->activeGame),
              (Entries{{1, "PlayerScale"}, {0, "WalkPhysics"}, {2, "OptionsSet"}, {3, "GameWorldName"},
                       {4, "PlayerLocation"}, {5, "ActiveColors"}, {8, "ActivePalette"}, {7, "Palettes"},
                       {9, "ReferenceImages"}, {6, "LockedColors"}, {10, "FogColor"}, {11, "WorldSeed"}}));
    EXPECT_EQ(IdsAndNames(settings->virtualReality),
              (Entries{{0, "MovementType"}, {1, "HandPreference"}, {2, "PlayerSizeBias"}}));
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u);
}

TEST_F(GroupsTest, DefaultsOfTheGeneralAndVrGroups)
{
    EXPECT_EQ(settings->WriteXml(),
              L"<SettingVersion>1</SettingVersion><SaveTimer>30</SaveTimer><UndoStackSize>10</UndoStackSize>"
              L"<TutorialCount>5</TutorialCount><TutorialOne>0</TutorialOne><CV>1</CV>"
              L"<PHC>0.2627451, 0.19607843, 0.09803922</PHC><VolumeMaster>0.7</VolumeMaster>"
              L"<VolumeEffects>0.7</VolumeEffects><VolumeMusic>0.7</VolumeMusic>");
    EXPECT_EQ(settings->GetHandColour(), PimColor(67, 50, 25));
    EXPECT_EQ(settings->virtualReality.WriteXml(),
              L"<MovementType>1</MovementType><HandPreference>2</HandPreference><PlayerSizeBias>1</PlayerSizeBias>");
    EXPECT_FALSE(settings->inGameCamera);
}

TEST_F(GroupsTest, DefaultsOfTheActiveGame)
{
    GameSettingsActiveGame& game = settings->activeGame;
    EXPECT_EQ(game.GetPlayerScale(), 1.5f);
    EXPECT_EQ(game.GetWalkPhysics(), 0u);
    EXPECT_FALSE(game.GetOptionsSet());
    EXPECT_EQ(game.GetGameWorldName(), L"");
    EXPECT_EQ(game.GetPlayerLocation(), PimVector3(3520, 33, 3520));
    EXPECT_EQ(game.GetActivePalette(), 0);
    EXPECT_EQ(game.GetFogColour(), PimColor::FromFloat3(0.15f, 0.15f, 0.25f));
    EXPECT_EQ(game.Item(GameSettingsActiveGame::Key::ActiveColors).GetChildren().size(), 255u);

    const PimWString text = game.WriteXml();
    EXPECT_EQ(PimXMLWParser::XMLFindTag("C4", text), L"<R>255</R><G>204</G><B>51</B>");
    EXPECT_EQ(PimXMLWParser::XMLFindTag("LockedColors", text), L"<L0>0</L0><L1>0</L1><L2>0</L2><L3>0</L3>");
    EXPECT_EQ(PimXMLWParser::XMLFindTag("RefImage2", text),
              L"<Enabled>0</Enabled><Path></Path><Locked>0</Locked><Loc>0, 0, 0</Loc><Orient><0>1</0><1>0</1>"
              L"<2>0</2><3>0</3><4>0</4><5>1</5><6>0</6><7>0</7><8>0</8><9>0</9><10>1</10><11>0</11><12>0</12>"
              L"<13>0</13><14>0</14><15>1</15></Orient><Scale>1</Scale>");
    EXPECT_EQ(game.GetRefImageOrient(1), PimMatrix4x4::Identity());
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u);
}

TEST_F(GroupsTest, RangesOfEveryRangedKey)
{
    using GKey = GameSettings::Key;
    EXPECT_EQ(UIntBounds(settings->Item(GKey::SettingVersion)), std::make_pair(1u, 1u));
    EXPECT_EQ(UIntBounds(settings->Item(GKey::SaveTimer)), std::make_pair(10u, 525600u));
    EXPECT_EQ(UIntBounds(settings->Item(GKey::UndoStackSize)), std::make_pair(0u, 25u));
    EXPECT_EQ(UIntBounds(settings->Item(GKey::TutorialCount)), std::make_pair(0u, 5u));
    for (GKey key : {GKey::VolumeMaster, GKey::VolumeEffects, GKey::VolumeMusic})
        EXPECT_EQ(FloatBounds(settings->Item(key)), std::make_pair(0.0f, 1.0f));

    using AKey = GameSettingsActiveGame::Key;
    GameSettingsActiveGame& game = settings->activeGame;
    EXPECT_EQ(UIntBounds(game.Item(AKey::PlayerScale)), std::make_pair(0u, 24u));
    EXPECT_EQ(UIntBounds(game.Item(AKey::WalkPhysics)), std::make_pair(0u, 1u));
    EXPECT_EQ(UIntBounds(game.Item(AKey::ActivePalette)), std::make_pair(0u, 2u));
    EXPECT_EQ(UIntBounds(game.Item(AKey::ActiveColors).GetChildren()[17].GetChildren()[2]), std::make_pair(0u, 255u));
    game.SetRefImageScale(1, 0.0f);
    EXPECT_EQ(game.GetRefImageScale(1), 0.1f);
    game.SetRefImageScale(1, 11.0f);
    EXPECT_EQ(game.GetRefImageScale(1), 10.0f);

    using VKey = GameSettingsVirtualReality::Key;
    EXPECT_EQ(UIntBounds(settings->virtualReality.Item(VKey::MovementType)), std::make_pair(0u, 2u));
    EXPECT_EQ(UIntBounds(settings->virtualReality.Item(VKey::HandPreference)), std::make_pair(1u, 2u));
    EXPECT_EQ(FloatBounds(settings->virtualReality.Item(VKey::PlayerSizeBias)), std::make_pair(0.5f, 2.5f));
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u);
}

TEST_F(GroupsTest, AccessorsClampAndMarkTheirKeys)
{
    settings->SetVolumeMaster(1.5f);
    EXPECT_EQ(settings->GetVolumeMaster(), 1.0f);
    EXPECT_TRUE(settings->Item(GameSettings::Key::VolumeMaster).IsChanged());
    EXPECT_TRUE(settings->IsChanged());

    GameSettingsActiveGame& game = settings->activeGame;
    game.SetPlayerScaleIndex(24);
    EXPECT_EQ(game.GetPlayerScale(), 150.0f);
    game.Item(GameSettingsActiveGame::Key::PlayerScale).SetUInt(30, ValueUse::Current);
    EXPECT_EQ(game.GetPlayerScaleIndex(), 24u);

    game.WriteXml();
    game.SetPlayerLocation({1.5f, -2.0f, 40000.0f});
    EXPECT_EQ(game.GetPlayerLocation(), PimVector3(1.5f, -2.0f, 40000.0f));
    EXPECT_TRUE(game.Item(GameSettingsActiveGame::Key::PlayerLocation).IsChanged());

    game.SetGameWorldName(L"Modèle <1>");
    EXPECT_EQ(game.GetGameWorldName(), L"Modèle <1>");
    EXPECT_EQ(game.Item(GameSettingsActiveGame::Key::GameWorldName).GetType(), SettingType::String);

    settings->SetHandColour(PimColor(1, 2, 3));
    EXPECT_EQ(settings->GetHandColour(), PimColor(1, 2, 3));
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u);
}

TEST_F(GroupsTest, ReferenceImageAccessorsRefuseImagesThatDoNotExist)
{
    GameSettingsActiveGame& game = settings->activeGame;
    PimMatrix4x4 orient = PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(30));
    orient.SetTranslation({1, 2, 3});
    game.SetRefImageOrient(2, orient);
    game.SetRefImagePath(2, L"/pictures/a.png");
    game.SetRefImageLocation(2, {4, 5, 6});
    EXPECT_EQ(game.GetRefImageOrient(2), orient);
    EXPECT_EQ(game.GetRefImagePath(2), L"/pictures/a.png");
    EXPECT_EQ(game.GetRefImageLocation(2), PimVector3(4, 5, 6));
    EXPECT_EQ(game.GetRefImagePath(0), L"");

    game.SetRefImagePath(3, L"x");
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
    EXPECT_EQ(game.GetRefImageScale(-1), 1.0f);
    EXPECT_EQ(game.GetRefImagePath(3), L"");
}

TEST_F(GroupsTest, AFreshSingletonStateAsksForASaveOnlyAfterALoadWithoutFile)
{
    EXPECT_TRUE(settings->controlMap.controlMapChanged);
    EXPECT_FALSE(settings->saveRequested);
    EXPECT_FALSE(settings->IsLoadedFromFile());
    EXPECT_THAT(settings->controlMap.keys, ::testing::ElementsAre(87, 83, 340, 32, 65, 68, 81, 69, 258, 256, 80, 70,
                                                                  71, 92, 267, 266));

    EXPECT_FALSE(settings->Load());
    EXPECT_TRUE(settings->saveRequested);
    EXPECT_FALSE(settings->IsLoadedFromFile());
}
