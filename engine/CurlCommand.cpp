#include "engine/CurlCommand.h"

#include "engine/PimAssert.h"

#include <curl/curl.h>

#include <algorithm>

namespace Pim
{
namespace
{
// How long the request thread sleeps in one poll when nothing happens; Cancel wakes it sooner.
constexpr int pollMilliseconds = 1000;
constexpr long maxRedirects = 10;

// libcurl's global set-up, done once for the process by whichever thread first needs it.
bool GlobalInitOnce()
{
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

long Milliseconds(std::chrono::milliseconds value)
{
    return static_cast<long>(std::max<std::chrono::milliseconds::rep>(0, value.count()));
}

CurlOutcome OutcomeOf(CURLcode code)
{
    switch (code)
    {
    case CURLE_OK: return CurlOutcome::Completed;
    case CURLE_OPERATION_TIMEDOUT: return CurlOutcome::TimedOut;
    default: return CurlOutcome::Failed;
    }
}
}

struct CurlCommand::Request
{
    std::string url;
    std::string userAgent;
    WriteCallback write;
    void* user = nullptr;
    DoneCallback done;
    std::chrono::milliseconds connectTimeout;
    std::chrono::milliseconds totalTimeout;
    std::chrono::milliseconds stallTimeout;
    bool httpsOnly = false;
    std::string caFile;
    CurlResult result;
    char errorText[CURL_ERROR_SIZE] = {};
};

CurlCommand::~CurlCommand()
{
    Cancel();
    Wait();
}

void CurlCommand::SetConnectTimeout(std::chrono::milliseconds timeout)
{
    connectTimeout = timeout;
}

void CurlCommand::SetTimeout(std::chrono::milliseconds timeout)
{
    totalTimeout = timeout;
}

void CurlCommand::SetStallTimeout(std::chrono::milliseconds timeout)
{
    stallTimeout = timeout;
}

void CurlCommand::SetHttpsOnly(bool onlyHttps)
{
    httpsOnly = onlyHttps;
}

void CurlCommand::SetCaFile(std::string path)
{
    caFile = std::move(path);
}

bool CurlCommand::GetUrl(const std::string& url, const std::string& userAgent, WriteCallback write, void* user,
                         DoneCallback done)
{
    if (!write)
    {
        PimAssert::Assert(false, "CurlCommand::GetUrl() - A write callback is needed");
        return false;
    }
    {
        std::lock_guard lock(stateMutex);
        if (busy)
            return false;
        busy = true;
        cancelRequested = false;
    }
    JoinEnded();
    auto request = std::make_unique<Request>();
    request->url = url;
    request->userAgent = userAgent;
    request->write = std::move(write);
    request->user = user;
    request->done = std::move(done);
    request->connectTimeout = connectTimeout;
    request->totalTimeout = totalTimeout;
    request->stallTimeout = stallTimeout;
    request->httpsOnly = httpsOnly;
    request->caFile = caFile;
    requestThread = std::thread([this, owned = std::move(request)] { Transfer(*owned); });
    return true;
}

void CurlCommand::Cancel()
{
    std::lock_guard lock(stateMutex);
    if (!busy)
        return;
    cancelRequested = true;
    if (activeMulti != nullptr)
        curl_multi_wakeup(activeMulti);
}

void CurlCommand::Wait()
{
    {
        std::unique_lock lock(stateMutex);
        ended.wait(lock, [this] { return !busy; });
    }
    JoinEnded();
}

bool CurlCommand::WaitFor(std::chrono::milliseconds limit)
{
    {
        std::unique_lock lock(stateMutex);
        if (!ended.wait_for(lock, limit, [this] { return !busy; }))
            return false;
    }
    JoinEnded();
    return true;
}

bool CurlCommand::IsBusy() const
{
    std::lock_guard lock(stateMutex);
    return busy;
}

void CurlCommand::JoinEnded()
{
    if (requestThread.joinable())
        requestThread.join();
}

void CurlCommand::Transfer(Request& request)
{
    Perform(request);
    if (request.done)
        request.done(request.result);
    Finish();
}

void CurlCommand::Perform(Request& request)
{
    CURL* easy = GlobalInitOnce() ? curl_easy_init() : nullptr;
    CURLM* multi = easy != nullptr ? curl_multi_init() : nullptr;
    if (multi == nullptr)
    {
        if (easy != nullptr)
            curl_easy_cleanup(easy);
        request.result.message = "The HTTP library could not be set up";
        return;
    }
    Configure(easy, request);
    curl_multi_add_handle(multi, easy);
    {
        std::lock_guard lock(stateMutex);
        activeMulti = multi;
    }

    const Ending ending = Drive(multi);
    CURLcode code = CURLE_OK;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued))
    {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy)
            code = message->data.result;
    }

    {
        // Cancel must not wake a freed handle.
        std::lock_guard lock(stateMutex);
        activeMulti = nullptr;
    }
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &request.result.httpStatus);
    curl_multi_remove_handle(multi, easy);
    curl_easy_cleanup(easy);
    curl_multi_cleanup(multi);

    switch (ending)
    {
    case Ending::Cancelled:
        request.result.outcome = CurlOutcome::Cancelled;
        request.result.message = "Cancelled";
        break;
    case Ending::MultiFailed:
        request.result.outcome = CurlOutcome::Failed;
        request.result.message = "The transfer could not be driven";
        break;
    case Ending::Finished:
        request.result.outcome = OutcomeOf(code);
        if (code != CURLE_OK)
            request.result.message = request.errorText[0] != '\0' ? request.errorText : curl_easy_strerror(code);
        break;
    }
}

void CurlCommand::Configure(void* easy, Request& request)
{
    curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(easy, CURLOPT_USERAGENT, request.userAgent.c_str());
    // Hands each received piece to the request's write callback.
    curl_write_callback writePiece = [](char* data, std::size_t size, std::size_t count, void* requestPointer) {
        auto& writing = *static_cast<Request*>(requestPointer);
        const std::size_t taken = writing.write(data, size, count, writing.user);
        writing.result.bytesReceived += std::min(taken, size * count);
        return taken;
    };
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, writePiece);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &request);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, request.errorText);
    // No signals: time-outs must not raise SIGALRM in a threaded program.
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, maxRedirects);
    const char* protocols = request.httpsOnly ? "https" : "http,https";
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, protocols);
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, protocols);
    // Peer and host verification stay at the library's defaults (on); only the trusted
    // authorities may be named.
    if (!request.caFile.empty())
        curl_easy_setopt(easy, CURLOPT_CAINFO, request.caFile.c_str());
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, Milliseconds(request.connectTimeout));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, Milliseconds(request.totalTimeout));
    if (request.stallTimeout.count() > 0)
    {
        const auto stallSeconds = (request.stallTimeout.count() + 999) / 1000;
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, static_cast<long>(stallSeconds));
    }
}

CurlCommand::Ending CurlCommand::Drive(void* multi)
{
    while (true)
    {
        int stillRunning = 0;
        if (curl_multi_perform(multi, &stillRunning) != CURLM_OK)
            return Ending::MultiFailed;
        if (stillRunning == 0)
            return Ending::Finished;
        {
            std::lock_guard lock(stateMutex);
            if (cancelRequested)
                return Ending::Cancelled;
        }
        if (curl_multi_poll(multi, nullptr, 0, pollMilliseconds, nullptr) != CURLM_OK)
            return Ending::MultiFailed;
    }
}

void CurlCommand::Finish()
{
    std::lock_guard lock(stateMutex);
    busy = false;
    ended.notify_all();
}
}
