#include "settings/SettingTemplate.h"

namespace
{
GameSettingItem Finish(std::string_view name, GameSettingItem item)
{
    item.SetName(PimString(name));
    item.ResetToDefault();
    return item;
}
}

namespace SettingTemplate
{
GameSettingItem Bool(std::string_view name, bool byDefault)
{
    GameSettingItem item;
    item.SetBool(byDefault, ValueUse::Default);
    return Finish(name, item);
}

GameSettingItem Int(std::string_view name, std::int32_t byDefault)
{
    GameSettingItem item;
    item.SetInt(byDefault, ValueUse::Default);
    return Finish(name, item);
}

GameSettingItem UInt(std::string_view name, std::uint32_t byDefault)
{
    GameSettingItem item;
    item.SetUInt(byDefault, ValueUse::Default);
    return Finish(name, item);
}

GameSettingItem UInt(std::string_view name, std::uint32_t byDefault, std::uint32_t min, std::uint32_t max)
{
    GameSettingItem item;
    item.SetUInt(byDefault, ValueUse::Default);
    item.SetUInt(min, ValueUse::Min);
    item.SetUInt(max, ValueUse::Max);
    return Finish(name, item);
}

GameSettingItem UInt64(std::string_view name, std::uint64_t byDefault, std::uint64_t min, std::uint64_t max)
{
    GameSettingItem item;
    item.SetUInt64(byDefault, ValueUse::Default);
    item.SetUInt64(min, ValueUse::Min);
    item.SetUInt64(max, ValueUse::Max);
    return Finish(name, item);
}

GameSettingItem Float(std::string_view name, float byDefault)
{
    GameSettingItem item;
    item.SetFloat(byDefault, ValueUse::Default);
    return Finish(name, item);
}

GameSettingItem Float(std::string_view name, float byDefault, float min, float max)
{
    GameSettingItem item;
    item.SetFloat(byDefault, ValueUse::Default);
    item.SetFloat(min, ValueUse::Min);
    item.SetFloat(max, ValueUse::Max);
    return Finish(name, item);
}

GameSettingItem String(std::string_view name, const PimString& byDefault)
{
    GameSettingItem item;
    item.SetString(byDefault, ValueUse::Default);
    item.SetRangeString(GameSettingItem::DefaultMaxLength);
    return Finish(name, item);
}

GameSettingItem WString(std::string_view name, const PimWString& byDefault)
{
    GameSettingItem item;
    item.SetWString(byDefault, ValueUse::Default);
    item.SetRangeString(GameSettingItem::DefaultMaxLength);
    return Finish(name, item);
}

GameSettingItem Vector3(std::string_view name, const PimVector3& byDefault)
{
    GameSettingItem item;
    item.SetVector3(byDefault, ValueUse::Default);
    return Finish(name, item);
}

GameSettingItem Vector(std::string_view name, const std::vector<GameSettingItem>& children)
{
    GameSettingItem item;
    item.SetVector(children, ValueUse::Default);
    return Finish(name, item);
}
}
