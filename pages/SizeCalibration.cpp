#include "pages/SizeCalibration.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

bool SizeCalibration::Start(float currentBias)
{
    if (IsRunning())
        return false;
    heightSum = 0.0f;
    sampleCount = 0;
    progress = 1.0f;
    startBias = currentBias;
    return true;
}

float SizeCalibration::TargetBias(float averageHeight)
{
    const float height = averageHeight > 0.0f ? averageHeight : std::numeric_limits<float>::min();
    return kReferenceHeight / height;
}

SizeCalibration::Step SizeCalibration::Advance(float headHeight, float seconds)
{
    ++sampleCount;
    heightSum += headHeight;
    // Glides to the bias that will be kept: a head lost at the floor must not blow the world up.
    const float target = std::clamp(TargetBias(heightSum / static_cast<float>(sampleCount)), kMinBias, kMaxBias);
    progress += seconds * kPercentPerSecond;
    const float p = std::min(progress / 100.0f, 1.0f);
    const float swing = std::sin(p * 4.0f * std::numbers::pi_v<float>) * 0.25f + startBias;
    Step step{swing * (1.0f - p) + target * p, false, 0.0f};
    if (progress >= 100.0f)
    {
        progress = 0.0f;
        step.finished = true;
        step.measuredBias = target;
    }
    return step;
}
