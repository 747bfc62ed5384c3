#include "engine/PimFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace
{
// Each test works in its own new folder under the system temporary folder, removed afterwards.
class PimFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        root = fs::temp_directory_path() / ("quillot-file-" + test + "-" + std::to_string(std::random_device{}()));
        ASSERT_TRUE(fs::create_directory(root));
    }

    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    // The program's own form of a path below the test folder: backslashes throughout.
    std::string Backslashed(const std::string& relative) const
    {
        std::string path = (root / relative).string();
        for (char& c : path)
            if (c == '/')
                c = '\\';
        return path;
    }

    static std::string BytesOf(const fs::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static void Put(const fs::path& file, const std::string& bytes)
    {
        std::ofstream(file, std::ios::binary) << bytes;
    }

    fs::path root;
};

std::vector<std::wstring> Names(const std::vector<PimFileListing>& entries)
{
    std::vector<std::wstring> names;
    for (const PimFileListing& entry : entries)
        names.push_back(entry.name);
    return names;
}
}

TEST_F(PimFileTest, WriteDataReplacesOrAppends)
{
    const PimWString path = PimWString::Widen(Backslashed("World\\0_0_0.map"));
    const std::uint8_t header[] = {1, 0, 2, 0};
    const std::uint8_t record[] = {0, 0xFF, 7};
    EXPECT_FALSE(PimFile::WriteData(path, header, sizeof header, false)); // the folder is missing
    ASSERT_TRUE(PimFile::MakeDirectory(Backslashed("World\\")));

    ASSERT_TRUE(PimFile::WriteData(path, header, sizeof header, false));
    ASSERT_TRUE(PimFile::WriteData(path, record, sizeof record, true));
    std::vector<std::uint8_t> data;
    ASSERT_TRUE(PimFile::ReadAllData(path, data));
    EXPECT_EQ(data, (std::vector<std::uint8_t>{1, 0, 2, 0, 0, 0xFF, 7}));

    ASSERT_TRUE(PimFile::WriteData(path, record, sizeof record, false));
    ASSERT_TRUE(PimFile::ReadAllData((root / "World/0_0_0.map").string(), data));
    EXPECT_EQ(data, (std::vector<std::uint8_t>{0, 0xFF, 7}));

    ASSERT_TRUE(PimFile::WriteData(path, nullptr, 0, false));
    EXPECT_TRUE(PimFile::ReadAllData(path, data));
    EXPECT_TRUE(data.empty());
    EXPECT_FALSE(PimFile::WriteData(path, nullptr, 3, true));
}

TEST_F(PimFileTest, ReadingWhatIsNotAFileFailsWithEmptyOutput)
{
    std::vector<std::uint8_t> data{1, 2};
    PimString text("old");
    PimWString wide(L"old");
    EXPECT_FALSE(PimFile::ReadAllData(Backslashed("missing.map"), data));
    EXPECT_TRUE(data.empty());
    EXPECT_FALSE(PimFile::ReadAllText(root.string(), text));
    EXPECT_TRUE(text.empty());
    EXPECT_FALSE(PimFile::ReadAllTextW(L"", wide));
    EXPECT_TRUE(wide.empty());
}

TEST_F(PimFileTest, WideTextIsStoredAsUtf8AndReadsBack)
{
    const PimWString settings =
        PimWString::Widen("<GameWorldName>Modèle 😀</GameWorldName><PlayerScale>2</PlayerScale>");
    const std::string path = Backslashed("settings.set");
    ASSERT_TRUE(PimFile::WriteString(path, settings, false));
    EXPECT_EQ(BytesOf(root / "settings.set"), settings.Narrow());

    PimWString wide;
    ASSERT_TRUE(PimFile::ReadAllTextW(path, wide));
    EXPECT_EQ(wide, settings);
    PimString narrow;
    ASSERT_TRUE(PimFile::ReadAllText(path, narrow));
    EXPECT_EQ(PimWString::Widen(narrow), settings);

    ASSERT_TRUE(PimFile::WriteString(path, L"<A>1</A>", false));
    ASSERT_TRUE(PimFile::WriteString(path, L"<B>2</B>", true));
    ASSERT_TRUE(PimFile::ReadAllTextW(path, wide));
    EXPECT_EQ(wide, L"<A>1</A><B>2</B>");
}

