#include "pages/VoxelMenu.h"

#include "pages/LoadingScreen.h"
#include "pages/VoxWorldCreator.h"
#include "pages/PreferencesMenuVr.h"
#include "pages/TutorialMarker.h"
#include "pages/UpdateMenu.h"
#include "pages/VoxelSavedGamesMenu.h"
#include "pages/WorldParamPage.h"
#include "pages/WorldParamPageVr.h"

#include "player/PlayerRig.h"
#include "settings/GameSettings.h"
#include "update/UserAgent.h"
#include "update/VersionCheck.h"

#include "engine/PimAngle.h"
#include "engine/PimFilePath.h"
#include "engine/PimScene.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"
#include "engine/PimVrSystem.h"

#include <array>
#include <chrono>
#include <string_view>

namespace
{
constexpr int kRoomSide = 32;

// The title lettering, 5 rows of 28 columns: after an empty first column, letters three columns
// wide with one between, each letter in the next colour of kLetterColours.
constexpr std::array<std::string_view, 5> kTitle = {
    ".###.#.#.###.#...#...###.###",
    ".#.#.#.#..#..#...#...#.#..#.",
    ".#.#.#.#..#..#...#...#.#..#.",
    ".##..#.#..#..#...#...#.#..#.",
    "..##.###.###.###.###.###..#.",
};
constexpr std::uint16_t kLetterColours[10] = {0xFF12, 0xFF05, 0xFF0E, 0xFF12, 0xFF05,
                                              0xFF0E, 0xFF12, 0xFF05, 0xFF0E, 0xFF12};

// The wall colour at height y: greys darkening upwards.
std::uint16_t WallColour(int y)
{
    const int step = static_cast<int>(static_cast<float>(y) * 0.5f + 1.5f) * 16;
    return static_cast<std::uint16_t>(0xFF0F + std::min(step, 240));
}
}

VoxelMenu::VoxelMenu(GameSettings& settingsIn, std::shared_ptr<PimCamera> camera, std::shared_ptr<PimScene> sceneIn,
                     WorldPageFactory worldPageFactory)
    : VoxelMenuPage(settingsIn, camera), scene(std::move(sceneIn)), makeWorldPage(std::move(worldPageFactory))
{
    auto savedGames = std::make_shared<VoxelSavedGamesMenu>(settingsIn, std::move(camera));
    savedGamesPage = savedGames.get();
    AddChildPage(std::move(savedGames));
}

VoxelMenu::~VoxelMenu() = default;

void VoxelMenu::BuildWalls()
{
    for (int y = 0; y < kRoomSide; ++y)
        for (int z = 0; z < kRoomSide; ++z)
            for (int x = 0; x < kRoomSide; ++x)
            {
                const bool shell = x == 0 || y == 0 || z == 0 || x == kRoomSide - 1 || y == kRoomSide - 1 || z == kRoomSide - 1;
                if (shell)
                    SetVoxelAt(WallColour(y), PimVector3(x, y, z));
            }
    for (const int y : {11, 16})
        for (int z = 1; z < kRoomSide - 1; ++z)
            for (int x = 1; x < kRoomSide - 1; ++x)
                if (x % 4 == 0 || z % 4 == 0)
                    SetVoxelAt(WallColour(y), PimVector3(x, y, z));
}

void VoxelMenu::BuildTitle()
{
    for (int row = 0; row < static_cast<int>(kTitle.size()); ++row)
        for (int column = 0; column < static_cast<int>(kTitle[static_cast<std::size_t>(row)].size()); ++column)
        {
            if (kTitle[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] != '#')
                continue;
            const int letter = (column - 1) / 4;
            SetVoxelAt(kLetterColours[letter], PimVector3(column + 2, 9 - row, 1));
        }
}

