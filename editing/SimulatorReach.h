#pragma once

class EditTarget;
class GameSettings;

// The desktop simulator's reach key (V) for a page where voxels are edited: the mouse hand moves
// along the pointer's ray so that the editor's cursor lands half a voxel in front of the first
// voxel (or blocking ground) under the pointer, up to 100 units away. Nothing happens without the
// simulator. The target and settings must outlive the installation: the page that installs it
// removes it (ClearSimulatorReach) before they go. Main thread.
void InstallSimulatorReach(EditTarget& target, const GameSettings& settings);
void ClearSimulatorReach();