TEST_F(PimFileTest, TextReadingHandlesByteOrderMarksAndMalformedBytes)
{
    PimWString wide;
    PimString narrow;
    Put(root / "bom.set", "\xEF\xBB\xBF<A>1</A>");
    ASSERT_TRUE(PimFile::ReadAllTextW((root / "bom.set").string(), wide));
    EXPECT_EQ(wide, L"<A>1</A>");
    ASSERT_TRUE(PimFile::ReadAllText((root / "bom.set").string(), narrow));
    EXPECT_EQ(narrow, "<A>1</A>");

    Put(root / "utf16.set", std::string("\xFF\xFE<\0\xE8\0>\0\x3D\xD8\x00\xDE", 12));
    ASSERT_TRUE(PimFile::ReadAllTextW((root / "utf16.set").string(), wide));
    EXPECT_EQ(wide, L"<è>😀");

    Put(root / "latin1.set", "<N>Mod\xE8le</N>\xC3");
    ASSERT_TRUE(PimFile::ReadAllTextW((root / "latin1.set").string(), wide));
    EXPECT_EQ(wide, L"<N>Mod\uFFFDle</N>\uFFFD");
    ASSERT_TRUE(PimFile::ReadAllText((root / "latin1.set").string(), narrow));
    EXPECT_EQ(narrow, "<N>Mod\xE8le</N>\xC3"); // narrow text is the bytes as they are
}

TEST_F(PimFileTest, AtomicReplacementLeavesOnlyTheNewFile)
{
    const std::string path = Backslashed("Models\\settings.set");
    ASSERT_TRUE(PimFile::MakeDirectory(Backslashed("Models")));
    ASSERT_TRUE(PimFile::WriteStringAtomic(path, L"<A>1</A>"));
    ASSERT_TRUE(PimFile::WriteStringAtomic(path, L"<A>2</A>"));
    EXPECT_EQ(BytesOf(root / "Models" / "settings.set"), "<A>2</A>");
    EXPECT_EQ(Names(PimFile::GetFileList(Backslashed("Models"))), std::vector<std::wstring>{L"settings.set"});

    // A folder in the way: nothing is replaced and no temporary file is left behind.
    ASSERT_TRUE(PimFile::MakeDirectory(Backslashed("Models\\blocked")));
    const std::uint8_t byte = 1;
    EXPECT_FALSE(PimFile::WriteDataAtomic(Backslashed("Models\\blocked"), &byte, 1));
    EXPECT_TRUE(fs::is_directory(root / "Models" / "blocked"));
    EXPECT_EQ(Names(PimFile::GetFileList(Backslashed("Models"))), std::vector<std::wstring>{L"settings.set"});
    EXPECT_FALSE(PimFile::WriteDataAtomic(Backslashed("Missing\\file"), &byte, 1));
}

TEST_F(PimFileTest, FoldersAreMadeAndDeletedWithTheirContents)
{
    const std::string world = Backslashed("Models\\Modèle");
    EXPECT_FALSE(PimFile::FileExists(world));
    ASSERT_TRUE(PimFile::MakeDirectory(world + "\\World\\"));
    EXPECT_TRUE(PimFile::MakeDirectory(world)); // already there
    EXPECT_TRUE(PimFile::FileExists(world));
    ASSERT_TRUE(PimFile::WriteString(world + "\\World\\0_0_0.map", L"x", false));
    ASSERT_TRUE(PimFile::WriteString(world + "\\settings.set", L"x", false));
    EXPECT_TRUE(PimFile::FileExists(world + "\\settings.set"));
    EXPECT_FALSE(PimFile::MakeDirectory(world + "\\settings.set")); // a file holds the name

    EXPECT_TRUE(PimFile::FileDelete(world + "\\"));
    EXPECT_FALSE(fs::exists(root / "Models" / "Modèle"));
    EXPECT_TRUE(fs::is_directory(root / "Models"));
    EXPECT_FALSE(PimFile::FileDelete(world));
    EXPECT_FALSE(PimFile::FileExists(""));
}

TEST_F(PimFileTest, DeleteRefusesPathsThatNameAParentAndDoesNotFollowLinks)
{
    ASSERT_TRUE(PimFile::MakeDirectory(Backslashed("Models\\A")));
    ASSERT_TRUE(PimFile::WriteString(Backslashed("Models\\A\\keep"), L"x", false));
    EXPECT_FALSE(PimFile::FileDelete(Backslashed("Models\\A\\..")));
    EXPECT_FALSE(PimFile::FileDelete(Backslashed("Models\\.")));
    EXPECT_FALSE(PimFile::FileDelete(""));
    EXPECT_TRUE(fs::exists(root / "Models" / "A" / "keep"));

    fs::create_directory_symlink(root / "Models" / "A", root / "Link");
    EXPECT_TRUE(PimFile::FileDelete(Backslashed("Link")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(root / "Link")));
    EXPECT_TRUE(fs::exists(root / "Models" / "A" / "keep"));
}

