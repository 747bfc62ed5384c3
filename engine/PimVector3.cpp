#include "engine/PimVector3.h"

#include "engine/PimAssert.h"

#include <charconv>
#include <cmath>

namespace
{
float NextBoundary(float value, float direction)
{
    if (direction > 0.0f)
        return std::floor(value) + 1.0f;
    if (direction < 0.0f)
        return std::ceil(value) - 1.0f;
    return value;
}

std::string_view TrimSpaces(std::string_view text)
{
    constexpr std::string_view spaces = " \t\r\n";
    const auto first = text.find_first_not_of(spaces);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(spaces);
    return text.substr(first, last - first + 1);
}

// One finite float filling the whole token, or nullopt.
std::optional<float> ParseFloatToken(std::string_view token)
{
    token = TrimSpaces(token);
    float value = 0.0f;
    const char* end = token.data() + token.size();
    const auto [ptr, ec] = std::from_chars(token.data(), end, value, std::chars_format::general);
    if (token.empty() || ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

void AppendFloat(std::string& out, float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}
}

PimVector3 PimVector3::IntegerizeInDirection(const PimVector3& direction) const
{
    return {NextBoundary(x, direction.x), NextBoundary(y, direction.y), NextBoundary(z, direction.z)};
}

int PimVector3::SmallestNonZeroDimension() const
{
    int best = 0;
    float bestMagnitude = INFINITY;
    bool found = false;
    for (int axis = 0; axis < 3; ++axis)
    {
        const float magnitude = std::fabs((*this)[axis]);
        if (magnitude == 0.0f || std::isnan(magnitude))
            continue;
        if (!found || magnitude <= bestMagnitude)
        {
            best = axis;
            bestMagnitude = magnitude;
            found = true;
        }
    }
    return best;
}

int PimVector3::LargestDimension() const
{
    int best = 0;
    float bestMagnitude = -1.0f;
    for (int axis = 0; axis < 3; ++axis)
    {
        const float magnitude = std::fabs((*this)[axis]);
        if (magnitude >= bestMagnitude)
        {
            best = axis;
            bestMagnitude = magnitude;
        }
    }
    return best;
}

bool PimVector3::DimensionsTheSame_AtLeast(const PimVector3& other, int count) const
{
    const int same = (x == other.x) + (y == other.y) + (z == other.z);
    return same >= count;
}

std::string PimVector3::ToString() const
{
    std::string text;
    AppendFloat(text, x);
    text += ", ";
    AppendFloat(text, y);
    text += ", ";
    AppendFloat(text, z);
    return text;
}

std::optional<PimVector3> PimVector3::Parse(std::string_view text)
{
    float values[3];
    for (int i = 0; i < 3; ++i)
    {
        const auto comma = text.find(',');
        const bool last = i == 2;
        if (last != (comma == std::string_view::npos))
            return std::nullopt;
        const auto value = ParseFloatToken(text.substr(0, comma));
        if (!value)
            return std::nullopt;
        values[i] = *value;
        if (!last)
            text.remove_prefix(comma + 1);
    }
    return PimVector3(values[0], values[1], values[2]);
}

PimVector3 PimVector3::FromString(std::string_view text)
{
    return Parse(text).value_or(PimVector3());
}

void PimVector3::ReportBadAxis(int axis)
{
    PimAssert::Assert(false, "PimVector3::operator[] - Axis " + std::to_string(axis) + " out of range");
}

float& PimVector3::BadAxisScratch(int axis)
{
    ReportBadAxis(axis);
    thread_local float scratch;
    scratch = 0.0f;
    return scratch;
}
