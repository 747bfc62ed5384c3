#pragma once

#include "settings/GameSettings.h"

// The settings step of start-up: the settings singleton is created and the user settings file
// loaded. The program entry hands masterVolume to the sound system and firstStart to the main
// menu, which then opens the preferences page first.
// Main thread, once, before any page reads a setting.
struct StartupSettings
{
    // No settings file was read: the first start of the program for this user.
    bool firstStart = true;
    // "VolumeMaster", 0 to 1.
    float masterVolume = 0.0f;
};

StartupSettings LoadStartupSettings(GameSettings& settings);
// The same with the singleton.
StartupSettings LoadStartupSettings();
