#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What the server publishes about its installer in "downloads/QuillotInstaller.tar.gz.sha256",
// one line in the form sha256sum writes, followed by the installer's size in bytes:
//
//   <64 hexadecimal digits>  QuillotInstaller.tar.gz  <size>
//
// The installer is run only when its download has exactly that size and that digest. Anything
// else - a missing part, upper-case or short digits, a size of 0 or above kMaxInstaller, more
// than kMaxManifest bytes - is no manifest. A plain value; any thread.
struct InstallerManifest
{
    static constexpr std::size_t kMaxManifest = 512;
    static constexpr std::uint64_t kMaxInstaller = 1ull << 30;

    std::string sha256;
    std::uint64_t size = 0;

    static std::optional<InstallerManifest> Parse(std::string_view text);
};
