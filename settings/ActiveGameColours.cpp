// The colour, palette and lock accessors of the active-game settings, and the application of
// the colour state to the colour tables.
#include "settings/GameSettingsActiveGame.h"

#include "settings/ActiveGameTemplates.h"

#include "colour/PaletteModel.h"

#include "engine/PimAssert.h"

#include <string>

namespace
{
bool IsPaletteSlot(int palette, int slot)
{
    return palette >= 0 && palette < PaletteModel::PaletteCount && slot >= 0 && slot < PaletteModel::PaletteSize;
}

std::string Numbered(const char* prefix, int number) { return prefix + std::to_string(number); }
}

std::uint8_t GameSettingsActiveGame::GetActivePalette() const
{
    return static_cast<std::uint8_t>(Item(Key::ActivePalette).GetUInt());
}

void GameSettingsActiveGame::SetActivePalette(std::uint8_t index)
{
    Item(Key::ActivePalette).SetUInt(index, ValueUse::Current);
}

std::uint16_t GameSettingsActiveGame::GetPaletteEntry(int palette, int slot) const
{
    if (!IsPaletteSlot(palette, slot))
        return NoPaletteEntry;
    const GameSettingItem& entry =
        Item(Key::Palettes).FindVectorItemByName(Numbered("Palette", palette)).FindVectorItemByName(Numbered("Vx", slot));
    return static_cast<std::uint16_t>(entry.GetUInt());
}

void GameSettingsActiveGame::SetPaletteEntry(int palette, int slot, std::uint16_t voxel)
{
    if (!IsPaletteSlot(palette, slot))
        return;
    coloursChanged = true;
    Item(Key::Palettes)
        .FindVectorItemByName(Numbered("Palette", palette))
        .FindVectorItemByName(Numbered("Vx", slot))
        .SetUInt(voxel, ValueUse::Current);
}

void GameSettingsActiveGame::SetColour(const PimColor& colour, std::uint8_t index)
{
    if (index >= PaletteModel::ColourCount)
    {
        PimAssert::Assert(false, "GameSettingsActiveGame::SetColour() - Colour index out of range");
        return;
    }
    PaletteModel::SetWorldColour(index, colour);
    std::vector<GameSettingItem>& colours = Item(Key::ActiveColors).GetChildren();
    if (index < colours.size())
        colours[index] = ActiveGameTemplates::ColourEntry(index, colour);
}

void GameSettingsActiveGame::SetColourLocked(bool lock, std::uint16_t index)
{
    if (!lockedMask.SetLocked(index, lock))
    {
        PimAssert::Assert(false, "GameSettingsActiveGame::SetColourLocked() - Colour index out of range");
        return;
    }
    const int word = index / 64;
    Item(Key::LockedColors).FindVectorItemByName(Numbered("L", word)).SetUInt64(lockedMask.words[word], ValueUse::Current);
}

PimColor GameSettingsActiveGame::GetFogColour() const
{
    const PimVector3 fog = Item(Key::FogColor).GetVector3();
    return PimColor::FromFloat3(fog.x, fog.y, fog.z);
}

void GameSettingsActiveGame::SetFogColour(const PimColor& colour)
{
    Item(Key::FogColor).SetVector3(colour.GetColorFloat3(), ValueUse::Current);
    PaletteModel::ApplyFogColour(colour);
}

void GameSettingsActiveGame::ApplyColourState()
{
    std::vector<PimColor> colours;
    for (const GameSettingItem& entry : Item(Key::ActiveColors).GetChildren())
    {
        colours.emplace_back(static_cast<std::uint8_t>(entry.FindVectorItemByName("R").GetUInt()),
                             static_cast<std::uint8_t>(entry.FindVectorItemByName("G").GetUInt()),
                             static_cast<std::uint8_t>(entry.FindVectorItemByName("B").GetUInt()));
    }
    PaletteModel::LoadWorldColours(colours);

    const GameSettingItem& lockWords = Item(Key::LockedColors);
    for (int w = 0; w < ColourLockMask::WordCount; ++w)
        lockedMask.words[w] = lockWords.FindVectorItemByName(Numbered("L", w)).GetUInt64();

    PaletteModel::ApplyFogColour(GetFogColour());
}
