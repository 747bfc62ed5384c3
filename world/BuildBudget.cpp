#include "world/BuildBudget.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace
{
// Written by the main thread only; atomic so that a diagnostic read from elsewhere is defined.
std::atomic<std::uint8_t> processBudget{BuildBudget::kMinimum};
}

std::uint8_t BuildBudget::Get()
{
    return processBudget.load(std::memory_order_relaxed);
}

void BuildBudget::Set(int channels)
{
    const int held = std::clamp(channels, static_cast<int>(kMinimum), static_cast<int>(kMaximum));
    processBudget.store(static_cast<std::uint8_t>(held), std::memory_order_relaxed);
}

void BuildBudget::Sample(double frameRate, double nowSeconds)
{
    // A frame of no measurable length (or a broken clock) says nothing about the rate.
    if (fixed || !std::isfinite(frameRate))
        return;
    if (restart)
    {
        lastCheck = nowSeconds;
        restart = false;
    }
    const double sum = samples == 0 ? frameRate : static_cast<double>(mean) * samples + frameRate;
    ++samples;
    mean = static_cast<float>(sum / samples);
    if (samples < kCheckFrames && nowSeconds - lastCheck <= kCheckSeconds)
        return;
    if (mean > kRaiseAbove)
        Set(Get() + kStep);
    else if (mean < kLowerBelow)
        Set(Get() - kStep);
    samples = 0;
    lastCheck = nowSeconds;
}

void BuildBudget::SetControl(int sliderValue)
{
    if (sliderValue == 0)
    {
        // A mean and a check time from before the budget was fixed say nothing about now.
        restart = restart || fixed;
        samples = fixed ? 0 : samples;
        fixed = false;
        return;
    }
    Set(sliderValue);
    fixed = true;
}
