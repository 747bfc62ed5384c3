#include "engine/PimTime.h"

#include "engine/PimAssert.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace
{
using SteadyClock = std::chrono::steady_clock;

// The frame clock. Main thread only, like every frame-clock function of PimTime.
struct FrameClock
{
    bool fixedStep = false;
    double stepMilliseconds = 0.0;

    // The frame clock's moment when the current mode (or the reset) began, and what counts from
    // it: frames in fixed-step mode, the steady clock in real mode.
    std::int64_t modeStartMicros = 0;
    std::uint64_t framesInMode = 0;
    SteadyClock::time_point realStart = SteadyClock::now();

    std::int64_t nowMicros = 0;
    double deltaMilliseconds = 0.0;
    std::uint64_t frameCount = 0;
};

FrameClock& Clock()
{
    static FrameClock clock;
    return clock;
}

void StartMode(FrameClock& clock)
{
    clock.modeStartMicros = clock.nowMicros;
    clock.framesInMode = 0;
    clock.realStart = SteadyClock::now();
}
}

PimTime PimTime::FromSeconds(double seconds)
{
    return PimTime(std::llround(seconds * 1'000'000.0));
}

PimTime PimTime::FromFileTime(std::filesystem::file_time_type fileTime)
{
    const auto calendar = std::chrono::file_clock::to_sys(fileTime);
    return PimTime(std::chrono::duration_cast<std::chrono::microseconds>(calendar.time_since_epoch()).count());
}

void PimTime::BeginFrame()
{
    FrameClock& clock = Clock();
    ++clock.frameCount;
    if (clock.fixedStep)
    {
        // Frame moments are computed from the mode's start so a step that is not a whole number
        // of microseconds does not accumulate rounding error.
        ++clock.framesInMode;
        const double stepMicros = clock.stepMilliseconds * 1000.0;
        clock.nowMicros = clock.modeStartMicros + std::llround(static_cast<double>(clock.framesInMode) * stepMicros);
        clock.deltaMilliseconds = clock.stepMilliseconds;
        return;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(SteadyClock::now() - clock.realStart);
    const std::int64_t measured = clock.modeStartMicros + elapsed.count();
    const std::int64_t next = std::max(measured, clock.nowMicros + 1);
    clock.deltaMilliseconds = static_cast<double>(next - clock.nowMicros) / 1000.0;
    clock.nowMicros = next;
}

double PimTime::MillisecondDelta()
{
    return Clock().deltaMilliseconds;
}

double PimTime::SecondDelta()
{
    return Clock().deltaMilliseconds / 1000.0;
}

double PimTime::FrameRate()
{
    const double delta = Clock().deltaMilliseconds;
    return delta > 0.0 ? 1000.0 / delta : 0.0;
}

std::uint64_t PimTime::FrameCount()
{
    return Clock().frameCount;
}

PimTime PimTime::Now()
{
    return PimTime(Clock().nowMicros);
}

void PimTime::SetFixedStep(double milliseconds)
{
    if (!(milliseconds > 0.0) || !std::isfinite(milliseconds))
    {
        PimAssert::Assert(false, "PimTime::SetFixedStep() - The step must be a positive number of milliseconds");
        return;
    }
    FrameClock& clock = Clock();
    clock.fixedStep = true;
    clock.stepMilliseconds = milliseconds;
    StartMode(clock);
}

void PimTime::SetRealClock()
{
    FrameClock& clock = Clock();
    clock.fixedStep = false;
    StartMode(clock);
}

bool PimTime::IsFixedStep()
{
    return Clock().fixedStep;
}

void PimTime::Reset()
{
    FrameClock& clock = Clock();
    clock.nowMicros = 0;
    clock.deltaMilliseconds = 0.0;
    clock.frameCount = 0;
    StartMode(clock);
}
