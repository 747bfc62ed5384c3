#pragma once

class GameSettings;

// Whether the first-time tutorial is still running, and finishing it. The tutorial runs until
// its first part has been completed ("TutorialOne"); pages that can end it early (leaving a
// world from the in-game menu) mark it done here, so the guide is not shown again. Main thread
// only.
namespace TutorialProgress
{
bool IsRunning(const GameSettings& settings);
// Marks the first tutorial completed and asks the next settings save to write it.
void Finish(GameSettings& settings);
}
