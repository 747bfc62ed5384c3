#pragma once

#include "world/WorldParameters.h"
#include "world/WorldSetup.h"

#include "engine/PimVector3.h"

class GameSettings;

// The island world the world benchmarks stream and save: a 7040 x 7040 island, and 20 region
// files of its terrain (4 x 5 regions of the lowest layer around the start) stored as a saved
// world would hold them.
namespace IslandWorld
{
constexpr int kStoredRegions = 20;

WorldParameterList Parameters();

// Where the world page puts the player of a new world: the centre column, two voxels above its
// height-map sample.
PimVector3 StartPosition(const WorldSetup& setup);

// Stores the terrain of the regions around the start as region files of the world named in the
// settings; prints how many were written and the bytes their chunk copies hold.
void WriteStoredRegions(GameSettings& settings, const WorldSetup& setup);
}