void VoxelMenu::Build()
{
    const auto start = std::chrono::steady_clock::now();
    BuildRoom(1, 1, 1);
    roomSize = PimVector3(kRoomSide, kRoomSide, kRoomSide);
    BuildWalls();
    BuildTitle();
    const PimWString icons = settings.GetFolders().voxelIcons;
    AddItem(PimVector3(12, 2, 15), 0, kPedestal, PimWString(), PimWString(), icons + L"NewModel.vic", PimTexture());
    AddItem(PimVector3(14, 2, 15), 1, kPedestal, PimWString(), PimWString(), icons + L"LoadModels.vic", PimTexture());
    for (const auto& [index, name] : {std::pair{2, L"Settings.png"}, std::pair{3, L"Exit.png"}})
    {
        PimTexture picture;
        picture.Load(PimWString(icons + name).Narrow());
        AddItem(PimVector3(12.0f + 2.0f * static_cast<float>(index), 2.0f, 15.0f), index, kPedestal, PimWString(), picture);
    }
    auto preferences = std::make_shared<PreferencesMenuVr>(settings, GetPlayer().GetCamera());
    preferencesPage = preferences.get();
    AddChildPage(std::move(preferences));
    FinishRoom();
    built = true;
    SetOrientation(0.0f, 0.0f, 0.0f);
    if (activatePreferences)
    {
        activatePreferences = false;
        preferencesPage->ActivateThisPage();
    }
    StartVersionCheck();
    buildMilliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void VoxelMenu::Update()
{
    if (!built)
        return;
    if (!headsetSeen && PimVrSystem::GetInstance().GetHeadsetController().IsValid())
    {
        headsetSeen = true;
        PlacePlayer(SpawnPoint());
    }
    VoxelMenuPage::Update();
    if (!IsActivePage())
        return;
    FollowVersionCheck();
    TutorialMarker& tutorial = TutorialMarker::Of(settings);
    if (tutorial.IsRunning())
    {
        PlaceTutorial();
        tutorial.Update();
    }
}

void VoxelMenu::PlaceTutorial()
{
    TutorialMarker::Of(settings).Place(TutorialMarker::Arrow, TutorialAnchor(), PimAngle::FromDegrees(90.0f), 1.0f);
}

std::string VoxelMenu::UserAgentText() const
{
    return UserAgent::ForThisBuild(PimFilePath(settings.GetFolders().userFolder).Native().string());
}

void VoxelMenu::StartVersionCheck()
{
    versionCheck = std::make_unique<VersionCheck>();
    versionCheck->Start(UpdateServer::Current(), UserAgentText());
}

void VoxelMenu::FollowVersionCheck()
{
    if (!versionCheck)
        return;
    const VersionCheck::State state = versionCheck->Poll();
    if (state == VersionCheck::State::Waiting)
        return;
    if (state == VersionCheck::State::Offered)
    {
        auto page = std::make_shared<UpdateMenu>(settings, GetPlayer().GetCamera(), *versionCheck->GetOffer(), UserAgentText());
        updatePage = page.get();
        AddChildPage(std::move(page));
        updatePage->ActivateThisPage();
    }
    versionCheck.reset();
}

void VoxelMenu::DrawTitleScreen()
{
    LoadingScreen::Get(PimWString(settings.GetFolders().textures + L"TitleScreen.png").Narrow()).Draw();
}

void VoxelMenu::Draw()
{
    if (!built)
    {
        ++titleFrames;
        if (titleFrames >= 2)
            Build();
        if (const auto held = scene.lock())
            held->ClearScreenOn(built);
        DrawTitleScreen();
        return;
    }
    if (!settings.activeGame.GetOptionsSet())
    {
        VoxelMenuPage::Draw();
        TutorialMarker::Of(settings).Draw();
        return;
    }
    if (!worldStarting)
    {
        worldStarting = true;
        if (const auto held = scene.lock())
            held->ClearScreenOn(false);
        DrawTitleScreen();
        return;
    }
    worldStarting = false;
    if (const auto held = scene.lock())
        held->ClearScreenOn(true);
    StartChosenWorld();
}

void VoxelMenu::StartChosenWorld()
{
    if (worldPage != nullptr)
    {
        RemoveChildPage(worldPage);
        worldPage = nullptr;
    }
    // The choice is taken once; the name stays as the active game's while its world is open.
    settings.activeGame.SetOptionsSet(false);
    const PimWString name = settings.activeGame.GetGameWorldName();
    std::shared_ptr<PimUIPage> page = makeWorldPage ? makeWorldPage(name) : nullptr;
    if (!page)
    {
        settings.activeGame.SetGameWorldName(PimWString());
        return;
    }
    worldPage = page.get();
    AddChildPage(page);
    SetActivePage(worldPage);
}

void VoxelMenu::PageIn()
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    savedRootPosition = vr.GetRootPosition();
    PlacePlayer(SpawnPoint());
    vr.SetDirectionModifier(PimAngle::FromDegrees(0.0f));
    vr.SetScale(1.5f * settings.virtualReality.GetPlayerSizeBias());
    PlaceTutorial();
    if (worldPage != nullptr)
    {
        // The world page saved the world when it was passed over on the way here. When that save
        // failed the user is warned in the world first; leaving again discards it.
        auto* world = dynamic_cast<VoxWorldCreator*>(worldPage);
        if (world != nullptr && world->KeepAfterFailedSave())
        {
            SetActivePage(worldPage);
            return;
        }
        PimUIPage* leaving = worldPage;
        worldPage = nullptr;
        RemoveChildPage(leaving);
    }
}

void VoxelMenu::OpenNamePage()
{
    if (namePage != nullptr)
    {
        RemoveChildPage(namePage);
        namePage = nullptr;
    }
    std::shared_ptr<PimUIPage> page;
    if (PimSystem::IsVirtualReality())
        page = std::make_shared<WorldParamPageVr>(settings, GetPlayer().GetCamera());
    else
        page = std::make_shared<WorldParamPage>(settings);
    namePage = page.get();
    AddChildPage(page);
    SetActivePage(namePage);
}

void VoxelMenu::OnItemPlay(int index)
{
    switch (index)
    {
    case 0:
        OpenNamePage();
        break;
    case 1:
        SetActivePage(savedGamesPage);
        break;
    case 2:
        SetActivePage(preferencesPage);
        break;
    case 3:
        settings.Save();
        PimSystem::ExitSystem();
        break;
    default:
        // Only the four objects have play buttons.
        break;
    }
}
