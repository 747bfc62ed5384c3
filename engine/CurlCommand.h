#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace Pim
{
// How a request ended.
enum class CurlOutcome
{
    Completed, // the whole body was received with a success status (after any redirects)
    Failed,    // no connection, a refused or malformed address, an HTTP error status (400 and
               // above), a write callback that took fewer bytes than offered, ...
    TimedOut,  // the connect, total or stall time-out ran out
    Cancelled  // Cancel, or the command was destroyed while the request ran
};

struct CurlResult
{
    CurlOutcome outcome = CurlOutcome::Failed;
    // The last HTTP status received; 0 when no response arrived.
    long httpStatus = 0;
    // Body bytes the write callback took.
    std::uint64_t bytesReceived = 0;
    // What went wrong, for logs; empty when completed.
    std::string message;
};

// One HTTP(S) GET at a time, run on a request thread of its own so that the caller never
// blocks. The body is streamed: the write callback receives each piece as it arrives (nothing
// is buffered here, so large downloads cost no memory), then the done callback is told how the
// request ended. Failures and time-outs end the request quietly: nothing is thrown or asserted;
// the done callback receives the outcome. Redirects are followed (http and https only), and
// HTTP error statuses count as failures, so an error page is never delivered as the body.
//
// Threads: the owner (any one thread) calls GetUrl, Wait, WaitFor and destroys the command;
// Cancel and IsBusy may be called from any thread, including from inside the callbacks. Both
// callbacks run on the request thread, one at a time; they must not call GetUrl, Wait or WaitFor
// on their own command nor destroy it. The destructor cancels a running request and waits for
// its thread, so the callbacks never run after the command is gone.
class CurlCommand
{
public:
    // Takes size * count bytes at data and returns how many it took; returning fewer ends the
    // request as Failed. `user` is the pointer given to GetUrl.
    using WriteCallback = std::function<std::size_t(const char* data, std::size_t size, std::size_t count, void* user)>;
    // Called exactly once for every request GetUrl accepted, after the last write.
    using DoneCallback = std::function<void(const CurlResult& result)>;

    CurlCommand() = default;
    ~CurlCommand();

    CurlCommand(const CurlCommand&) = delete;
    CurlCommand& operator=(const CurlCommand&) = delete;

    // Time-outs of the requests started afterwards. Connect: for the connection (and TLS
    // handshake), 10 s by default. Total: for the whole request, 15 minutes by default. Stall:
    // the request ends when no byte arrives for this long, 30 s by default, rounded up to whole
    // seconds. Zero disables the total and the stall time-outs; a zero connect time-out means
    // the library's own default.
    void SetConnectTimeout(std::chrono::milliseconds timeout);
    void SetTimeout(std::chrono::milliseconds timeout);
    void SetStallTimeout(std::chrono::milliseconds timeout);
    // Requests started afterwards use only HTTPS, for the address and for every redirect, so a
    // redirect can never downgrade them to plain HTTP. Off by default (http and https).
    void SetHttpsOnly(bool httpsOnly);
    // The certificate authorities that requests started afterwards trust, as a PEM file in place
    // of the system's store; empty (the default) keeps the system's. Certificates and host names
    // are always verified.
    void SetCaFile(std::string path);

    // Starts a GET of url with the user agent. Returns false, and calls nothing, when a request
    // of this command is still running or the write callback is empty.
    bool GetUrl(const std::string& url, const std::string& userAgent, WriteCallback write, void* user = nullptr,
                DoneCallback done = {});

    // Asks the running request to end as Cancelled; returns at once.
    void Cancel();
    // Blocks until the running request (if any) has ended and its done callback returned.
    void Wait();
    // The same with a limit; true when no request is running any more.
    bool WaitFor(std::chrono::milliseconds limit);
    bool IsBusy() const;

private:
    struct Request;
    enum class Ending
    {
        Finished,
        Cancelled,
        MultiFailed
    };
    // The request thread's work: perform the request, report it, mark the command idle.
    void Transfer(Request& request);
    void Perform(Request& request);
    // The library's handles are plain pointers (void*), so this header needs no library header.
    static void Configure(void* easy, Request& request);
    Ending Drive(void* multi);
    void Finish();
    void JoinEnded();

    std::chrono::milliseconds connectTimeout{10'000};
    std::chrono::milliseconds totalTimeout{15 * 60'000};
    std::chrono::milliseconds stallTimeout{30'000};
    bool httpsOnly = false;
    std::string caFile;

    // The command's state lock: taken by the owner's calls, by Cancel from any thread and by
    // the request thread when it starts and ends. Guards busy, cancelRequested and activeMulti
    // (which must not be freed while Cancel wakes it); `ended` is signalled when busy clears.
    mutable std::mutex stateMutex;
    std::condition_variable ended;
    bool busy = false;
    bool cancelRequested = false;
    void* activeMulti = nullptr;

    // Owner thread only.
    std::thread requestThread;
};
}
