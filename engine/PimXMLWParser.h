#pragma once

#include "engine/PimWString.h"

#include <string_view>

// The element text of the settings files: a plain concatenation of elements "<tag>data</tag>"
// with no declaration, attributes, escaping or whitespace of its own. Elements may nest
// (a vector setting's data is the concatenation of its children's elements).
//
// A tag matches only a start tag of exactly its name: "C1" does not match "<C10>", "Loc"
// does not match "<Locked>", and start tags with attributes ("<Loc a='1'>") or self-closing
// ones ("<Loc/>") match nothing. The first start tag in the text wins, wherever it stands,
// nested or not. Its data runs to the end tag that closes it (an element of the same name
// nested inside is skipped over whole); a start tag that is never closed makes the element
// count as absent. An absent element's data is empty. A tag name holding "<" or ">", or starting
// with "/", matches nothing.
//
// Each search indexes the text it is given (PimXMLWIndex); readers of many elements of one
// text keep one index and search it instead.
//
// Narrow tag names are UTF-8 (setting names are ASCII). Stateless; any thread may call.
class PimXMLWParser
{
public:
    // "<tag>data</tag>".
    static PimWString TagData(std::wstring_view tag, std::wstring_view data);
    static PimWString TagData(std::string_view tag, std::wstring_view data);

    // The data of the first element named tag in text; empty when there is none.
    static PimWString XMLFindTag(std::wstring_view tag, std::wstring_view text);
    static PimWString XMLFindTag(std::string_view tag, std::wstring_view text);

    // That element's data read by PimWString::ToInt: 0 when absent or not an integer.
    static int XMLFindTagInt(std::wstring_view tag, std::wstring_view text);
    static int XMLFindTagInt(std::string_view tag, std::wstring_view text);
};
