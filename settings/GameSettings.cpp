#include "settings/GameSettings.h"

#include "settings/SettingTemplate.h"
#include "settings/SettingsFile.h"

#include "engine/PimAssert.h"
#include "engine/PimFile.h"
#include "engine/PimXMLWIndex.h"
#include "engine/PimXMLWParser.h"

#include <optional>

GameSettings& GameSettings::GetInstance()
{
    static GameSettings instance(SettingsFolders::Locate());
    return instance;
}

GameSettings::GameSettings(const SettingsFolders& foldersIn) : folders(foldersIn)
{
    activeGame.DefineSettings();
    controlMap.ResetToDefaults();
    virtualReality.DefineSettings();
    if (!PimFile::MakeDirectory(folders.userFolder))
    {
        PimAssert::Assert(false, "GameSettings::GameSettings() - Cannot make the user folder; using the temporary folder");
        folders.SetLocalDataFolder(SettingsFolders::TemporaryFolder());
        PimFile::MakeDirectory(folders.userFolder);
    }
    DefineSettings();
}

void GameSettings::DefineSettings()
{
    using namespace SettingTemplate;
    ClearSettings();
    inGameCamera = false;

    const auto add = [this](Key key, const char* name, const GameSettingItem& itemTemplate) {
        AddSetting(static_cast<std::uint16_t>(key), name, itemTemplate);
    };
    add(Key::SettingVersion, "SettingVersion", UInt({}, 1, 1, 1));
    add(Key::SaveTimer, "SaveTimer", UInt({}, 30, 10, 525600));
    add(Key::UndoStackSize, "UndoStackSize", UInt({}, 10, 0, 25));
    add(Key::TutorialCount, "TutorialCount", UInt({}, 5, 0, 5));
    add(Key::TutorialOne, "TutorialOne", Bool({}, false));
    add(Key::CV, "CV", Int({}, 1));
    add(Key::PHC, "PHC", Vector3({}, PimVector3(67.0f / 255.0f, 50.0f / 255.0f, 25.0f / 255.0f)));
    add(Key::VolumeMaster, "VolumeMaster", Float({}, 0.7f, 0.0f, 1.0f));
    add(Key::VolumeEffects, "VolumeEffects", Float({}, 0.7f, 0.0f, 1.0f));
    add(Key::VolumeMusic, "VolumeMusic", Float({}, 0.7f, 0.0f, 1.0f));
    ResetAll();
}

PimWString GameSettings::GetSettingsFilePath() const
{
    return folders.savedGames + PimWString(SettingsFolders::SettingsFileName);
}

bool GameSettings::Load()
{
    const auto read = [this](std::wstring_view text) { return ReadUserText(text); };
    if (SettingsFile::Load(GetSettingsFilePath(), "GameSettings::Load()", read) == SettingsFile::Outcome::Read)
    {
        saveRequested = false;
        loadedFromFile = true;
        return true;
    }
    saveRequested = true;
    controlMap.ResetToDefaults();
    virtualReality.ResetAll();
    activeGame.ResetAll();
    ResetAll();
    return false;
}

bool GameSettings::ReadUserText(std::wstring_view text)
{
    const PimXMLWIndex elements(text);
    const PimXMLWIndex::Span whole = elements.Whole();
    const std::optional<PimXMLWIndex::Span> controls = elements.Find(L"ControlMap", whole);
    const std::optional<PimXMLWIndex::Span> vr = elements.Find(L"VRSettings", whole);
    const bool generalFound = ReadElements(elements, whole);
    controlMap.ReadXml(elements, controls.value_or(PimXMLWIndex::Span{}));
    const bool vrFound = virtualReality.ReadElements(elements, vr.value_or(PimXMLWIndex::Span{}));
    return generalFound || controls.has_value() || vrFound;
}

bool GameSettings::Save()
{
    if (!saveRequested && !controlMap.controlMapChanged && !IsChanged())
        return true;

    // The saved-games folder is made by the first save of a world; the settings may come first.
    PimFile::MakeDirectory(folders.savedGames);
    const bool written = PimFile::WriteStringAtomic(GetSettingsFilePath(), WriteUserText());
    saveRequested = !written;
    return written;
}

PimWString GameSettings::WriteUserText()
{
    PimWString text = WriteXml();
    text += PimXMLWParser::TagData("ActiveSettings", activeGame.WriteXml());
    text += PimXMLWParser::TagData("ControlMap", controlMap.ToXml());
    text += PimXMLWParser::TagData("VRSettings", virtualReality.WriteXml());
    return text;
}

std::uint32_t GameSettings::GetSaveTimer() const { return Item(Key::SaveTimer).GetUInt(); }
void GameSettings::SetSaveTimer(std::uint32_t minutes) { Item(Key::SaveTimer).SetUInt(minutes, ValueUse::Current); }
std::uint32_t GameSettings::GetTutorialCount() const { return Item(Key::TutorialCount).GetUInt(); }
void GameSettings::SetTutorialCount(std::uint32_t count) { Item(Key::TutorialCount).SetUInt(count, ValueUse::Current); }
bool GameSettings::GetTutorialOne() const { return Item(Key::TutorialOne).GetBool(); }
void GameSettings::SetTutorialOne(bool done) { Item(Key::TutorialOne).SetBool(done, ValueUse::Current); }

PimColor GameSettings::GetHandColour() const
{
    PimColor colour;
    colour.SetColorFloat3(Item(Key::PHC).GetVector3());
    return colour;
}

void GameSettings::SetHandColour(const PimColor& colour) { Item(Key::PHC).SetVector3(colour.GetColorFloat3(), ValueUse::Current); }

float GameSettings::GetVolumeMaster() const { return Item(Key::VolumeMaster).GetFloat(); }
void GameSettings::SetVolumeMaster(float volume) { Item(Key::VolumeMaster).SetFloat(volume, ValueUse::Current); }
float GameSettings::GetVolumeEffects() const { return Item(Key::VolumeEffects).GetFloat(); }
void GameSettings::SetVolumeEffects(float volume) { Item(Key::VolumeEffects).SetFloat(volume, ValueUse::Current); }
float GameSettings::GetVolumeMusic() const { return Item(Key::VolumeMusic).GetFloat(); }
void GameSettings::SetVolumeMusic(float volume) { Item(Key::VolumeMusic).SetFloat(volume, ValueUse::Current); }
