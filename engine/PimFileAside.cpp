#include "engine/PimFileAside.h"

#include "engine/PimFile.h"

#include <string>

std::filesystem::path PimFileAside::NameFor(const std::filesystem::path& path, std::string_view suffix, int attempt)
{
    std::filesystem::path aside = path;
    aside += std::string(suffix);
    if (attempt > 1)
        aside += std::to_string(attempt);
    return aside;
}

bool PimFileAside::IsTaken(const std::filesystem::path& path)
{
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

std::filesystem::path PimFileAside::MoveToFreeName(const PimFilePath& path, std::string_view suffix)
{
    for (int attempt = 1; attempt <= kMaxNames; ++attempt)
    {
        const std::filesystem::path aside = NameFor(path.Native(), suffix, attempt);
        if (!IsTaken(aside))
            return PimFile::FileMove(path, PimFilePath::FromNative(aside)) ? aside : std::filesystem::path();
    }
    return {};
}
