#include "settings/SettingsFile.h"

#include "engine/PimAssert.h"
#include "engine/PimFile.h"
#include "engine/PimFileAside.h"

#include <filesystem>
#include <string>
#include <vector>

namespace
{
// Moves the file aside and says so, with why it could not be used.
void SetAside(const PimWString& path, std::string_view owner, std::string_view why)
{
    const std::filesystem::path aside = PimFileAside::MoveToFreeName(path, SettingsFile::UnreadableSuffix);
    std::string message = std::string(owner) + " - The settings file " +
                          PimFilePath(path).Native().filename().string() + " " + std::string(why) + "; ";
    message += aside.empty() ? "it cannot be moved aside and may be replaced by the next save"
                             : "it is kept as " + aside.string();
    PimAssert::Assert(false, message + ", and the defaults are used");
}
}

SettingsFile::Outcome SettingsFile::Load(const PimWString& path, std::string_view owner,
                                         const std::function<bool(std::wstring_view)>& readText)
{
    std::vector<std::uint8_t> bytes;
    switch (PimFile::ReadRegularFile(path, bytes, MaxBytes))
    {
    case PimFile::ReadOutcome::Missing:
        return Outcome::Missing;
    case PimFile::ReadOutcome::NotRegular:
        // A folder or a device is left where it is: the next save fails on it, and says so.
        PimAssert::Assert(false, std::string(owner) + " - The settings file cannot be read; using defaults");
        return Outcome::Unusable;
    case PimFile::ReadOutcome::TooLarge:
        SetAside(path, owner, "is larger than any settings file");
        return Outcome::Unusable;
    case PimFile::ReadOutcome::Failed:
        SetAside(path, owner, "cannot be read");
        return Outcome::Unusable;
    case PimFile::ReadOutcome::Read:
        break;
    }
    if (!readText(PimWString::Widen(PimFile::DecodeText(bytes))))
    {
        SetAside(path, owner, bytes.empty() ? "is empty" : "holds no setting");
        return Outcome::Unusable;
    }
    return Outcome::Read;
}
