#include "tests/support/SettingsFixture.h"

#include "engine/PimXMLWParser.h"

#include <gmock/gmock.h>

#include <string>

namespace
{
using SettingsFileTest = SettingsFixture;

// Every key of the general and VR groups and the control map away from its default.
void SetEveryUserKey(GameSettings& settings)
{
    using Key = GameSettings::Key;
    settings.Item(Key::SettingVersion).SetUInt(1, ValueUse::Current); // its only possible value
    settings.SetSaveTimer(45);
    settings.Item(Key::UndoStackSize).SetUInt(3, ValueUse::Current);
    settings.SetTutorialCount(2);
    settings.SetTutorialOne(true);
    settings.Item(Key::CV).SetInt(-7, ValueUse::Current);
    settings.SetHandColour(PimColor(10, 200, 30));
    settings.SetVolumeMaster(0.25f);
    settings.SetVolumeEffects(0.1f);
    settings.SetVolumeMusic(1.0f);
    settings.controlMap.invertX = true;
    settings.controlMap.invertY = true;
    for (int i = 0; i < ControlMap::KeyCount; ++i)
        settings.controlMap.keys[i] = 1000 + i;
    settings.virtualReality.SetMovementType(0);
    settings.virtualReality.SetHandPreference(1);
    settings.virtualReality.SetPlayerSizeBias(2.25f);
}

PimWString UserText(GameSettings& settings)
{
    return settings.WriteXml() + settings.controlMap.ToXml() + settings.virtualReality.WriteXml();
}

std::wstring Element(const SettingsHandler::Entry& entry)
{
    return PimXMLWParser::TagData(entry.item.GetName(), SettingsHandler::ToXml(entry.item));
}
}

TEST_F(SettingsFileTest, ADefaultFileHasTheKnownLayout)
{
    ASSERT_TRUE(settings->Save());
    const PimString text = ReadSettingsFile();
    EXPECT_TRUE(text.starts_with(
        "<SettingVersion>1</SettingVersion><SaveTimer>30</SaveTimer><UndoStackSize>10</UndoStackSize>"));
    EXPECT_NE(text.find("<VolumeMusic>0.7</VolumeMusic><ActiveSettings><PlayerScale>3</PlayerScale>"), std::string::npos);
    EXPECT_TRUE(text.ends_with(
        "<ControlMap><InvertX>0</InvertX><InvertY>0</InvertY><0>87</0><1>83</1><2>340</2><3>32</3><4>65</4>"
        "<5>68</5><6>81</6><7>69</7><8>258</8><9>256</9><10>80</10><11>70</11><12>71</12><13>92</13><14>267</14>"
        "<15>266</15></ControlMap><VRSettings><MovementType>1</MovementType><HandPreference>2</HandPreference>"
        "<PlayerSizeBias>1</PlayerSizeBias></VRSettings>"));
    EXPECT_EQ(text.find('\n'), std::string::npos);
}

TEST_F(SettingsFileTest, EveryUserKeySurvivesARoundTrip)
{
    const auto defaults = Restart();
    SetEveryUserKey(*settings);
    for (std::size_t i = 1; i < settings->GetEntries().size(); ++i)
        EXPECT_NE(Element(settings->GetEntries()[i]), Element(defaults->GetEntries()[i]));
    for (std::size_t i = 0; i < settings->virtualReality.GetEntries().size(); ++i)
        EXPECT_NE(Element(settings->virtualReality.GetEntries()[i]), Element(defaults->virtualReality.GetEntries()[i]));

    ASSERT_TRUE(settings->Save());
    EXPECT_FALSE(settings->IsChanged());
    EXPECT_FALSE(settings->saveRequested);

    const auto loaded = Restart();
    ASSERT_TRUE(loaded->Load());
    EXPECT_TRUE(loaded->IsLoadedFromFile());
    EXPECT_FALSE(loaded->saveRequested);
    EXPECT_EQ(UserText(*loaded), UserText(*settings));
    EXPECT_EQ(loaded->GetHandColour(), PimColor(10, 200, 30));
    EXPECT_EQ(loaded->virtualReality.GetPlayerSizeBias(), 2.25f);
    EXPECT_TRUE(loaded->controlMap.invertY);
    EXPECT_EQ(loaded->controlMap.keys[15], 1015);
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u);
}

