#pragma once

#include "tests/support/SettingsFixture.h"

#include "engine/PimVoxelGrid.h"

// Settings in a temporary folder, with helpers that mark and read the engine's colour tables.
class EngineTablesFixture : public SettingsFixture
{
protected:
    static constexpr PimColor Marker = PimColor(1, 1, 1, 1);

    // Puts the marker colour in every entry of one engine table, so a test sees what was written.
    static void MarkTable(bool special)
    {
        for (int i = 0; i < 256; ++i)
            PimVoxelGrid::SetColorDefinition(static_cast<std::uint8_t>(i), Marker, special);
    }
    static PimColor Plain(int index) { return PimVoxelGrid::GetColorDefinition(static_cast<std::uint8_t>(index), false); }
    static PimColor Special(int index) { return PimVoxelGrid::GetColorDefinition(static_cast<std::uint8_t>(index), true); }
};
