#include "engine/CurlCommand.h"
#include "engine/PimAssert.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{
using namespace std::chrono_literals;

// A TCP socket bound to an ephemeral port of 127.0.0.1.
int BoundSocket(int& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return -1;
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

// An HTTP server on 127.0.0.1 that answers its connections, one after the other, with canned
// responses; an empty response keeps that connection open unanswered until the client closes
// it. It records the head of every request it receives.
class TestServer
{
public:
    explicit TestServer(std::vector<std::string> responsesIn) : responses(std::move(responsesIn))
    {
        listener = BoundSocket(port);
        if (listener < 0 || ::listen(listener, 4) != 0 || ::pipe(stopPipe) != 0)
            throw std::runtime_error("test server could not start");
        thread = std::thread([this] { Serve(); });
    }

    ~TestServer()
    {
        const char stop = 's';
        [[maybe_unused]] ssize_t written = ::write(stopPipe[1], &stop, 1);
        thread.join();
        ::close(listener);
        ::close(stopPipe[0]);
        ::close(stopPipe[1]);
    }

    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port) + path; }

    std::vector<std::string> WaitForRequests(std::size_t count)
    {
        std::unique_lock lock(mutex);
        received.wait(lock, [&] { return requests.size() >= count; });
        return requests;
    }

    std::vector<std::string> Requests()
    {
        std::lock_guard lock(mutex);
        return requests;
    }

private:
    // Waits until fd is readable; false when the server is being stopped.
    bool WaitReadable(int fd)
    {
        pollfd fds[2] = {{fd, POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
        while (::poll(fds, 2, -1) < 0)
        {
        }
        return (fds[1].revents & POLLIN) == 0;
    }

    void Serve()
    {
        for (const std::string& response : responses)
        {
            if (!WaitReadable(listener))
                return;
            const int connection = ::accept(listener, nullptr, nullptr);
            if (connection < 0)
                return;
            std::string head;
            char buffer[4096];
            while (head.find("\r\n\r\n") == std::string::npos && WaitReadable(connection))
            {
                const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
                if (n <= 0)
                    break;
                head.append(buffer, static_cast<std::size_t>(n));
            }
            {
                std::lock_guard lock(mutex);
                requests.push_back(head);
            }
            received.notify_all();
            if (response.empty())
            {
                // Unanswered until the client gives up and closes.
                while (WaitReadable(connection) && ::recv(connection, buffer, sizeof buffer, 0) > 0)
                {
                }
            }
            else
                SendAll(connection, response);
            ::close(connection);
        }
    }

    static void SendAll(int connection, const std::string& data)
    {
        std::size_t sent = 0;
        while (sent < data.size())
        {
            const ssize_t n = ::send(connection, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += static_cast<std::size_t>(n);
        }
    }

    std::vector<std::string> responses;
    int listener = -1;
    int port = 0;
    int stopPipe[2] = {-1, -1};
    std::thread thread;

    // Taken by the server thread and the test thread; guards requests.
    std::mutex mutex;
    std::condition_variable received;
    std::vector<std::string> requests;
};

std::string Response(const std::string& status, const std::string& body, const std::string& extraHeaders = "")
{
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
}

// What a request delivered, filled on the request thread; read after Wait.
struct Received
{
    std::string body;
    int pieces = 0;
    int doneCalls = 0;
    Pim::CurlResult result;

    Pim::CurlCommand::DoneCallback Done()
    {
        return [this](const Pim::CurlResult& r) {
            result = r;
            ++doneCalls;
        };
    }
};

// The write callback in its plain form: the user pointer is the Received record.
std::size_t AppendBody(const char* data, std::size_t size, std::size_t count, void* user)
{
    auto& received = *static_cast<Received*>(user);
    received.body.append(data, size * count);
    ++received.pieces;
    return size * count;
}
}

TEST(CurlCommand, BodyAndUserAgentArrive)
{
    TestServer server({Response("200 OK", "<html>1.2</html>")});
    Received got;
    Pim::CurlCommand command;
    ASSERT_TRUE(command.GetUrl(server.Url("/downloads/updateversion.htm"), "quillot/0.56", AppendBody, &got, got.Done()));
    command.Wait();

    EXPECT_FALSE(command.IsBusy());
    EXPECT_EQ(got.body, "<html>1.2</html>");
    EXPECT_EQ(got.doneCalls, 1);
    EXPECT_EQ(got.result.outcome, Pim::CurlOutcome::Completed);
    EXPECT_EQ(got.result.httpStatus, 200);
    EXPECT_EQ(got.result.bytesReceived, got.body.size());
    EXPECT_TRUE(got.result.message.empty());

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].rfind("GET /downloads/updateversion.htm HTTP/1.1\r\n", 0), 0u);
    EXPECT_NE(requests[0].find("\r\nUser-Agent: quillot/0.56\r\n"), std::string::npos);
}

TEST(CurlCommand, LargeBodyIsStreamedInPieces)
{
    std::string body(3 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < body.size(); ++i)
        body[i] = static_cast<char>('a' + (i * 7 + i / 4096) % 26);
    TestServer server({Response("200 OK", body)});
    Received got;
    Pim::CurlCommand command;
    ASSERT_TRUE(command.GetUrl(server.Url("/downloads/QuillotInstaller.msi"), "quillot/0.56", AppendBody, &got, got.Done()));
    command.Wait();
    EXPECT_EQ(got.result.outcome, Pim::CurlOutcome::Completed);
    EXPECT_GT(got.pieces, 1);
    EXPECT_TRUE(got.body == body);
}

