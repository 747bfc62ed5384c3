#pragma once

#include "engine/PimWString.h"
#include "engine/PimXMLWIndex.h"

#include <array>
#include <cstdint>
#include <string_view>

// The keyboard control map: two invert flags and sixteen key codes in the engine's key
// numbering. It is stored in the user settings file and read back; nothing acts on it yet.
// Main thread only.
struct ControlMap
{
    static constexpr int KeyCount = 16;
    // W, S, left shift, space, A, D, Q, E, tab, escape, P, F, G, backslash, page down, page up.
    static constexpr std::array<std::int32_t, KeyCount> DefaultKeys = {87, 83, 340, 32, 65, 68, 81, 69,
                                                                       258, 256, 80, 70, 71, 92, 267, 266};

    bool invertX = false;
    bool invertY = false;
    std::array<std::int32_t, KeyCount> keys = DefaultKeys;
    // Forces the user settings to be written; set at construction and by a load without a
    // file, never cleared.
    bool controlMapChanged = true;

    // Default flags and keys; controlMapChanged set.
    void ResetToDefaults();
    // "<InvertX>0</InvertX><InvertY>0</InvertY><0>87</0>" ... "<15>266</15>".
    PimWString ToXml() const;
    // Reads the data of a ControlMap element (the part data of an indexed text). An absent
    // invert flag is false; an absent or empty key element, or one that is no integer, keeps
    // the default code of its key.
    void ReadXml(const PimXMLWIndex& elements, PimXMLWIndex::Span data);
};
