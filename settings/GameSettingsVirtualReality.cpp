#include "settings/GameSettingsVirtualReality.h"

#include "settings/SettingTemplate.h"

void GameSettingsVirtualReality::DefineSettings()
{
    using namespace SettingTemplate;
    ClearSettings();
    AddSetting(static_cast<std::uint16_t>(Key::MovementType), "MovementType", UInt({}, 1, 0, 2));
    AddSetting(static_cast<std::uint16_t>(Key::HandPreference), "HandPreference", UInt({}, 2, 1, 2));
    AddSetting(static_cast<std::uint16_t>(Key::PlayerSizeBias), "PlayerSizeBias", Float({}, 1.0f, 0.5f, 2.5f));
    ResetAll();
}

std::uint32_t GameSettingsVirtualReality::GetMovementType() const { return Item(Key::MovementType).GetUInt(); }
void GameSettingsVirtualReality::SetMovementType(std::uint32_t type) { Item(Key::MovementType).SetUInt(type, ValueUse::Current); }
std::uint32_t GameSettingsVirtualReality::GetHandPreference() const { return Item(Key::HandPreference).GetUInt(); }
void GameSettingsVirtualReality::SetHandPreference(std::uint32_t role) { Item(Key::HandPreference).SetUInt(role, ValueUse::Current); }
float GameSettingsVirtualReality::GetPlayerSizeBias() const { return Item(Key::PlayerSizeBias).GetFloat(); }
void GameSettingsVirtualReality::SetPlayerSizeBias(float bias) { Item(Key::PlayerSizeBias).SetFloat(bias, ValueUse::Current); }
