#include "world/ChunkRuns.h"
#include "world/WorldStore.h"

#include "tests/support/SettingsFixture.h"
#include "world/RegionFile.h"

#include "engine/PimAssert.h"
#include "engine/PimFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace
{
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes ReadBytes(const fs::path& path)
{
    Bytes bytes;
    PimFile::ReadAllData(path.string(), bytes);
    return bytes;
}

void WriteBytes(const fs::path& path, const Bytes& bytes)
{
    ASSERT_TRUE(PimFile::WriteData(path.string(), bytes.data(), bytes.size(), false));
}

std::set<std::string> Entries(const fs::path& folder)
{
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        names.insert(entry.path().filename().string());
    return names;
}

std::string MapName(float x, float y, float z)
{
    return RegionFile::FileName(PimVector3(x, y, z)).Narrow();
}

class WorldStoreTest : public SettingsFixture
{
protected:
    // A store over the settings, opened on the world of that name.
    std::unique_ptr<WorldStore> Open(const PimWString& name, bool expectOpened = true)
    {
        settings->activeGame.SetGameWorldName(name);
        auto store = std::make_unique<WorldStore>(*settings);
        EXPECT_EQ(store->Open(), expectOpened);
        return store;
    }

    fs::path Models() const { return PimFilePath(settings->GetFolders().models).Native(); }
    fs::path RegionFolder(const std::string& world) const { return Models() / world / "World"; }

    // An edited chunk: one voxel set at its origin corner.
    std::unique_ptr<PimVoxelGrid> EditedChunk(const PimVector3& location, std::uint16_t code)
    {
        auto chunk = std::make_unique<PimVoxelGrid>();
        chunk->SetLocation(location);
        chunk->SetVoxel(code, 1, 2, 3, false, false);
        EXPECT_TRUE(chunk->IsEditedSinceSave());
        return chunk;
    }

    // A world "Castle" saved with one edited voxel in each of the given chunk locations.
    void SaveCastle(const std::vector<PimVector3>& locations)
    {
        auto store = Open(L"Castle");
        std::uint16_t code = 0xFF01;
        for (const PimVector3& location : locations)
            store->StoreIfEdited(EditedChunk(location, code++).get());
        ASSERT_TRUE(store->WriteRegions());
    }

    // The code at (1, 2, 3) of the chunk at location as the store gives it back; 0 when the store
    // holds no copy of that chunk.
    static std::uint16_t StoredCode(WorldStore& store, const PimVector3& location)
    {
        PimVoxelGrid chunk;
        chunk.SetLocation(location);
        return store.LoadChunk(chunk) ? chunk.GetVoxel(1, 2, 3) : 0;
    }
};
}

TEST_F(WorldStoreTest, AWorldWithoutEditsWritesItsSettingsButNoRegionFile)
{
    auto store = Open(L"Castle");
    EXPECT_FALSE(store->HadSettingsFile());
    PimVoxelGrid untouched;
    store->StoreIfEdited(&untouched);
    store->StoreIfEdited(nullptr);
    settings->activeGame.SetPlayerScaleIndex(7);
    EXPECT_TRUE(store->WriteRegions());
    EXPECT_TRUE(store->WriteSettings());

    EXPECT_TRUE(Entries(RegionFolder("Castle")).empty());
    EXPECT_TRUE(fs::is_regular_file(Models() / "Castle" / "settings.set"));

    settings->activeGame.SetPlayerScaleIndex(2);
    auto reopened = Open(L"Castle");
    EXPECT_TRUE(reopened->HadSettingsFile());
    EXPECT_EQ(settings->activeGame.GetPlayerScaleIndex(), 7u);
    EXPECT_EQ(reopened->GetRegionCount(), 0u);
}

