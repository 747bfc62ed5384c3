#include "engine/PimFileAside.h"

#include "engine/PimFile.h"

#include <string>

namespace
{
constexpr int kMaxAsideNames = 100;

// Taken by anything, a dangling link included, so that nothing is renamed over it.
bool NameIsTaken(const std::filesystem::path& path)
{
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}
}

std::filesystem::path PimFileAside::MoveToFreeName(const PimFilePath& path, std::string_view suffix)
{
    for (int attempt = 1; attempt <= kMaxAsideNames; ++attempt)
    {
        std::filesystem::path aside = path.Native();
        aside += std::string(suffix);
        if (attempt > 1)
            aside += std::to_string(attempt);
        if (!NameIsTaken(aside))
            return PimFile::FileMove(path, PimFilePath::FromNative(aside)) ? aside : std::filesystem::path();
    }
    return {};
}
