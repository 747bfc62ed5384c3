#pragma once

#include "settings/GameSettingItem.h"

#include "colour/PaletteModel.h"

#include "engine/PimColor.h"

// The composite entries of the active-game settings, each built with its defaults and reset
// to them: the groups' definition and SetColour build entries the same way.
namespace ActiveGameTemplates
{
// "C<index>" with R, G, B (UInt, 0 to 255) defaulting to the colour.
GameSettingItem ColourEntry(int index, const PimColor& colour);
// "Palette<palette>" with Vx0 to Vx15 (UInt) defaulting to the values.
GameSettingItem Palette(int palette, const PaletteModel::Palette& values);
// "RefImage<image>": Enabled, Path, Locked, Loc, Orient (16 Floats "0" to "15", the identity
// row by row) and Scale (1.0, 0.1 to 10).
GameSettingItem ReferenceImage(int image);
}
