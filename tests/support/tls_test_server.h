#pragma once

#include "tests/support/TempFolder.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

// An HTTPS server on 127.0.0.1 (an ephemeral port) for the update tests. Its certificate is made
// by the test with the openssl command: a certificate authority of its own (CaFile, which the
// requests are told to trust) signs the server's certificate for the address 127.0.0.1, so the
// client verifies the peer and the host name as it would on the internet.
//
// Each path answers as set with Serve: a body with a status, a body cut off after some bytes
// (the connection closes early while the header promises the whole length), or no answer at all
// until the client gives up. Unknown paths answer 404. Every request head is kept (Requests).
// One thread per connection; the destructor stops them all.
class TlsTestServer
{
public:
    enum class Kind
    {
        Whole,
        Cut,
        Silent,
    };
    struct Reply
    {
        std::string body;
        int status = 200;
        Kind kind = Kind::Whole;
        std::size_t cutAfter = 0;
    };

    TlsTestServer()
    {
        MakeCertificates();
        context = SSL_CTX_new(TLS_server_method());
        if (context == nullptr || SSL_CTX_use_certificate_chain_file(context, (folder.Path() / "server.pem").c_str()) != 1 ||
            SSL_CTX_use_PrivateKey_file(context, (folder.Path() / "server.key").c_str(), SSL_FILETYPE_PEM) != 1)
            throw std::runtime_error("the test server's certificate could not be used");
        // A client that stops reading (an answer over its cap) closes the connection while the
        // server still writes: the write must fail, not end the test process with SIGPIPE.
        std::signal(SIGPIPE, SIG_IGN);
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0 || ::listen(listener, 16) != 0 ||
            ::pipe(stopPipe) != 0)
            throw std::runtime_error("the test server could not listen");
        port = ntohs(address.sin_port);
        acceptor = std::thread([this] { Accept(); });
    }

    ~TlsTestServer()
    {
        const char stop = 's';
        [[maybe_unused]] const ssize_t written = ::write(stopPipe[1], &stop, 1);
        acceptor.join();
        for (std::thread& connection : connections)
            connection.join();
        ::close(listener);
        ::close(stopPipe[0]);
        ::close(stopPipe[1]);
        SSL_CTX_free(context);
    }

    // "https://127.0.0.1:<port>/"
    std::string Address() const { return "https://127.0.0.1:" + std::to_string(port) + "/"; }
    std::string CaFile() const { return (folder.Path() / "ca.pem").string(); }
    const TempFolder& Folder() const { return folder; }

    void Serve(const std::string& path, Reply reply)
    {
        std::lock_guard lock(mutex);
        replies[path] = std::move(reply);
    }

    std::vector<std::string> Requests()
    {
        std::lock_guard lock(mutex);
        return requests;
    }

    // The version page in its published form.
    static std::string VersionPage(const std::string& version) { return "<html><body><p>\n" + version + "</p></body></html>\n"; }

private:
    void MakeCertificates()
    {
        const std::string at = "cd '" + folder.Path().string() + "' && ";
        std::ofstream(folder.Path() / "server.ext") << "subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n"
                                                        "keyUsage=digitalSignature\nextendedKeyUsage=serverAuth\n";
        const std::string commands =
            at + "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout ca.key -out ca.pem "
                 "-days 2 -subj /CN=QuillotTestAuthority >/dev/null 2>&1 && "
                 "openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout server.key -out server.csr "
                 "-subj /CN=127.0.0.1 >/dev/null 2>&1 && "
                 "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem -days 2 "
                 "-extfile server.ext >/dev/null 2>&1";
        if (std::system(commands.c_str()) != 0)
            throw std::runtime_error("openssl could not make the test certificates");
    }

    bool WaitReadable(int fd) const
    {
        pollfd fds[2] = {{fd, POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
        while (::poll(fds, 2, -1) < 0)
        {
        }
        return (fds[1].revents & POLLIN) == 0;
    }

    void Accept()
    {
        while (WaitReadable(listener))
        {
            const int connection = ::accept(listener, nullptr, nullptr);
            if (connection >= 0)
                connections.emplace_back([this, connection] { Handle(connection); });
        }
    }

    // Reads the request head through TLS; empty when the client went away.
    std::string ReadHead(SSL* ssl, int fd) const
    {
        std::string head;
        char buffer[2048];
        while (head.find("\r\n\r\n") == std::string::npos)
        {
            const int n = SSL_read(ssl, buffer, sizeof buffer);
            if (n > 0)
            {
                head.append(buffer, static_cast<std::size_t>(n));
                continue;
            }
            const int error = SSL_get_error(ssl, n);
            if ((error != SSL_ERROR_WANT_READ) || !WaitReadable(fd))
                return {};
        }
        return head;
    }

    void Handle(int fd)
    {
        SSL* ssl = SSL_new(context);
        SSL_set_fd(ssl, fd);
        if (WaitReadable(fd) && SSL_accept(ssl) == 1)
            Answer(ssl, fd, ReadHead(ssl, fd));
        SSL_free(ssl);
        ::close(fd);
    }

    void Answer(SSL* ssl, int fd, const std::string& head)
    {
        if (head.empty())
            return;
        const std::size_t start = head.find(' ') + 1;
        const std::string path = head.substr(start, head.find(' ', start) - start);
        Reply reply{"missing", 404};
        {
            std::lock_guard lock(mutex);
            requests.push_back(head);
            if (const auto found = replies.find(path); found != replies.end())
                reply = found->second;
        }
        if (reply.kind == Kind::Silent)
        {
            // Nothing until the client closes or the server stops.
            char buffer[256];
            while (WaitReadable(fd) && SSL_read(ssl, buffer, sizeof buffer) > 0)
            {
            }
            return;
        }
        const std::string response = "HTTP/1.1 " + std::to_string(reply.status) + " Test\r\nContent-Length: " +
                                     std::to_string(reply.body.size()) + "\r\nConnection: close\r\n\r\n" +
                                     (reply.kind == Kind::Cut ? reply.body.substr(0, reply.cutAfter) : reply.body);
        SSL_write(ssl, response.data(), static_cast<int>(response.size()));
        if (reply.kind == Kind::Whole)
            SSL_shutdown(ssl);
    }

    TempFolder folder;
    SSL_CTX* context = nullptr;
    int listener = -1;
    int stopPipe[2] = {-1, -1};
    int port = 0;
    std::thread acceptor;
    // Only the acceptor thread adds to it; joined by the destructor after the acceptor.
    std::vector<std::thread> connections;
    // Guards replies and requests: taken by the test's thread and the connection threads.
    std::mutex mutex;
    std::map<std::string, Reply> replies;
    std::vector<std::string> requests;
};
