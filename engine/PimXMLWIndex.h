#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

// The element tags of a settings text (see PimXMLWParser for the form), indexed in one pass so
// that finding an element costs a hash look-up and a binary search, whatever the text holds.
// Reading a whole settings file is then linear in its size, even when an attacker nests a
// hundred thousand elements of one name.
//
// A tag is the text between a "<" and the next ">" with no "<" between them: "<name>" starts an
// element, "</name>" ends one. Start and end tags pair up per name, as brackets do; tags of other
// names do not need to balance. A name holding "<" or ">", or starting with "/", never matches.
//
// The index keeps views into the text: the text must outlive it and stay unchanged. Immutable
// once built; any thread may read it.
class PimXMLWIndex
{
public:
    // A part of the indexed text, [begin, end) in characters.
    struct Span
    {
        std::size_t begin = 0;
        std::size_t end = 0;
    };

    explicit PimXMLWIndex(std::wstring_view text);

    // The whole text.
    Span Whole() const { return {0, text.size()}; }
    std::wstring_view Text(Span span) const { return text.substr(span.begin, span.end - span.begin); }

    // The data of the first element named tag whose start tag lies in within, as
    // PimXMLWParser::XMLFindTag reads it from that part alone: nothing when there is no such
    // start tag or when its element is not closed inside within.
    std::optional<Span> Find(std::wstring_view tag, Span within) const;

private:
    static constexpr std::size_t kUnclosed = static_cast<std::size_t>(-1);

    struct StartTag
    {
        std::size_t position = 0;    // of its "<"
        std::size_t closedAt = kUnclosed; // the "<" of the end tag that pairs with it
    };
    struct NameTags
    {
        std::vector<StartTag> starts;     // in text order
        std::vector<std::size_t> unclosed; // indices into starts, innermost last
    };

    void AddTag(std::size_t open, std::size_t close);

    std::wstring_view text;
    std::unordered_map<std::wstring_view, NameTags> names;
};
