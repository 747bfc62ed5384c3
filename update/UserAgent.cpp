#include "update/UserAgent.h"

#ifndef QUILLOT_DEVELOPMENT_USER_FOLDER
#define QUILLOT_DEVELOPMENT_USER_FOLDER ""
#endif

namespace
{
std::string_view WithoutTrailingSlash(std::string_view folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.remove_suffix(1);
    return folder;
}
}

std::string UserAgent::For(std::string_view userFolder, std::string_view developmentFolder)
{
    const bool development =
        !developmentFolder.empty() && WithoutTrailingSlash(userFolder) == WithoutTrailingSlash(developmentFolder);
    return std::string(development ? kDevelopment : kPlain);
}

std::string UserAgent::ForThisBuild(std::string_view userFolder)
{
    return For(userFolder, QUILLOT_DEVELOPMENT_USER_FOLDER);
}
