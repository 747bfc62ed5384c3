#include "engine/PimNativePath.h"

#include <string>

std::filesystem::path PimNativePath(std::string_view path)
{
    std::string text(path);
    for (char& c : text)
    {
        if (c == '\\' || c == '/')
            c = static_cast<char>(std::filesystem::path::preferred_separator);
    }
    return std::filesystem::path(text);
}
