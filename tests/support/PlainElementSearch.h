#pragma once

#include <optional>
#include <string>
#include <string_view>

// The element search of the settings texts done the plain way, as a reference for the indexed
// one: the first "<tag>" of the text, then the tags of that name counted until the depth returns
// to zero. Nothing when there is no such start tag or its element never closes.
inline std::optional<std::wstring> PlainElementSearch(const std::wstring& tag, std::wstring_view text)
{
    const std::wstring start = L"<" + tag + L">";
    const std::wstring end = L"</" + tag + L">";
    const std::size_t first = text.find(start);
    if (first == std::wstring_view::npos)
        return std::nullopt;
    int depth = 0;
    for (std::size_t at = first; at < text.size(); ++at)
    {
        if (text.substr(at, start.size()) == start)
            ++depth;
        else if (text.substr(at, end.size()) == end && --depth == 0)
            return std::wstring(text.substr(first + start.size(), at - first - start.size()));
    }
    return std::nullopt;
}
