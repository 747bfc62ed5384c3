#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A path as the program writes it, taken by every PimFile operation: wide text, or narrow
// text in UTF-8, with "\\" or "/" between its parts. Both separators become the platform's,
// so "C:\\Models\\" and "/home/u/Models/" both work where they make sense. Trailing
// separators are dropped ("Models\\" names the folder Models), except on a root.
// On Linux a backslash can therefore never be part of a file name handled by PimFile.
// Implicit from every text type (PimString and PimWString included).
class PimFilePath
{
public:
    PimFilePath(const char* utf8);
    PimFilePath(const std::string& utf8);
    PimFilePath(std::string_view utf8);
    PimFilePath(const wchar_t* text);
    PimFilePath(const std::wstring& text);
    PimFilePath(std::wstring_view text);

    // A path exactly as the operating system gave it (a listing's entry), separators and name
    // bytes untouched.
    static PimFilePath FromNative(std::filesystem::path path);

    const std::filesystem::path& Native() const { return native; }

private:
    PimFilePath() = default;

    std::filesystem::path native;
};
