#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The text form of numbers shared by the narrow and wide text types, independent of the
// C locale.
//
// Writing gives the shortest text that reads back as the same value: integers as plain
// decimals; floating-point values with the fewest significant digits that identify them,
// in plain decimal notation when the decimal exponent lies between -6 and 20 ("256", "0.1",
// "-0", "0.000001", "100000000000000000000") and in exponent notation otherwise ("1e+21",
// "1.5e-07"); infinities and NaNs as "inf", "-inf", "nan", "-nan".
//
// Reading takes the whole text, apart from blanks (space, tab, line breaks) around it and
// one optional leading "+". Anything else around the number makes the text malformed and
// reads as 0: "12abc", "1 2", "0x10", "1.5" for an integer, "" and "abc" all read as 0.
// Integers beyond the target type saturate at its limits (a negative text read as an
// unsigned value gives 0); floating-point magnitudes beyond the type's range read as an
// infinity of their sign, magnitudes below it as a zero of their sign.
//
// Stateless; any thread may call.
namespace PimNumberText
{
std::string FromFloat(float value);
std::string FromDouble(double value);
std::string FromLongInt(std::int64_t value);
std::string FromLongUInt(std::uint64_t value);

int ToInt(std::string_view text);
std::int64_t ToLongInt(std::string_view text);
std::uint64_t ToLongUInt(std::string_view text);
float ToFloat(std::string_view text);
double ToDouble(std::string_view text);

// The same readings without a value for malformed text, for readers that keep a default
// then; numbers out of range still saturate.
std::optional<std::int64_t> ParseLongInt(std::string_view text);
std::optional<std::uint64_t> ParseLongUInt(std::string_view text);
std::optional<float> ParseFloat(std::string_view text);
std::optional<double> ParseDouble(std::string_view text);
}
