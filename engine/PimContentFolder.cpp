#include "engine/PimContentFolder.h"

#include "engine/PimFilePath.h"

#include <mutex>
#include <system_error>

namespace
{
// Guards the chosen folder: Set runs on the main thread, Get on any thread.
std::mutex folderMutex;
std::filesystem::path chosenFolder;

std::filesystem::path BesideExecutable()
{
    std::error_code ec;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || !executable.has_parent_path())
        return std::filesystem::path("Content");
    return executable.parent_path() / "Content";
}
}

std::filesystem::path PimContentFolder::Get()
{
    {
        std::lock_guard lock(folderMutex);
        if (!chosenFolder.empty())
            return chosenFolder;
    }
    static const std::filesystem::path defaultFolder = BesideExecutable();
    return defaultFolder;
}

std::filesystem::path PimContentFolder::Resolve(std::string_view relative)
{
    return Get() / PimFilePath(relative).Native().relative_path();
}

void PimContentFolder::Set(const std::filesystem::path& folder)
{
    std::lock_guard lock(folderMutex);
    chosenFolder = folder;
}
