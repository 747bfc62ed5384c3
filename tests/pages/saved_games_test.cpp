// The hall of saved models: the listing, the hall for n models, play, back and delete into the
// recycle bin.

#include "pages_fixture.h"

#include "pages/SavedModelList.h"
#include "pages/VoxelSavedGamesMenu.h"

#include "engine/PimCamera.h"
#include "engine/PimFile.h"
#include "engine/PimVrInputCodes.h"

#include <chrono>
#include <fstream>

namespace
{
namespace fs = std::filesystem;
constexpr int kRight = PimVrDeviceIndex::RightHand;

class SavedGames : public PagesFixture
{
protected:
    void SetUp() override
    {
        PagesFixture::SetUp();
        fs::create_directories(Native(settings->GetFolders().models));
    }
    void TearDown() override
    {
        root.reset();
        hall.reset();
        PagesFixture::TearDown();
    }

    // A model folder with a small thumbnail written `hours` after a fixed moment.
    fs::path Model(const std::string& name, int hours, bool withThumbnail = true)
    {
        const fs::path folder = Native(settings->GetFolders().models) / name;
        fs::create_directories(folder / "World");
        std::ofstream(folder / "World" / "0_0_0.map") << "regions";
        if (withThumbnail)
        {
            PimTexture picture;
            picture.Create(6, 4, PimColor(200, 100, 50, 255));
            picture.Save((folder / "SaveView.png").string());
            fs::last_write_time(folder / "SaveView.png", kMorning + std::chrono::hours(hours));
        }
        return folder;
    }

    void Open()
    {
        if (!hall)
        {
            hall = std::make_shared<VoxelSavedGamesMenu>(*settings, std::make_shared<PimCamera>());
            root->AddChildPage(hall);
            root->ActivateThisPage();
        }
        root->SetActivePage(hall.get());
    }

    std::vector<PimWString> Names() const
    {
        std::vector<PimWString> names;
        for (const SavedModel& model : SavedModelList::List(settings->GetFolders().models))
            names.push_back(model.name);
        return names;
    }

    const fs::file_time_type kMorning = fs::file_time_type::clock::now() - std::chrono::hours(48);
    std::shared_ptr<PimUIPage> root = std::make_shared<PimUIPage>();
    std::shared_ptr<VoxelSavedGamesMenu> hall;
};

TEST_F(SavedGames, NewestThumbnailFirstTiesInFolderOrderAndOnlyReachableFolders)
{
    Model("ten", 10);
    Model("Eleven", 11);
    Model("twelve", 12);
    Model("b-tie", 5);
    Model("a-tie", 5);
    Model("no thumbnail", 13, false);
    Model("line\nbreak", 14);
    EXPECT_EQ(Names(), (std::vector<PimWString>{L"twelve", L"Eleven", L"ten", L"a-tie", L"b-tie"}));

    // A model saved without a thumbnail (its settings file is there) is listed by that file's
    // time and stands on a pedestal with its name only.
    const fs::path settingsFile = Model("small window", 0, false) / "settings.set";
    std::ofstream(settingsFile) << "<settings/>";
    fs::last_write_time(settingsFile, kMorning + std::chrono::hours(11) + std::chrono::minutes(30));
    EXPECT_EQ(Names(), (std::vector<PimWString>{L"twelve", L"small window", L"Eleven", L"ten", L"a-tie", L"b-tie"}));
    Open();
    ASSERT_EQ(hall->GetItems().size(), 6u);
    EXPECT_EQ(hall->GetItems()[1]->name, L"small window");
    EXPECT_FALSE(hall->GetItems()[1]->picture);
    EXPECT_TRUE(SavedModelList::List(settings->GetFolders().models + L"missing\\").empty());
}

TEST_F(SavedGames, TheHallStandsThePedestalsNewestFirstAndPlaySetsTheNameAsListed)
{
    Model("ten", 10);
    Model("Eleven", 11);
    Model("twelve", 12);
    Open();
    const auto& items = hall->GetItems();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0]->name, L"twelve");
    EXPECT_EQ(items[0]->position.z, 6.0f);
    EXPECT_EQ(items[1]->position.z, 9.0f);
    EXPECT_EQ(items[2]->position.z, 12.0f);
    EXPECT_EQ(hall->GetRoomSize().z, static_cast<float>(VoxelSavedGamesMenu::HallDepth(3)));
    EXPECT_EQ(items[1]->label.GetText(), L"ELEVEN");
    ASSERT_TRUE(items[1]->picture);
    EXPECT_EQ(items[1]->picture->GetPicturePath(), SavedModelList::ThumbnailPath(settings->GetFolders().models, L"Eleven"));

    TipAt(kRight, hall->PlayButtonPosition(*items[1]));
    Trigger(kRight, 1.0f);
    Step([this] { hall->Update(); });
    EXPECT_EQ(settings->activeGame.GetGameWorldName(), L"Eleven");
    EXPECT_TRUE(settings->activeGame.GetOptionsSet());
    EXPECT_TRUE(root->IsActivePage());
}

