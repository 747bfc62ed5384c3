#pragma once

#include "engine/PimColor.h"

#include <array>
#include <cstdint>
#include <vector>

// The colour tables of the program and the voxel values that name colours.
//
// A voxel value of 65280 (0xFF00) or more is a colour voxel whose colour index is the value
// minus 65280 (0 to 254 in use); a value below it is a textured voxel code. Colours are
// defined in these tables:
// - the default table: 255 colours built once (rows of hues fading to dark, with greys);
// - the world table: the colours of the world being played, a copy of the default table
//   until a world's settings replace it;
// - the engine's two colour-definition tables (PimVoxelGrid::SetColorDefinition): the plain one
//   for menu rooms (always the default colours) and the special one for world chunks (the world
//   colours).
// The world's colours, palettes and locks are stored in the active-game settings, whose
// accessors (GameSettingsActiveGame) keep these tables in step.
//
// Main thread only, except GetSelectableValues, which any thread may call.
class PaletteModel
{
public:
    static constexpr int ColourCount = 255;
    static constexpr std::uint16_t ColourVoxelBase = 0xFF00;
    static constexpr int PaletteCount = 3;
    static constexpr int PaletteSize = 16;

    using Palette = std::array<std::uint16_t, PaletteSize>;
    static const std::array<Palette, PaletteCount>& DefaultPalettes();

    static constexpr bool IsColourVoxel(std::uint16_t voxel) { return voxel >= ColourVoxelBase; }
    static constexpr std::uint16_t ColourVoxel(std::uint8_t index) { return ColourVoxelBase + index; }

    // Builds the default table the first time (filling the world table from it while that
    // holds fewer than 255 colours) and writes the 255 default colours to the engine's plain
    // table every time.
    static void ApplyDefaultColours();

    // The default table: empty until the first ApplyDefaultColours, then 255 colours.
    static const std::vector<PimColor>& GetDefaultColours();
    // A default colour; white for an index beyond the table (255 has no entry).
    static PimColor GetDefaultColour(int index);

    // A world colour; white for an index beyond the table (255 has no entry).
    static PimColor GetWorldColour(int index);
    // Replaces a world colour and its definition in the engine's special table. Index 255
    // and beyond are refused (reported, nothing changes).
    static void SetWorldColour(int index, const PimColor& colour);
    // Replaces the world table (the first 255 colours given; missing ones become white) and
    // writes every world colour to the engine's special table.
    static void LoadWorldColours(const std::vector<PimColor>& colours);
    // The engine's fog colour of world chunks (PimVoxelGrid::fogColor).
    static void ApplyFogColour(const PimColor& colour);

    // The swatches offered for palettes: the 255 colour voxels in index order, then the
    // textured codes 154, 131 and 3560; 258 values. A copy.
    static std::vector<std::uint16_t> GetSelectableValues();

    // The default table as built from its rule, without touching any table.
    static std::vector<PimColor> BuildDefaultColours();
};
