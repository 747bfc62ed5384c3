#include "colour/EngineColourTables.h"

#include <utility>

namespace
{
// Main thread only.
EngineColourTables::ColourSink colourSinkFunction;
EngineColourTables::FogSink fogSinkFunction;
}

void EngineColourTables::SetSinks(ColourSink colourSink, FogSink fogSink)
{
    colourSinkFunction = std::move(colourSink);
    fogSinkFunction = std::move(fogSink);
}

void EngineColourTables::SetColourDefinition(std::uint8_t index, const PimColor& colour, bool special)
{
    if (colourSinkFunction)
        colourSinkFunction(index, colour, special);
}

void EngineColourTables::SetFogColour(const PimColor& colour)
{
    if (fogSinkFunction)
        fogSinkFunction(colour);
}
