#pragma once

#include <compare>
#include <cstdint>
#include <filesystem>

// A moment or a span of time as a signed 64-bit count of microseconds, and the engine's frame
// clock.
//
// A PimTime value lies on one of two time lines: the frame clock (PimTime::Now, microseconds
// since the clock was last reset) or the calendar (FromFileTime, microseconds since
// 1970-01-01 UTC, used for file modification times). Values compare and subtract meaningfully
// only with values of the same time line; the difference of two moments is a span, also a
// PimTime. Values are plain data and may be copied between threads.
//
// The frame clock is advanced once per frame by the frame loop (BeginFrame, before any page or
// object is updated) and is read by everything that runs in that frame: the frame's duration
// (MillisecondDelta, SecondDelta), the frame rate and the frame's moment (Now), which all stay
// the same for the whole frame. In fixed-step mode each frame lasts exactly the chosen time
// instead of the measured one, so that tests and recordings are deterministic.
// The frame clock's functions are main-thread only.
class PimTime
{
public:
    constexpr PimTime() = default;
    constexpr explicit PimTime(std::int64_t microseconds) : value(microseconds) {}

    static constexpr PimTime FromMilliseconds(std::int64_t milliseconds) { return PimTime(milliseconds * 1000); }
    // Rounded to the nearest microsecond.
    static PimTime FromSeconds(double seconds);
    // A file's modification time (std::filesystem::last_write_time) on the calendar time line.
    static PimTime FromFileTime(std::filesystem::file_time_type fileTime);

    constexpr void Set(std::int64_t microseconds) { value = microseconds; }
    void Set(std::filesystem::file_time_type fileTime) { *this = FromFileTime(fileTime); }

    // The 64-bit value itself (microseconds); also the sort key of file listings.
    constexpr std::int64_t Get() const { return value; }
    // Whole milliseconds, rounded towards zero.
    constexpr std::int64_t GetMilliseconds() const { return value / 1000; }
    double GetSeconds() const { return static_cast<double>(value) / 1'000'000.0; }

    constexpr PimTime operator+(PimTime o) const { return PimTime(value + o.value); }
    constexpr PimTime operator-(PimTime o) const { return PimTime(value - o.value); }
    constexpr PimTime& operator+=(PimTime o) { value += o.value; return *this; }
    constexpr auto operator<=>(const PimTime&) const = default;

    // --- The frame clock (main thread only) ---

    // Starts a new frame: measures (or, in fixed-step mode, takes) the time since the previous
    // frame. The first frame after a reset measures from the reset. Every frame lasts at least
    // one microsecond, so the deltas of a started frame are never zero.
    static void BeginFrame();

    // Duration of the current frame, that is the time between the previous BeginFrame and this
    // frame's. Zero before the first frame.
    static double MillisecondDelta();
    static double SecondDelta();
    // Frames per second at the current frame's duration (1 / SecondDelta); 0 before the first
    // frame.
    static double FrameRate();
    // Frames begun since the last reset.
    static std::uint64_t FrameCount();
    // The moment the current frame began, on the frame clock's time line: 0 at a reset, and
    // advancing at each BeginFrame by the frame's duration (to the nearest microsecond).
    static PimTime Now();

    // Fixed-step mode: from the next BeginFrame on, every frame lasts exactly this many
    // milliseconds (more than 0 and finite; anything else is refused with an assertion and
    // leaves the mode unchanged). Frame moments are exact multiples of the step from the moment
    // the mode was chosen, so no rounding error builds up.
    static void SetFixedStep(double milliseconds);
    // Back to measuring real time; the frame clock's time line continues from Now.
    static void SetRealClock();
    static bool IsFixedStep();

    // Starts the frame clock's time line again at 0 with no frame begun; the mode (real or
    // fixed step) is kept.
    static void Reset();

private:
    std::int64_t value = 0;
};
