#include "pages/VoxelSavedGamesMenu.h"

#include "pages/MenuResources.h"

#include "settings/GameSettings.h"

#include "engine/PimAngle.h"
#include "engine/PimFile.h"
#include "engine/PimVrSystem.h"

#include <map>

namespace
{
constexpr int kWidth = 11;
constexpr int kHeight = 20;
constexpr float kPedestalX = 8.0f;
}

VoxelSavedGamesMenu::VoxelSavedGamesMenu(GameSettings& settingsIn, std::shared_ptr<PimCamera> camera)
    : VoxelMenuPage(settingsIn, std::move(camera))
{
    backButtonEnabled = true;
}

void VoxelSavedGamesMenu::BuildHall(int modelCount)
{
    const int d = HallDepth(modelCount);
    BuildRoom(kWidth, kHeight, d);
    roomSize = PimVector3(kWidth, kHeight, static_cast<float>(d));
    for (int z = 0; z < d; ++z)
        for (int x = 0; x < kWidth; ++x)
        {
            SetVoxelAt(x == 2 || x == 3 ? kStripe : kFloor, PimVector3(x, 0, z));
            SetVoxelAt(kUpper, PimVector3(x, kHeight - 1, z));
            if ((x + 1) % 3 == 0 || z % 3 == 0)
                SetVoxelAt(kFloor, PimVector3(x, 15, z));
        }
    const auto wall = [this](int x, int z) {
        for (int y = 0; y < kHeight; ++y)
            SetVoxelAt(y >= 3 ? kUpper : kFloor, PimVector3(x, y, z));
    };
    for (int z = 0; z < d; ++z)
    {
        wall(0, z);
        wall(kWidth - 1, z);
    }
    for (int x = 0; x < kWidth; ++x)
    {
        wall(x, 0);
        wall(x, d - 1);
    }
    showDelete = true;
    SetOrientation(kHallYaw, 0.0f, 0.0f);
}

void VoxelSavedGamesMenu::PageIn()
{
    const SettingsFolders& folders = settings.GetFolders();
    const std::size_t previousCount = GetItems().size();
    listing = SavedModelList::List(folders.models);
    std::map<PimWString, std::unique_ptr<MenuItem>> cache;
    for (auto& item : TakeItems())
        cache[item->name] = std::move(item);

    const int n = static_cast<int>(listing.size());
    if (listing.size() != previousCount || n == 0 || !room)
        BuildHall(n);
    for (int i = 0; i < n; ++i)
    {
        const SavedModel& model = listing[static_cast<std::size_t>(i)];
        const PimWString thumbnail = SavedModelList::ThumbnailPath(folders.models, model.name);
        const PimVector3 position(kPedestalX, 2.0f, 6.0f + 3.0f * static_cast<float>(i));
        const auto cached = cache.find(model.name);
        if (cached != cache.end() && cached->second->picture && model.hasThumbnail)
        {
            std::unique_ptr<MenuItem> item = std::move(cached->second);
            cache.erase(cached);
            item->index = i;
            item->MoveTo(PimVector3(kPedestalX, static_cast<float>(pedestalHeight + 1), 3.0f * (i + 2)));
            PlaceLabel(*item);
            if (item->pictureTime != model.time)
                item->picture->SetPicturePath(thumbnail);
            item->pictureTime = model.time;
            AddPedestalItem(std::move(item), kFloor);
            continue;
        }
        MenuItem& item = model.hasThumbnail ? AddItem(position, i, kFloor, model.name, thumbnail, PimWString(), PimTexture())
                                            : AddItem(position, i, kFloor, model.name);
        item.pictureTime = model.time;
    }
    cache.clear();
    FinishRoom();
    PlaceBackButton();

    PlacePlayer(PimVector3(4.0f, 1.1f, 3.0f));
    // The play area turned so that the user faces the pedestals and the back button.
    PimVrSystem::GetInstance().SetDirectionModifier(PimAngle::FromDegrees(kHallYaw));
    backTouchLatch = true;
    GetBackButton().ClearPressed();
}

void VoxelSavedGamesMenu::PlaceBackButton()
{
    QuadButton& back = GetBackButton();
    back.SetTexture(MenuResources::Get(settings).backPicture);
    back.SetQuadScale(0.15f);
    back.SetSizeFactor(0.15f);
    back.SetBaseLocation(PimVector3(9.99f, 3.5f, 2.5f));
    back.SetLocation(PimVector3(9.99f, 3.5f, 2.5f));
    back.SetOrientation(PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(kHallYaw)));
}

void VoxelSavedGamesMenu::PageOut()
{
    PimVrSystem::GetInstance().SetDirectionModifier(PimAngle::FromDegrees(0.0f));
}

void VoxelSavedGamesMenu::OnItemPlay(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= listing.size())
        return;
    settings.activeGame.SetGameWorldName(listing[static_cast<std::size_t>(index)].name);
    settings.activeGame.SetOptionsSet(true);
    ActivateParentPage();
}

void VoxelSavedGamesMenu::OnBack()
{
    settings.activeGame.SetGameWorldName(PimWString());
    settings.activeGame.SetOptionsSet(false);
    ActivateParentPage();
}

void VoxelSavedGamesMenu::OnItemDelete(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= listing.size() ||
        static_cast<std::size_t>(index) >= GetItems().size())
        return;
    const SettingsFolders& folders = settings.GetFolders();
    MenuItem& item = *GetItems()[static_cast<std::size_t>(index)];
    if (SavedModelList::MoveToRecycleBin(folders.models, folders.recycleBin, listing[static_cast<std::size_t>(index)].name))
    {
        const PimVector3 top = item.position;
        SetVoxelAt(0, top);
        SetVoxelAt(0, top - PimVector3(0.0f, 1.0f, 0.0f));
        SetVoxelAt(0, top - PimVector3(0.0f, 2.0f, 0.0f));
        item.model.reset();
        item.picture.reset();
        item.index = -1;
        item.position.y -= 1000.0f;
        item.label.SetPosition(item.label.GetPosition() - PimVector3(0.0f, 1000.0f, 0.0f));
    }
    FinishRoom();
}
