#pragma once

#include "engine/PimWString.h"

#include <cstdint>

// One entry of a folder listing (PimFile::GetFileList, PimFile::GetDirectoryList).
struct PimFileListing
{
    // The entry's name inside its folder, without any path.
    PimWString name;
    // Last modification in nanoseconds since 1970-01-01 UTC; a larger value is newer.
    std::int64_t time = 0;
};
