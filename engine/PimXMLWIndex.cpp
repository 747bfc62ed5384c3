#include "engine/PimXMLWIndex.h"

#include <algorithm>

PimXMLWIndex::PimXMLWIndex(std::wstring_view textIn) : text(textIn)
{
    // Only the last "<" before a ">" opens a tag, so each character is looked at once.
    std::size_t open = kUnclosed;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == L'<')
            open = i;
        else if (text[i] == L'>' && open != kUnclosed)
        {
            AddTag(open, i);
            open = kUnclosed;
        }
    }
}

void PimXMLWIndex::AddTag(std::size_t open, std::size_t close)
{
    const bool isEnd = text[open + 1] == L'/';
    const std::wstring_view name = text.substr(open + (isEnd ? 2 : 1), close - open - (isEnd ? 2 : 1));
    if (name.empty() || (!isEnd && name.front() == L'/'))
        return;
    if (!isEnd)
    {
        NameTags& tags = names[name];
        tags.unclosed.push_back(tags.starts.size());
        tags.starts.push_back({open, kUnclosed});
        return;
    }
    const auto found = names.find(name);
    if (found == names.end() || found->second.unclosed.empty())
        return;
    NameTags& tags = found->second;
    tags.starts[tags.unclosed.back()].closedAt = open;
    tags.unclosed.pop_back();
}

std::optional<PimXMLWIndex::Span> PimXMLWIndex::Find(std::wstring_view tag, Span within) const
{
    const auto found = names.find(tag);
    if (found == names.end())
        return std::nullopt;
    const std::vector<StartTag>& starts = found->second.starts;
    const auto first = std::lower_bound(starts.begin(), starts.end(), within.begin,
                                        [](const StartTag& start, std::size_t at) { return start.position < at; });
    // An end tag starts with the only "<" it holds, so one that begins inside within ends there.
    if (first == starts.end() || first->position >= within.end || first->closedAt >= within.end)
        return std::nullopt;
    return Span{first->position + tag.size() + 2, first->closedAt};
}
