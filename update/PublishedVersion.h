#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The version number the product's server publishes in "downloads/updateversion.htm": a short
// HTML page whose first 16 and last 18 characters are markup around "major.minor", for example
// "<html><body><p>\n1.2</p></body></html>". Whitespace after the closing "</html>" is ignored.
//
// Only an answer that holds "</html>" is read; anything else - no closing tag, an answer longer
// than kMaxAnswer, numbers with other characters around them, a number above 65535 - gives no
// version, so a broken or hostile answer never offers an update. A plain value; any thread.
struct PublishedVersion
{
    // This program's version, shown as the current one and compared with the published one.
    static constexpr std::uint16_t kOwnMajor = 1;
    static constexpr std::uint16_t kOwnMinor = 0;
    static constexpr std::size_t kMaxAnswer = 4096;
    static constexpr std::size_t kMarkupBefore = 16;
    static constexpr std::size_t kMarkupAfter = 18;

    std::uint16_t major = 0;
    std::uint16_t minor = 0;

    static std::optional<PublishedVersion> Parse(std::string_view answer);
    // Newer than this program's 1.0.
    bool IsNewer() const;
    // "1.2"
    std::string Text() const;
    // "1.0  >  1.2": this program's version, then the published one.
    std::string ComparisonText() const;
};