TEST_F(PimFileTest, MoveRenamesFilesAndFoldersAndReplacesAFile)
{
    const std::string map = Backslashed("0_0_0.map");
    ASSERT_TRUE(PimFile::WriteString(map, L"new", false));
    ASSERT_TRUE(PimFile::WriteString(map + "bu", L"stale backup", false));
    ASSERT_TRUE(PimFile::FileMove(map, map + "bu"));
    EXPECT_FALSE(PimFile::FileExists(map));
    EXPECT_EQ(BytesOf(root / "0_0_0.mapbu"), "new");
    EXPECT_FALSE(PimFile::FileMove(map, map + "bu")); // nothing left to move

    ASSERT_TRUE(PimFile::MakeDirectory(Backslashed("Models\\Old")));
    ASSERT_TRUE(PimFile::FileMove(map + "bu", Backslashed("Models\\Old\\settings.set")));
    ASSERT_TRUE(PimFile::FileMove(Backslashed("Models\\Old"), Backslashed("RecycleBin")));
    EXPECT_EQ(BytesOf(root / "RecycleBin" / "settings.set"), "new");
    EXPECT_FALSE(PimFile::FileExists(Backslashed("Models\\Old")));
}

TEST_F(PimFileTest, ListingsSeparateFilesFromFoldersWithNamesAndTimes)
{
    for (const char* folder : {"beta", "Alpha", "gamma"})
        ASSERT_TRUE(PimFile::MakeDirectory(Backslashed(std::string("Pictures\\") + folder)));
    for (const char* file : {"b.png", "A.PNG", "c.jpg", "Été.png"})
        ASSERT_TRUE(PimFile::WriteString(Backslashed(std::string("Pictures\\") + file), L"x", false));

    const std::string pictures = Backslashed("Pictures\\");
    EXPECT_EQ(Names(PimFile::GetDirectoryList(pictures)), (std::vector<std::wstring>{L"Alpha", L"beta", L"gamma"}));
    EXPECT_EQ(Names(PimFile::GetFileList(pictures)),
              (std::vector<std::wstring>{L"A.PNG", L"b.png", L"c.jpg", L"Été.png"}));

    // Times are the entries' modification times: set three an hour apart and read them back.
    const auto ten = fs::file_time_type::clock::now() - std::chrono::hours(3);
    int hour = 0;
    for (const char* folder : {"Alpha", "beta", "gamma"})
        fs::last_write_time(root / "Pictures" / folder, ten + std::chrono::hours(hour++));
    const std::vector<PimFileListing> folders = PimFile::GetDirectoryList(pictures);
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[1].time - folders[0].time, 3600'000'000'000);
    EXPECT_EQ(folders[2].time - folders[1].time, 3600'000'000'000);
    const auto unixTime = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::file_clock::to_sys(ten).time_since_epoch());
    EXPECT_EQ(folders[0].time, unixTime.count());

    std::int64_t time = 0;
    ASSERT_TRUE(PimFile::GetModificationTime(Backslashed("Pictures\\gamma"), time));
    EXPECT_EQ(time, folders[2].time);
    EXPECT_FALSE(PimFile::GetModificationTime(Backslashed("Pictures\\none"), time));
}

TEST_F(PimFileTest, MissingFolderListsNothing)
{
    EXPECT_TRUE(PimFile::GetFileList(Backslashed("Nowhere\\")).empty());
    EXPECT_TRUE(PimFile::GetDirectoryList(Backslashed("Nowhere\\")).empty());
    ASSERT_TRUE(PimFile::WriteString(Backslashed("plain"), L"x", false));
    EXPECT_TRUE(PimFile::GetDirectoryList(Backslashed("plain")).empty());
}

