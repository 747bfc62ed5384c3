#pragma once

#include "engine/PimColor.h"

#include <cstdint>
#include <functional>

// Where the palette model's colours reach the engine: the voxel grid's two colour-definition
// tables (plain for menu rooms, special for world chunks) and its fog colour.
//
// The engine's voxel grid connects itself through SetSinks; until it does, writes go nowhere.
// Tests connect their own sinks to observe the writes. Main thread only.
namespace EngineColourTables
{
using ColourSink = std::function<void(std::uint8_t index, const PimColor& colour, bool special)>;
using FogSink = std::function<void(const PimColor& colour)>;

// Replaces both sinks; an empty function drops its writes. Returns nothing: the previous
// sinks are gone.
void SetSinks(ColourSink colourSink, FogSink fogSink);

void SetColourDefinition(std::uint8_t index, const PimColor& colour, bool special);
void SetFogColour(const PimColor& colour);
}
