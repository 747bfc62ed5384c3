#pragma once

#include "world/WorldSaveResult.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

// The thread that writes a world's files, so that a save pauses the frame loop only for what
// must happen on the main thread (drawing the thumbnail, copying the edited chunks into their
// regions, the settings text). One save is written at a time, in the order they were queued.
//
// A save queued while another is being written waits for it. Only one save waits: a newer one
// takes its place, since each save writes everything still unwritten (every dirty region, and the
// newest thumbnail and settings). The result of the newest finished save waits for the main
// thread to take it.
//
// Threads: the main thread queues, waits and takes results; the writer thread runs the jobs.
// Lock: mutex guards the waiting job, the busy flag, the finished result and the stop flag; it
// is never held while a job runs. A job takes whatever locks its work needs.
class WorldSaveWriter
{
public:
    using Job = std::function<WorldSaveResult()>;

    WorldSaveWriter();
    // Writes the save that waits, if any, then ends the thread: nothing queued is dropped.
    ~WorldSaveWriter();
    WorldSaveWriter(const WorldSaveWriter&) = delete;
    WorldSaveWriter& operator=(const WorldSaveWriter&) = delete;

    // Queues a save (replacing one that waits and has not started). Main thread.
    void Queue(Job job);
    // True while a save waits or is being written.
    bool IsBusy() const;
    // Waits until no save waits or is being written; the result of the last one then (also
    // handed out by nothing else afterwards), or nothing when no save finished since the last
    // result was taken. Main thread.
    std::optional<WorldSaveResult> WaitForAll();
    // The result of the newest save finished since the last result was taken, once. Main thread.
    std::optional<WorldSaveResult> TakeResult();

private:
    void Run();

    mutable std::mutex mutex;
    std::condition_variable changed;
    std::optional<Job> waiting;
    bool writing = false;
    bool stopping = false;
    std::optional<WorldSaveResult> finished;
    // Last: started once the rest is in place.
    std::thread thread;
};