TEST_F(SettingsFileTest, OutOfRangeEmptyAndMalformedValuesFallBackSafely)
{
    WriteSettingsFile(L"<SaveTimer>5</SaveTimer><UndoStackSize></UndoStackSize><TutorialCount>-3</TutorialCount>"
                      L"<VolumeMaster>nan</VolumeMaster><VolumeEffects>1e999</VolumeEffects><PHC>abc</PHC>"
                      L"<SettingVersion>7</SettingVersion><CV>99999999999</CV>"
                      L"<VRSettings><HandPreference>4294967297</HandPreference></VRSettings>");
    SetEveryUserKey(*settings);
    ASSERT_TRUE(settings->Load());
    EXPECT_EQ(settings->GetSaveTimer(), 10u);
    EXPECT_EQ(settings->Item(GameSettings::Key::UndoStackSize).GetUInt(), 10u);
    EXPECT_EQ(settings->GetTutorialCount(), 0u);
    EXPECT_EQ(settings->GetVolumeMaster(), 0.7f);
    EXPECT_EQ(settings->GetVolumeEffects(), 1.0f);
    EXPECT_EQ(settings->GetHandColour(), PimColor(67, 50, 25));
    EXPECT_EQ(settings->Item(GameSettings::Key::SettingVersion).GetUInt(), 1u);
    EXPECT_EQ(settings->Item(GameSettings::Key::CV).GetInt(), 2147483647);

    EXPECT_EQ(settings->virtualReality.GetHandPreference(), 2u); // saturated, then clamped; not wrapped to 1
    // Without their elements the other VR keys return to their defaults.
    EXPECT_EQ(settings->virtualReality.GetMovementType(), 1u);
    EXPECT_EQ(settings->virtualReality.GetPlayerSizeBias(), 1.0f);

    WriteSettingsFile(L"<SaveTimer>120</SaveTimer>");
    SetEveryUserKey(*settings);
    settings->Load();
    EXPECT_EQ(settings->virtualReality.GetMovementType(), 1u);
    EXPECT_EQ(settings->virtualReality.GetHandPreference(), 2u);
    EXPECT_EQ(settings->virtualReality.GetPlayerSizeBias(), 1.0f);

    WriteSettingsFile(L"<SaveTimer></SaveTimer>");
    settings->SetSaveTimer(60);
    settings->Load();
    EXPECT_EQ(settings->GetSaveTimer(), 30u);
}

TEST_F(SettingsFileTest, ATruncatedFileKeepsEveryCompleteElementAndDefaultsTheRest)
{
    const auto saved = Restart();
    SetEveryUserKey(*saved);
    ASSERT_TRUE(saved->Save());
    const PimString full = ReadSettingsFile();
    const auto defaults = Restart();

    for (std::size_t cut = 0; cut < full.size(); cut += cut < 600 ? 7 : 997)
    {
        const PimString part = full.substr(0, cut);
        WriteSettingsFile(PimWString::Widen(part));
        // Until the first element is whole, the file holds no setting and is put aside.
        EXPECT_EQ(settings->Load(), part.find("</SettingVersion>") != std::string::npos) << "cut at " << cut;
        for (std::size_t i = 0; i < settings->GetEntries().size(); ++i)
        {
            const std::wstring savedElement = Element(saved->GetEntries()[i]);
            const bool complete = PimWString::Widen(part).find(savedElement) != std::wstring::npos;
            const auto& expected = complete ? saved->GetEntries()[i] : defaults->GetEntries()[i];
            EXPECT_EQ(Element(settings->GetEntries()[i]), Element(expected)) << "cut at " << cut;
        }
        const bool vrComplete = part.find("</VRSettings>") != std::string::npos;
        EXPECT_EQ(settings->virtualReality.GetHandPreference(), vrComplete ? 1u : 2u) << "cut at " << cut;
        const bool mapComplete = part.find("</ControlMap>") != std::string::npos;
        EXPECT_EQ(settings->controlMap.keys[3], mapComplete ? 1003 : 32) << "cut at " << cut;
    }
}

