#pragma once

#include "settings/SettingsHandler.h"

#include <cstdint>

// The VR options: movement type, preferred hand and the player size bias.
// Main thread only.
class GameSettingsVirtualReality final : public SettingsHandler
{
public:
    enum class Key : std::uint16_t
    {
        MovementType = 0,
        HandPreference = 1,
        PlayerSizeBias = 2,
    };

    void DefineSettings() override;

    GameSettingItem& Item(Key key) { return Setting(static_cast<std::uint16_t>(key)); }
    const GameSettingItem& Item(Key key) const { return Setting(static_cast<std::uint16_t>(key)); }

    // 0 teleport, 1 touch-walk, 2 neither.
    std::uint32_t GetMovementType() const;
    void SetMovementType(std::uint32_t type);
    // The controller role of the dominant hand: 1 left, 2 right.
    std::uint32_t GetHandPreference() const;
    void SetHandPreference(std::uint32_t role);
    float GetPlayerSizeBias() const;
    void SetPlayerSizeBias(float bias);
};