TEST_F(WorldStoreTest, TheActiveGameKeepsTheNameTheWorldWasOpenedUnder)
{
    settings->activeGame.SetPlayerScaleIndex(7);
    Open(L"Fresh");
    EXPECT_EQ(settings->activeGame.GetPlayerScaleIndex(), 3u) << "a new world starts from the defaults";
    EXPECT_EQ(settings->activeGame.GetGameWorldName(), L"Fresh");

    // A settings file copied in from another world.
    auto other = Open(L"Other");
    ASSERT_TRUE(other->WriteSettings());
    fs::create_directories(Models() / "Copy");
    fs::copy_file(Models() / "Other" / "settings.set", Models() / "Copy" / "settings.set");
    auto copy = Open(L"Copy");
    EXPECT_TRUE(copy->HadSettingsFile());
    EXPECT_EQ(settings->activeGame.GetGameWorldName(), L"Copy");
}

TEST_F(WorldStoreTest, OneEditedVoxelWritesOneRegionFileAndASecondSaveRewritesNothing)
{
    auto store = Open(L"Castle");
    auto chunk = EditedChunk({288, 32, 64}, 0xFF07);
    store->StoreIfEdited(chunk.get());
    EXPECT_FALSE(chunk->IsEditedSinceSave());
    EXPECT_TRUE(store->HoldsChunk(*chunk));
    ASSERT_TRUE(store->WriteRegions());

    const std::string name = MapName(256, 0, 0);
    EXPECT_EQ(Entries(RegionFolder("Castle")), std::set<std::string>{name});
    std::int64_t firstTime = 0;
    ASSERT_TRUE(PimFile::GetModificationTime((RegionFolder("Castle") / name).string(), firstTime));
    const Bytes firstBytes = ReadBytes(RegionFolder("Castle") / name);

    store->StoreIfEdited(chunk.get()); // no edit since: nothing to store
    ASSERT_TRUE(store->WriteRegions());
    std::int64_t secondTime = 0;
    ASSERT_TRUE(PimFile::GetModificationTime((RegionFolder("Castle") / name).string(), secondTime));
    EXPECT_EQ(secondTime, firstTime);
    EXPECT_EQ(Entries(RegionFolder("Castle")), std::set<std::string>{name});

    // A fresh edit rewrites the file, and the next opening gives the chunk back.
    chunk->SetVoxel(0xFF09, 1, 2, 3, false, false);
    store->StoreIfEdited(chunk.get());
    ASSERT_TRUE(store->WriteRegions());
    EXPECT_NE(ReadBytes(RegionFolder("Castle") / name), firstBytes);

    auto reopened = Open(L"Castle");
    EXPECT_EQ(reopened->GetRegionFilesRead(), 1u);
    EXPECT_EQ(StoredCode(*reopened, {288, 32, 64}), 0xFF09);
    EXPECT_EQ(StoredCode(*reopened, {256, 32, 64}), 0) << "a chunk of the region never stored";
    EXPECT_EQ(StoredCode(*reopened, {544, 32, 64}), 0) << "a region never stored";
}

TEST_F(WorldStoreTest, UniformChunksReadBackHoldNoCodes)
{
    {
        auto store = Open(L"Castle");
        for (float x : {0.0f, 32.0f, 288.0f})
        {
            PimVoxelGrid uniform;
            uniform.SetLocation({x, 0, 0});
            uniform.SetVoxel(0xFF01, 0, 0, 0, false, false);
            uniform.SetVoxel(0, 0, 0, 0, false, false);
            store->StoreIfEdited(&uniform);
        }
        store->StoreIfEdited(EditedChunk({64, 0, 0}, 0xFF02).get());
        // One chunk keeps codes: the runs before, at and after its one coloured voxel.
        EXPECT_EQ(store->GetStoredBytes(), 3 * sizeof(ChunkRuns::Run));
        ASSERT_TRUE(store->WriteRegions());
    }
    auto reopened = Open(L"Castle");
    EXPECT_EQ(reopened->GetRegionCount(), 2u);
    EXPECT_EQ(reopened->GetStoredBytes(), 3 * sizeof(ChunkRuns::Run));
    EXPECT_EQ(StoredCode(*reopened, {64, 0, 0}), 0xFF02);
    PimVoxelGrid loaded;
    loaded.SetLocation({288, 0, 0});
    EXPECT_TRUE(reopened->LoadChunk(loaded));
    EXPECT_EQ(loaded.GetVoxelBytes(), 0u);
}

