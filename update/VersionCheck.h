#pragma once

#include "update/PublishedVersion.h"
#include "update/UpdateServer.h"

#include "engine/CurlCommand.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <string>

// The request for the published version, made once when the main menu is built. It runs on the
// request's own thread, so the frame loop never waits for the network; the menu polls it once a
// frame. An update is offered when a valid answer naming a version newer than 1.0 arrives within
// the server's answer window (a few seconds) after the start; a later, failed, oversized or
// malformed answer offers nothing. At most kMaxAnswer bytes are taken: a longer answer ends the
// request and offers nothing.
//
// Threads: Start, Poll and the destructor on the owner's thread (the main thread); the request's
// callbacks on its thread.
class VersionCheck
{
public:
    enum class State
    {
        Waiting,
        Offered,   // GetOffer holds the newer version
        NoOffer,
    };

    VersionCheck() = default;
    ~VersionCheck();
    VersionCheck(const VersionCheck&) = delete;
    VersionCheck& operator=(const VersionCheck&) = delete;

    // Starts the request to the server's version file with the user agent; the window counts
    // from now.
    void Start(const UpdateServer& server, const std::string& userAgent);
    // Waiting until the answer is in or the window has passed; then Offered or NoOffer for good.
    State Poll();
    const std::optional<PublishedVersion>& GetOffer() const { return offer; }
    // The number published (whether newer or not) once the state is final and an answer was read.
    const std::optional<PublishedVersion>& GetPublished() const { return published; }

private:
    using Clock = std::chrono::steady_clock;

    void Decide();

    Pim::CurlCommand command;
    Clock::time_point started;
    std::chrono::milliseconds window{0};
    State state = State::NoOffer;
    std::optional<PublishedVersion> offer;
    std::optional<PublishedVersion> published;

    // The answer lock: taken by the request thread as the answer arrives and ends, and by the
    // owner's Poll. Guards answer, overflowed, finished, arrived and outcome.
    std::mutex answerMutex;
    std::string answer;
    bool overflowed = false;
    bool finished = false;
    Clock::time_point arrived;
    Pim::CurlOutcome outcome = Pim::CurlOutcome::Failed;
};
