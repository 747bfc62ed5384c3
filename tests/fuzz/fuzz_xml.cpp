// Settings text as read from a file: arbitrary bytes go through the text decoding, the element
// search with the names the settings use, and the number readers. Any crash, sanitizer report
// or broken invariant is a fault.
#include "engine/PimString.h"
#include "engine/PimWString.h"
#include "engine/PimXMLWParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const PimWString text = PimWString::Widen(bytes);

    // Whatever the bytes were, the wide text narrows to UTF-8 that widens back unchanged.
    if (PimWString::Widen(text.Narrow()) != text)
        std::abort();

    for (const char* tag : {"ActiveSettings", "ControlMap", "C1", "C10", "Loc", "Palette0", "0", "A"})
    {
        const PimWString element = PimXMLWParser::XMLFindTag(tag, text);
        if (element.size() > text.size())
            std::abort();
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
