#pragma once

#include <filesystem>
#include <string_view>

// The program writes its folder strings with "\\" as separator; this turns such a path (or one
// with "/") into the platform's own form. Any thread may call it.
std::filesystem::path PimNativePath(std::string_view path);
