#pragma once

#include <chrono>

// Holds the frame loop to a steady rate when nothing else paces it: a desktop window whose
// swap does not wait for the display (no vsync, or a virtual X server), or the offscreen
// display. Without it the loop renders as fast as the machine allows, burning every core for
// frames nobody sees.
//
// Each frame is given one period from the start of the frame before; a frame that ran late
// starts the next period from now, so the loop never races to catch up. Main thread only.
class PimFramePacer
{
public:
    // Frames per second to hold to; 0 (or less) stops pacing.
    void SetRate(double framesPerSecond);
    double GetRate() const { return rate; }

    // Sleeps until the next frame is due. Called once a frame, after the frame was shown.
    void WaitForNextFrame();

private:
    using Clock = std::chrono::steady_clock;

    double rate = 0.0;
    Clock::duration period{};
    Clock::time_point due{};
};
