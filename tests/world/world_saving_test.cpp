#include "world_fixture.h"

#include "engine/PimFile.h"
#include "engine/VoxelCodeTable.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

namespace
{
namespace fs = std::filesystem;

std::vector<fs::path> FilesIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    return files;
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}
}

// Saving on the None display: no thumbnail can be drawn, everything else is written.
class WorldSavingTest : public WorldFixture
{
protected:
    fs::path WorldFolder() const { return fs::path(temp.Path()) / "data" / "Quillot" / "SavedGames" / "Models" / "TestWorld"; }
    fs::path RegionFolder() const { return WorldFolder() / "World"; }

    // A flat world of 16 x 16 chunks with the viewer over its middle, loaded and built.
    void OpenLoadedFlatWorld()
    {
        Open(MakeSetup(1, 16, 16), PimVector3(256.0f, 40.0f, 256.0f));
        ASSERT_TRUE(Settle());
    }

    static constexpr std::uint16_t kCode = VoxelCode::FirstColour + 7;
};

TEST_F(WorldSavingTest, AWorldWithoutEditsWritesItsSettingsButNoRegion)
{
    OpenLoadedFlatWorld();
    world->SaveWorld();
    EXPECT_TRUE(fs::exists(WorldFolder() / "settings.set"));
    EXPECT_TRUE(FilesIn(RegionFolder()).empty());
    // Without GL there is no thumbnail to write, and that is not a failure.
    EXPECT_FALSE(fs::exists(WorldFolder() / "SaveView.png"));
    EXPECT_FALSE(world->GetThumbnail().IsValid());
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u);
}

TEST_F(WorldSavingTest, OneEditWritesOneRegionAndASecondSaveRewritesNothing)
{
    OpenLoadedFlatWorld();
    ASSERT_EQ(world->SetWorldVoxel(kCode, PimVector3(300.5f, 3.5f, 20.5f), false, false), 0);
    ASSERT_EQ(world->GetWorldVoxel(PimVector3(300.5f, 3.5f, 20.5f)), kCode);
    world->SaveWorld();
    const std::vector<fs::path> files = FilesIn(RegionFolder());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].filename(), "256_0_0.map");

    // A rewrite would replace these bytes with the region's.
    WriteBytes(files[0], "untouched");
    world->SaveWorld();
    EXPECT_EQ(FilesIn(RegionFolder()).size(), 1u);
    EXPECT_EQ(ReadBytes(files[0]), "untouched");

    // A further edit in the same region rewrites that one file only.
    ASSERT_EQ(world->SetWorldVoxel(kCode, PimVector3(301.5f, 3.5f, 20.5f), false, false), 0);
    world->SaveWorld();
    EXPECT_EQ(FilesIn(RegionFolder()).size(), 1u);
    EXPECT_NE(ReadBytes(files[0]), "untouched");
}

TEST_F(WorldSavingTest, SavedEditsComeBackWhenTheWorldIsOpenedAgain)
{
    OpenLoadedFlatWorld();
    const PimVector3 a(40.5f, 3.5f, 60.5f), b(480.5f, 200.5f, 500.5f);
    ASSERT_EQ(world->SetWorldVoxel(kCode, a, false, false), 0);
    ASSERT_EQ(world->SetWorldVoxel(VoxelCode::Brick, b, false, false), 0);
    world->SaveWorld();
    world.reset();

    Open(MakeSetup(1, 16, 16), PimVector3(256.0f, 40.0f, 256.0f));
    EXPECT_EQ(world->GetStore().GetRegionCount(), 2u);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(world->GetWorldVoxel(a), kCode);
    EXPECT_EQ(world->GetWorldVoxel(b), VoxelCode::Brick);
    EXPECT_EQ(world->GetWorldVoxel(a + PimVector3(1.0f, 0.0f, 0.0f)), 0);
}

TEST_F(WorldSavingTest, AnEditedChunkThatLeftTheWindowIsSaved)
{
    // A world 64 chunks wide: walking 4 chunks along x sends the first columns out of the window
    // into the left-window map.
    Open(MakeSetup(1, 64, 16), PimVector3(16.0f * 32.0f, 40.0f, 256.0f));
    ASSERT_TRUE(Settle());
    // The chunk at the disc's western tip, in the viewer's row.
    const PimVector3 edit(20.5f, 10.5f, 260.5f);
    ASSERT_EQ(world->SetWorldVoxel(kCode, edit, false, false), 0);
    ASSERT_EQ(world->GetWorldVoxel(edit), kCode);
    MoveViewer(PimVector3(20.0f * 32.0f + 16.0f, 40.0f, 256.0f));
    ASSERT_TRUE(Settle());
    ASSERT_EQ(world->FindChunkSlot(edit), nullptr);
    ASSERT_TRUE(world->IsInLeftWindow(WorldAddressing::ChunkOrigin(edit)));

    world->SaveWorld();
    const std::vector<fs::path> files = FilesIn(RegionFolder());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].filename(), "0_0_256.map");
}

