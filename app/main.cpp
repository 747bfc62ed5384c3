#include "app/CrashReport.h"
#include "app/SceneSetup.h"

#include "settings/GameSettings.h"
#include "settings/SettingsFolders.h"

#include "engine/PimFilePath.h"
#include "engine/PimSystem.h"

// The program: crash reporting, the engine's start, the scene, then the engine's frame loop until
// the user quits (the window closed or the program's exit). Nothing is torn down at exit.
int main()
{
    const SettingsFolders folders = SettingsFolders::Locate();
    InstallCrashReporting(PimFilePath(folders.userFolder + L"Crashes").Native().string());

    const PimSystemParameters parameters = MakeStartParameters(folders);
    if (!PimSystem::Initialize(parameters))
        return 1;
    const QuillotScene scene = SetUpScene(GameSettings::GetInstance());
    PimSystem::Run();
    return 0;
}
