#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

// The program's narrow text: a std::string holding UTF-8, with the number conversions and
// small edits the program uses. It adds no data members, so it is used wherever a std::string
// is, and every std::string (such as the result of operator+) converts back implicitly.
// Wide text is PimWString (engine/PimWString.h), which also converts between the two.
// A value type; one object is used by one thread at a time.
class PimString : public std::string
{
public:
    using std::string::string;
    PimString() = default;
    PimString(const std::string& text) : std::string(text) {}
    PimString(std::string&& text) : std::string(std::move(text)) {}

    // Number text as described in engine/PimNumberText.h: what a From* writer produces, the
    // matching To* reader reads back as the same value; malformed text reads as 0.
    static PimString FromFloat(float value);
    static PimString FromDouble(double value);
    static PimString FromLongInt(std::int64_t value);
    static PimString FromLongUInt(std::uint64_t value);

    int ToInt() const;
    std::int64_t ToLongInt() const;
    std::uint64_t ToLongUInt() const;
    float ToFloat() const;
    double ToDouble() const;

    // Position (in bytes) of the first occurrence of text at or after start; -1 when absent.
    std::ptrdiff_t Find(std::string_view text, std::size_t start = 0) const;

    // Remove count bytes from the front or the end; removing more than the text holds
    // leaves it empty. They return the text itself, so calls can be chained.
    PimString& TrimFront(std::size_t count);
    PimString& TrimEnd(std::size_t count);

    // Copies with letters changed case (the mapping of engine/PimUnicode.h). Bytes that are
    // not well-formed UTF-8 are kept as they are.
    PimString ToUpper() const;
    PimString ToLower() const;
};

template <>
struct std::hash<PimString> : std::hash<std::string>
{
};
