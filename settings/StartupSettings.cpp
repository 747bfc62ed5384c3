#include "settings/StartupSettings.h"

StartupSettings LoadStartupSettings(GameSettings& settings)
{
    settings.Load();
    return {!settings.IsLoadedFromFile(), settings.GetVolumeMaster()};
}

StartupSettings LoadStartupSettings() { return LoadStartupSettings(GameSettings::GetInstance()); }
