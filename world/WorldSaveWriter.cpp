#include "world/WorldSaveWriter.h"

#include <utility>

WorldSaveWriter::WorldSaveWriter() : thread([this] { Run(); }) {}

WorldSaveWriter::~WorldSaveWriter()
{
    {
        std::lock_guard<std::mutex> hold(mutex);
        stopping = true;
    }
    changed.notify_all();
    thread.join();
}

void WorldSaveWriter::Queue(Job job)
{
    {
        std::lock_guard<std::mutex> hold(mutex);
        waiting = std::move(job);
    }
    changed.notify_all();
}

bool WorldSaveWriter::IsBusy() const
{
    std::lock_guard<std::mutex> hold(mutex);
    return writing || waiting.has_value();
}

std::optional<WorldSaveResult> WorldSaveWriter::WaitForAll()
{
    std::unique_lock<std::mutex> hold(mutex);
    changed.wait(hold, [this] { return !writing && !waiting; });
    return std::exchange(finished, std::nullopt);
}

std::optional<WorldSaveResult> WorldSaveWriter::TakeResult()
{
    std::lock_guard<std::mutex> hold(mutex);
    return std::exchange(finished, std::nullopt);
}

void WorldSaveWriter::Run()
{
    std::unique_lock<std::mutex> hold(mutex);
    for (;;)
    {
        changed.wait(hold, [this] { return stopping || waiting.has_value(); });
        if (!waiting)
            return; // stopping, with nothing left to write
        Job job = std::move(*waiting);
        waiting.reset();
        writing = true;
        hold.unlock();
        const WorldSaveResult result = job();
        hold.lock();
        writing = false;
        finished = result;
        changed.notify_all();
    }
}
