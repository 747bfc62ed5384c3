#pragma once

#include "engine/PimUIPage.h"
#include "engine/PimVector3.h"
#include "engine/PimWString.h"

#include "world/VoxelWorld2.h"

#include <cstdint>
#include <memory>
#include <string>

class EditorPanel;
class InGameCamera;
class PimViewport;
class GameSettings;
class Pim3DText;
class PimCamera;
class PlayerRig;
class SimulatorLegend;
class VRLoadingMenu;
class WorldHolder;
class WorldSetup;

// The page that holds an open world while the user works in it: it owns the world (VoxelWorld2),
// its generated description (WorldSetup), the player (a PlayerRig with the editor and the tool
// panel, carried by a WorldHolder), and two child pages, the in-game menu and the loading booth.
//
// Made by the main menu for the model named by the active game's "GameWorldName": the world store
// opens that model's folder (its regions, its own settings), the terrain is generated from the
// default parameter list with the model's stored seed, and the player is placed - in a model that
// has its settings file at its stored "PlayerLocation", in a new one 2 above the middle of the
// height map - flying, so that the rig's first steps settle it.
//
// Each frame while it is active: the menu button of hand 2 opens the in-game menu once per press;
// otherwise the save clock runs and starts a save when "SaveTimer" minutes have passed (its files
// are written on the world's save writer, its result taken in a later frame); and
// while fewer chunks are built than the loading booth waits for, the booth is brought up.
//
// Leaving: when another page comes in front (PageOut) the player's world position is kept, and
// PageIn puts the player back there, so the booth's or the menu's position never reaches the
// world. When the page is passed over on the way back to the main menu (PageSkipped), the world
// is saved with that kept position and the worker paused; the main menu then discards the page
// (it asks KeepAfterFailedSave first). A save that fails is shown in the view, in words, until a
// save succeeds; the edits stay unsaved and are tried again at the next timed save or on leaving.
// Main thread only.
class VoxWorldCreator : public PimUIPage
{
public:
    // A world whose folder and settings are opened from the active game's "GameWorldName".
    // camera: the viewer's camera, moved with the headset by the player. Both outlive the page.
    // spectator: the scene's spectator viewport, which the in-game camera films into (may be
    // empty).
    VoxWorldCreator(GameSettings& settings, std::shared_ptr<PimCamera> camera,
                    std::weak_ptr<PimViewport> spectator = {});
    ~VoxWorldCreator() override;

    void Update() override;
    // The world, the player and the texts run only while the page is still in front after its
    // Update: a frame in which the page brought up the booth or the menu must not move the player
    // (the rig would hand the booth's position to the world as its viewer).
    void UpdateChildren() override;
    void Draw() override {}
    void PageIn() override;
    void PageOut() override;
    void PageSkipped() override;

    // Stores the player's world position as "PlayerLocation" (reporting one beyond 1,000,000 as
    // "Player location corrupted") and saves the world, waiting for its files. The result is also
    // kept (GetLastSave).
    VoxelWorld2::SaveResult SaveWorldAndPlayer();

    // Asked by the main menu before it discards the page: true once after a save on leaving
    // failed, when the user has not been warned yet - the page is then shown again with the
    // warning, and leaving a second time discards it whatever the save does.
    bool KeepAfterFailedSave();

    VoxelWorld2& GetWorld() { return *world; }
    WorldSetup& GetWorldSetup() { return *worldSetup; }
    PlayerRig& GetPlayer() { return *player; }
    InGameCamera& GetInGameCamera() { return *filmCamera; }
    PimUIPage* GetInGameMenu() const { return inGameMenu; }
    VRLoadingMenu* GetLoadingPage() const { return loadingPage; }
    // True when the model's folder held its settings file (an existing model).
    bool IsExistingWorld() const { return existingWorld; }
    // Where the player stands in the world (kept while another page is in front).
    PimVector3 GetPlayerWorldPosition() const;
    // Milliseconds of frames counted towards the next timed save.
    double GetSaveClock() const { return saveClock; }
    std::uint32_t GetTimedSaveCount() const { return timedSaves; }
    const VoxelWorld2::SaveResult& GetLastSave() const { return lastSave; }
    // The failure shown in the view ("" while none is).
    const std::string& GetShownWarning() const { return warningText; }

private:
    void SetUpWorld(std::weak_ptr<PimViewport> spectator);
    void PlacePlayer();
    void StepMenuButtonAndClock();
    void CheckLoading();
    void CollectSaveResult();
    void TakeResult(const VoxelWorld2::SaveResult& result);
    void ShowWarning(const std::string& text);
    void PlaceWarning();

    GameSettings& settings;
    std::shared_ptr<PimCamera> camera;
    std::shared_ptr<WorldSetup> worldSetup;
    std::shared_ptr<VoxelWorld2> world;
    PimUIPage* inGameMenu = nullptr;
    VRLoadingMenu* loadingPage = nullptr;
    std::unique_ptr<EditorPanel> panel;
    std::shared_ptr<PlayerRig> player;
    std::shared_ptr<WorldHolder> holder;
    std::shared_ptr<SimulatorLegend> legend;
    std::shared_ptr<Pim3DText> warning;
    std::shared_ptr<InGameCamera> filmCamera;
    bool menuLatch = true;
    // The root position the player had when another page came in front; starts as the placed one.
    PimVector3 savedRootPosition;
    bool inFront = true;
    double saveClock = 0.0;
    std::uint32_t timedSaves = 0;
    bool existingWorld = false;
    VoxelWorld2::SaveResult lastSave;
    std::string warningText;
    bool leaveFailed = false;
    bool leaveWarned = false;
    // The world was complete at least once (the booth handed over), so leaving came from the user.
    bool loadedOnce = false;
};
