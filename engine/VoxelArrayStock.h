#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// The 32768 codes of a chunk that does not keep a single value. One row of 32 codes along x is
// one 64-byte cache line.
struct alignas(64) VoxelArray
{
    static constexpr int kCount = 32 * 32 * 32;
    std::uint16_t codes[kCount];
};

// Spare voxel arrays, kept for the next chunk that needs one instead of being freed and
// allocated again. A streamed world takes and drops thousands of them (a terrain chunk that turns
// out all air or all rock drops its array as soon as it is filled, and chunks leaving the window
// drop theirs), and fresh memory costs a page fault per 4 KiB on first touch and the heap's growing
// and trimming every time. At most kSpareLimit arrays (4 MiB) are kept; beyond that they are freed.
//
// Threads: any. stockMutex (in the .cpp) guards the spares; it is a leaf lock, taken only to push
// or pop one pointer.
namespace VoxelArrayStock
{
constexpr std::size_t kSpareLimit = 64;

// Gives an array back to the stock (freed when the stock is full).
struct Return
{
    void operator()(VoxelArray* array) const;
};
using Handle = std::unique_ptr<VoxelArray, Return>;

// A spare array, or a new one when none is kept; its codes are not set.
Handle Take();

std::size_t SpareCount();
}
