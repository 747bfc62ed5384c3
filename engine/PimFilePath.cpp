#include "engine/PimFilePath.h"

#include "engine/PimUnicode.h"

#include <algorithm>

namespace
{
std::filesystem::path FromUtf8(std::string_view utf8)
{
    std::u8string text(utf8.begin(), utf8.end());
    const char8_t separator = static_cast<char8_t>(std::filesystem::path::preferred_separator);
    std::replace_if(text.begin(), text.end(), [](char8_t c) { return c == u8'\\' || c == u8'/'; }, separator);
    std::filesystem::path path(std::move(text));
    while (path.has_relative_path() && !path.has_filename())
        path = path.parent_path();
    return path;
}
}

PimFilePath::PimFilePath(const char* utf8) : native(FromUtf8(utf8 ? std::string_view(utf8) : std::string_view())) {}
PimFilePath::PimFilePath(const std::string& utf8) : native(FromUtf8(utf8)) {}
PimFilePath::PimFilePath(std::string_view utf8) : native(FromUtf8(utf8)) {}
PimFilePath::PimFilePath(const wchar_t* text)
    : native(FromUtf8(PimUnicode::WideToUtf8(text ? std::wstring_view(text) : std::wstring_view())))
{
}
PimFilePath::PimFilePath(const std::wstring& text) : native(FromUtf8(PimUnicode::WideToUtf8(text))) {}
PimFilePath::PimFilePath(std::wstring_view text) : native(FromUtf8(PimUnicode::WideToUtf8(text))) {}

PimFilePath PimFilePath::FromNative(std::filesystem::path path)
{
    PimFilePath result;
    result.native = std::move(path);
    return result;
}
