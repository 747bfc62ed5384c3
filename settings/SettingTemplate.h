#pragma once

#include "settings/GameSettingItem.h"

#include <cstdint>
#include <string_view>
#include <vector>

// Ready-made items for the definition of settings groups: each holds its default (and range)
// and has been reset to it, so its current value and type are the default's. Vector items are
// built bottom-up: their children first, then the parent from the list of children. Texts hold
// at most GameSettingItem::DefaultMaxLength characters, so that a settings file has a bound.
namespace SettingTemplate
{
GameSettingItem Bool(std::string_view name, bool byDefault);
GameSettingItem Int(std::string_view name, std::int32_t byDefault);
GameSettingItem UInt(std::string_view name, std::uint32_t byDefault);
GameSettingItem UInt(std::string_view name, std::uint32_t byDefault, std::uint32_t min, std::uint32_t max);
GameSettingItem UInt64(std::string_view name, std::uint64_t byDefault, std::uint64_t min, std::uint64_t max);
GameSettingItem Float(std::string_view name, float byDefault);
GameSettingItem Float(std::string_view name, float byDefault, float min, float max);
GameSettingItem String(std::string_view name, const PimString& byDefault);
GameSettingItem WString(std::string_view name, const PimWString& byDefault);
GameSettingItem Vector3(std::string_view name, const PimVector3& byDefault);
GameSettingItem Vector(std::string_view name, const std::vector<GameSettingItem>& children);
}
