#pragma once

#include "engine/PimWString.h"

#include <cstdint>
#include <filesystem>

// One entry of a folder listing (PimFile::GetFileList, PimFile::GetDirectoryList).
struct PimFileListing
{
    // The entry's name inside its folder, without any path.
    PimWString name;
    // Last modification in nanoseconds since 1970-01-01 UTC; a larger value is newer.
    std::int64_t time = 0;
    // The entry's path as the operating system spells it (PimFilePath::FromNative): the way to
    // reach an entry whose name on disk is not UTF-8.
    std::filesystem::path native;
    // False when the name on disk is not UTF-8; `name` then holds U+FFFD in its place and cannot
    // be used to open the entry.
    bool nameIsUtf8 = true;
    // A regular file or a link to one. Only GetEntryList lists other kinds.
    bool isRegularFile = true;
};
