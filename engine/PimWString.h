#pragma once

#include "engine/PimString.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

// The program's wide text: a std::wstring of Unicode characters (UTF-32 where wchar_t has
// 32 bits, UTF-16 where it has 16), with the same conversions and edits as PimString. Paths,
// settings file text and names shown to the user are wide.
//
// Narrow text (PimString) is UTF-8: Widen and Narrow convert between the two without loss
// for every well-formed text ("Modèle" survives the round trip). Malformed UTF-8 widens to
// one U+FFFD per malformed sequence; unpaired surrogates and values beyond U+10FFFF narrow to
// U+FFFD.
// A value type; one object is used by one thread at a time.
class PimWString : public std::wstring
{
public:
    using std::wstring::wstring;
    PimWString() = default;
    PimWString(const std::wstring& text) : std::wstring(text) {}
    PimWString(std::wstring&& text) : std::wstring(std::move(text)) {}

    static PimWString Widen(std::string_view utf8);
    PimString Narrow() const;

    // Number text as described in engine/PimNumberText.h, the same characters as PimString's.
    static PimWString FromFloat(float value);
    static PimWString FromDouble(double value);
    static PimWString FromLongInt(std::int64_t value);
    static PimWString FromLongUInt(std::uint64_t value);

    int ToInt() const;
    std::int64_t ToLongInt() const;
    std::uint64_t ToLongUInt() const;
    float ToFloat() const;
    double ToDouble() const;

    // Position (in wchar_t units) of the first occurrence of text at or after start; -1 when absent.
    std::ptrdiff_t Find(std::wstring_view text, std::size_t start = 0) const;

    // Remove count characters from the front or the end; removing more than the text holds
    // leaves it empty. They return the text itself, so calls can be chained.
    PimWString& TrimFront(std::size_t count);
    PimWString& TrimEnd(std::size_t count);

    // Copies with letters changed case (the mapping of engine/PimUnicode.h).
    PimWString ToUpper() const;
    PimWString ToLower() const;
};

template <>
struct std::hash<PimWString> : std::hash<std::wstring>
{
};
