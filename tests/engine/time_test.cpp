#include "engine/PimAssert.h"
#include "engine/PimTime.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

namespace
{
// Every test starts from a reset real clock and leaves one behind.
class FrameClock : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PimTime::SetRealClock();
        PimTime::Reset();
    }
    void TearDown() override
    {
        PimTime::SetRealClock();
        PimTime::Reset();
    }
};
}

TEST_F(FrameClock, FixedStepGivesExactDeltasRateAndMoments)
{
    EXPECT_EQ(PimTime::MillisecondDelta(), 0.0);
    EXPECT_EQ(PimTime::FrameRate(), 0.0);
    EXPECT_EQ(PimTime::Now(), PimTime());

    PimTime::SetFixedStep(20.0);
    EXPECT_TRUE(PimTime::IsFixedStep());
    for (int frame = 1; frame <= 3; ++frame)
    {
        PimTime::BeginFrame();
        EXPECT_EQ(PimTime::MillisecondDelta(), 20.0);
        EXPECT_DOUBLE_EQ(PimTime::SecondDelta(), 0.02);
        EXPECT_DOUBLE_EQ(PimTime::FrameRate(), 50.0);
        EXPECT_EQ(PimTime::Now(), PimTime::FromMilliseconds(20 * frame));
    }
    EXPECT_EQ(PimTime::FrameCount(), 3u);

    // A reset starts the time line again but keeps the step.
    PimTime::Reset();
    EXPECT_EQ(PimTime::FrameCount(), 0u);
    EXPECT_EQ(PimTime::MillisecondDelta(), 0.0);
    PimTime::BeginFrame();
    EXPECT_EQ(PimTime::Now(), PimTime::FromMilliseconds(20));
}

TEST_F(FrameClock, FractionalStepDoesNotDrift)
{
    PimTime::SetFixedStep(1000.0 / 60.0);
    for (int frame = 0; frame < 60; ++frame)
        PimTime::BeginFrame();
    EXPECT_EQ(PimTime::Now().Get(), 1'000'000);
    for (int frame = 0; frame < 60 * 599; ++frame)
        PimTime::BeginFrame();
    EXPECT_EQ(PimTime::Now().Get(), 600'000'000);
    EXPECT_NEAR(PimTime::FrameRate(), 60.0, 1e-9);
}

TEST_F(FrameClock, SwitchingModesContinuesTheTimeLine)
{
    PimTime::SetFixedStep(10.0);
    for (int frame = 0; frame < 3; ++frame)
        PimTime::BeginFrame();
    PimTime::SetFixedStep(5.0);
    PimTime::BeginFrame();
    EXPECT_EQ(PimTime::Now(), PimTime::FromMilliseconds(35));

    // Real frames go on from there, each with a positive duration matching the moments.
    PimTime::SetRealClock();
    EXPECT_FALSE(PimTime::IsFixedStep());
    PimTime previous = PimTime::Now();
    for (int frame = 0; frame < 1000; ++frame)
    {
        PimTime::BeginFrame();
        const PimTime now = PimTime::Now();
        ASSERT_GT(now, previous);
        ASSERT_GT(PimTime::MillisecondDelta(), 0.0);
        ASSERT_DOUBLE_EQ(PimTime::MillisecondDelta(), static_cast<double>((now - previous).Get()) / 1000.0);
        ASSERT_TRUE(std::isfinite(PimTime::FrameRate()));
        previous = now;
    }
}

TEST_F(FrameClock, InvalidStepsAreRefusedAndChangeNothing)
{
    PimTime::SetFixedStep(10.0);
    PimAssert::ResetFailureCount();
    for (double step : {0.0, -5.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
        PimTime::SetFixedStep(step);
    EXPECT_EQ(PimAssert::GetFailureCount(), 4u);
    PimAssert::ResetFailureCount();
    PimTime::BeginFrame();
    EXPECT_EQ(PimTime::MillisecondDelta(), 10.0);
}

TEST(PimTimeValue, ConvertsUnitsAndOrders)
{
    EXPECT_EQ(PimTime::FromSeconds(1.5).Get(), 1'500'000);
    EXPECT_EQ(PimTime::FromMilliseconds(-250).Get(), -250'000);
    EXPECT_EQ(PimTime(1'999'999).GetMilliseconds(), 1999);
    EXPECT_DOUBLE_EQ(PimTime(2'500'000).GetSeconds(), 2.5);

    PimTime t;
    t.Set(42);
    t += PimTime(8);
    EXPECT_EQ(t.Get(), 50);
    EXPECT_EQ((t - PimTime(70)).Get(), -20);
    // File listings sort on the signed value.
    EXPECT_LT(PimTime(-1), PimTime(0));
}

TEST(PimTimeValue, FileTimesAreCalendarMicroseconds)
{
    using namespace std::chrono;
    const auto path = std::filesystem::temp_directory_path() / "quillot-time-test.txt";
    std::ofstream(path) << "x";
    // 2020-01-01 00:00:00.25 UTC.
    const sys_time<microseconds> moment = sys_days{year{2020} / 1 / 1} + milliseconds(250);
    std::filesystem::last_write_time(path, file_clock::from_sys(moment));

    PimTime t;
    t.Set(std::filesystem::last_write_time(path));
    EXPECT_EQ(t.Get(), 1'577'836'800'250'000);
    EXPECT_EQ(PimTime::FromFileTime(std::filesystem::last_write_time(path)), t);
    std::filesystem::remove(path);
}