TEST_F(WorldStoreTest, RegionsCentreSpansEveryStoredRegionInsideTheWorld)
{
    auto store = Open(L"Castle");
    EXPECT_EQ(store->RegionsCentre(), PimVector3(0, 0, 0));
    store->StoreIfEdited(EditedChunk({0, 0, 0}, 0xFF01).get());
    store->StoreIfEdited(EditedChunk({300, 10, 20}, 0xFF01).get());
    EXPECT_EQ(store->RegionsCentre(), PimVector3(256, 128, 128));
    store->StoreIfEdited(EditedChunk({32736, 480, 1024}, 0xFF01).get());
    EXPECT_EQ(store->RegionsCentre(), PimVector3(16384, 256, 640));

    for (const PimVector3& outside : {PimVector3(-32, 0, 0), PimVector3(0, 512, 0), PimVector3(0, 0, 32768)})
    {
        auto chunk = EditedChunk(outside, 0xFF01);
        const unsigned long failures = PimAssert::GetFailureCount();
        store->StoreIfEdited(chunk.get());
        EXPECT_EQ(PimAssert::GetFailureCount(), failures + 1);
        EXPECT_TRUE(chunk->IsEditedSinceSave()) << "not stored, so still edited";
    }
    EXPECT_EQ(store->GetRegionCount(), 3u);
}

TEST_F(WorldStoreTest, AnUnreadableRegionFileIsMovedAsideAndTheOtherRegionsKept)
{
    SaveCastle({{0, 0, 0}, {256, 0, 0}});
    const fs::path folder = RegionFolder("Castle");
    const std::string broken = MapName(512, 0, 0);
    const Bytes garbage = {1, 2, 3, 4, 5};
    WriteBytes(folder / broken, garbage);

    PimAssert::ResetFailureCount();
    auto store = Open(L"Castle");
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
    EXPECT_EQ(store->GetRegionCount(), 2u);
    EXPECT_EQ(StoredCode(*store, {0, 0, 0}), 0xFF01);
    EXPECT_EQ(StoredCode(*store, {256, 0, 0}), 0xFF02);
    EXPECT_FALSE(fs::exists(folder / broken));
    EXPECT_EQ(ReadBytes(folder / (broken + ".unreadable")), garbage);

    // The region of the unreadable file is saved afresh; the file put aside stays as it was.
    store->StoreIfEdited(EditedChunk({512, 0, 0}, 0xFF03).get());
    ASSERT_TRUE(store->WriteRegions());
    EXPECT_EQ(ReadBytes(folder / (broken + ".unreadable")), garbage);

    // Broken again: the earlier file put aside is not replaced.
    WriteBytes(folder / broken, {9});
    Open(L"Castle");
    EXPECT_EQ(ReadBytes(folder / (broken + ".unreadable")), garbage);
    EXPECT_EQ(ReadBytes(folder / (broken + ".unreadable2")), Bytes{9});
}

TEST_F(WorldStoreTest, AnUnreadableFileThatCannotBeMovedIsNeverWrittenOver)
{
    fs::create_directories(RegionFolder("Castle"));
    const fs::path folder = RegionFolder("Castle");
    const std::string broken = MapName(0, 0, 0);
    WriteBytes(folder / broken, {7, 7});
    // Every name it could be moved to is taken.
    WriteBytes(folder / (broken + ".unreadable"), {1});
    for (int n = 2; n <= 100; ++n)
        WriteBytes(folder / (broken + ".unreadable" + std::to_string(n)), {1});

    auto store = Open(L"Castle");
    EXPECT_EQ(store->GetFilesSetAside(), 0u);
    store->StoreIfEdited(EditedChunk({0, 0, 0}, 0xFF01).get());
    store->StoreIfEdited(EditedChunk({256, 0, 0}, 0xFF02).get());
    PimAssert::ResetFailureCount();
    EXPECT_TRUE(store->WriteRegions());
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u);
    EXPECT_EQ(ReadBytes(folder / broken), (Bytes{7, 7}));
    EXPECT_FALSE(fs::exists(folder / (broken + "bu")));
    EXPECT_TRUE(fs::exists(folder / MapName(256, 0, 0)));
    // Its region is saved under a name of its own beside it, and loads from there.
    EXPECT_TRUE(fs::exists(folder / "0_0_0-2.map"));
    auto reopened = Open(L"Castle");
    EXPECT_EQ(StoredCode(*reopened, {0, 0, 0}), 0xFF01);
    EXPECT_EQ(ReadBytes(folder / broken), (Bytes{7, 7}));
}

