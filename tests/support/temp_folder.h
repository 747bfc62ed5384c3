#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

// A fresh, empty folder under the temporary folder, removed when the test ends.
class TempFolder
{
public:
    explicit TempFolder(const std::string& name)
        : path(std::filesystem::temp_directory_path() / ("quillot-" + name + "-" + std::to_string(::getpid())))
    {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::filesystem::path operator/(const std::string& name) const { return path / name; }
    const std::filesystem::path path;
};
