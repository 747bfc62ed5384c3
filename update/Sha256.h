#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// A SHA-256 digest computed piece by piece (OpenSSL's EVP interface), for checking a downloaded
// installer against the checksum its server publishes. One object per thread at a time.
class Sha256
{
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Add(const void* data, std::size_t size);
    // The digest of everything added, as 64 lower-case hexadecimal digits; the object then starts
    // again from nothing.
    std::string FinishHex();

    // The digest of a whole file; empty when it cannot be read.
    static std::string OfFile(const std::string& path);
    static bool IsHexDigest(std::string_view text);

private:
    struct Context;
    std::unique_ptr<Context> context;
};