TEST_F(WorldStoreTest, ADamagedFileKeepsTheChunksReadAndACopyOfItsBytes)
{
    SaveCastle({{0, 0, 0}, {0, 0, 64}});
    const fs::path file = RegionFolder("Castle") / MapName(0, 0, 0);
    const Bytes whole = ReadBytes(file);
    const Bytes cut(whole.begin(), whole.end() - 2); // the second chunk's record is cut short
    WriteBytes(file, cut);

    auto store = Open(L"Castle");
    EXPECT_EQ(StoredCode(*store, {0, 0, 0}), 0xFF01);
    EXPECT_FALSE(store->HoldsChunk(*EditedChunk({0, 0, 64}, 1)));
    EXPECT_EQ(ReadBytes(file), cut) << "still read at the next opening";
    EXPECT_EQ(ReadBytes(file.string() + ".damaged"), cut);

    auto again = Open(L"Castle");
    EXPECT_EQ(Entries(RegionFolder("Castle")).size(), 2u) << "the same bytes are kept once";

    // A damaged file that gives way to a whole backup is kept too: it may hold newer chunks.
    WriteBytes(file.string() + "bu", whole);
    WriteBytes(file, {0, 1});
    auto fromBackup = Open(L"Castle");
    EXPECT_EQ(StoredCode(*fromBackup, {0, 0, 64}), 0xFF02);
    EXPECT_EQ(ReadBytes(file.string() + ".damaged2"), (Bytes{0, 1}));
}

TEST_F(WorldStoreTest, NoFilesDevicesFifosAndHugeFilesAreSetAsideUnread)
{
    SaveCastle({{0, 0, 0}, {256, 0, 0}});
    const fs::path folder = RegionFolder("Castle");
    const std::string endless = MapName(0, 0, 0) + "bu";
    fs::create_symlink("/dev/zero", folder / endless);
    const std::string fifo = MapName(512, 0, 0);
    ASSERT_EQ(::mkfifo((folder / fifo).c_str(), 0600), 0);
    // Sparse: half a gigabyte that costs no disk, and must cost no memory either.
    const std::string huge = MapName(768, 0, 0);
    { std::ofstream create(folder / huge); }
    fs::resize_file(folder / huge, std::uintmax_t{512} << 20);

    PimAssert::ResetFailureCount();
    auto store = Open(L"Castle");
    EXPECT_EQ(PimAssert::GetFailureCount(), 3u);
    EXPECT_EQ(store->GetRegionCount(), 2u);
    EXPECT_EQ(StoredCode(*store, {0, 0, 0}), 0xFF01);
    EXPECT_EQ(store->GetFilesSetAside(), 3u);
    EXPECT_TRUE(fs::is_symlink(folder / (endless + ".unreadable")));
    EXPECT_TRUE(fs::is_fifo(folder / (fifo + ".unreadable")));
    EXPECT_EQ(fs::file_size(folder / (huge + ".unreadable")), std::uintmax_t{512} << 20);
    EXPECT_EQ(Entries(folder).size(), 5u) << "nothing copied: two regions and three entries set aside";
}

TEST_F(WorldStoreTest, AFolderInARegionFilesPlaceSurvivesASaveWithItsFiles)
{
    const fs::path folder = RegionFolder("Castle");
    const fs::path obstacle = folder / MapName(0, 0, 0);
    fs::create_directories(obstacle);
    WriteBytes(obstacle / "keep.txt", {'k'});

    auto store = Open(L"Castle");
    store->StoreIfEdited(EditedChunk({0, 0, 0}, 0xFF04).get());
    EXPECT_TRUE(store->WriteRegions());
    EXPECT_EQ(ReadBytes(folder / (MapName(0, 0, 0) + ".unreadable") / "keep.txt"), Bytes{'k'});
    EXPECT_EQ(StoredCode(*Open(L"Castle"), {0, 0, 0}), 0xFF04);
}