TEST_F(PimFileTest, BoundedReadingTakesOnlyRegularFilesUpToTheirLimit)
{
    using Outcome = PimFile::ReadOutcome;
    std::vector<std::uint8_t> data;
    Put(root / "small", "12345");
    EXPECT_EQ(PimFile::ReadRegularFile((root / "small").string(), data, 5), Outcome::Read);
    EXPECT_EQ(data.size(), 5u);
    EXPECT_EQ(PimFile::ReadRegularFile((root / "small").string(), data, 4), Outcome::TooLarge);
    EXPECT_TRUE(data.empty());

    fs::create_symlink(root / "small", root / "link");
    EXPECT_EQ(PimFile::ReadRegularFile((root / "link").string(), data, 5), Outcome::Read);
    EXPECT_EQ(PimFile::ReadRegularFile((root / "none").string(), data, 5), Outcome::Missing);
    fs::create_symlink(root / "none", root / "dangling");
    EXPECT_EQ(PimFile::ReadRegularFile((root / "dangling").string(), data, 5), Outcome::Missing);

    // Things that would hang the reader or never end are not even opened.
    fs::create_directory(root / "folder");
    ASSERT_EQ(::mkfifo((root / "fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", root / "zero");
    for (const char* name : {"folder", "fifo", "zero"})
    {
        EXPECT_EQ(PimFile::ReadRegularFile((root / name).string(), data, 1 << 20), Outcome::NotRegular) << name;
        EXPECT_TRUE(data.empty());
    }
    EXPECT_TRUE(PimFile::IsRegularFile((root / "link").string()));
    EXPECT_FALSE(PimFile::IsRegularFile((root / "zero").string()));
}

TEST_F(PimFileTest, EveryEntryIsListedAndOneWithANameThatIsNotUtf8CanBeReached)
{
    const std::string odd = "caf\xe9.map"; // Latin-1, not UTF-8
    Put(root / odd, "x");
    Put(root / "plain.map", "y");
    ASSERT_EQ(::mkfifo((root / "pipe.map").c_str(), 0600), 0);
    fs::create_directory(root / "folder.map");

    const std::vector<PimFileListing> entries = PimFile::GetEntryList(root.string());
    ASSERT_EQ(entries.size(), 4u);
    int regular = 0;
    for (const PimFileListing& entry : entries)
    {
        regular += entry.isRegularFile;
        if (entry.nameIsUtf8)
            continue;
        EXPECT_EQ(entry.name, L"caf\uFFFD.map");
        EXPECT_FALSE(PimFile::FileExists(entry.name.Narrow()));
        const PimFilePath path = PimFilePath::FromNative(entry.native);
        EXPECT_TRUE(PimFile::FileMove(path, PimFilePath::FromNative(root / (odd + ".aside"))));
    }
    EXPECT_EQ(regular, 2);
    EXPECT_EQ(BytesOf(root / (odd + ".aside")), "x");
    EXPECT_EQ(PimFile::GetFileList(root.string()).size(), 2u) << "only regular files";
}

TEST_F(PimFileTest, FolderContentsListFoldersAndFilesOnceAndSayWhatWasLeftOutAndWhy)
{
    fs::create_directories(root / "Pictures" / "Trips");
    fs::create_directory(root / "Elsewhere");
    Put(root / "Pictures" / "b.png", "x");
    Put(root / "Pictures" / "A.PNG", "x");
    const fs::path pictures = root / "Pictures";
    fs::create_directory_symlink(root / "Elsewhere", pictures / "linked");
    fs::create_symlink(pictures / "gone.png", pictures / "broken.png");
    fs::create_symlink(pictures / "loop2", pictures / "loop1");
    fs::create_symlink(pictures / "loop1", pictures / "loop2");
    fs::create_symlink(pictures / "self", pictures / "self");
    ASSERT_EQ(::mkfifo((pictures / "pipe.png").c_str(), 0600), 0);
    Put(pictures / "caf\xe9.png", "x"); // Latin-1, not UTF-8

    const PimFolderContents contents = PimFile::GetFolderContents(Backslashed("Pictures\\"));
    EXPECT_TRUE(contents.error.empty()) << contents.error;
    EXPECT_EQ(Names(contents.directories), (std::vector<std::wstring>{L"linked", L"Trips"}));
    EXPECT_EQ(Names(contents.files), (std::vector<std::wstring>{L"A.PNG", L"b.png", L"caf\uFFFD.png"}));
    EXPECT_FALSE(contents.files[2].nameIsUtf8);
    std::vector<std::string> skipped = contents.skipped;
    std::sort(skipped.begin(), skipped.end());
    EXPECT_EQ(skipped, (std::vector<std::string>{"broken.png: a link to nothing", "loop1: a loop of links",
                                                 "loop2: a loop of links", "self: a loop of links"}))
        << "the FIFO is left out without a word";

    for (const char* missing : {"Nowhere\\", "Pictures\\b.png"})
    {
        const PimFolderContents none = PimFile::GetFolderContents(Backslashed(missing));
        EXPECT_FALSE(none.error.empty()) << missing;
        EXPECT_TRUE(none.directories.empty() && none.files.empty()) << missing;
    }
    // Without permission to read (not testable as root, who reads every folder).
    if (::geteuid() != 0)
    {
        fs::permissions(pictures / "Trips", fs::perms::none);
        const PimFolderContents locked = PimFile::GetFolderContents((pictures / "Trips").string());
        fs::permissions(pictures / "Trips", fs::perms::owner_all);
        EXPECT_FALSE(locked.error.empty());
    }
}
