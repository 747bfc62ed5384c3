#include "update/VersionCheck.h"

VersionCheck::~VersionCheck()
{
    // The command's own destructor cancels and waits; the callbacks touch this object's members,
    // so that must happen before they go.
    command.Cancel();
    command.Wait();
}

void VersionCheck::Start(const UpdateServer& server, const std::string& userAgent)
{
    started = Clock::now();
    window = server.answerWindow;
    state = State::Waiting;
    command.SetHttpsOnly(true);
    command.SetCaFile(server.caFile);
    command.SetConnectTimeout(window);
    command.SetTimeout(window);
    const auto write = [this](const char* data, std::size_t size, std::size_t count, void*) -> std::size_t {
        const std::size_t length = size * count;
        std::lock_guard lock(answerMutex);
        if (answer.size() + length > PublishedVersion::kMaxAnswer)
        {
            overflowed = true;
            return 0;
        }
        answer.append(data, length);
        return length;
    };
    const auto done = [this](const Pim::CurlResult& result) {
        std::lock_guard lock(answerMutex);
        finished = true;
        arrived = Clock::now();
        outcome = result.outcome;
    };
    if (!command.GetUrl(server.VersionFileUrl(), userAgent, write, nullptr, done))
        state = State::NoOffer;
}

VersionCheck::State VersionCheck::Poll()
{
    if (state != State::Waiting)
        return state;
    bool answered = false;
    {
        std::lock_guard lock(answerMutex);
        answered = finished;
    }
    if (answered)
        Decide();
    else if (Clock::now() - started > window)
    {
        // Too late: whatever comes now offers nothing.
        command.Cancel();
        state = State::NoOffer;
    }
    return state;
}

void VersionCheck::Decide()
{
    std::lock_guard lock(answerMutex);
    state = State::NoOffer;
    if (outcome != Pim::CurlOutcome::Completed || overflowed || arrived - started > window)
        return;
    published = PublishedVersion::Parse(answer);
    if (published && published->IsNewer())
    {
        offer = published;
        state = State::Offered;
    }
}