TEST_F(WorldStoreTest, OpeningRemovesTheTemporaryFilesOfKilledSavesAndNothingElse)
{
    SaveCastle({{0, 0, 0}});
    const fs::path world = Models() / "Castle";
    const fs::path folder = RegionFolder("Castle");
    const std::vector<fs::path> stale = {folder / (MapName(0, 0, 0) + ".tmp8812-0"),
                                         folder / (MapName(256, 0, 0) + ".tmp-41-17"),
                                         world / "settings.set.tmp123456789-3", world / "SaveView.png.tmp5-5"};
    const std::vector<fs::path> kept = {folder / "notes.tmp", folder / (MapName(0, 0, 0) + ".tmp"),
                                        folder / (MapName(0, 0, 0) + ".tmp12"), world / "my.tmp1-x"};
    for (const fs::path& path : stale)
        WriteBytes(path, {1});
    for (const fs::path& path : kept)
        WriteBytes(path, {2});

    auto store = Open(L"Castle");
    EXPECT_EQ(StoredCode(*store, {0, 0, 0}), 0xFF01);
    for (const fs::path& path : stale)
        EXPECT_FALSE(fs::exists(path)) << path;
    for (const fs::path& path : kept)
        EXPECT_EQ(ReadBytes(path), Bytes{2}) << path;
}

TEST_F(WorldStoreTest, ARegionFileNameThatIsNotUtf8IsSetAsideForReal)
{
    SaveCastle({{0, 0, 0}});
    const fs::path folder = RegionFolder("Castle");
    const std::string name = "0_0_0\xff.map";
    WriteBytes(folder / name, {3, 3});

    PimAssert::ResetFailureCount();
    EXPECT_EQ(Open(L"Castle")->GetRegionCount(), 1u);
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
    EXPECT_FALSE(fs::exists(folder / name));
    EXPECT_EQ(ReadBytes(folder / (name + ".unreadable")), (Bytes{3, 3}));

    PimAssert::ResetFailureCount();
    Open(L"Castle");
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << "reported once, when it was moved";
}

TEST_F(WorldStoreTest, ABackupWithoutItsMainFileIsRead)
{
    SaveCastle({{32, 0, 0}});
    const fs::path folder = RegionFolder("Castle");
    const std::string name = MapName(0, 0, 0);
    fs::rename(folder / name, folder / (name + "bu"));

    auto store = Open(L"Castle");
    EXPECT_EQ(store->GetRegionFilesRead(), 1u);
    EXPECT_EQ(StoredCode(*store, {32, 0, 0}), 0xFF01);

    store->StoreIfEdited(EditedChunk({64, 0, 0}, 0xFF05).get());
    ASSERT_TRUE(store->WriteRegions());
    EXPECT_EQ(Entries(folder), std::set<std::string>{name});
    auto reopened = Open(L"Castle");
    EXPECT_EQ(StoredCode(*reopened, {32, 0, 0}), 0xFF01);
    EXPECT_EQ(StoredCode(*reopened, {64, 0, 0}), 0xFF05);
}

