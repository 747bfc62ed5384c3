#pragma once

#include <cstdint>

// The automatic size calibration of the preferences booth: for four seconds the head's height
// above the play area's floor (metres) is averaged, and the player size bias becomes the one
// that puts an average head (1.6579512 m) at the eye height of the program's scale:
// 1.6579512 / average, clamped to 0.5 to 2.5. While it runs, the bias shown swings twice and
// glides from the bias it started from to the measured one. Main thread only.
class SizeCalibration
{
public:
    static constexpr float kReferenceHeight = 1.6579512f;
    static constexpr float kMinBias = 0.5f;
    static constexpr float kMaxBias = 2.5f;
    // Percent of the calibration done per second: four seconds in all.
    static constexpr float kPercentPerSecond = 25.0f;

    // Starts from the bias in use now; false (nothing changes) while a calibration is running.
    bool Start(float currentBias);
    bool IsRunning() const { return progress > 0.0f; }

    struct Step
    {
        float shownBias;      // the bias to show now
        bool finished;        // the calibration ended with this step
        float measuredBias;   // when finished: the bias to keep, clamped
    };
    // One frame of a running calibration with the head's height now and the frame's seconds.
    Step Advance(float headHeight, float seconds);

    // The bias a head of the given average height calls for, before clamping (a height of 0 or
    // less gives the largest float).
    static float TargetBias(float averageHeight);

private:
    float progress = 0.0f;
    float heightSum = 0.0f;
    std::uint32_t sampleCount = 0;
    float startBias = 1.0f;
};
