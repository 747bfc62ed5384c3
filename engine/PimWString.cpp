#include "engine/PimWString.h"

#include "engine/PimNumberText.h"
#include "engine/PimUnicode.h"

#include <type_traits>

namespace
{
char32_t CodeUnit(wchar_t c) { return static_cast<std::make_unsigned_t<wchar_t>>(c); }

// Number text is ASCII; any other character becomes a byte that no number contains, so the
// text reads as malformed.
std::string NumberCharacters(const std::wstring& text)
{
    std::string out(text.size(), '\x7F');
    for (std::size_t i = 0; i < text.size(); ++i)
        if (CodeUnit(text[i]) < 0x80)
            out[i] = static_cast<char>(text[i]);
    return out;
}

PimWString FromAscii(const std::string& text) { return PimWString(text.begin(), text.end()); }

PimWString MapLetters(const std::wstring& text, char32_t (*map)(char32_t))
{
    PimWString out(text);
    for (wchar_t& c : out)
        c = static_cast<wchar_t>(map(CodeUnit(c)));
    return out;
}
}

PimWString PimWString::Widen(std::string_view utf8) { return PimUnicode::Utf8ToWide(utf8); }
PimString PimWString::Narrow() const { return PimUnicode::WideToUtf8(*this); }

PimWString PimWString::FromFloat(float value) { return FromAscii(PimNumberText::FromFloat(value)); }
PimWString PimWString::FromDouble(double value) { return FromAscii(PimNumberText::FromDouble(value)); }
PimWString PimWString::FromLongInt(std::int64_t value) { return FromAscii(PimNumberText::FromLongInt(value)); }
PimWString PimWString::FromLongUInt(std::uint64_t value) { return FromAscii(PimNumberText::FromLongUInt(value)); }

int PimWString::ToInt() const { return PimNumberText::ToInt(NumberCharacters(*this)); }
std::int64_t PimWString::ToLongInt() const { return PimNumberText::ToLongInt(NumberCharacters(*this)); }
std::uint64_t PimWString::ToLongUInt() const { return PimNumberText::ToLongUInt(NumberCharacters(*this)); }
float PimWString::ToFloat() const { return PimNumberText::ToFloat(NumberCharacters(*this)); }
double PimWString::ToDouble() const { return PimNumberText::ToDouble(NumberCharacters(*this)); }

std::ptrdiff_t PimWString::Find(std::wstring_view text, std::size_t start) const
{
    const std::size_t at = find(text, start);
    return at == npos ? -1 : static_cast<std::ptrdiff_t>(at);
}

PimWString& PimWString::TrimFront(std::size_t count)
{
    erase(0, count);
    return *this;
}

PimWString& PimWString::TrimEnd(std::size_t count)
{
    resize(count < size() ? size() - count : 0);
    return *this;
}

PimWString PimWString::ToUpper() const { return MapLetters(*this, PimUnicode::ToUpper); }
PimWString PimWString::ToLower() const { return MapLetters(*this, PimUnicode::ToLower); }
