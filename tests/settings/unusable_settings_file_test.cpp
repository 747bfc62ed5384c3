#include "tests/support/SettingsFixture.h"

#include "settings/SettingsFile.h"
#include "settings/StartupSettings.h"

#include <gmock/gmock.h>

#include <sys/stat.h>

#include <string>
#include <vector>

namespace
{
using UnusableSettingsFileTest = SettingsFixture;
using ::testing::HasSubstr;

std::vector<std::uint8_t> Bytes(const PimWString& path)
{
    std::vector<std::uint8_t> bytes;
    PimFile::ReadAllData(path, bytes);
    return bytes;
}

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }
}

TEST_F(UnusableSettingsFileTest, AnEmptyOrGarbageFileIsKeptAsideAndNeverWrittenOver)
{
    const auto defaults = Restart();
    const PimWString path = settings->GetSettingsFilePath();
    const std::string garbage = "\xFF\xFE garbage < > </ <<SaveTimer>> & \x01 \xF0\x9F\x98\x80";
    const std::string earlierGarbage = "<SaveTimer>45";

    for (const std::string& content : {garbage, std::string(), earlierGarbage})
    {
        PimFile::MakeDirectory(settings->GetFolders().savedGames);
        ASSERT_TRUE(PimFile::WriteData(path, content.data(), content.size(), false));
        settings->SetSaveTimer(60);
        const StartupSettings startup = LoadStartupSettings(*settings);
        EXPECT_TRUE(startup.firstStart);
        EXPECT_FALSE(settings->IsLoadedFromFile());
        EXPECT_EQ(settings->GetSaveTimer(), 30u);
        EXPECT_THAT(PimAssert::GetLastMessage(), HasSubstr("kept as "));
        // The save that follows writes a fresh file beside the one kept.
        ASSERT_TRUE(settings->Save());
        EXPECT_EQ(ReadSettingsFile(), PimString(defaults->WriteUserText().Narrow()));
    }
    EXPECT_EQ(Bytes(path + L".unreadable"), Bytes(garbage));
    EXPECT_EQ(Bytes(path + L".unreadable2"), Bytes(""));
    EXPECT_EQ(Bytes(path + L".unreadable3"), Bytes(earlierGarbage));
    EXPECT_EQ(PimAssert::GetFailureCount(), 3u);
}

TEST_F(UnusableSettingsFileTest, AFileLargerThanAnySettingsFileIsRefusedAndKept)
{
    // Valid settings, made too long by the padding of an unknown element.
    settings->SetSaveTimer(45);
    const PimWString valid = settings->WriteUserText();
    const std::wstring padding(SettingsFile::MaxBytes, L'x');
    WriteSettingsFile(valid + L"<Padding>" + padding + L"</Padding>");
    const std::vector<std::uint8_t> written = Bytes(settings->GetSettingsFilePath());

    const auto loaded = Restart();
    EXPECT_FALSE(loaded->Load());
    EXPECT_EQ(loaded->GetSaveTimer(), 30u);
    EXPECT_THAT(PimAssert::GetLastMessage(), HasSubstr("larger than any settings file"));
    EXPECT_EQ(Bytes(settings->GetSettingsFilePath() + L".unreadable"), written);
}

TEST_F(UnusableSettingsFileTest, TheLargestSettingsTheProgramWritesAreReadBack)
{
    // Every text at its longest, of the character that takes the most bytes once written.
    const PimWString longest(GameSettingItem::DefaultMaxLength + 10, L'&');
    GameSettingsActiveGame& game = settings->activeGame;
    game.SetGameWorldName(longest);
    for (int image = 0; image < GameSettingsActiveGame::ReferenceImageCount; ++image)
        game.SetRefImagePath(image, longest);
    EXPECT_EQ(game.GetGameWorldName().size(), GameSettingItem::DefaultMaxLength);
    ASSERT_TRUE(settings->Save());
    ASSERT_TRUE(game.SaveWorldSettings(temp.Wide()));
    EXPECT_LE(Bytes(settings->GetSettingsFilePath()).size(), SettingsFile::MaxBytes);
    EXPECT_LE(Bytes(temp.Wide() + L"\\settings.set").size(), SettingsFile::MaxBytes);

    const auto loaded = Restart();
    EXPECT_TRUE(loaded->Load());
    EXPECT_TRUE(loaded->activeGame.LoadWorldSettings(temp.Wide()));
    EXPECT_EQ(loaded->activeGame.GetRefImagePath(2), game.GetRefImagePath(2));
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u);
}

TEST_F(UnusableSettingsFileTest, AFifoInTheFilesPlaceNeitherBlocksNorIsMoved)
{
    PimFile::MakeDirectory(settings->GetFolders().savedGames);
    const std::string fifo = PimFilePath(settings->GetSettingsFilePath()).Native().string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(settings->Load());
    EXPECT_EQ(PimAssert::GetLastMessage(), "GameSettings::Load() - The settings file cannot be read; using defaults");
    EXPECT_FALSE(PimFile::FileExists(settings->GetSettingsFilePath() + L".unreadable"));
    // The save replaces the FIFO's name with a file.
    EXPECT_TRUE(settings->Save());
    EXPECT_TRUE(settings->Load());
}

TEST_F(UnusableSettingsFileTest, NumbersWithStrayBytesReadAsTheirDefaults)
{
    settings->SetSaveTimer(45);
    settings->SetVolumeMaster(0.2f);
    settings->controlMap.keys[3] = 99;
    const std::string text = "<SaveTimer>45\xC0</SaveTimer><VolumeMaster>0.\xC0\x80" "5</VolumeMaster>"
                             "<TutorialOne>1\xFF</TutorialOne><CV>7 7</CV>"
                             "<ControlMap><InvertX>1\xC0</InvertX><3>65\xC0\x80</3><4>66</4></ControlMap>"
                             "<VRSettings><PlayerSizeBias>2\xC0</PlayerSizeBias></VRSettings>";
    PimFile::MakeDirectory(settings->GetFolders().savedGames);
    ASSERT_TRUE(PimFile::WriteData(settings->GetSettingsFilePath(), text.data(), text.size(), false));
    ASSERT_TRUE(settings->Load());
    EXPECT_EQ(settings->GetSaveTimer(), 30u);
    EXPECT_EQ(settings->GetVolumeMaster(), 0.7f);
    EXPECT_FALSE(settings->GetTutorialOne());
    EXPECT_EQ(settings->Item(GameSettings::Key::CV).GetInt(), 1);
    EXPECT_FALSE(settings->controlMap.invertX);
    EXPECT_EQ(settings->controlMap.keys[3], ControlMap::DefaultKeys[3]);
    EXPECT_EQ(settings->controlMap.keys[4], 66);
    EXPECT_EQ(settings->virtualReality.GetPlayerSizeBias(), 1.0f);
}
