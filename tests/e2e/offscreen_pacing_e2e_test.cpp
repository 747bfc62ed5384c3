// The program as a user without a screen runs it (SDL_VIDEODRIVER=offscreen): on the real clock
// with the desktop simulator, its frames must be paced and its memory flat, and a SIGTERM must end
// it at once.

#include "tests/support/offscreen_user.h"

#include "app/SceneSetup.h"

#include "settings/GameSettings.h"
#include "settings/SettingsFolders.h"

#include "engine/PimSystem.h"

#include <gtest/gtest.h>

#include <csignal>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace
{
constexpr std::uint64_t kFrames = 600;
// A sanitizer's shadow memory and quarantine make resident memory meaningless as a bound.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kResidentMemoryIsOurs = false;
#else
constexpr bool kResidentMemoryIsOurs = true;
#endif

// Resident memory of this process in MiB, from /proc.
double ResidentMiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

TEST(OffscreenPacingE2E, SixHundredFramesKeepMemoryFlatAndATermSignalQuitsAtOnce)
{
    OffscreenUser user;

    auto settings = std::make_unique<GameSettings>(SettingsFolders::Locate());
    // The entry's parameters (real clock, the simulator) at half the headset's size, so that the
    // software renderer keeps up on a small machine.
    PimSystemParameters parameters = MakeStartParameters(settings->GetFolders());
    parameters.deviceMode = PimDeviceMode::Desktop;
    parameters.width /= 2;
    parameters.height /= 2;
    ASSERT_TRUE(PimSystem::Initialize(parameters));
    QuillotScene scene = SetUpScene(*settings);

    std::uint64_t frames = 0;
    double peakMiB = 0.0;
    std::chrono::steady_clock::time_point termSent{};
    PimSystem::AddFrameCallback(PimFramePhase::Update, [&] {
        ++frames;
        peakMiB = std::max(peakMiB, ResidentMiB());
        if (frames == kFrames)
        {
            termSent = std::chrono::steady_clock::now();
            ::kill(::getpid(), SIGTERM);
        }
    });
    const auto start = std::chrono::steady_clock::now();
    PimSystem::Run();
    const auto lastFrame = std::chrono::steady_clock::now();
    // Closing the display lets the driver finish whatever it still holds: part of quitting.
    PimSystem::Shutdown();
    const auto end = std::chrono::steady_clock::now();

    ASSERT_GE(frames, kFrames) << "the loop ended before the signal";
    const double quitMs = std::chrono::duration<double, std::milli>(end - termSent).count();
    const double seconds = std::chrono::duration<double>(lastFrame - start).count();
    std::printf("offscreen_peak_mib=%.1f\nquit_after_term_ms=%.1f\noffscreen_frames_per_second=%.1f\n", peakMiB,
                quitMs, static_cast<double>(frames) / seconds);
    if (kResidentMemoryIsOurs)
    {
        EXPECT_LT(peakMiB, 300.0);
    }
    EXPECT_LE(frames, kFrames + 2) << "the signal ends the loop within a frame or two";
    // A frame at most a software renderer's: far from the tens of seconds a queue of frames took.
    EXPECT_LT(quitMs, 1000.0);
    // Never faster than the 90 Hz pace (a little slack for the clock's granularity).
    EXPECT_LT(static_cast<double>(frames) / seconds, 95.0);
}
}
