#pragma once

#include "engine/PimColor.h"

#include <cstdint>

// The colour voxel (0xFF00 + index) whose menu colour (the engine's plain table, entries 0 to 254)
// lies nearest to a colour: the entry with the smallest distance below 1.0 (PimColor::GetDistance),
// the earliest on ties, and entry 0 when none is nearer than 1.0. Answers are kept per 24-bit
// colour for the whole run, so a picture costs at most one table scan per distinct colour.
//
// Main thread only (the cache has no lock); the plain table holds the same default colours for
// the whole run, so cached answers stay right.
namespace NearestPaletteColour
{
std::uint16_t VoxelFor(PimColor colour);
// Colours answered from the cache so far, for tests of the cache.
std::size_t CachedCount();
}
