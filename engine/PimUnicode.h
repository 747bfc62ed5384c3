#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Unicode code points behind the engine's text types: UTF-8 coding for narrow text, UTF-16 or
// UTF-32 coding for wide text (whichever the platform's wchar_t holds), and simple case mapping.
// Malformed input never stops a conversion: each malformed sequence becomes one U+FFFD.
// Stateless; any thread may call.
namespace PimUnicode
{
inline constexpr char32_t replacementCharacter = 0xFFFD;

// One code point read from UTF-8 text. A malformed sequence gives valid = false,
// codePoint = U+FFFD and the length of its longest well-formed prefix (at least 1), so
// decoding resumes at the next byte that could start a character.
struct Utf8Character
{
    char32_t codePoint;
    std::size_t length;
    bool valid;
};

// position must lie inside text.
Utf8Character DecodeUtf8(std::string_view text, std::size_t position);
void AppendUtf8(std::string& out, char32_t codePoint);

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// Bytes of UTF-16 text (no byte order mark) to UTF-8; an odd last byte becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

// Simple one-to-one case mapping for Latin (ASCII, Latin-1, Latin Extended-A), Greek and
// Cyrillic letters; every other code point maps to itself.
char32_t ToUpper(char32_t codePoint);
char32_t ToLower(char32_t codePoint);
}
