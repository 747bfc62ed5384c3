#pragma once

#include <filesystem>
#include <string_view>

// The program's "Content" folder (shaders, fonts, textures, sounds), which lies beside the
// executable so that the program runs from any working directory. The build links a Content
// folder beside every executable that needs one (see cmake/QuillotContent.cmake).
//
// The engine reads its own shaders from Get() / "Graphics" / "Shaders". Main thread only for
// Set; Get may be called from any thread once the folder has been chosen.
class PimContentFolder
{
public:
    // The folder "Content" beside the running executable (/proc/self/exe), or the one chosen with
    // Set. When the executable's folder cannot be read, "Content" in the working directory.
    static std::filesystem::path Get();
    // A file inside the content folder; `relative` may use "\\" or "/".
    static std::filesystem::path Resolve(std::string_view relative);
    // Uses another folder from now on (tools and tests); an empty path returns to the default.
    static void Set(const std::filesystem::path& folder);
};
