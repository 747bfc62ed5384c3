// Settings text as read from a file: arbitrary bytes go through the text decoding, the element
// search with the names the settings use (checked against a plain search), and the number
// readers. Any crash, sanitizer report or broken invariant is a fault.
#include "tests/support/PlainElementSearch.h"

#include "engine/PimString.h"
#include "engine/PimWString.h"
#include "engine/PimXMLWIndex.h"
#include "engine/PimXMLWParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const PimWString text = PimWString::Widen(bytes);

    // Whatever the bytes were, the wide text narrows to UTF-8 that widens back unchanged.
    if (PimWString::Widen(text.Narrow()) != text)
        std::abort();

    const PimXMLWIndex elements(text);
    for (const char* tag : {"ActiveSettings", "ControlMap", "C1", "C10", "Loc", "Palette0", "0", "A"})
    {
        const PimWString element = PimXMLWParser::XMLFindTag(tag, text);
        if (element.size() > text.size())
            std::abort();
        // The index finds what the plain search finds, in the whole text and inside the element.
        const std::wstring wideTag = PimWString::Widen(tag);
        const std::optional<PimXMLWIndex::Span> found = elements.Find(wideTag, elements.Whole());
        const std::optional<std::wstring> plain = PlainElementSearch(wideTag, text);
        if (found.has_value() != plain.has_value() || (found && elements.Text(*found) != *plain))
            std::abort();
        if (found)
        {
            const std::optional<PimXMLWIndex::Span> nested = elements.Find(wideTag, *found);
            const std::optional<std::wstring> plainNested = PlainElementSearch(wideTag, *plain);
            if (nested.has_value() != plainNested.has_value() || (nested && elements.Text(*nested) != *plainNested))
                std::abort();
        }
        PimXMLWParser::XMLFindTagInt(tag, element);
        element.ToLongUInt();
        element.ToLongInt();
        element.ToDouble();
        const float value = element.ToFloat();
        const float again = PimWString::FromFloat(value).ToFloat();
        if (value == value && again != value)
            std::abort();
    }
    PimString(bytes).ToUpper();
    text.ToLower();
    return 0;
}
