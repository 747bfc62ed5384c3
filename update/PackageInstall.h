#pragma once

#include <string>

// Unpacks an installer archive (a gzip-compressed tar, read with libarchive) over the program's
// install folder. The whole archive is read once before anything is written, so a damaged archive
// changes nothing; entries with absolute paths, ".." or links leading out of the folder are
// refused (the archive is then not installed at all). Files are replaced whole: an entry is
// written beside the old file and renamed over it. Any thread, one install at a time.
namespace PackageInstall
{
struct Outcome
{
    bool installed = false;
    std::size_t files = 0;
    std::string message;
};

Outcome Install(const std::string& package, const std::string& installFolder);
}
