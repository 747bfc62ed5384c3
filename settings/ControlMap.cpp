#include "settings/ControlMap.h"

#include "engine/PimXMLWParser.h"

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

void ControlMap::ReadXml(std::wstring_view data)
{
    invertX = PimXMLWParser::XMLFindTagInt("InvertX", data) != 0;
    invertY = PimXMLWParser::XMLFindTagInt("InvertY", data) != 0;
    for (int i = 0; i < KeyCount; ++i)
    {
        const PimWString code = PimXMLWParser::XMLFindTag(std::to_wstring(i), data);
        keys[i] = code.empty() ? DefaultKeys[i] : code.ToInt();
    }
}
