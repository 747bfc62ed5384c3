#include "engine/PimString.h"

#include "engine/PimNumberText.h"
#include "engine/PimUnicode.h"

namespace
{
PimString MapLetters(const std::string& text, char32_t (*map)(char32_t))
{
    PimString out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
    {
        const PimUnicode::Utf8Character c = PimUnicode::DecodeUtf8(text, i);
        if (c.valid)
            PimUnicode::AppendUtf8(out, map(c.codePoint));
        else
            out.append(text, i, c.length);
        i += c.length;
    }
    return out;
}
}

PimString PimString::FromFloat(float value) { return PimNumberText::FromFloat(value); }
PimString PimString::FromDouble(double value) { return PimNumberText::FromDouble(value); }
PimString PimString::FromLongInt(std::int64_t value) { return PimNumberText::FromLongInt(value); }
PimString PimString::FromLongUInt(std::uint64_t value) { return PimNumberText::FromLongUInt(value); }

int PimString::ToInt() const { return PimNumberText::ToInt(*this); }
std::int64_t PimString::ToLongInt() const { return PimNumberText::ToLongInt(*this); }
std::uint64_t PimString::ToLongUInt() const { return PimNumberText::ToLongUInt(*this); }
float PimString::ToFloat() const { return PimNumberText::ToFloat(*this); }
double PimString::ToDouble() const { return PimNumberText::ToDouble(*this); }

std::ptrdiff_t PimString::Find(std::string_view text, std::size_t start) const
{
    const std::size_t at = find(text, start);
    return at == npos ? -1 : static_cast<std::ptrdiff_t>(at);
}

PimString& PimString::TrimFront(std::size_t count)
{
    erase(0, count);
    return *this;
}

PimString& PimString::TrimEnd(std::size_t count)
{
    resize(count < size() ? size() - count : 0);
    return *this;
}

PimString PimString::ToUpper() const { return MapLetters(*this, PimUnicode::ToUpper); }
PimString PimString::ToLower() const { return MapLetters(*this, PimUnicode::ToLower); }
