#include "update/Sha256.h"

#include <openssl/evp.h>

#include <array>
#include <cstdio>
#include <fstream>

struct Sha256::Context
{
    EVP_MD_CTX* digest = EVP_MD_CTX_new();
    ~Context() { EVP_MD_CTX_free(digest); }
    void Begin() { EVP_DigestInit_ex(digest, EVP_sha256(), nullptr); }
};

Sha256::Sha256() : context(std::make_unique<Context>())
{
    context->Begin();
}

Sha256::~Sha256() = default;

void Sha256::Add(const void* data, std::size_t size)
{
    EVP_DigestUpdate(context->digest, data, size);
}

std::string Sha256::FinishHex()
{
    std::array<unsigned char, EVP_MAX_MD_SIZE> bytes{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(context->digest, bytes.data(), &length);
    context->Begin();
    std::string hex;
    for (unsigned int i = 0; i < length; ++i)
    {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        hex += pair;
    }
    return hex;
}

std::string Sha256::OfFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return {};
    Sha256 digest;
    std::array<char, 1 << 16> buffer{};
    while (file)
    {
        file.read(buffer.data(), buffer.size());
        digest.Add(buffer.data(), static_cast<std::size_t>(file.gcount()));
    }
    if (file.bad())
        return {};
    return digest.FinishHex();
}

bool Sha256::IsHexDigest(std::string_view text)
{
    if (text.size() != 64)
        return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}
