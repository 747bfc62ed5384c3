#include "engine/PimRecursiveMutex.h"

void PimRecursiveMutex::Lock()
{
    const std::thread::id self = std::this_thread::get_id();
    if (owner.load(std::memory_order_relaxed) == self)
    {
        ++depth;
        return;
    }
    mutex.lock();
    owner.store(self, std::memory_order_relaxed);
    depth = 1;
}

bool PimRecursiveMutex::Unlock()
{
    if (owner.load(std::memory_order_relaxed) != std::this_thread::get_id())
        return false;
    if (--depth == 0)
    {
        owner.store(std::thread::id(), std::memory_order_relaxed);
        mutex.unlock();
    }
    return true;
}

bool PimRecursiveMutex::IsHeldByCurrentThread() const
{
    return owner.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

unsigned PimRecursiveMutex::HeldDepth() const
{
    return IsHeldByCurrentThread() ? depth : 0;
}