TEST_F(WorldStoreTest, RegionFilesAreKnownByTheirHeadersWhateverTheirNamesAndWrittenBackToThem)
{
    // Region files as other writers name them: the region at 512 under a name of their own, and
    // the region at 768 under the name this program gives the region at 0.
    SaveCastle({{512, 0, 0}, {768, 0, 64}});
    const fs::path folder = RegionFolder("Castle");
    fs::rename(folder / MapName(512, 0, 0), folder / "r.2.0.0.map");
    fs::rename(folder / MapName(768, 0, 0), folder / MapName(0, 0, 0));
    WriteBytes(folder / "notes.txt", {1, 2, 3});
    WriteBytes(folder / "old.maps", ReadBytes(folder / "r.2.0.0.map"));
    fs::create_directories(folder / "sub.map");

    PimAssert::ResetFailureCount();
    auto store = Open(L"Castle", true);
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
    EXPECT_EQ(store->GetRegionCount(), 2u);
    EXPECT_EQ(store->RegionsCentre(), PimVector3(768.0f, 128.0f, 128.0f));
    EXPECT_EQ(StoredCode(*store, {512, 0, 0}), 0xFF01);
    EXPECT_EQ(StoredCode(*store, {768, 0, 64}), 0xFF02);
    EXPECT_EQ(StoredCode(*store, {0, 0, 0}), 0);

    // Each region goes back to its own file; the region at 0 gets a name beside the one taken.
    store->StoreIfEdited(EditedChunk({544, 0, 0}, 0xFF03).get());
    store->StoreIfEdited(EditedChunk({0, 0, 0}, 0xFF04).get());
    ASSERT_TRUE(store->WriteRegions());
    const std::set<std::string> written = {MapName(0, 0, 0), "0_0_0-2.map", "r.2.0.0.map", "notes.txt", "old.maps",
                                           "sub.map"};
    EXPECT_EQ(Entries(folder), written);

    PimAssert::ResetFailureCount();
    auto reopened = Open(L"Castle");
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << "no duplicates were made";
    EXPECT_EQ(StoredCode(*reopened, {512, 0, 0}), 0xFF01);
    EXPECT_EQ(StoredCode(*reopened, {544, 0, 0}), 0xFF03);
    EXPECT_EQ(StoredCode(*reopened, {768, 0, 64}), 0xFF02);
    EXPECT_EQ(StoredCode(*reopened, {0, 0, 0}), 0xFF04);
    EXPECT_EQ(Entries(folder), written);
}

TEST_F(WorldStoreTest, OfTwoFilesOfOneRegionTheNewerIsLoadedAndTheOtherSetAside)
{
    SaveCastle({{256, 0, 0}});
    const fs::path folder = RegionFolder("Castle");
    const Bytes older = ReadBytes(folder / MapName(256, 0, 0));
    SaveCastle({{288, 0, 0}}); // the same region, with one more chunk
    fs::rename(folder / MapName(256, 0, 0), folder / "copy.map");
    WriteBytes(folder / MapName(256, 0, 0), older);
    const auto now = fs::file_time_type::clock::now();
    fs::last_write_time(folder / MapName(256, 0, 0), now - std::chrono::hours(1));
    fs::last_write_time(folder / "copy.map", now);

    PimAssert::ResetFailureCount();
    auto store = Open(L"Castle");
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
    EXPECT_EQ(store->GetRegionCount(), 1u);
    EXPECT_EQ(StoredCode(*store, {288, 0, 0}), 0xFF01);
    EXPECT_EQ(ReadBytes(folder / (MapName(256, 0, 0) + ".duplicate")), older) << "set aside, not lost";
    EXPECT_EQ(Entries(folder), (std::set<std::string>{"copy.map", MapName(256, 0, 0) + ".duplicate"}));

    // Of the same age, the file under this program's own name wins.
    WriteBytes(folder / MapName(256, 0, 0), older);
    fs::last_write_time(folder / MapName(256, 0, 0), now);
    auto tied = Open(L"Castle");
    EXPECT_EQ(StoredCode(*tied, {256, 0, 0}), 0xFF01);
    EXPECT_EQ(StoredCode(*tied, {288, 0, 0}), 0);
    EXPECT_TRUE(fs::exists(folder / "copy.map.duplicate"));
}

TEST_F(WorldStoreTest, RefusedNamesNeverReachTheFileSystem)
{
    const fs::path savedGames = PimFilePath(settings->GetFolders().savedGames).Native();
    const std::set<std::string> before = Entries(savedGames.parent_path());
    for (const PimWString& name : {PimWString(), PimWString(L"."), PimWString(L".."), PimWString(L"a/b"),
                                   PimWString(L"a\\b"), PimWString(L"..\\.."), PimWString(L"tab\there"),
                                   PimWString(L"line\n"), PimWString(L"del\x7f"), PimWString(300, L'x')})
    {
        EXPECT_FALSE(WorldStore::IsValidWorldName(name)) << name.Narrow();
        PimAssert::ResetFailureCount();
        auto store = Open(name, false);
        EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
        EXPECT_TRUE(store->GetWorldFolder().empty());
        store->StoreIfEdited(EditedChunk({0, 0, 0}, 0xFF01).get());
        EXPECT_FALSE(store->WriteRegions());
        EXPECT_FALSE(store->WriteSettings());
        PimTexture picture;
        ASSERT_TRUE(picture.Create(1, 1, PimColor(1, 2, 3, 255)));
        EXPECT_FALSE(store->WriteThumbnail(picture));
        EXPECT_EQ(PimAssert::GetFailureCount(), 4u) << "each write refused with a report";
    }
    EXPECT_EQ(Entries(savedGames.parent_path()), before);
    EXPECT_FALSE(fs::exists(savedGames));

    for (const PimWString& name : {PimWString(L"My model 2"), PimWString(L"Mod\u00e8le"), PimWString(L"...a"),
                                   PimWString(255, L'x')})
        EXPECT_TRUE(WorldStore::IsValidWorldName(name)) << name.Narrow();
}

