#include "tests/support/SettingsFixture.h"

#include "settings/StartupSettings.h"

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

namespace
{
// The singleton finds its folders in the environment: every test of this program runs with
// HOME and the XDG folders inside a temporary folder, so nothing touches the user's home.
class TemporaryHome : public ::testing::Environment
{
public:
    void SetUp() override
    {
        folder = std::make_unique<TempFolder>();
        const std::string base = folder->Path().string();
        ::setenv("HOME", (base + "/home").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (base + "/data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (base + "/config").c_str(), 1);
    }
    void TearDown() override { folder.reset(); }

private:
    std::unique_ptr<TempFolder> folder;
};

[[maybe_unused]] ::testing::Environment* const temporaryHome = ::testing::AddGlobalTestEnvironment(new TemporaryHome);

using FoldersTest = SettingsFixture;

PimWString ProgramPath(const std::filesystem::path& path) { return SettingsFolders::ToProgramPath(PimWString::Widen(path.string())); }
}

TEST_F(FoldersTest, FoldersFollowTheDataHomeThePicturesDirAndTheExecutable)
{
    const std::string base = temp.Path().string();
    ScopedEnvironment home("HOME", base + "/home");
    ScopedEnvironment data("XDG_DATA_HOME", base + "/data/");
    ScopedEnvironment config("XDG_CONFIG_HOME", base + "/config");
    ASSERT_TRUE(PimFile::MakeDirectory(base + "/config"));
    ASSERT_TRUE(PimFile::WriteString(base + "/config/user-dirs.dirs",
                                     L"# written by a tool\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                     L"  XDG_PICTURES_DIR = \"$HOME/Bilder\"\n",
                                     false));

    const SettingsFolders folders = SettingsFolders::Locate();
    const PimWString user = ProgramPath(temp.Path() / "data") + L"\\Quillot\\";
    EXPECT_EQ(folders.userFolder, user);
    EXPECT_EQ(folders.savedGames, user + L"SavedGames\\");
    EXPECT_EQ(folders.recycleBin, user + L"RecycleBin\\");
    EXPECT_EQ(folders.models, user + L"SavedGames\\Models\\");
    EXPECT_EQ(folders.updates, user + L"Update\\");
    EXPECT_EQ(folders.picturesFolder, ProgramPath(temp.Path() / "home" / "Bilder") + L"\\");

    const PimWString content = ProgramPath(std::filesystem::read_symlink("/proc/self/exe").parent_path()) + L"\\Content\\";
    EXPECT_EQ(folders.textures, content + L"Graphics\\Textures\\");
    EXPECT_EQ(folders.shaders, content + L"Graphics\\Shaders\\");
    EXPECT_EQ(folders.sounds, content + L"Sound\\");
    EXPECT_EQ(folders.texts, content + L"Text\\");
    EXPECT_EQ(folders.fonts, content + L"Graphics\\Fonts\\");
    EXPECT_EQ(folders.voxelIcons, content + L"VoxelIcons\\");
    EXPECT_EQ(folders.licencesFile, content + L"Licences.txt");
    EXPECT_EQ(folders.userFolder.find(L'/'), std::wstring::npos);
}

TEST_F(FoldersTest, RelativeOrMissingXdgValuesFallBackToTheHome)
{
    const std::string base = temp.Path().string();
    ScopedEnvironment home("HOME", base);
    ScopedEnvironment data("XDG_DATA_HOME", std::string("relative/data"));
    ScopedEnvironment config("XDG_CONFIG_HOME", std::nullopt);

    const SettingsFolders folders = SettingsFolders::Locate();
    EXPECT_EQ(folders.userFolder, ProgramPath(temp.Path() / ".local" / "share") + L"\\Quillot\\");
    EXPECT_EQ(folders.picturesFolder, ProgramPath(temp.Path() / "Pictures") + L"\\");
}

TEST(PicturesDirTest, OnlyHomeRelativeAndAbsoluteEntriesAreTaken)
{
    EXPECT_EQ(SettingsFolders::ParsePicturesDir("XDG_PICTURES_DIR=\"/srv/pics\"", L"/h"), L"/srv/pics");
    EXPECT_EQ(SettingsFolders::ParsePicturesDir("XDG_PICTURES_DIR=\"$HOME\"", L"/h"), L"/h");
    EXPECT_EQ(SettingsFolders::ParsePicturesDir("#XDG_PICTURES_DIR=\"/a\"\nXDG_PICTURES_DIR=$HOME/P", L"/h"), L"/h/P");
    EXPECT_EQ(SettingsFolders::ParsePicturesDir("XDG_PICTURES_DIR=\"pics\"", L"/h"), L"");
    EXPECT_EQ(SettingsFolders::ParsePicturesDir("XDG_PICTURES_DIR=\"$HOMEX/p\"", L"/h"), L"");
    EXPECT_EQ(SettingsFolders::ParsePicturesDir("XDG_PICTURES_DIRS=\"/a\"\nXDG_MUSIC_DIR=\"/m\"", L"/h"), L"");
    EXPECT_EQ(SettingsFolders::ParsePicturesDir("", L"/h"), L"");
}

TEST_F(FoldersTest, AUserFolderThatCannotBeMadeMovesToTheTemporaryFolder)
{
    const std::string base = temp.Path().string();
    ScopedEnvironment tmp("TMPDIR", base + "/tmp");
    ASSERT_TRUE(PimFile::MakeDirectory(base + "/tmp"));
    ASSERT_TRUE(PimFile::WriteString(base + "/blocked", L"a file where a folder should be", false));

    GameSettings blocked(SettingsFolders::FromBases(temp.Wide(), temp.Wide() + L"/blocked", temp.Wide()));
    EXPECT_EQ(PimAssert::GetLastMessage(),
              "GameSettings::GameSettings() - Cannot make the user folder; using the temporary folder");
    EXPECT_EQ(blocked.GetFolders().userFolder, ProgramPath(temp.Path() / "tmp") + L"\\Quillot\\");
    EXPECT_TRUE(PimFile::FileExists(blocked.GetFolders().userFolder));
    EXPECT_TRUE(blocked.Save());
}

TEST_F(FoldersTest, StartUpDerivesTheFirstStartFromTheSettingsFile)
{
    StartupSettings first = LoadStartupSettings(*settings);
    EXPECT_TRUE(first.firstStart);
    EXPECT_EQ(first.masterVolume, 0.7f);

    settings->SetVolumeMaster(0.3f);
    ASSERT_TRUE(settings->Save());
    StartupSettings next = LoadStartupSettings(*Restart());
    EXPECT_FALSE(next.firstStart);
    EXPECT_EQ(next.masterVolume, 0.3f);
}

TEST(SingletonTest, IsCreatedOnceAcrossThreadsInTheUsersDataFolder)
{
    std::vector<std::thread> threads;
    std::atomic<GameSettings*> seen[4] = {};
    for (auto& slot : seen)
        threads.emplace_back([&slot] { slot = &GameSettings::GetInstance(); });
    for (std::thread& thread : threads)
        thread.join();
    for (auto& slot : seen)
        EXPECT_EQ(slot.load(), &GameSettings::GetInstance());

    GameSettings& settings = GameSettings::GetInstance();
    const PimWString user = ProgramPath(std::getenv("XDG_DATA_HOME")) + L"\\Quillot\\";
    EXPECT_EQ(settings.GetFolders().userFolder, user);
    EXPECT_TRUE(PimFile::FileExists(user));

    EXPECT_TRUE(LoadStartupSettings().firstStart);
    ASSERT_TRUE(settings.Save());
    EXPECT_FALSE(LoadStartupSettings().firstStart);
}
