#include "settings/GameSettingsActiveGame.h"

#include "settings/ActiveGameTemplates.h"
#include "settings/SettingTemplate.h"
#include "settings/SettingsFile.h"

#include "colour/PaletteModel.h"

#include "engine/PimFile.h"

#include <string>

PimWString GameSettingsActiveGame::WorldSettingsPath(const PimWString& worldFolder)
{
    return worldFolder + L"\\settings.set";
}

void GameSettingsActiveGame::DefineSettings()
{
    using namespace SettingTemplate;
    ClearSettings();
    PaletteModel::ApplyDefaultColours();

    const auto add = [this](Key key, const char* name, const GameSettingItem& itemTemplate) {
        AddSetting(static_cast<std::uint16_t>(key), name, itemTemplate);
    };
    add(Key::PlayerScale, "PlayerScale", UInt({}, 3, 0, static_cast<std::uint32_t>(ScaleTable.size() - 1)));
    add(Key::WalkPhysics, "WalkPhysics", UInt({}, 0, 0, 1));
    add(Key::OptionsSet, "OptionsSet", Bool({}, false));
    add(Key::GameWorldName, "GameWorldName", String({}, PimString()));
    add(Key::PlayerLocation, "PlayerLocation",
        Vector({}, {Float("X", 3520.0f), Float("Y", 33.0f), Float("Z", 3520.0f)}));

    std::vector<GameSettingItem> colours;
    for (int i = 0; i < PaletteModel::ColourCount; ++i)
        colours.push_back(ActiveGameTemplates::ColourEntry(i, PaletteModel::GetDefaultColour(i)));
    add(Key::ActiveColors, "ActiveColors", Vector({}, colours));

    add(Key::ActivePalette, "ActivePalette", UInt({}, 0, 0, PaletteModel::PaletteCount - 1));

    std::vector<GameSettingItem> palettes;
    for (int p = 0; p < PaletteModel::PaletteCount; ++p)
        palettes.push_back(ActiveGameTemplates::Palette(p, PaletteModel::DefaultPalettes()[p]));
    add(Key::Palettes, "Palettes", Vector({}, palettes));

    std::vector<GameSettingItem> images;
    for (int n = 0; n < ReferenceImageCount; ++n)
        images.push_back(ActiveGameTemplates::ReferenceImage(n));
    add(Key::ReferenceImages, "ReferenceImages", Vector({}, images));

    std::vector<GameSettingItem> lockWords;
    for (int w = 0; w < ColourLockMask::WordCount; ++w)
        lockWords.push_back(UInt64("L" + std::to_string(w), 0, 0, UINT64_MAX));
    add(Key::LockedColors, "LockedColors", Vector({}, lockWords));

    add(Key::FogColor, "FogColor", Vector3({}, PimVector3(0.15f, 0.15f, 0.25f)));
    // Files written before seeds were kept lack the element and read as NoWorldSeed; a number
    // above the largest seed is held to NoWorldSeed by the range.
    add(Key::WorldSeed, "WorldSeed", UInt64({}, NoWorldSeed, 0, NoWorldSeed));

    ResetAll();
}

bool GameSettingsActiveGame::ReadElements(const PimXMLWIndex& elements, PimXMLWIndex::Span within)
{
    const bool anyFound = SettingsHandler::ReadElements(elements, within);
    // The picture of a reference image is loaded by the reference-image code from its Path;
    // an image without a path keeps none of its placement.
    for (int n = 0; n < ReferenceImageCount; ++n)
    {
        if (GetRefImagePath(n).empty())
            ResetRefImage(n);
    }
    ApplyColourState();
    return anyFound;
}

void GameSettingsActiveGame::ResetAll()
{
    SettingsHandler::ResetAll();
    ApplyColourState();
}

bool GameSettingsActiveGame::SaveWorldSettings(const PimWString& worldFolder)
{
    return WriteWorldSettingsText(worldFolder, WriteXml());
}

bool GameSettingsActiveGame::WriteWorldSettingsText(const PimWString& worldFolder, std::wstring_view text)
{
    return PimFile::WriteStringAtomic(WorldSettingsPath(worldFolder), text);
}

bool GameSettingsActiveGame::LoadWorldSettings(const PimWString& worldFolder)
{
    const auto read = [this](std::wstring_view text) { return ReadXml(text); };
    if (SettingsFile::Load(WorldSettingsPath(worldFolder), "GameSettingsActiveGame::LoadWorldSettings()", read) ==
        SettingsFile::Outcome::Read)
        return true;
    ResetAll();
    return false;
}

std::optional<std::uint32_t> GameSettingsActiveGame::GetWorldSeed() const
{
    const std::uint64_t seed = Item(Key::WorldSeed).GetUInt64();
    if (seed >= NoWorldSeed)
        return std::nullopt;
    return static_cast<std::uint32_t>(seed);
}

void GameSettingsActiveGame::SetWorldSeed(std::uint32_t seed) { Item(Key::WorldSeed).SetUInt64(seed, ValueUse::Current); }

std::uint32_t GameSettingsActiveGame::GetWalkPhysics() const { return Item(Key::WalkPhysics).GetUInt(); }
void GameSettingsActiveGame::SetWalkPhysics(std::uint32_t physics) { Item(Key::WalkPhysics).SetUInt(physics, ValueUse::Current); }

float GameSettingsActiveGame::GetPlayerScale() const
{
    const std::uint32_t index = GetPlayerScaleIndex();
    return index < ScaleTable.size() ? ScaleTable[index] : ScaleTable.back();
}

std::uint32_t GameSettingsActiveGame::GetPlayerScaleIndex() const { return Item(Key::PlayerScale).GetUInt(); }
void GameSettingsActiveGame::SetPlayerScaleIndex(std::uint32_t index) { Item(Key::PlayerScale).SetUInt(index, ValueUse::Current); }

bool GameSettingsActiveGame::GetOptionsSet() const { return Item(Key::OptionsSet).GetBool(); }
void GameSettingsActiveGame::SetOptionsSet(bool set) { Item(Key::OptionsSet).SetBool(set, ValueUse::Current); }

PimWString GameSettingsActiveGame::GetGameWorldName() const { return PimWString::Widen(Item(Key::GameWorldName).GetString()); }
void GameSettingsActiveGame::SetGameWorldName(const PimWString& name) { Item(Key::GameWorldName).SetString(name.Narrow(), ValueUse::Current); }

PimVector3 GameSettingsActiveGame::GetPlayerLocation() const
{
    const GameSettingItem& location = Item(Key::PlayerLocation);
    return {location.FindVectorItemByName("X").GetFloat(), location.FindVectorItemByName("Y").GetFloat(),
            location.FindVectorItemByName("Z").GetFloat()};
}

void GameSettingsActiveGame::SetPlayerLocation(const PimVector3& location)
{
    GameSettingItem& item = Item(Key::PlayerLocation);
    std::vector<GameSettingItem> children = item.GetVector();
    GameSettingItem::FindItemByName(children, "X").SetFloat(location.x, ValueUse::Current);
    GameSettingItem::FindItemByName(children, "Y").SetFloat(location.y, ValueUse::Current);
    GameSettingItem::FindItemByName(children, "Z").SetFloat(location.z, ValueUse::Current);
    item.SetVector(children, ValueUse::Current);
}