TEST_F(WorldStoreTest, AModelsFolderThatCannotBeMadeOpensNothing)
{
    fs::create_directories(Models().parent_path());
    WriteBytes(Models(), {1}); // a file holds the folder's name

    PimAssert::ResetFailureCount();
    auto store = Open(L"Castle", false);
    EXPECT_GE(PimAssert::GetFailureCount(), 1u);
    EXPECT_FALSE(store->WriteSettings());
    EXPECT_TRUE(WorldStore::WorldBaseFolder(*settings).empty());
}

TEST_F(WorldStoreTest, AFailedSaveIsReportedOnceAndTriedAgainLater)
{
    auto store = Open(L"Castle");
    store->StoreIfEdited(EditedChunk({0, 0, 0}, 0xFF01).get());
    store->StoreIfEdited(EditedChunk({256, 0, 0}, 0xFF02).get());
    fs::create_directories(Models() / "Castle");
    WriteBytes(Models() / "Castle" / "World", {1}); // a file where the region folder belongs

    PimAssert::ResetFailureCount();
    EXPECT_FALSE(store->WriteRegions());
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
    EXPECT_EQ(PimAssert::GetLastMessage(), "File corruption warning");

    fs::remove(Models() / "Castle" / "World");
    EXPECT_TRUE(store->WriteRegions());
    EXPECT_EQ(Entries(RegionFolder("Castle")).size(), 2u);
}

TEST_F(WorldStoreTest, TheThumbnailIsSavedInTheWorldFolder)
{
    auto store = Open(L"Castle");
    PimTexture picture;
    ASSERT_TRUE(picture.Create(3, 2, PimColor(10, 20, 30, 255)));
    ASSERT_TRUE(store->WriteThumbnail(picture));
    PimTexture loaded;
    ASSERT_TRUE(loaded.Load((Models() / "Castle" / "SaveView.png").string()));
    EXPECT_EQ(loaded.GetWidth(), 3);
    EXPECT_EQ(loaded.GetHeight(), 2);

    PimAssert::ResetFailureCount();
    EXPECT_FALSE(store->WriteThumbnail(PimTexture()));
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
}

// The worker looks chunks up while the main thread stores new regions.
TEST_F(WorldStoreTest, LookupsFromTheWorkerRunBesideStores)
{
    auto store = Open(L"Castle");
    constexpr int kRegions = 24;
    std::atomic<bool> storing{true};
    std::thread worker([&] {
        PimVoxelGrid chunk;
        bool lastPass = false;
        while (!lastPass)
        {
            lastPass = !storing.load();
            for (int r = 0; r < kRegions; ++r)
            {
                chunk.SetLocation(PimVector3(float(r) * 256.0f, 0, 0));
                if (store->HoldsChunk(chunk))
                {
                    EXPECT_TRUE(store->LoadChunk(chunk));
                }
            }
        }
    });
    std::vector<std::unique_ptr<PimVoxelGrid>> chunks;
    for (int r = 0; r < kRegions; ++r)
    {
        chunks.push_back(EditedChunk(PimVector3(float(r) * 256.0f, 0, 0), 0xFF01));
        store->StoreIfEdited(chunks.back().get());
    }
    storing = false;
    worker.join();
    EXPECT_EQ(store->GetRegionCount(), std::size_t(kRegions));
    for (const auto& chunk : chunks)
        EXPECT_EQ(StoredCode(*store, chunk->GetLocation()), 0xFF01);
}