TEST_F(WorldSavingTest, ACorruptPlayerLocationIsReportedAndMovedToTheCentreOfTheRegions)
{
    OpenLoadedFlatWorld();
    // Stored regions at (0, 0, 0) and (256, 0, 0).
    ASSERT_EQ(world->SetWorldVoxel(kCode, PimVector3(10.5f, 5.5f, 10.5f), false, false), 0);
    ASSERT_EQ(world->SetWorldVoxel(kCode, PimVector3(300.5f, 5.5f, 10.5f), false, false), 0);

    PimAssert::ResetFailureCount();
    world->SaveWorldAndPlayer(PimVector3(2000000.0f, 0.0f, 0.0f));
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
    EXPECT_EQ(PimAssert::GetLastMessage(), "Player location corrupted");
    EXPECT_EQ(settings->activeGame.GetPlayerLocation(), PimVector3(256.0f, 128.0f, 128.0f));
    const std::string written = ReadBytes(WorldFolder() / "settings.set");
    EXPECT_EQ(written.find("2000000"), std::string::npos);

    // A sound location is kept as it is, and a NaN counts as corrupt.
    PimAssert::ResetFailureCount();
    world->SaveWorldAndPlayer(PimVector3(100.0f, 50.0f, -999999.0f));
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u);
    EXPECT_EQ(settings->activeGame.GetPlayerLocation(), PimVector3(100.0f, 50.0f, -999999.0f));
    world->SaveWorldAndPlayer(PimVector3(std::nanf(""), 0.0f, 0.0f));
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
    EXPECT_EQ(settings->activeGame.GetPlayerLocation(), PimVector3(256.0f, 128.0f, 128.0f));
}

TEST_F(WorldSavingTest, AWorldWithARefusedNameSavesNothing)
{
    settings->activeGame.SetGameWorldName(L"..");
    Open(MakeSetup(1, 4, 4), PimVector3(64.0f, 40.0f, 64.0f));
    ASSERT_TRUE(Settle());
    world->SetWorldVoxel(kCode, PimVector3(10.5f, 5.5f, 10.5f), false, false);
    PimAssert::ResetFailureCount();
    world->SaveWorld();
    EXPECT_GE(PimAssert::GetFailureCount(), 1u);
    const fs::path models = fs::path(temp.Path()) / "data" / "Quillot" / "SavedGames" / "Models";
    std::error_code error;
    EXPECT_TRUE(!fs::exists(models, error) || fs::is_empty(models, error));
    EXPECT_FALSE(fs::exists(fs::path(temp.Path()) / "data" / "Quillot" / "SavedGames" / "settings.set"));
}

TEST_F(WorldSavingTest, AFailedSaveSaysWhatFailedKeepsTheEditsAndTheNextSaveWritesThem)
{
    // Root ignores read-only folders, so a file stands where a folder must be made.
    struct Blocked
    {
        const char* name;
        bool settingsFail;
    };
    for (const Blocked blocked : {Blocked{"World", false}, Blocked{"", true}})
    {
        SCOPED_TRACE(blocked.name);
        std::error_code error;
        fs::remove_all(WorldFolder(), error);
        OpenLoadedFlatWorld();
        const PimVector3 edit(300.5f, 3.5f, 20.5f);
        ASSERT_EQ(world->SetWorldVoxel(kCode, edit, false, false), 0);
        const fs::path obstacle = *blocked.name != '\0' ? WorldFolder() / blocked.name : WorldFolder();
        fs::create_directories(obstacle.parent_path());
        WriteBytes(obstacle, "in the way");

        PimAssert::ResetFailureCount();
        const VoxelWorld2::SaveResult failed = world->SaveWorld();
        EXPECT_FALSE(failed.Succeeded());
        EXPECT_FALSE(failed.regionsWritten);
        EXPECT_EQ(failed.settingsWritten, !blocked.settingsFail);
        EXPECT_NE(failed.Describe().find("the voxels"), std::string::npos) << failed.Describe();
        EXPECT_EQ(failed.Describe().find("settings") != std::string::npos, blocked.settingsFail) << failed.Describe();
        EXPECT_GE(PimAssert::GetFailureCount(), 1u);
        EXPECT_EQ(ReadBytes(obstacle), "in the way") << "nothing is written over";
        EXPECT_EQ(world->GetWorldVoxel(edit), kCode);

        // Once the way is clear, the next save writes the edit although its chunk was stored before.
        fs::remove(obstacle);
        const VoxelWorld2::SaveResult saved = world->SaveWorld();
        EXPECT_TRUE(saved.Succeeded()) << saved.Describe();
        EXPECT_EQ(saved.Describe(), "");
        world.reset();
        Open(MakeSetup(1, 16, 16), PimVector3(256.0f, 40.0f, 256.0f));
        ASSERT_TRUE(Settle());
        EXPECT_EQ(world->GetWorldVoxel(edit), kCode);
        world.reset();
    }
}

