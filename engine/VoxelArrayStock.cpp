#include "engine/VoxelArrayStock.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <unordered_map>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace VoxelArrayStock
{
namespace
{
constexpr std::size_t kSlabBytes = kArraysPerSlab * sizeof(VoxelArray);
static_assert((kSlabBytes & (kSlabBytes - 1)) == 0, "a slab is found by masking an array's address");

struct Stock
{
    std::mutex stockMutex;
    // Every free array, the one given back last on top.
    std::vector<VoxelArray*> spares;
    // Arrays lent out, by slab (its address).
    std::unordered_map<std::uintptr_t, std::size_t> lentOut;
};

// Never destroyed: chunks destroyed at process exit still give their arrays back.
Stock& TheStock()
{
    static Stock* const stock = new Stock();
    return *stock;
}

std::uintptr_t SlabOf(const VoxelArray* array)
{
    return reinterpret_cast<std::uintptr_t>(array) & ~(static_cast<std::uintptr_t>(kSlabBytes) - 1);
}

// A new slab: its first array is returned, the others join the spares. stockMutex held.
VoxelArray* MakeSlab(Stock& stock)
{
    void* memory = ::operator new(kSlabBytes, std::align_val_t{kSlabBytes});
#if defined(__linux__)
    // One fault maps the whole slab (where the system allows large pages); a hint only.
    madvise(memory, kSlabBytes, MADV_HUGEPAGE);
#endif
    auto* arrays = static_cast<VoxelArray*>(memory);
    for (std::size_t index = kArraysPerSlab - 1; index > 0; --index)
        stock.spares.push_back(new (arrays + index) VoxelArray);
    stock.lentOut[SlabOf(arrays)] = 0;
    return new (arrays) VoxelArray;
}

// Frees a slab none of whose arrays is lent out. stockMutex held.
void FreeSlab(Stock& stock, std::uintptr_t slab)
{
    std::erase_if(stock.spares, [slab](const VoxelArray* array) { return SlabOf(array) == slab; });
    stock.lentOut.erase(slab);
    ::operator delete(reinterpret_cast<void*>(slab), std::align_val_t{kSlabBytes});
}
}

void Return::operator()(VoxelArray* array) const
{
    if (array == nullptr)
        return;
    Stock& stock = TheStock();
    std::lock_guard hold(stock.stockMutex);
    stock.spares.push_back(array);
    const std::uintptr_t slab = SlabOf(array);
    std::size_t& lent = stock.lentOut[slab];
    --lent;
    if (lent == 0 && stock.spares.size() >= kSpareLimit + kArraysPerSlab)
        FreeSlab(stock, slab);
}

Handle Take()
{
    Stock& stock = TheStock();
    std::lock_guard hold(stock.stockMutex);
    VoxelArray* array = nullptr;
    if (stock.spares.empty())
        array = MakeSlab(stock);
    else
    {
        array = stock.spares.back();
        stock.spares.pop_back();
    }
    ++stock.lentOut[SlabOf(array)];
    return Handle(array);
}

std::size_t SpareCount()
{
    Stock& stock = TheStock();
    std::lock_guard hold(stock.stockMutex);
    return stock.spares.size();
}
}
