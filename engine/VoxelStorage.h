#pragma once

#include "engine/VoxelArrayStock.h"

#include <cstddef>
#include <cstdint>

// The codes of one 32 x 32 x 32 chunk. A chunk whose voxels all hold one value keeps only that
// value (no array): most chunks of a streamed world are air or solid ground. The first write of a
// different value takes the full array from the VoxelArrayStock; Compact returns to the single
// value when the array turns out uniform, giving the array back to the stock. Not synchronised:
// the owning chunk's voxel lock guards it.
class VoxelStorage
{
public:
    static constexpr int kSide = 32;
    static constexpr int kCount = kSide * kSide * kSide;
    static_assert(kCount == VoxelArray::kCount);

    VoxelStorage() = default;
    VoxelStorage(const VoxelStorage&) = delete;
    VoxelStorage& operator=(const VoxelStorage&) = delete;

    bool IsFull() const { return array != nullptr; }
    // The value of every voxel while not full.
    std::uint16_t UniformValue() const { return uniform; }

    std::uint16_t Get(int index) const { return array ? array->codes[index] : uniform; }
    // Stores a code and returns the code that was there.
    std::uint16_t Set(int index, std::uint16_t code);

    // The full array, allocated and filled with the uniform value when needed.
    std::uint16_t* Materialise();
    // The full array, or null while uniform.
    const std::uint16_t* Data() const { return array ? array->codes : nullptr; }

    // Every voxel holds `value`; the array, if any, goes back to the stock.
    void MakeUniform(std::uint16_t value);
    // Releases the array when every code in it is equal. Returns true when it did.
    bool Compact();

    std::size_t BytesHeld() const { return array ? sizeof(VoxelArray) : 0; }

private:
    VoxelArrayStock::Handle array;
    std::uint16_t uniform = 0;
};
