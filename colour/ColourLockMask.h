#pragma once

#include <array>
#include <cstdint>

// Which of the 256 colour indices are locked against editing: bit (i mod 64) of word (i / 64)
// is colour i. The four words are stored as the settings "L0" to "L3".
// A plain value; the world's mask lives in the active-game settings (main thread).
struct ColourLockMask
{
    static constexpr int WordCount = 4;
    static constexpr int ColourCount = WordCount * 64;

    std::array<std::uint64_t, WordCount> words{};

    // Indices of 256 and above are never locked.
    bool IsLocked(int index) const
    {
        return InRange(index) && (words[index / 64] >> (index % 64) & 1u) != 0;
    }

    // Sets or clears the bit of index; false (and no change) for an index out of range.
    bool SetLocked(int index, bool locked)
    {
        if (!InRange(index))
            return false;
        const std::uint64_t bit = std::uint64_t(1) << (index % 64);
        words[index / 64] = locked ? words[index / 64] | bit : words[index / 64] & ~bit;
        return true;
    }

    static constexpr bool InRange(int index) { return index >= 0 && index < ColourCount; }
};
