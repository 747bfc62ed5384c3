#pragma once

#include "engine/PimTexture.h"
#include "world/HeightMap.h"

#include <string>
#include <string_view>

// Pictures of a height map, one pixel per sample (x to the right, z downward), for looking at
// what a generator made. Samples at or below the water level are blue, brighter toward the level;
// land is brown, brighter with height up to 512; every 16th row and column is tinted red as a
// grid. Any thread may call these on maps it owns.
namespace HeightMapPicture
{
// An invalid texture for an empty map.
PimTexture Make(const HeightMap& map, float waterLevel);

// folder + "HMap" + step + ".png"; a separator is put after a folder that does not end in one.
std::string PathFor(std::string_view folder, std::string_view step);

// Writes Make's picture to PathFor(folder, step). False when the map is empty or the file
// cannot be written (a missing folder, for one).
bool Save(const HeightMap& map, float waterLevel, std::string_view folder, std::string_view step);
}
