#include "engine/PimNumberText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>
#include <type_traits>

namespace
{
// Plain decimal notation is used while the value's decimal exponent n (value = 0.digits x 10^n)
// stays within these bounds; outside them the text switches to exponent notation.
constexpr int plainNotationLowestExponent = -5;
constexpr int plainNotationHighestExponent = 21;

template <typename Real>
std::string FormatReal(Real value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string_view scientific(buffer, static_cast<std::size_t>(result.ptr - buffer));
    if (!std::isfinite(value))
        return std::string(scientific);

    // The shortest scientific form is [-]d[.ddd]e(+|-)xx; lay its digits out again.
    const bool negative = scientific.front() == '-';
    const std::size_t exponentMark = scientific.find('e');
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < exponentMark; ++i)
        if (scientific[i] != '.')
            digits.push_back(scientific[i]);
    std::string_view exponentText = scientific.substr(exponentMark + 1);
    if (exponentText.front() == '+')
        exponentText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

    const int count = static_cast<int>(digits.size());
    const int n = exponent + 1;
    std::string out = negative ? "-" : "";
    if (n >= count && n <= plainNotationHighestExponent)
        out += digits + std::string(static_cast<std::size_t>(n - count), '0');
    else if (n > 0 && n <= plainNotationHighestExponent)
        out += digits.substr(0, static_cast<std::size_t>(n)) + "." + digits.substr(static_cast<std::size_t>(n));
    else if (n >= plainNotationLowestExponent && n <= 0)
        out += "0." + std::string(static_cast<std::size_t>(-n), '0') + digits;
    else
        out += scientific.substr(negative ? 1 : 0);
    return out;
}

template <typename Integer>
std::string FormatInteger(Integer value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The number itself: surrounding blanks and one leading "+" removed.
std::string_view NumberPart(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    return text;
}

template <typename Integer>
std::optional<Integer> ParseInteger(std::string_view text)
{
    text = NumberPart(text);
    // from_chars refuses a sign on unsigned types; a negative number saturates at 0 instead.
    if (std::is_unsigned_v<Integer> && text.size() > 1 && text.front() == '-')
    {
        const bool digits = std::all_of(text.begin() + 1, text.end(),
                                        [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
        return digits ? std::optional<Integer>(0) : std::nullopt;
    }
    Integer value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (result.ptr != end || text.empty())
        return std::nullopt;
    if (result.ec == std::errc::result_out_of_range)
        return text.front() == '-' ? std::numeric_limits<Integer>::min() : std::numeric_limits<Integer>::max();
    return result.ec == std::errc() ? std::optional<Integer>(value) : std::nullopt;
}

// Whether a well-formed decimal text that lies outside a type's range is too large (rather
// than too small): its decimal exponent, counted from the first significant digit, is positive.
bool HasPositiveDecimalExponent(std::string_view text)
{
    std::size_t i = text.front() == '-' ? 1 : 0;
    long exponent = 0;
    bool significant = false;
    bool fraction = false;
    for (; i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.'); ++i)
    {
        if (text[i] == '.')
            fraction = true;
        else if (!significant && text[i] == '0')
            exponent -= fraction ? 1 : 0;
        else
        {
            significant = true;
            exponent += fraction ? 0 : 1;
        }
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E'))
    {
        ++i;
        const bool negativeExponent = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            ++i;
        long written = 0;
        for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
            written = std::min(written * 10 + (text[i] - '0'), 100000L);
        exponent += negativeExponent ? -written : written;
    }
    return exponent > 0;
}

template <typename Real>
std::optional<Real> ParseReal(std::string_view text)
{
    text = NumberPart(text);
    Real value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (result.ptr != end || text.empty() || result.ec == std::errc::invalid_argument)
        return std::nullopt;
    if (result.ec == std::errc::result_out_of_range)
    {
        const Real magnitude = HasPositiveDecimalExponent(text) ? std::numeric_limits<Real>::infinity() : Real(0);
        return text.front() == '-' ? -magnitude : magnitude;
    }
    return value;
}
}

std::string PimNumberText::FromFloat(float value) { return FormatReal(value); }
std::string PimNumberText::FromDouble(double value) { return FormatReal(value); }
std::string PimNumberText::FromLongInt(std::int64_t value) { return FormatInteger(value); }
std::string PimNumberText::FromLongUInt(std::uint64_t value) { return FormatInteger(value); }

int PimNumberText::ToInt(std::string_view text)
{
    const std::int64_t value = ToLongInt(text);
    constexpr std::int64_t low = std::numeric_limits<int>::min();
    constexpr std::int64_t high = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(value, low, high));
}

std::int64_t PimNumberText::ToLongInt(std::string_view text) { return ParseLongInt(text).value_or(0); }
std::uint64_t PimNumberText::ToLongUInt(std::string_view text) { return ParseLongUInt(text).value_or(0); }
float PimNumberText::ToFloat(std::string_view text) { return ParseFloat(text).value_or(0.0f); }
double PimNumberText::ToDouble(std::string_view text) { return ParseDouble(text).value_or(0.0); }

std::optional<std::int64_t> PimNumberText::ParseLongInt(std::string_view text) { return ParseInteger<std::int64_t>(text); }
std::optional<std::uint64_t> PimNumberText::ParseLongUInt(std::string_view text) { return ParseInteger<std::uint64_t>(text); }
std::optional<float> PimNumberText::ParseFloat(std::string_view text) { return ParseReal<float>(text); }
std::optional<double> PimNumberText::ParseDouble(std::string_view text) { return ParseReal<double>(text); }
