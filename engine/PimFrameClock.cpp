#include "engine/PimFrameClock.h"

void PimFrameClock::SetFixedStep(double seconds)
{
    fixedStep = seconds > 0.0 ? seconds : 0.0;
}

void PimFrameClock::Restart()
{
    delta = 0.0;
    total = 0.0;
    frames = 0;
    last = Clock::now();
}

void PimFrameClock::Advance()
{
    const Clock::time_point now = Clock::now();
    delta = IsFixedStep() ? fixedStep : std::chrono::duration<double>(now - last).count();
    last = now;
    total += delta;
    ++frames;
}

float PimFrameClock::FrameRate() const
{
    return delta > 0.0 ? static_cast<float>(1.0 / delta) : 0.0f;
}