TEST_F(SavedGames, ReusedItemsKeepTheirThumbnailsFoundByNameNotByLabel)
{
    Model("MixedCase", 3);
    Open();
    const MenuItem* first = hall->GetItems()[0].get();
    root->ActivateThisPage();
    Open();
    ASSERT_EQ(hall->GetItems().size(), 1u);
    EXPECT_EQ(hall->GetItems()[0].get(), first) << "the item is reused";
    ASSERT_TRUE(first->picture);
    EXPECT_TRUE(PimFile::IsRegularFile(first->picture->GetPicturePath()));
}

TEST_F(SavedGames, BackClearsTheChoice)
{
    Model("one", 1);
    Open();
    settings->activeGame.SetGameWorldName(L"one");
    settings->activeGame.SetOptionsSet(true);
    hall->OnBack();
    EXPECT_TRUE(settings->activeGame.GetGameWorldName().empty());
    EXPECT_FALSE(settings->activeGame.GetOptionsSet());
    EXPECT_TRUE(root->IsActivePage());
}

TEST_F(SavedGames, DeleteMovesTheModelToTheRecycleBinAndEmptiesItsPedestal)
{
    Model("ten", 10);
    const fs::path middle = Model("eleven", 11);
    Model("twelve", 12);
    // An earlier deleted model of the same name waits in the bin.
    const fs::path bin = Native(settings->GetFolders().recycleBin);
    fs::create_directories(bin / "eleven");
    std::ofstream(bin / "eleven" / "old.txt") << "old";
    Open();
    const MenuItem& item = *hall->GetItems()[1];
    const PimVector3 top = item.position;
    const PimVector3 play = hall->PlayButtonPosition(item);
    TipAt(kRight, hall->DeleteButtonPosition(item));
    Trigger(kRight, 1.0f);
    Step([this] { hall->Update(); });
    Step([this] { hall->Update(); });  // still held: nothing more goes

    EXPECT_FALSE(fs::exists(middle));
    EXPECT_TRUE(fs::exists(bin / "eleven" / "World" / "0_0_0.map")) << "recoverable from the bin";
    EXPECT_FALSE(fs::exists(bin / "eleven" / "old.txt")) << "the earlier copy was replaced";
    EXPECT_EQ(item.index, -1);
    EXPECT_FALSE(item.picture);
    for (int dy = 0; dy < 3; ++dy)
        EXPECT_EQ(hall->GetRoom()->GetVoxelAt(top - PimVector3(0, static_cast<float>(dy), 0)), 0);
    EXPECT_EQ(hall->GetItems().size(), 3u) << "the hall is rebuilt only on the next visit";

    // The deleted item's play button is gone: pressing where it was opens nothing.
    TipAt(kRight, play);
    Step([this] { hall->Update(); });
    EXPECT_FALSE(settings->activeGame.GetOptionsSet());

    root->ActivateThisPage();
    Open();
    ASSERT_EQ(hall->GetItems().size(), 2u);
    EXPECT_EQ(hall->GetRoomSize().z, 15.0f);
    EXPECT_EQ(hall->GetItems()[1]->name, L"ten");
}

TEST_F(SavedGames, AFailedDeleteChangesNothing)
{
    Model("ten", 10);
    const fs::path gone = Model("eleven", 11);
    Open();
    // The folder disappears behind the hall's back (another program): nothing can be moved.
    fs::remove_all(gone);
    const MenuItem& item = *hall->GetItems()[0];
    const PimVector3 top = item.position;
    hall->OnItemDelete(0);
    EXPECT_EQ(item.index, 0);
    EXPECT_TRUE(item.picture);
    EXPECT_EQ(hall->GetRoom()->GetVoxelAt(top), VoxelMenuPage::kPedestalTop);
    EXPECT_FALSE(fs::exists(Native(settings->GetFolders().recycleBin) / "eleven"));
    hall->OnItemDelete(-1);
    hall->OnItemDelete(7);
    EXPECT_TRUE(fs::exists(Native(settings->GetFolders().models) / "ten"));
}

TEST_F(SavedGames, AnEmptyModelsFolderGivesAnEmptyHall)
{
    Open();
    EXPECT_TRUE(hall->GetItems().empty());
    EXPECT_EQ(hall->GetRoomSize().z, 9.0f);
}
}
