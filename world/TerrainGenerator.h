#pragma once

#include "world/WorldParameters.h"
#include "world/WorldSetup.h"

#include <cstdint>
#include <string_view>

// What one generation did.
struct TerrainOutcome
{
    // A generator ran and the height map has samples. False for an unknown terrain type or a
    // width or depth below 32 voxels: the record is then left with empty maps.
    bool built = false;
    int picturesSaved = 0;
    int pictureFailures = 0;
};

// Builds a world's height map (and, for the rolling and island types, its preview maps and
// preview pictures) from a parameter list, by the terrain type (identifier 0, truncated):
// 0 rolling hills on a round island, 1 flat, 2 a high island; any other type builds nothing.
//
// The record first takes the list; its sizes, world height, water level and maps are reset, and
// its random figures restart from its seed, so the same seed and list give the same maps.
//
// pictureFolder: when not empty, each named step of the rolling and island generators writes the
// height map as it stands to pictureFolder + "HMap" + step + ".png" (HeightMapPicture), for
// looking at how a terrain came about. Pictures that cannot be written are counted and skipped.
//
// Main thread, before the world that uses the record is created.
TerrainOutcome GenerateTerrain(WorldSetup& setup, const WorldParameterList& parameters, std::string_view pictureFolder = {});

// Height of every sample of the second preview map.
inline constexpr std::uint16_t kSecondPreviewHeight = 5;

// Draws one preview map anew and remakes its picture: preview 0 gets the two wavy shore lines
// (drawing from the record's random figures), any other index preview 1, filled with
// kSecondPreviewHeight. The pictures follow the record's water level as it is now. Main thread.
void RegeneratePreview(WorldSetup& setup, int index);