TEST_F(SettingsFileTest, EverySaveWritesAndAFailedWriteIsReported)
{
    ASSERT_TRUE(settings->Save());
    ASSERT_TRUE(PimFile::FileDelete(settings->GetSettingsFilePath()));
    ASSERT_TRUE(settings->Save());
    EXPECT_TRUE(PimFile::FileExists(settings->GetSettingsFilePath()));
    // Nothing but the settings file is left in the folder.
    EXPECT_EQ(PimFile::GetFileList(settings->GetFolders().savedGames).size(), 1u);

    ASSERT_TRUE(PimFile::FileDelete(settings->GetSettingsFilePath()));
    ASSERT_TRUE(PimFile::MakeDirectory(settings->GetSettingsFilePath()));
    EXPECT_FALSE(settings->Save());
    EXPECT_TRUE(settings->saveRequested);

    EXPECT_FALSE(settings->Load());
    EXPECT_EQ(PimAssert::GetLastMessage(), "GameSettings::Load() - The settings file cannot be read; using defaults");
    EXPECT_FALSE(settings->IsLoadedFromFile());
}

TEST_F(SettingsFileTest, ALoadWithoutFileRestoresEveryDefault)
{
    const auto defaults = Restart();
    SetEveryUserKey(*settings);
    settings->activeGame.SetWalkPhysics(1);
    settings->controlMap.controlMapChanged = false;
    EXPECT_FALSE(settings->Load());
    EXPECT_EQ(UserText(*settings), UserText(*defaults));
    EXPECT_EQ(settings->activeGame.GetWalkPhysics(), 0u);
    EXPECT_TRUE(settings->controlMap.controlMapChanged);
    EXPECT_TRUE(settings->saveRequested);
}

TEST_F(SettingsFileTest, TextsAreEscapedSoNoNameBreaksTheFile)
{
    GameSettingsActiveGame& game = settings->activeGame;
    game.SetGameWorldName(L"a<b>&amp;</GameWorldName><SaveTimer>11</SaveTimer>");
    game.SetRefImagePath(0, L"/p/x</Path><Enabled>1</Enabled>.png");
    const PimWString text = game.WriteXml();
    EXPECT_NE(text.find(L"<GameWorldName>a&lt;b&gt;&amp;amp;&lt;/GameWorldName&gt;"), std::wstring::npos);

    ASSERT_TRUE(game.SaveWorldSettings(temp.Wide()));
    const auto other = Restart();
    ASSERT_TRUE(other->activeGame.LoadWorldSettings(temp.Wide()));
    EXPECT_EQ(other->activeGame.GetGameWorldName(), L"a<b>&amp;</GameWorldName><SaveTimer>11</SaveTimer>");
    EXPECT_EQ(other->activeGame.GetRefImagePath(0), L"/p/x</Path><Enabled>1</Enabled>.png");
    EXPECT_FALSE(other->activeGame.GetRefImageEnabled(0));

    // Ampersands that are no escape read as they stand.
    EXPECT_EQ(SettingsHandler::UnescapeText(L"&&l;&lt&gt;&amp"), L"&&l;&lt>&amp");
}

TEST_F(SettingsFileTest, ReadingANameMarksItOnlyWhenItDiffers)
{
    GameSettingsActiveGame& game = settings->activeGame;
    game.SetGameWorldName(L"Castle");
    game.WriteXml();
    GameSettingItem& name = game.Item(GameSettingsActiveGame::Key::GameWorldName);

    SettingsHandler::FromXml(name, "GameWorldName", L"<GameWorldName>Castle</GameWorldName>");
    EXPECT_FALSE(name.IsChanged());
    SettingsHandler::FromXml(name, "GameWorldName", L"<GameWorldName>Tower</GameWorldName>");
    EXPECT_TRUE(name.IsChanged());
    EXPECT_EQ(name.GetType(), SettingType::String);
}
