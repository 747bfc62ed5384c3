#pragma once

#include <cstdint>

// How many build channels a world's scheduler may start new chunks in (each channel takes up to
// BuildChannel::kStageDepth chunks a frame): the process-wide build budget, 8 at start and always
// kept between 8 and 32. It follows the frame rate - a world raises it by 4 while frames come
// faster than 60 a second and lowers it by 4 while they come slower than 30, judged on the mean of
// the frames since its last check, once 16 frames or a quarter of a second have passed, whichever
// comes first, so that with frames to spare it climbs from 8 to 32 in about a second and a slow
// machine gets its frames back as fast -
// unless the user fixed it on the loading page. The budget outlives worlds: a new world starts
// from the value the last one left.
//
// Main thread only: the frame update of the open world and the loading page's slider.
class BuildBudget
{
public:
    static constexpr std::uint8_t kMinimum = 8;
    static constexpr std::uint8_t kMaximum = 32;
    static constexpr double kCheckSeconds = 0.25;
    static constexpr std::uint32_t kCheckFrames = 16;
    static constexpr int kStep = 4;
    static constexpr float kRaiseAbove = 60.0f;
    static constexpr float kLowerBelow = 30.0f;

    // The process-wide budget.
    static std::uint8_t Get();
    // Sets the process-wide budget, held to 8 to 32.
    static void Set(int channels);

    // checkTime: the engine clock's seconds from which the first check counts.
    explicit BuildBudget(double checkTime = 0.0) : lastCheck(checkTime) {}

    // Folds one frame's rate into the running mean and, when kCheckFrames frames are in it or more
    // than kCheckSeconds have passed since the last check, moves the budget by the mean and starts
    // a new mean. Nothing while the budget is fixed.
    void Sample(double frameRate, double nowSeconds);

    // The loading page's slider: 0 lets the budget adapt again, from a new mean whose first
    // check comes kCheckSeconds after its first frame; any other value fixes the budget at that
    // value, held to 8 to 32.
    void SetControl(int sliderValue);
    bool IsFixed() const { return fixed; }

    float GetMean() const { return mean; }
    std::uint32_t GetSampleCount() const { return samples; }

private:
    float mean = 0.0f;
    std::uint32_t samples = 0;
    double lastCheck = 0.0;
    bool fixed = false;
    // The next sample starts the check interval (adaptation was just resumed).
    bool restart = false;
};
