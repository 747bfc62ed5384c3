#include "settings/SettingsHandler.h"

#include "engine/PimAssert.h"
#include "engine/PimNumberText.h"
#include "engine/PimXMLWParser.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <type_traits>

namespace
{
// Stores a number read from a settings text. Text that is no number of the item's kind, and a
// NaN, count as absent: the item takes its default rather than the digits before a stray byte.
template <typename Number, typename Store>
void SetNumber(GameSettingItem& item, std::optional<Number> number, Store store)
{
    if constexpr (std::is_floating_point_v<Number>)
    {
        if (number && std::isnan(*number))
            number.reset();
    }
    if (number)
        store(*number);
    else
        item.ResetToDefault();
}
}

bool SettingsHandler::ReadXml(std::wstring_view text)
{
    const PimXMLWIndex elements(text);
    return ReadElements(elements, elements.Whole());
}

bool SettingsHandler::ReadElements(const PimXMLWIndex& elements, PimXMLWIndex::Span within)
{
    bool anyFound = false;
    for (Entry& entry : entries)
        anyFound = FromXml(entry.item, entry.item.GetName(), elements, within) || anyFound;
    return anyFound;
}

void SettingsHandler::ResetAll()
{
    for (Entry& entry : entries)
        entry.item.ResetToDefault();
}

void SettingsHandler::AddSetting(std::uint16_t id, const PimString& name, const GameSettingItem& itemTemplate)
{
    Entry entry{itemTemplate, id};
    entry.item.SetName(name);
    entries.push_back(std::move(entry));
}

GameSettingItem* SettingsHandler::FindSetting(std::uint16_t id)
{
    for (Entry& entry : entries)
    {
        if (entry.id == id)
            return &entry.item;
    }
    return nullptr;
}

const GameSettingItem* SettingsHandler::FindSetting(std::uint16_t id) const
{
    return const_cast<SettingsHandler*>(this)->FindSetting(id);
}

GameSettingItem& SettingsHandler::Setting(std::uint16_t id)
{
    if (GameSettingItem* item = FindSetting(id))
        return *item;
    PimAssert::Assert(false, "SettingsHandler::Setting() - No setting with this identifier");
    static GameSettingItem sharedEmpty;
    sharedEmpty = GameSettingItem();
    return sharedEmpty;
}

const GameSettingItem& SettingsHandler::Setting(std::uint16_t id) const
{
    return const_cast<SettingsHandler*>(this)->Setting(id);
}

bool SettingsHandler::IsChanged()
{
    bool anyChanged = false;
    for (Entry& entry : entries)
        anyChanged = entry.item.IsChanged() || anyChanged;
    return anyChanged;
}

PimWString SettingsHandler::WriteXml()
{
    for (Entry& entry : entries)
        entry.item.ClearChanged();
    PimWString text;
    for (const Entry& entry : entries)
        text += PimXMLWParser::TagData(entry.item.GetName(), ToXml(entry.item));
    return text;
}

PimWString SettingsHandler::ToXml(const GameSettingItem& item)
{
    switch (item.GetType())
    {
    case SettingType::Void:
        return L"Void";
    case SettingType::Bool:
        return PimWString::FromLongInt(item.GetBool() ? 1 : 0);
    case SettingType::Int:
        return PimWString::FromLongInt(item.GetInt());
    case SettingType::UInt:
        return PimWString::FromLongUInt(item.GetUInt());
    case SettingType::Int64:
        return PimWString::FromLongInt(item.GetInt64());
    case SettingType::UInt64:
        return PimWString::FromLongUInt(item.GetUInt64());
    case SettingType::Float:
        return PimWString::FromFloat(item.GetFloat());
    case SettingType::Double:
        return PimWString::FromDouble(item.GetDouble());
    case SettingType::Vector:
    {
        PimWString data;
        for (const GameSettingItem& child : item.GetChildren())
            data += PimXMLWParser::TagData(child.GetName(), ToXml(child));
        return data;
    }
    case SettingType::String:
        return EscapeText(PimWString::Widen(item.GetString()));
    case SettingType::WString:
        return EscapeText(item.GetWString());
    case SettingType::Vector3:
        return PimWString::Widen(item.GetVector3().ToString());
    }
    PimAssert::Assert(false, "SettingsHandler::ToXml() - Unsupported type");
    return {};
}

