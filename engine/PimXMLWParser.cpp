#include "engine/PimXMLWParser.h"

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
    if (tag.empty())
        return {};
    const std::wstring startTag = L"<" + std::wstring(tag) + L">";
    const std::wstring endTag = L"</" + std::wstring(tag) + L">";

    const std::size_t first = text.find(startTag);
    if (first == std::wstring_view::npos)
        return {};
    const std::size_t dataStart = first + startTag.size();

    // Walk the start and end tags of this name after the first one until the depth returns
    // to zero; the next start tag is only searched for again once it has been passed.
    std::size_t depth = 1;
    std::size_t position = dataStart;
    std::size_t nextStart = text.find(startTag, position);
    for (;;)
    {
        const std::size_t nextEnd = text.find(endTag, position);
        if (nextEnd == std::wstring_view::npos)
            return {};
        if (nextStart < nextEnd)
        {
            ++depth;
            position = nextStart + startTag.size();
            nextStart = text.find(startTag, position);
            continue;
        }
        if (--depth == 0)
            return PimWString(text.substr(dataStart, nextEnd - dataStart));
        position = nextEnd + endTag.size();
        if (nextStart < position)
            nextStart = text.find(startTag, position); // only a tag name holding '<' gets here
    }
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
