#pragma once

#include "pages/VoxelMenuPage.h"

#include <functional>
#include <memory>
#include <string>

class PimScene;
class PreferencesMenuVr;
class UpdateMenu;
class VersionCheck;
class VoxelSavedGamesMenu;

// The main menu and root page: a closed room of 32 x 32 x 32 voxels with the title lettering on
// the far wall and four objects on pedestals - new model, load models, settings and exit. On its
// first frame the title picture is shown (LoadingScreen); the room is built on the second and
// drawn from the third. It owns the hall of saved models and the preferences booth (made with
// the room; the settings object opens it, and a first start opens it at once).
//
// A world is chosen by a child page setting the active game's "GameWorldName" and "OptionsSet"
// and returning here: the next frame shows the title picture, the one after makes the world page
// for that name (through the factory given at construction), adds it as a child and activates
// it; "OptionsSet" is cleared so the world starts once. Entering the menu again discards that world
// page (unless its save on leaving failed and the user has not been warned yet). New model opens
// the name page (the headset's or the desktop's). Exit saves the settings and ends the program.
//
// Building the room also starts the version check (VersionCheck, on the server of
// UpdateServer::Current()) in the background; when it offers a newer version, the update page
// (UpdateMenu) is made as a child and shown in front of the menu the next time the menu runs.
// While the first-time tutorial runs, its marker points at the new-model object's play button.
// Main thread only.
class VoxelMenu : public VoxelMenuPage
{
public:
    using WorldPageFactory = std::function<std::shared_ptr<PimUIPage>(const PimWString& worldName)>;

    static constexpr std::uint16_t kPedestal = 0xFF2F;
    static PimVector3 SpawnPoint() { return {16.0f, 1.1f, 20.0f}; }
    // Above the new-model object's play button.
    static PimVector3 TutorialAnchor() { return {12.75f, 3.7f, 16.0f}; }

    // scene: the scene whose screen clearing the title frames turn off (may be null); worldPage:
    // makes the page of the chosen world (may be empty: a choice is then only cleared).
    VoxelMenu(GameSettings& settings, std::shared_ptr<PimCamera> camera, std::shared_ptr<PimScene> scene,
              WorldPageFactory worldPage);
    ~VoxelMenu() override;

    void Update() override;
    void Draw() override;
    void PageIn() override;
    void OnItemPlay(int index) override;

    bool IsBuilt() const { return built; }
    // Start-up's first-start flag: the preferences page is shown first, as soon as the menu is
    // built (the flag is then cleared).
    bool activatePreferences = false;
    VoxelSavedGamesMenu* GetSavedGamesPage() const { return savedGamesPage; }
    // Null until the menu is built.
    PreferencesMenuVr* GetPreferencesPage() const { return preferencesPage; }
    PimUIPage* GetWorldPage() const { return worldPage; }
    PimUIPage* GetNamePage() const { return namePage; }
    // The update page, made when the version check offered a newer version; null otherwise.
    UpdateMenu* GetUpdatePage() const { return updatePage; }
    // The version check started with the room; null once it has decided.
    const VersionCheck* GetVersionCheck() const { return versionCheck.get(); }
    // Milliseconds the room's build took (the second frame).
    double GetBuildMilliseconds() const { return buildMilliseconds; }

    // Builds the room, its items and child pages now (the second frame does it otherwise).
    void Build();

private:
    void BuildWalls();
    void BuildTitle();
    void StartChosenWorld();
    // Makes the name page of a new model (the headset's booth or the desktop's text line) in
    // place of the last one and activates it.
    void OpenNamePage();
    void DrawTitleScreen();
    void StartVersionCheck();
    // Shows the update page once the check offers a newer version.
    void FollowVersionCheck();
    void PlaceTutorial();
    // The agent of this user's requests (UserAgent).
    std::string UserAgentText() const;

    // Weak: the scene owns the page tree through its viewport, so a strong hold would keep both
    // alive for ever.
    std::weak_ptr<PimScene> scene;
    WorldPageFactory makeWorldPage;
    VoxelSavedGamesMenu* savedGamesPage = nullptr;
    PreferencesMenuVr* preferencesPage = nullptr;
    PimUIPage* worldPage = nullptr;
    PimUIPage* namePage = nullptr;
    UpdateMenu* updatePage = nullptr;
    std::unique_ptr<VersionCheck> versionCheck;
    bool built = false;
    bool headsetSeen = false;
    int titleFrames = 0;
    bool worldStarting = false;
    double buildMilliseconds = 0.0;
};
