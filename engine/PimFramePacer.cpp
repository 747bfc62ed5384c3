#include "engine/PimFramePacer.h"

#include <thread>

void PimFramePacer::SetRate(double framesPerSecond)
{
    rate = framesPerSecond > 0.0 ? framesPerSecond : 0.0;
    period = rate > 0.0 ? std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / rate))
                        : Clock::duration{};
    due = Clock::time_point{};
}

void PimFramePacer::WaitForNextFrame()
{
    if (rate <= 0.0)
        return;
    const Clock::time_point now = Clock::now();
    if (due == Clock::time_point{} || now >= due)
    {
        // The first frame, or a frame that took longer than its period: the next one is due a
        // whole period from now.
        due = now + period;
        return;
    }
    std::this_thread::sleep_until(due);
    due += period;
}
