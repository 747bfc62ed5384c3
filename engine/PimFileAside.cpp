#include "engine/PimFileAside.h"

#include "engine/PimFile.h"
#include "engine/PimFilePath.h"

#include <filesystem>

namespace
{
constexpr int kMaxAsideNames = 100;

// Taken by anything, a dangling link included, so that nothing is renamed over it.
bool NameIsTaken(const PimWString& path)
{
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(PimFilePath(path).Native(), ec));
}
}

PimWString PimFileAside::MoveToFreeName(const PimWString& path, std::wstring_view suffix)
{
    for (int attempt = 1; attempt <= kMaxAsideNames; ++attempt)
    {
        PimWString aside = path + PimWString(suffix);
        if (attempt > 1)
            aside += PimWString::FromLongInt(attempt);
        if (!NameIsTaken(aside))
            return PimFile::FileMove(path, aside) ? aside : PimWString();
    }
    return {};
}
