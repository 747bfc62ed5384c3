#pragma once

#include "engine/PimKeyTable.h"

#include <array>
#include <cstdint>

// The desktop keyboard's state for one frame, indexed by the engine's key numbering
// (engine/PimKeyTable.h). Fed by PimInputTray from the window's events; main thread only.
//
// A key that goes down and up again between two frames (a quick tap on a slow frame) still reads
// as pressed for one frame: its release is held back until the next event batch starts.
class PimKeyboard
{
public:
    static constexpr int Released = 0;
    static constexpr int Pressed = 1;

    // Pressed (1) while the key is down, Released (0) otherwise and for codes outside the table.
    int KeyStatus(int key) const;
    bool IsDown(int key) const { return KeyStatus(key) == Pressed; }

    // A new batch of window events begins (once per frame, before the events are handed out):
    // releases held back from the previous batch take effect.
    void StartEventBatch();
    void PressKey(int key);
    void ReleaseKey(int key);
    // Every key up at once, held-back releases included (the window lost the keyboard focus).
    void ReleaseAll();

private:
    static bool IsInTable(int key) { return key >= 0 && key < PimKeyTable::Count; }

    std::array<std::uint8_t, PimKeyTable::Count> status{};
    // Keys that went down in the current batch, and keys whose release waits for the next one.
    std::array<bool, PimKeyTable::Count> downThisBatch{};
    std::array<bool, PimKeyTable::Count> releaseHeldBack{};
};
