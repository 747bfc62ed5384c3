#pragma once

#include "tests/support/TempFolder.h"

#include "settings/GameSettings.h"

#include "engine/PimAssert.h"
#include "engine/PimFile.h"

#include <gtest/gtest.h>

#include <memory>

// Settings whose folders all lie in a temporary folder: content and pictures under it, the
// user folder under its "data" folder.
class SettingsFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PimAssert::ResetFailureCount();
        settings = std::make_unique<GameSettings>(Folders());
    }

    SettingsFolders Folders() const
    {
        return SettingsFolders::FromBases(temp.Wide(), temp.Wide() + L"/data", temp.Wide() + L"/Pictures");
    }

    // Settings made afresh over the same folders, as at the next start of the program.
    std::unique_ptr<GameSettings> Restart() const { return std::make_unique<GameSettings>(Folders()); }

    PimString ReadSettingsFile() const
    {
        PimString text;
        PimFile::ReadAllText(settings->GetSettingsFilePath(), text);
        return text;
    }

    void WriteSettingsFile(std::wstring_view text) const
    {
        PimFile::MakeDirectory(settings->GetFolders().savedGames);
        ASSERT_TRUE(PimFile::WriteString(settings->GetSettingsFilePath(), text, false));
    }

    TempFolder temp;
    std::unique_ptr<GameSettings> settings;
};
