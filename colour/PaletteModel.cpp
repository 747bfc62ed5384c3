#include "colour/PaletteModel.h"

#include "engine/PimAssert.h"
#include "engine/PimVoxelGrid.h"

#include <algorithm>

namespace
{
const PimColor White(255, 255, 255);

// Main thread only (see PaletteModel).
std::vector<PimColor> defaultColours;
std::vector<PimColor> worldColours;

std::uint8_t TruncateToByte(float level) { return static_cast<std::uint8_t>(level); }
}

const std::array<PaletteModel::Palette, PaletteModel::PaletteCount>& PaletteModel::DefaultPalettes()
{
    static const std::array<Palette, PaletteCount> palettes = {{
        {0xFFF8, 0xFF69, 0xFF55, 0xFF4B, 0xFFB3, 0xFFEF, 0xFF4F, 0xFF0F,
         0xFF38, 0xFF00, 0xFF6E, 0xFF6C, 0xFFA9, 0xFFD6, 0xFFEB, 0xFF29},
        {0xFF79, 0xFFEF, 0xFF0F, 0xFF3F, 0xFFE9, 0xFFBE, 0xFF23, 0xFF2B,
         0xFFB7, 0xFFE6, 0xFFCB, 0xFF5E, 0xFF50, 0xFFFB, 0xFFB6, 0x009A},
        {0xFF0F, 0xFF1F, 0xFF2F, 0xFF3F, 0xFF4F, 0xFF5F, 0xFF6F, 0xFF7F,
         0xFF8F, 0xFF9F, 0xFFAF, 0xFFBF, 0xFFCF, 0xFFDF, 0xFFEF, 0xFFFA},
    }};
    return palettes;
}

std::vector<PimColor> PaletteModel::BuildDefaultColours()
{
    std::vector<PimColor> colours(ColourCount);

    // Three blocks of five columns per row: block b holds its row level in channel b, a level
    // falling over the columns in the channel before it and one rising in the channel after.
    // The levels are computed in float and truncated, as the stored colours always were.
    for (int block = 0; block < 3; ++block)
    {
        for (int row = 0; row < 16; ++row)
        {
            for (int column = 0; column < 5; ++column)
            {
                const int index = 16 * row + 5 * block + column;
                if (index >= ColourCount)
                    continue;
                std::uint8_t channels[3];
                channels[block] = TruncateToByte(static_cast<float>(16 - row) * 0.0625f * 255.0f);
                channels[(block + 2) % 3] = TruncateToByte(static_cast<float>(5 - column) / 5.0f * 255.0f);
                channels[(block + 1) % 3] = TruncateToByte(static_cast<float>(column) / 5.0f * 255.0f);
                colours[index] = PimColor(channels[0], channels[1], channels[2], 255);
            }
        }
    }
    // The last column of rows 0 to 14 is a grey; row 15 would need index 255, which does not exist.
    for (int k = 1; k <= 15; ++k)
    {
        const std::uint8_t level = TruncateToByte(255.0f / static_cast<float>(k));
        colours[16 * (k - 1) + 15] = PimColor(level, level, level);
    }
    return colours;
}

void PaletteModel::ApplyDefaultColours()
{
    if (defaultColours.empty())
    {
        defaultColours = BuildDefaultColours();
        for (const PimColor& colour : defaultColours)
        {
            if (worldColours.size() >= ColourCount)
                break;
            worldColours.push_back(colour);
        }
    }
    for (int i = 0; i < ColourCount; ++i)
        PimVoxelGrid::SetColorDefinition(static_cast<std::uint8_t>(i), defaultColours[i], false);
}

const std::vector<PimColor>& PaletteModel::GetDefaultColours() { return defaultColours; }

PimColor PaletteModel::GetDefaultColour(int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < defaultColours.size() ? defaultColours[index] : White;
}

PimColor PaletteModel::GetWorldColour(int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < worldColours.size() ? worldColours[index] : White;
}

void PaletteModel::SetWorldColour(int index, const PimColor& colour)
{
    if (index < 0 || index >= ColourCount)
    {
        PimAssert::Assert(false, "PaletteModel::SetWorldColour() - No such colour index");
        return;
    }
    if (worldColours.size() < ColourCount)
        worldColours.resize(ColourCount, White);
    worldColours[index] = colour;
    PimVoxelGrid::SetColorDefinition(static_cast<std::uint8_t>(index), colour, true);
}

void PaletteModel::LoadWorldColours(const std::vector<PimColor>& colours)
{
    worldColours.assign(colours.begin(), colours.begin() + std::min<std::size_t>(colours.size(), ColourCount));
    worldColours.resize(ColourCount, White);
    for (int i = 0; i < ColourCount; ++i)
        PimVoxelGrid::SetColorDefinition(static_cast<std::uint8_t>(i), worldColours[i], true);
}

void PaletteModel::ApplyFogColour(const PimColor& colour) { PimVoxelGrid::fogColor = colour; }

std::vector<std::uint16_t> PaletteModel::GetSelectableValues()
{
    static const std::vector<std::uint16_t> values = [] {
        std::vector<std::uint16_t> list;
        list.reserve(ColourCount + 3);
        for (int i = 0; i < ColourCount; ++i)
            list.push_back(ColourVoxel(static_cast<std::uint8_t>(i)));
        list.insert(list.end(), {154, 131, 3560});
        return list;
    }();
    return values;
}
