#pragma once

#include "engine/PimFilePath.h"

#include <filesystem>
#include <string_view>

// Putting a file that cannot be used out of the way of the writers, without losing it: it is
// renamed to the first free name of the form path + suffix, then path + suffix + "2", "3", ...
// so that an earlier file put aside is never written over. Works on the names as the disk spells
// them (PimFilePath::FromNative), so a name that is not UTF-8 moves too.
//
// Any thread; two threads putting the same path aside at once may both pick one free name.
namespace PimFileAside
{
// Names tried before giving up.
constexpr int kMaxNames = 100;

// The attempt-th name tried for path (1 for path + suffix, then path + suffix + "2", ...).
std::filesystem::path NameFor(const std::filesystem::path& path, std::string_view suffix, int attempt);
// True when anything holds the name, a dangling link included.
bool IsTaken(const std::filesystem::path& path);

// The path the file (or folder, or link) was moved to; empty when it could not be moved (no
// free name among the first hundred, or the move failed), and it is then where it was.
std::filesystem::path MoveToFreeName(const PimFilePath& path, std::string_view suffix);
}