bool SettingsHandler::FromXml(GameSettingItem& item, std::string_view tag, std::wstring_view text)
{
    const PimXMLWIndex elements(text);
    return FromXml(item, tag, elements, elements.Whole());
}

bool SettingsHandler::FromXml(GameSettingItem& item, std::string_view tag, const PimXMLWIndex& elements,
                              PimXMLWIndex::Span within)
{
    const std::optional<PimXMLWIndex::Span> found = elements.Find(PimWString::Widen(tag), within);
    if (!found || found->begin == found->end)
    {
        item.ResetToDefault();
        return false;
    }
    ReadValue(item, elements, *found);
    return true;
}

void SettingsHandler::ReadValue(GameSettingItem& item, const PimXMLWIndex& elements, PimXMLWIndex::Span data)
{
    const std::wstring_view text = elements.Text(data);
    // Number text is ASCII; other characters narrow to bytes no number holds.
    const auto number = [text] { return PimWString(text).Narrow(); };
    switch (item.GetType())
    {
    case SettingType::Void:
        item.SetString("Void", ValueUse::Current);
        return;
    case SettingType::Bool:
        SetNumber(item, PimNumberText::ParseLongInt(number()), [&](std::int64_t v) { item.SetBool(v != 0, ValueUse::Current); });
        return;
    case SettingType::Int:
        SetNumber(item, PimNumberText::ParseLongInt(number()), [&](std::int64_t v) {
            item.SetInt(static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)), ValueUse::Current);
        });
        return;
    case SettingType::UInt:
        // A number beyond 32 bits saturates (as Int does) instead of wrapping round.
        SetNumber(item, PimNumberText::ParseLongUInt(number()), [&](std::uint64_t v) {
            item.SetUInt(static_cast<std::uint32_t>(std::min<std::uint64_t>(v, UINT32_MAX)), ValueUse::Current);
        });
        return;
    case SettingType::Int64:
        SetNumber(item, PimNumberText::ParseLongInt(number()), [&](std::int64_t v) { item.SetInt64(v, ValueUse::Current); });
        return;
    case SettingType::UInt64:
        SetNumber(item, PimNumberText::ParseLongUInt(number()), [&](std::uint64_t v) { item.SetUInt64(v, ValueUse::Current); });
        return;
    case SettingType::Float:
        SetNumber(item, PimNumberText::ParseFloat(number()), [&](float v) { item.SetFloat(v, ValueUse::Current); });
        return;
    case SettingType::Double:
        SetNumber(item, PimNumberText::ParseDouble(number()), [&](double v) { item.SetDouble(v, ValueUse::Current); });
        return;
    case SettingType::Vector:
        for (GameSettingItem& child : item.GetChildren())
            FromXml(child, child.GetName(), elements, data);
        return;
    case SettingType::String:
        item.SetString(UnescapeText(text).Narrow(), ValueUse::Current);
        return;
    case SettingType::WString:
        item.SetWString(UnescapeText(text), ValueUse::Current);
        return;
    case SettingType::Vector3:
    {
        // Text that is not three finite numbers counts as absent.
        if (const std::optional<PimVector3> parsed = PimVector3::Parse(number()))
            item.SetVector3(*parsed, ValueUse::Current);
        else
            item.ResetToDefault();
        return;
    }
    }
    PimAssert::Assert(false, "SettingsHandler::FromXml() - Unsupported type");
}

PimWString SettingsHandler::EscapeText(std::wstring_view text)
{
    PimWString escaped;
    escaped.reserve(text.size());
    for (const wchar_t c : text)
    {
        if (c == L'&')
            escaped += L"&amp;";
        else if (c == L'<')
            escaped += L"&lt;";
        else if (c == L'>')
            escaped += L"&gt;";
        else
            escaped += c;
    }
    return escaped;
}

PimWString SettingsHandler::UnescapeText(std::wstring_view text)
{
    static constexpr struct
    {
        std::wstring_view entity;
        wchar_t character;
    } entities[] = {{L"&amp;", L'&'}, {L"&lt;", L'<'}, {L"&gt;", L'>'}};

    PimWString plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
    {
        bool replaced = false;
        if (text[i] == L'&')
        {
            for (const auto& [entity, character] : entities)
            {
                if (text.substr(i, entity.size()) == entity)
                {
                    plain += character;
                    i += entity.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            plain += text[i++];
    }
    return plain;
}