TEST(CurlCommand, RedirectsAreFollowedAndErrorPagesAreFailures)
{
    TestServer server({Response("302 Found", "", "Location: /moved\r\n"), Response("200 OK", "here"),
                       Response("404 Not Found", "<html>missing</html>")});
    Pim::CurlCommand command;
    Received moved;
    ASSERT_TRUE(command.GetUrl(server.Url("/old"), "agent/1", AppendBody, &moved, moved.Done()));
    command.Wait();
    EXPECT_EQ(moved.result.outcome, Pim::CurlOutcome::Completed);
    EXPECT_EQ(moved.body, "here");
    const auto requests = server.WaitForRequests(2);
    EXPECT_EQ(requests[1].rfind("GET /moved HTTP/1.1\r\n", 0), 0u);
    EXPECT_NE(requests[1].find("\r\nUser-Agent: agent/1\r\n"), std::string::npos);

    // The same command serves the next request; an error page never reaches the write callback.
    Received missing;
    ASSERT_TRUE(command.GetUrl(server.Url("/gone"), "agent/1", AppendBody, &missing, missing.Done()));
    command.Wait();
    EXPECT_EQ(missing.result.outcome, Pim::CurlOutcome::Failed);
    EXPECT_EQ(missing.result.httpStatus, 404);
    EXPECT_EQ(missing.pieces, 0);
    EXPECT_FALSE(missing.result.message.empty());
}

TEST(CurlCommand, UnreachableAndInvalidAddressesFailQuietly)
{
    // A bound socket that does not listen refuses connections.
    int port = 0;
    const int closedPort = BoundSocket(port);
    ASSERT_GE(closedPort, 0);
    PimAssert::ResetFailureCount();
    const std::string urls[] = {"http://127.0.0.1:" + std::to_string(port) + "/", "not a url",
                                "ftp://127.0.0.1:" + std::to_string(port) + "/file", ""};
    for (const std::string& url : urls)
    {
        Received got;
        Pim::CurlCommand command;
        ASSERT_TRUE(command.GetUrl(url, "quillot/0.56", AppendBody, &got, got.Done())) << url;
        command.Wait();
        EXPECT_EQ(got.doneCalls, 1) << url;
        EXPECT_EQ(got.result.outcome, Pim::CurlOutcome::Failed) << url;
        EXPECT_EQ(got.result.httpStatus, 0) << url;
        EXPECT_EQ(got.pieces, 0) << url;
    }
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u);
    ::close(closedPort);
}

TEST(CurlCommand, SilentServerTimesOut)
{
    TestServer server({""});
    Received got;
    Pim::CurlCommand command;
    command.SetTimeout(200ms);
    ASSERT_TRUE(command.GetUrl(server.Url("/"), "quillot/0.56", AppendBody, &got, got.Done()));
    command.Wait();
    EXPECT_EQ(got.result.outcome, Pim::CurlOutcome::TimedOut);
    EXPECT_EQ(got.pieces, 0);
}

TEST(CurlCommand, CancelAndDestructionEndARunningRequest)
{
    TestServer server({"", ""});
    Received cancelled;
    Pim::CurlCommand command;
    command.SetTimeout(0ms);
    command.SetStallTimeout(0ms);
    ASSERT_TRUE(command.GetUrl(server.Url("/a"), "quillot/0.56", AppendBody, &cancelled, cancelled.Done()));
    server.WaitForRequests(1);
    Received refused;
    EXPECT_FALSE(command.GetUrl(server.Url("/b"), "quillot/0.56", AppendBody, &refused, refused.Done()));
    EXPECT_TRUE(command.IsBusy());
    command.Cancel();
    command.Wait();
    EXPECT_EQ(cancelled.result.outcome, Pim::CurlOutcome::Cancelled);
    EXPECT_EQ(cancelled.doneCalls, 1);
    EXPECT_EQ(refused.doneCalls, 0);

    // Destroying the command while its request runs cancels it before returning.
    Received destroyed;
    auto doomed = std::make_unique<Pim::CurlCommand>();
    doomed->SetTimeout(0ms);
    doomed->SetStallTimeout(0ms);
    ASSERT_TRUE(doomed->GetUrl(server.Url("/c"), "quillot/0.56", AppendBody, &destroyed, destroyed.Done()));
    server.WaitForRequests(2);
    doomed.reset();
    EXPECT_EQ(destroyed.doneCalls, 1);
    EXPECT_EQ(destroyed.result.outcome, Pim::CurlOutcome::Cancelled);
}

TEST(CurlCommand, WriteCallbackCanRefuseTheBody)
{
    TestServer server({Response("200 OK", "unwanted")});
    std::atomic<int> doneCalls{0};
    Pim::CurlResult result;
    Pim::CurlCommand command;
    ASSERT_TRUE(command.GetUrl(
        server.Url("/"), "quillot/0.56", [](const char*, std::size_t, std::size_t, void*) { return std::size_t{0}; },
        nullptr, [&](const Pim::CurlResult& r) {
            result = r;
            ++doneCalls;
        }));
    command.Wait();
    EXPECT_EQ(doneCalls, 1);
    EXPECT_EQ(result.outcome, Pim::CurlOutcome::Failed);
    EXPECT_EQ(result.bytesReceived, 0u);

    PimAssert::ResetFailureCount();
    EXPECT_FALSE(command.GetUrl(server.Url("/"), "quillot/0.56", nullptr));
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
    PimAssert::ResetFailureCount();
}
