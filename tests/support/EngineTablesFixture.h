#pragma once

#include "tests/support/SettingsFixture.h"

#include "colour/EngineColourTables.h"

#include <array>

// Settings in a temporary folder, with the engine's colour tables and fog colour recorded.
// The counters start at zero after the settings were made.
class EngineTablesFixture : public SettingsFixture
{
protected:
    void SetUp() override
    {
        EngineColourTables::SetSinks(
            [this](std::uint8_t index, const PimColor& colour, bool special) {
                (special ? specialTable : plainTable)[index] = colour;
                ++(special ? specialWrites : plainWrites);
            },
            [this](const PimColor& colour) {
                fog = colour;
                ++fogWrites;
            });
        SettingsFixture::SetUp();
        plainWrites = specialWrites = fogWrites = 0;
    }
    void TearDown() override { EngineColourTables::SetSinks(nullptr, nullptr); }

    std::array<PimColor, 256> plainTable{};
    std::array<PimColor, 256> specialTable{};
    int plainWrites = 0;
    int specialWrites = 0;
    PimColor fog;
    int fogWrites = 0;
};
