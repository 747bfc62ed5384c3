#pragma once

#include "settings/ControlMap.h"
#include "settings/GameSettingsActiveGame.h"
#include "settings/GameSettingsVirtualReality.h"
#include "settings/SettingsFolders.h"
#include "settings/SettingsHandler.h"

#include "engine/PimColor.h"

#include <cstdint>
#include <memory>

struct ControllerModels;
class TutorialMarker;

// All settings of the program: the general settings (this group), the settings of the world
// being played (activeGame), the VR options (virtualReality), the control map, a few flags of
// the running program and the folders.
//
// The user settings file (saved games + "settings.set") holds, in this order: the general
// keys, "ActiveSettings" (a copy of the active-game group, written but not read back; a world's
// own file is its source), "ControlMap" and "VRSettings".
//
// GetInstance creates the singleton on first use under the language's thread-safe guard for
// function statics; after that it is used from the main thread only and has no lock.
class GameSettings final : public SettingsHandler
{
public:
    enum class Key : std::uint16_t
    {
        SettingVersion = 0,
        SaveTimer = 1,
        UndoStackSize = 2,
        TutorialCount = 3,
        TutorialOne = 4,
        CV = 5,
        PHC = 6,
        VolumeMaster = 7,
        VolumeEffects = 8,
        VolumeMusic = 9,
    };

    // The process's settings, with the folders of this user and executable.
    static GameSettings& GetInstance();

    // Settings over the given folders; the user folder is made here. When it cannot be made,
    // the fault is reported and the folders under the system's temporary folder are used.
    // The singleton uses SettingsFolders::Locate(); tests give their own folders.
    explicit GameSettings(const SettingsFolders& folders);
    GameSettings(const GameSettings&) = delete;
    GameSettings& operator=(const GameSettings&) = delete;

    void DefineSettings() override;

    // Reads the user settings file; true when it was read. Without a file, or when it cannot
    // be used (SettingsFile: it is then put aside), every group and the control map take their
    // defaults, the next Save writes, and the start counts as a first start.
    bool Load();
    // Reads the text of a user settings file: the general keys wherever they stand, the
    // control map from "ControlMap" and the VR group from "VRSettings". An absent or empty
    // element gives its key the default. True when the text held any of them.
    bool ReadUserText(std::wstring_view text);
    // Writes the user settings file when a save is requested, the control map changed or a
    // general key changed (in practice always, as the control map stays marked). The file is
    // replaced as one step; false when it could not be written, and the save stays requested.
    bool Save();
    // The text of the user settings file; clears the changed marks of every group.
    PimWString WriteUserText();

    const SettingsFolders& GetFolders() const { return folders; }
    PimWString GetSettingsFilePath() const;
    // True after Load found and read the settings file; start-up takes its negation as the
    // first-start flag.
    bool IsLoadedFromFile() const { return loadedFromFile; }

    GameSettingItem& Item(Key key) { return Setting(static_cast<std::uint16_t>(key)); }
    const GameSettingItem& Item(Key key) const { return Setting(static_cast<std::uint16_t>(key)); }

    // Minutes of play between automatic saves of the world.
    std::uint32_t GetSaveTimer() const;
    void SetSaveTimer(std::uint32_t minutes);
    // Colour-editing hints left (0 to 5).
    std::uint32_t GetTutorialCount() const;
    void SetTutorialCount(std::uint32_t count);
    // The first tutorial has been completed.
    bool GetTutorialOne() const;
    void SetTutorialOne(bool done);
    // The colour of the player's virtual hands ("PHC", floats 0 to 1).
    PimColor GetHandColour() const;
    void SetHandColour(const PimColor& colour);
    float GetVolumeMaster() const;
    void SetVolumeMaster(float volume);
    float GetVolumeEffects() const;
    void SetVolumeEffects(float volume);
    float GetVolumeMusic() const;
    void SetVolumeMusic(float volume);

    GameSettingsActiveGame activeGame;
    ControlMap controlMap;
    GameSettingsVirtualReality virtualReality;
    // Forces the next Save to write: set by a load without a file, the in-game menu and the
    // palette menu; cleared by a successful Save.
    bool saveRequested = false;
    // The hand-controller models, made by start-up for the VR pages; null until then. Not stored
    // in any file.
    std::shared_ptr<ControllerModels> controllerModels;
    // The first-time guide of this run, made by the first page that shows it (TutorialMarker::Of);
    // null until then. Not stored in any file.
    std::shared_ptr<TutorialMarker> tutorial;
    // The in-game camera is switched on; not stored in any file.
    bool inGameCamera = false;

private:
    bool loadedFromFile = false;
    SettingsFolders folders;
};
