#include "pages/TutorialProgress.h"

#include "settings/GameSettings.h"

bool TutorialProgress::IsRunning(const GameSettings& settings)
{
    return !settings.GetTutorialOne();
}

void TutorialProgress::Finish(GameSettings& settings)
{
    settings.SetTutorialOne(true);
    settings.saveRequested = true;
}
