#include "engine/PimThreadRunner.h"

#include "engine/PimAssert.h"

#include <chrono>

namespace
{
// How long an idle worker rests before its next pass.
constexpr std::chrono::milliseconds idleRest(1);

constexpr const char* nullLockMessage = "Cannot unlock a null lock";
constexpr const char* wrongOwnerMessage = "This object is not allowed to unlock the thread";
}

PimThreadRunner::PimThreadRunner(Pass passIn) : pass(std::move(passIn))
{
}

PimThreadRunner::~PimThreadRunner()
{
    Stop();
}

bool PimThreadRunner::Start(bool startPaused)
{
    if (!pass)
    {
        PimAssert::Assert(false, "PimThreadRunner::Start() - The runner has no pass to run");
        return false;
    }
    std::lock_guard lock(stateMutex);
    if (running || thread.joinable())
        return false;
    running = true;
    paused = startPaused;
    thread = std::thread([this] { Run(); });
    workerId = thread.get_id();
    return true;
}

void PimThreadRunner::Stop()
{
    std::thread finished;
    {
        std::lock_guard lock(stateMutex);
        running = false;
        changed.notify_all();
        if (OnWorkerThread())
            return;
        finished = std::move(thread);
    }
    if (!finished.joinable())
        return;
    finished.join();
    std::lock_guard lock(stateMutex);
    // Thread ids are reused: forget the ended worker's, unless a new worker has started.
    if (!thread.joinable())
        workerId = std::thread::id();
}

void PimThreadRunner::Pause()
{
    std::unique_lock lock(stateMutex);
    paused = true;
    if (OnWorkerThread())
        return;
    changed.wait(lock, [this] { return owner != this; });
}

void PimThreadRunner::Resume()
{
    std::lock_guard lock(stateMutex);
    paused = false;
    changed.notify_all();
}

bool PimThreadRunner::IsRunning() const
{
    std::lock_guard lock(stateMutex);
    return running;
}

bool PimThreadRunner::IsPaused() const
{
    std::lock_guard lock(stateMutex);
    return paused;
}

bool PimThreadRunner::Lock(const void* newOwner)
{
    const char* refusal = nullptr;
    {
        std::unique_lock lock(stateMutex);
        if (newOwner == nullptr || newOwner == this)
            refusal = "PimThreadRunner::Lock() - The lock needs an owner other than the runner";
        else if (owner == newOwner)
            refusal = "PimThreadRunner::Lock() - The owner already holds the lock";
        else if (OnWorkerThread())
            refusal = "PimThreadRunner::Lock() - The worker cannot take its own lock";
        else
        {
            ++waiting;
            changed.wait(lock, [this] { return owner == nullptr; });
            --waiting;
            owner = newOwner;
            return true;
        }
    }
    PimAssert::Assert(false, refusal);
    return false;
}

bool PimThreadRunner::Unlock(const void* releasingOwner)
{
    const char* refusal = nullptr;
    {
        std::lock_guard lock(stateMutex);
        // The worker's own hold is released only by the worker.
        if (releasingOwner == this)
            refusal = wrongOwnerMessage;
        else
            refusal = Release(releasingOwner);
    }
    if (refusal == nullptr)
        return true;
    PimAssert::Assert(false, refusal);
    return false;
}

bool PimThreadRunner::IsLockedBy(const void* someOwner) const
{
    std::lock_guard lock(stateMutex);
    return someOwner != nullptr && owner == someOwner;
}

const char* PimThreadRunner::Release(const void* releasingOwner)
{
    if (owner == nullptr)
        return nullLockMessage;
    if (owner != releasingOwner)
        return wrongOwnerMessage;
    owner = nullptr;
    changed.notify_all();
    return nullptr;
}

bool PimThreadRunner::OnWorkerThread() const
{
    return std::this_thread::get_id() == workerId;
}

void PimThreadRunner::Run()
{
    std::unique_lock lock(stateMutex);
    while (true)
    {
        changed.wait(lock, [this] { return !running || (!paused && owner == nullptr && waiting == 0); });
        if (!running)
            break;
        owner = this;
        lock.unlock();
        const bool didWork = pass();
        lock.lock();
        // Nobody else can release the worker's hold, so a refusal here means the record was
        // corrupted; the lock is then left as it is and never taken a second time.
        if (const char* refusal = Release(this))
        {
            lock.unlock();
            PimAssert::Assert(false, refusal);
            lock.lock();
        }
        if (!didWork)
            changed.wait_for(lock, idleRest, [this] { return !running; });
    }
}
