#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A worker thread that runs one pass function again and again until it is stopped, and can be
// paused between passes.
//
// The runner lock: the worker holds it for the whole of every pass, so whoever else holds it
// knows that no pass is running and none will start until it is released. Each holder is
// recorded as the lock's owner (any non-null address the caller chooses, usually its own
// `this`; the worker records the runner itself). Only the recorded owner may release the lock:
// releasing it when no owner is recorded reports "Cannot unlock a null lock", releasing it as
// someone else reports "This object is not allowed to unlock the thread", and in both cases the
// lock stays as it was. Unlike a mutex the runner lock may be released from another thread
// than the one that took it, as long as the owner matches. A thread waiting for the lock goes
// before the worker's next pass, so pausing and locking never wait for more than the pass in
// progress.
//
// Threads: Start, Stop, Pause, Resume, Lock, Unlock and the queries may be called from any
// thread other than the worker (usually the main thread). From inside a pass the worker may call
// Pause, Resume, Stop and the queries (they then take effect after the pass); it must not call
// Lock or Unlock, and must not destroy the runner. The pass must not throw.
class PimThreadRunner
{
public:
    // One pass of the worker's job. Returns true when it did some work: the next pass starts at
    // once. Returns false when there was nothing to do: the worker then rests for about a
    // millisecond before the next pass, so that an idle worker does not spin.
    using Pass = std::function<bool()>;

    explicit PimThreadRunner(Pass pass);
    // Stops the worker and waits for its pass in progress to end.
    ~PimThreadRunner();

    PimThreadRunner(const PimThreadRunner&) = delete;
    PimThreadRunner& operator=(const PimThreadRunner&) = delete;

    // Starts the worker thread, paused or not. Returns false (and changes nothing) when the
    // worker was already started and not stopped with Stop from outside the worker, or (with an
    // assertion) when the pass is empty.
    bool Start(bool paused);

    // Clears the running flag: the worker ends after its pass in progress (a paused worker ends
    // at once). Called from outside the worker, waits for the thread to end; called from inside
    // a pass, returns at once and the thread is joined by the destructor or a later Stop.
    void Stop();

    // Sets the paused flag; once Pause returns, no pass is running and none starts until
    // Resume. Waits for the pass in progress, except when called from inside that pass.
    void Pause();
    // Clears the paused flag; passes start again.
    void Resume();

    // True from Start until Stop.
    bool IsRunning() const;
    bool IsPaused() const;

    // Takes the runner lock for the owner, waiting for the pass in progress (or another owner)
    // to release it. Refused with an assertion and false when the owner is null or the runner
    // itself, when the owner already holds the lock, and when called from inside a pass.
    [[nodiscard]] bool Lock(const void* owner);
    // Releases the runner lock if the owner is the one recorded; false (with an assertion)
    // otherwise, and the lock stays as it was.
    bool Unlock(const void* owner);
    bool IsLockedBy(const void* owner) const;

private:
    void Run();
    bool OnWorkerThread() const;
    // Checks the owner and releases the lock; returns the assertion message when refused.
    const char* Release(const void* owner);

    const Pass pass;

    // The runner's state lock: taken briefly by the worker between passes and by every caller
    // of the public functions (main thread, any other thread). Guards running, paused, owner,
    // waiting and workerId; `changed` is signalled whenever one of them changes. It is never
    // held while a pass runs.
    mutable std::mutex stateMutex;
    std::condition_variable changed;
    bool running = false;
    bool paused = false;
    // The runner lock's owner record; null when the lock is free.
    const void* owner = nullptr;
    // Threads waiting in Lock; the worker does not start a pass while any are.
    int waiting = 0;
    std::thread::id workerId;

    std::thread thread;
};
