#pragma once

#include <chrono>
#include <cstdint>

// Timing of the frame loop: how long the previous frame took, how long the loop has run and how
// many frames it has started. It runs on real time, or on a fixed step so that tests and scripted
// runs see the same times on every machine. Owned by PimSystem and advanced by the loop once at the
// start of every frame; read on the main thread.
class PimFrameClock
{
public:
    // 0 (or less) selects real time; otherwise every frame lasts exactly this many seconds.
    void SetFixedStep(double seconds);
    bool IsFixedStep() const { return fixedStep > 0.0; }

    // Forgets the past: the next frame is frame 1 and measures its time from now.
    void Restart();
    void Advance();

    // Time since the previous frame (since Restart for the first frame).
    float SecondDelta() const { return static_cast<float>(delta); }
    float MillisecondDelta() const { return static_cast<float>(delta * 1000.0); }
    // Frames per second implied by the last delta; 0 before the first frame or for a zero delta.
    float FrameRate() const;

    double TotalSeconds() const { return total; }
    std::uint64_t FrameCount() const { return frames; }

private:
    using Clock = std::chrono::steady_clock;

    double fixedStep = 0.0;
    double delta = 0.0;
    double total = 0.0;
    std::uint64_t frames = 0;
    Clock::time_point last = Clock::now();
};
