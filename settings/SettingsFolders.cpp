#include "settings/SettingsFolders.h"

#include "engine/PimAssert.h"
#include "engine/PimContentFolder.h"
#include "engine/PimFile.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace
{
bool IsAbsolute(std::string_view path) { return !path.empty() && path.front() == '/'; }

// An environment variable holding an absolute path, or empty. The XDG rules ignore
// relative values.
std::string AbsoluteFromEnvironment(const char* name)
{
    const char* text = std::getenv(name);
    return text != nullptr && IsAbsolute(text) ? std::string(text) : std::string();
}

std::string FindHome()
{
    std::string home = AbsoluteFromEnvironment("HOME");
    if (!home.empty())
        return home;
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr && IsAbsolute(found->pw_dir))
        return found->pw_dir;
    return {};
}

// The folder that holds "Content": the engine's choice, beside the executable.
std::string ContentBase()
{
    const std::filesystem::path base = PimContentFolder::Get().parent_path();
    return base.empty() ? std::string(".") : base.string();
}

std::string_view TrimBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}
}

PimWString SettingsFolders::TemporaryFolder()
{
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    return PimWString::Widen(ec || folder.empty() ? std::string("/tmp") : folder.string());
}

PimWString SettingsFolders::ToProgramPath(std::wstring_view nativePath)
{
    PimWString path(nativePath);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

PimWString SettingsFolders::ParsePicturesDir(std::string_view userDirsText, std::wstring_view home)
{
    constexpr std::string_view key = "XDG_PICTURES_DIR";
    while (!userDirsText.empty())
    {
        const std::size_t end = userDirsText.find('\n');
        std::string_view line = TrimBlanks(userDirsText.substr(0, end));
        userDirsText = end == std::string_view::npos ? std::string_view() : userDirsText.substr(end + 1);

        if (!line.starts_with(key))
            continue;
        line = TrimBlanks(line.substr(key.size()));
        if (!line.starts_with('='))
            continue;
        line = TrimBlanks(line.substr(1));
        if (line.size() >= 2 && line.front() == '"' && line.back() == '"')
            line = line.substr(1, line.size() - 2);

        constexpr std::string_view homeVariable = "$HOME";
        if (line.starts_with(homeVariable))
        {
            const std::string_view rest = line.substr(homeVariable.size());
            if (rest.empty() || rest.front() == '/')
                return PimWString(home) + PimWString::Widen(rest);
        }
        else if (IsAbsolute(line))
        {
            return PimWString::Widen(line);
        }
        return {};
    }
    return {};
}

SettingsFolders SettingsFolders::FromBases(std::wstring_view contentBase, std::wstring_view localDataFolder,
                                           std::wstring_view picturesFolder)
{
    SettingsFolders folders;
    const PimWString content = ToProgramPath(contentBase) + L"\\Content\\";
    folders.textures = content + L"Graphics\\Textures\\";
    folders.shaders = content + L"Graphics\\Shaders\\";
    folders.sounds = content + L"Sound\\";
    folders.texts = content + L"Text\\";
    folders.fonts = content + L"Graphics\\Fonts\\";
    folders.voxelIcons = content + L"VoxelIcons\\";
    folders.licencesFile = content + L"Licences.txt";
    folders.picturesFolder = ToProgramPath(picturesFolder) + L"\\";
    folders.SetLocalDataFolder(localDataFolder);
    return folders;
}

void SettingsFolders::SetLocalDataFolder(std::wstring_view localDataFolder)
{
    userFolder = ToProgramPath(localDataFolder) + L"\\Quillot\\";
    savedGames = userFolder + L"SavedGames\\";
    recycleBin = userFolder + L"RecycleBin\\";
    models = savedGames + L"Models\\";
    updates = userFolder + L"Update\\";
}

SettingsFolders SettingsFolders::Locate()
{
    std::string home = FindHome();
    if (home.empty())
    {
        PimAssert::Assert(false, "SettingsFolders::Locate() - No home folder; using the temporary folder");
        home = TemporaryFolder().Narrow();
    }

    std::string dataFolder = AbsoluteFromEnvironment("XDG_DATA_HOME");
    if (dataFolder.empty())
        dataFolder = home + "/.local/share";

    std::string configFolder = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
    if (configFolder.empty())
        configFolder = home + "/.config";
    PimString userDirs;
    PimWString pictures;
    if (PimFile::ReadAllText(configFolder + "/user-dirs.dirs", userDirs))
        pictures = ParsePicturesDir(userDirs, PimWString::Widen(home));
    if (pictures.empty())
        pictures = PimWString::Widen(home + "/Pictures");

    return FromBases(PimWString::Widen(ContentBase()), PimWString::Widen(dataFolder), pictures);
}
