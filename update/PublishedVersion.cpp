#include "update/PublishedVersion.h"

#include <charconv>

namespace
{
std::optional<std::uint16_t> Number(std::string_view digits)
{
    if (digits.empty() || digits.size() > 5)
        return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value > 0xFFFF)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

std::string_view TrimSpace(std::string_view text)
{
    constexpr std::string_view kSpace = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}
}

std::optional<PublishedVersion> PublishedVersion::Parse(std::string_view answer)
{
    constexpr std::string_view kClosing = "</html>";
    if (answer.size() > kMaxAnswer)
        return std::nullopt;
    const std::size_t closing = answer.rfind(kClosing);
    if (closing == std::string_view::npos || !TrimSpace(answer.substr(closing + kClosing.size())).empty())
        return std::nullopt;
    const std::string_view page = answer.substr(0, closing + kClosing.size());
    if (page.size() < kMarkupBefore + kMarkupAfter)
        return std::nullopt;
    const std::string_view number = TrimSpace(page.substr(kMarkupBefore, page.size() - kMarkupBefore - kMarkupAfter));
    const std::size_t dot = number.find('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    const std::optional<std::uint16_t> major = Number(number.substr(0, dot));
    const std::optional<std::uint16_t> minor = Number(number.substr(dot + 1));
    if (!major || !minor)
        return std::nullopt;
    return PublishedVersion{*major, *minor};
}

bool PublishedVersion::IsNewer() const
{
    return major > kOwnMajor || (major == kOwnMajor && minor > kOwnMinor);
}

std::string PublishedVersion::Text() const
{
    return std::to_string(major) + "." + std::to_string(minor);
}

std::string PublishedVersion::ComparisonText() const
{
    return PublishedVersion{kOwnMajor, kOwnMinor}.Text() + "  >  " + Text();
}
