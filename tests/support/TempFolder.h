#pragma once

#include "engine/PimWString.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes. Tests put every file they write here, never in the user's home.
class TempFolder
{
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillot-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ec;
        if (!path.empty())
            std::filesystem::remove_all(path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path; }
    PimWString Wide() const { return PimWString::Widen(path.string()); }

private:
    std::filesystem::path path;
};

// Sets an environment variable (or removes it, for nullopt) and restores it when it goes.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char* nameIn, std::optional<std::string> value) : name(nameIn)
    {
        if (const char* old = std::getenv(name))
            previous = old;
        Apply(value);
    }
    ~ScopedEnvironment() { Apply(previous); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void Apply(const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }

    const char* name;
    std::optional<std::string> previous;
};
