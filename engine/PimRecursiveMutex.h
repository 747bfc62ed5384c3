#pragma once

#include <atomic>
#include <mutex>
#include <thread>

// A mutex that the thread holding it may take again (every Lock needs its own Unlock) and that
// knows its owner. An Unlock from a thread that does not hold it changes nothing and returns
// false, so a stray release is reported by the caller instead of corrupting the lock.
// Used for each chunk's voxel lock and for the chunks' global build-channel lock, which callers
// take and release through separate calls. Any thread may use it.
class PimRecursiveMutex
{
public:
    PimRecursiveMutex() = default;
    PimRecursiveMutex(const PimRecursiveMutex&) = delete;
    PimRecursiveMutex& operator=(const PimRecursiveMutex&) = delete;

    void Lock();
    bool Unlock();
    bool IsHeldByCurrentThread() const;

    // How many times the calling thread holds the lock (0 when it does not hold it).
    unsigned HeldDepth() const;

private:
    std::mutex mutex;
    // Written only by the thread that holds `mutex`; read by any thread to recognise itself.
    std::atomic<std::thread::id> owner{};
    // Touched only by the owner.
    unsigned depth = 0;
};

// Scoped hold of a PimRecursiveMutex.
class PimRecursiveLockGuard
{
public:
    explicit PimRecursiveLockGuard(PimRecursiveMutex& m) : mutex(m) { mutex.Lock(); }
    ~PimRecursiveLockGuard() { mutex.Unlock(); }
    PimRecursiveLockGuard(const PimRecursiveLockGuard&) = delete;
    PimRecursiveLockGuard& operator=(const PimRecursiveLockGuard&) = delete;

private:
    PimRecursiveMutex& mutex;
};
