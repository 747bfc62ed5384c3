#pragma once

#include <array>
#include <cstddef>

// Keeps the GL driver from queueing frames without bound. Drivers may accept a frame's commands
// long before they have run them (Mesa's threaded software renderer does); a loop that is not
// held back by the display then piles frames up, with their memory, faster than they are drawn,
// and a quit waits for the whole pile. A fence ends each frame, and before a third frame is
// queued the loop waits for the oldest to finish, so at most two frames are ever in flight.
//
// Main thread, with the display's GL context current.
class PimFrameFences
{
public:
    static constexpr std::size_t kMaxFramesInFlight = 2;

    PimFrameFences() = default;
    PimFrameFences(const PimFrameFences&) = delete;
    PimFrameFences& operator=(const PimFrameFences&) = delete;

    // Called after a frame's last command (the swap): fences it, then waits until no more than
    // kMaxFramesInFlight - 1 earlier frames are unfinished. A wait gives up after a second, so a
    // stalled driver slows the loop but never stops it.
    void EndFrame();
    // Deletes every fence; the owner calls it before the GL context goes away.
    void Release();
    std::size_t GetPending() const { return count; }

private:
    void WaitForOldest();

    // A ring of GLsync handles, oldest at `first`.
    std::array<void*, kMaxFramesInFlight> fences{};
    std::size_t first = 0;
    std::size_t count = 0;
};