// Timed saves write their files on the world's save writer thread; the frame loop polls for
// the result.
class BackgroundSavingTest : public WorldSavingTest
{
protected:
    // The result of the started saves, waited for with a bound.
    std::optional<VoxelWorld2::SaveResult> AwaitResult()
    {
        for (int attempt = 0; attempt < 10000; ++attempt)
        {
            if (std::optional<VoxelWorld2::SaveResult> result = world->TakeSaveResult())
                return result;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return std::nullopt;
    }
};

TEST_F(BackgroundSavingTest, StartedSavesFollowOneAnotherAndHandTheirResultOverOnce)
{
    OpenLoadedFlatWorld();
    const PimVector3 first(10.5f, 3.5f, 10.5f), second(300.5f, 3.5f, 20.5f);
    ASSERT_EQ(world->SetWorldVoxel(kCode, first, false, false), 0);
    world->StartSaveWithPlayer(PimVector3(100.0f, 40.0f, 120.0f));
    // Edited and saved again while the first save may still be written.
    ASSERT_EQ(world->SetWorldVoxel(kCode, second, false, false), 0);
    world->StartSave();

    const std::optional<VoxelWorld2::SaveResult> result = AwaitResult();
    ASSERT_TRUE(result.has_value());
    EXPECT_TRUE(result->Succeeded()) << result->Describe();
    if (world->IsSaving())
    {
        // The first save's result came while the second was still written: wait for its own.
        const std::optional<VoxelWorld2::SaveResult> last = AwaitResult();
        ASSERT_TRUE(last.has_value());
        EXPECT_TRUE(last->Succeeded());
    }
    EXPECT_FALSE(world->TakeSaveResult().has_value()) << "each result is handed over once";
    EXPECT_EQ(FilesIn(RegionFolder()).size(), 2u);

    world.reset();
    Open(MakeSetup(1, 16, 16), PimVector3(256.0f, 40.0f, 256.0f));
    EXPECT_EQ(settings->activeGame.GetPlayerLocation(), PimVector3(100.0f, 40.0f, 120.0f));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(world->GetWorldVoxel(first), kCode);
    EXPECT_EQ(world->GetWorldVoxel(second), kCode);
}

TEST_F(BackgroundSavingTest, AFailedStartedSaveIsHandedOverAndAWorldLeftMidSaveKeepsItsFiles)
{
    OpenLoadedFlatWorld();
    const PimVector3 edit(300.5f, 3.5f, 20.5f);
    ASSERT_EQ(world->SetWorldVoxel(kCode, edit, false, false), 0);
    fs::create_directories(WorldFolder());
    WriteBytes(RegionFolder(), "in the way");
    world->StartSave();
    const std::optional<VoxelWorld2::SaveResult> failed = AwaitResult();
    ASSERT_TRUE(failed.has_value());
    EXPECT_FALSE(failed->regionsWritten);
    EXPECT_NE(failed->Describe().find("the voxels"), std::string::npos);

    // Started and the world discarded at once: the save is written before the world goes.
    fs::remove(RegionFolder());
    world->StartSave();
    world.reset();
    EXPECT_EQ(FilesIn(RegionFolder()).size(), 1u);
    Open(MakeSetup(1, 16, 16), PimVector3(256.0f, 40.0f, 256.0f));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(world->GetWorldVoxel(edit), kCode);
}
