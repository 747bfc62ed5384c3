#include "engine/PimXMLWParser.h"

#include "engine/PimXMLWIndex.h"

#include <string>

PimWString PimXMLWParser::TagData(std::wstring_view tag, std::wstring_view data)
{
    PimWString element;
    element.reserve(2 * tag.size() + data.size() + 5);
    element.append(L"<").append(tag).append(L">").append(data);
    element.append(L"</").append(tag).append(L">");
    return element;
}

PimWString PimXMLWParser::TagData(std::string_view tag, std::wstring_view data)
{
    return TagData(PimWString::Widen(tag), data);
}

PimWString PimXMLWParser::XMLFindTag(std::wstring_view tag, std::wstring_view text)
{
    const PimXMLWIndex elements(text);
    const std::optional<PimXMLWIndex::Span> data = elements.Find(tag, elements.Whole());
    return data ? PimWString(elements.Text(*data)) : PimWString();
}

PimWString PimXMLWParser::XMLFindTag(std::string_view tag, std::wstring_view text)
{
    return XMLFindTag(PimWString::Widen(tag), text);
}

int PimXMLWParser::XMLFindTagInt(std::wstring_view tag, std::wstring_view text)
{
    return XMLFindTag(tag, text).ToInt();
}

int PimXMLWParser::XMLFindTagInt(std::string_view tag, std::wstring_view text)
{
    return XMLFindTag(tag, text).ToInt();
}
