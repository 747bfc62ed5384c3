#include "settings/ControlMap.h"

#include "engine/PimNumberText.h"
#include "engine/PimXMLWParser.h"

#include <algorithm>
#include <optional>
#include <string>

void ControlMap::ResetToDefaults()
{
    invertX = false;
    invertY = false;
    keys = DefaultKeys;
    controlMapChanged = true;
}

PimWString ControlMap::ToXml() const
{
    PimWString text = PimXMLWParser::TagData("InvertX", PimWString::FromLongInt(invertX ? 1 : 0));
    text += PimXMLWParser::TagData("InvertY", PimWString::FromLongInt(invertY ? 1 : 0));
    for (int i = 0; i < KeyCount; ++i)
        text += PimXMLWParser::TagData(std::to_wstring(i), PimWString::FromLongInt(keys[i]));
    return text;
}

void ControlMap::ReadXml(const PimXMLWIndex& elements, PimXMLWIndex::Span data)
{
    const auto integer = [&](std::wstring_view tag) -> std::optional<std::int64_t> {
        const std::optional<PimXMLWIndex::Span> found = elements.Find(tag, data);
        return found ? PimNumberText::ParseLongInt(PimWString(elements.Text(*found)).Narrow()) : std::nullopt;
    };
    invertX = integer(L"InvertX").value_or(0) != 0;
    invertY = integer(L"InvertY").value_or(0) != 0;
    for (int i = 0; i < KeyCount; ++i)
    {
        const std::optional<std::int64_t> code = integer(std::to_wstring(i));
        keys[i] = code ? static_cast<std::int32_t>(std::clamp<std::int64_t>(*code, INT32_MIN, INT32_MAX)) : DefaultKeys[i];
    }
}
