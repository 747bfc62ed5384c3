#include "engine/VoxelArrayStock.h"

#include <mutex>
#include <vector>

namespace VoxelArrayStock
{
namespace
{
struct Stock
{
    std::mutex stockMutex;
    std::vector<VoxelArray*> spares;
};

// Never destroyed: chunks destroyed at process exit still give their arrays back.
Stock& TheStock()
{
    static Stock* const stock = [] {
        auto* made = new Stock();
        made->spares.reserve(kSpareLimit);
        return made;
    }();
    return *stock;
}
}

void Return::operator()(VoxelArray* array) const
{
    if (array == nullptr)
        return;
    Stock& stock = TheStock();
    {
        std::lock_guard hold(stock.stockMutex);
        if (stock.spares.size() < kSpareLimit)
        {
            stock.spares.push_back(array);
            return;
        }
    }
    delete array;
}

Handle Take()
{
    Stock& stock = TheStock();
    {
        std::lock_guard hold(stock.stockMutex);
        if (!stock.spares.empty())
        {
            VoxelArray* array = stock.spares.back();
            stock.spares.pop_back();
            return Handle(array);
        }
    }
    return Handle(new VoxelArray);
}

std::size_t SpareCount()
{
    Stock& stock = TheStock();
    std::lock_guard hold(stock.stockMutex);
    return stock.spares.size();
}
}
