#pragma once

#include "engine/PimWString.h"

#include <cstddef>
#include <functional>
#include <string_view>

// Reading a settings file from disk, the user's or a world's. The file may be anything a
// user's disk holds: it is read only when it is a regular file no larger than any settings file
// the program writes, and a file that cannot be used (too large, unreadable, empty or holding
// no setting) is renamed to "settings.set.unreadable" (or ".unreadable2", ... never over an
// earlier one) before the next save could replace it, with one line on standard error.
//
// Main thread (start-up and the opening of a world).
namespace SettingsFile
{
// Above the largest file the program writes: the longest texts (four of
// GameSettingItem::DefaultMaxLength characters, written as up to five bytes each) and every
// other setting at its longest come to about 700 KB.
constexpr std::size_t MaxBytes = 1024 * 1024;
constexpr std::string_view UnreadableSuffix = ".unreadable";

enum class Outcome
{
    Read,     // the file was read into the settings
    Missing,  // there is no file
    Unusable, // a file is there but gave no settings; it was put aside when it could be
};

// Reads the file at path through readText, which reads a settings text into the settings and
// says whether it held any setting. owner names the caller in the messages.
Outcome Load(const PimWString& path, std::string_view owner, const std::function<bool(std::wstring_view)>& readText);
}
