#include "engine/PimUnicode.h"

#include <type_traits>

namespace
{
constexpr bool wideIsUtf16 = sizeof(wchar_t) == 2;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

bool InRange(unsigned char byte, unsigned char low, unsigned char high) { return byte >= low && byte <= high; }

// Allowed range of the second byte for each lead byte (later continuation bytes are always
// 0x80-0xBF). These bounds reject overlong forms, surrogates and values above U+10FFFF.
struct LeadByteRule
{
    std::size_t length;
    unsigned char secondLow;
    unsigned char secondHigh;
};

bool RuleForLead(unsigned char lead, LeadByteRule& rule)
{
    if (InRange(lead, 0xC2, 0xDF))
        rule = {2, 0x80, 0xBF};
    else if (lead == 0xE0)
        rule = {3, 0xA0, 0xBF};
    else if (lead == 0xED)
        rule = {3, 0x80, 0x9F};
    else if (InRange(lead, 0xE1, 0xEF))
        rule = {3, 0x80, 0xBF};
    else if (lead == 0xF0)
        rule = {4, 0x90, 0xBF};
    else if (InRange(lead, 0xF1, 0xF3))
        rule = {4, 0x80, 0xBF};
    else if (lead == 0xF4)
        rule = {4, 0x80, 0x8F};
    else
        return false;
    return true;
}

void AppendWide(std::wstring& out, char32_t codePoint)
{
    if (wideIsUtf16 && codePoint > 0xFFFF)
    {
        const char32_t offset = codePoint - 0x10000;
        out.push_back(static_cast<wchar_t>(0xD800 + (offset >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + (offset & 0x3FF)));
        return;
    }
    out.push_back(static_cast<wchar_t>(codePoint));
}

// Case pairs inside Latin Extended-A alternate: in some runs the even code point is the
// capital, in others the odd one.
bool IsEvenCapitalRun(char32_t c)
{
    return (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
}

bool IsOddCapitalRun(char32_t c) { return (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E); }
}

PimUnicode::Utf8Character PimUnicode::DecodeUtf8(std::string_view text, std::size_t position)
{
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byteAt(position);
    if (lead < 0x80)
        return {lead, 1, true};
    LeadByteRule rule{};
    if (!RuleForLead(lead, rule))
        return {replacementCharacter, 1, false};

    const std::size_t payloadBits = 7 - rule.length; // bits of the lead byte that carry the value
    char32_t value = lead & ((1u << payloadBits) - 1);
    for (std::size_t i = 1; i < rule.length; ++i)
    {
        const std::size_t at = position + i;
        const unsigned char low = i == 1 ? rule.secondLow : 0x80;
        const unsigned char high = i == 1 ? rule.secondHigh : 0xBF;
        if (at >= text.size() || !InRange(byteAt(at), low, high))
            return {replacementCharacter, i, false};
        value = (value << 6) | (byteAt(at) & 0x3F);
    }
    return {value, rule.length, true};
}

void PimUnicode::AppendUtf8(std::string& out, char32_t codePoint)
{
    if (codePoint > 0x10FFFF || IsSurrogate(codePoint))
        codePoint = replacementCharacter;
    const auto put = [&](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    if (codePoint < 0x80)
    {
        put(codePoint);
    }
    else if (codePoint < 0x800)
    {
        put(0xC0 | (codePoint >> 6));
        put(0x80 | (codePoint & 0x3F));
    }
    else if (codePoint < 0x10000)
    {
        put(0xE0 | (codePoint >> 12));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
    else
    {
        put(0xF0 | (codePoint >> 18));
        put(0x80 | ((codePoint >> 12) & 0x3F));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

std::wstring PimUnicode::Utf8ToWide(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
    {
        const Utf8Character c = DecodeUtf8(text, i);
        AppendWide(out, c.codePoint);
        i += c.length;
    }
    return out;
}

std::string PimUnicode::WideToUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        // wchar_t is signed on some platforms; negative values end up above U+10FFFF.
        char32_t c = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i]));
        if (wideIsUtf16 && IsHighSurrogate(c) && i + 1 < text.size())
        {
            const char32_t next = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i + 1]));
            if (IsLowSurrogate(next))
            {
                c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
                ++i;
            }
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::string PimUnicode::Utf16ToUtf8(std::string_view bytes, bool bigEndian)
{
    const auto unitAt = [&](std::size_t i) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (first << 8 | second) : (second << 8 | first);
    };
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2)
    {
        char32_t c = unitAt(i);
        if (IsHighSurrogate(c) && i + 3 < bytes.size() && IsLowSurrogate(unitAt(i + 2)))
        {
            c = 0x10000 + ((c - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00);
            i += 2;
        }
        AppendUtf8(out, c); // a lone surrogate becomes U+FFFD there
    }
    if (i < bytes.size())
        AppendUtf8(out, replacementCharacter);
    return out;
}

char32_t PimUnicode::ToUpper(char32_t c)
{
    if (c >= U'a' && c <= U'z')
        return c - 0x20;
    if (c < 0xE0)
        return c;
    if (c <= 0xFE)
        return c == 0xF7 ? c : c - 0x20;
    if (c == 0xFF)
        return 0x178;
    if (IsEvenCapitalRun(c))
        return c & 1 ? c - 1 : c;
    if (IsOddCapitalRun(c))
        return c & 1 ? c : c - 1;
    if (c == 0x3AC)
        return 0x386;
    if (c >= 0x3AD && c <= 0x3AF)
        return c - 0x25;
    if (c == 0x3C2)
        return 0x3A3;
    if (c >= 0x3B1 && c <= 0x3CB)
        return c - 0x20;
    if (c == 0x3CC)
        return 0x38C;
    if (c == 0x3CD || c == 0x3CE)
        return c - 0x3F;
    if (c >= 0x430 && c <= 0x44F)
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    return c;
}

char32_t PimUnicode::ToLower(char32_t c)
{
    if (c >= U'A' && c <= U'Z')
        return c + 0x20;
    if (c < 0xC0)
        return c;
    if (c <= 0xDE)
        return c == 0xD7 ? c : c + 0x20;
    if (c == 0x178)
        return 0xFF;
    if (IsEvenCapitalRun(c))
        return c & 1 ? c : c + 1;
    if (IsOddCapitalRun(c))
        return c & 1 ? c + 1 : c;
    if (c == 0x386)
        return 0x3AC;
    if (c >= 0x388 && c <= 0x38A)
        return c + 0x25;
    if (c == 0x38C)
        return 0x3CC;
    if (c == 0x38E || c == 0x38F)
        return c + 0x3F;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2)
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    if (c >= 0x410 && c <= 0x42F)
        return c + 0x20;
    return c;
}
