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
// and trimming every time.
//
// Arrays are made kArraysPerSlab at a time, in one 2 MiB slab asked to be mapped with large pages
// where the system offers them (Linux), so that a new world's thousands of first arrays cost a
// few hundred faults instead of sixteen each. A slab is freed when none of its arrays is lent out
// and the stock keeps kSpareLimit spare arrays besides it; so, besides the spare arrays of slabs
// still in use, at most some kSpareLimit + kArraysPerSlab (6 MiB) stay when every chunk let go.
//
// Threads: any. stockMutex (in the .cpp) guards the spares and the slabs; it is a leaf lock, taken
// only to hand out or take back one array (and to make or free a slab).
namespace VoxelArrayStock
{
constexpr std::size_t kSpareLimit = 64;
constexpr std::size_t kArraysPerSlab = 32;

// Gives an array back to the stock (its slab freed when it was the slab's last one lent out and
// the stock has enough spares without it).
struct Return
{
    void operator()(VoxelArray* array) const;
};
using Handle = std::unique_ptr<VoxelArray, Return>;

// A spare array (the one given back last), or one of a new slab when none is kept; its codes
// are not set.
Handle Take();

std::size_t SpareCount();
}
