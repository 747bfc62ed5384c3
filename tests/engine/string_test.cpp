#include "engine/PimNumberText.h"
#include "engine/PimString.h"
#include "engine/PimWString.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_set>

namespace
{
// A spread of bit patterns over every exponent and sign (splitmix64 steps).
std::uint64_t NextPattern(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

template <typename Real>
auto Bits(Real value)
{
    if constexpr (sizeof(Real) == 4)
        return std::bit_cast<std::uint32_t>(value);
    else
        return std::bit_cast<std::uint64_t>(value);
}

// Narrow and wide text both give back the value written, to the bit (NaN only as a NaN).
template <typename Real>
void ExpectRoundTrip(Real value)
{
    Real narrow, wide;
    if constexpr (sizeof(Real) == 4)
    {
        narrow = PimString::FromFloat(value).ToFloat();
        wide = PimWString::FromFloat(value).ToFloat();
    }
    else
    {
        narrow = PimString::FromDouble(value).ToDouble();
        wide = PimWString::FromDouble(value).ToDouble();
    }
    if (std::isnan(value))
    {
        EXPECT_TRUE(std::isnan(narrow) && std::isnan(wide));
        return;
    }
    ASSERT_EQ(Bits(narrow), Bits(value)) << PimString::FromDouble(value);
    ASSERT_EQ(Bits(wide), Bits(value)) << PimString::FromDouble(value);
}
}

TEST(PimStringNumbers, FloatsReadBackBitForBit)
{
    constexpr float special[] = {0.0f, -0.0f, 0.1f, 1.0f / 3.0f, 256.0f, 16777217.0f, 1e20f, 1e21f, 1e-7f, 0.000001f,
                                 std::numeric_limits<float>::denorm_min(), -std::numeric_limits<float>::denorm_min(),
                                 std::numeric_limits<float>::min(), std::numeric_limits<float>::max(),
                                 std::numeric_limits<float>::lowest(), std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity()};
    for (float value : special)
        ExpectRoundTrip(value);
    ExpectRoundTrip(std::numeric_limits<float>::quiet_NaN());
    std::uint64_t state = 1;
    for (int i = 0; i < 100000 && !HasFatalFailure(); ++i)
        ExpectRoundTrip(std::bit_cast<float>(static_cast<std::uint32_t>(NextPattern(state))));
}

TEST(PimStringNumbers, DoublesReadBackBitForBit)
{
    constexpr double special[] = {-0.0, 0.1, 1e300, 1e-300, std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
                                  9007199254740993.0};
    for (double value : special)
        ExpectRoundTrip(value);
    std::uint64_t state = 7;
    for (int i = 0; i < 100000 && !HasFatalFailure(); ++i)
        ExpectRoundTrip(std::bit_cast<double>(NextPattern(state)));
}

TEST(PimStringNumbers, TextFormIsPlainForEverydayValues)
{
    EXPECT_EQ(PimString::FromFloat(256.0f), "256");
    EXPECT_EQ(PimString::FromFloat(0.0f), "0");
    EXPECT_EQ(PimString::FromFloat(-0.0f), "-0");
    EXPECT_EQ(PimString::FromFloat(0.1f), "0.1");
    EXPECT_EQ(PimString::FromFloat(-1.5f), "-1.5");
    EXPECT_EQ(PimString::FromFloat(0.000001f), "0.000001");
    EXPECT_EQ(PimString::FromFloat(1e-7f), "1e-07");
    EXPECT_EQ(PimString::FromFloat(1e20f), "100000000000000000000");
    EXPECT_EQ(PimString::FromFloat(1e21f), "1e+21");
    EXPECT_EQ(PimString::FromDouble(2.0 / 3.0), "0.6666666666666666");
    EXPECT_EQ(PimString::FromFloat(std::numeric_limits<float>::infinity()), "inf");
    EXPECT_EQ(PimWString::FromFloat(32768.0f), L"32768");
    EXPECT_EQ(PimWString::FromDouble(-0.25), L"-0.25");
}

TEST(PimStringNumbers, IntegersReadBackAtTheirLimits)
{
    constexpr std::int64_t signedValues[] = {0, -1, 1, std::numeric_limits<std::int64_t>::min(),
                                             std::numeric_limits<std::int64_t>::max()};
    for (std::int64_t value : signedValues)
    {
        EXPECT_EQ(PimString::FromLongInt(value).ToLongInt(), value);
        EXPECT_EQ(PimWString::FromLongInt(value).ToLongInt(), value);
    }
    constexpr std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
    EXPECT_EQ(PimString::FromLongUInt(max), "18446744073709551615");
    EXPECT_EQ(PimString::FromLongUInt(max).ToLongUInt(), max);
    EXPECT_EQ(PimWString::FromLongUInt(max).ToLongUInt(), max);
    EXPECT_EQ(PimString::FromLongInt(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(PimWString::FromLongInt(std::numeric_limits<int>::min()).ToInt(), std::numeric_limits<int>::min());
    EXPECT_EQ(PimWString::FromLongInt(std::numeric_limits<int>::max()).ToInt(), std::numeric_limits<int>::max());
}

TEST(PimStringNumbers, MalformedTextReadsAsZero)
{
    for (const char* text : {"", "abc", "12abc", "1 2", "0x10", "1e", "--1", "+-1", "++1", "+", "-", "1.5", " ", "1,5"})
    {
        EXPECT_EQ(PimString(text).ToInt(), 0) << text;
        EXPECT_EQ(PimString(text).ToLongUInt(), 0u) << text;
        EXPECT_EQ(PimWString::Widen(text).ToLongInt(), 0) << text;
    }
    for (const char* text : {"", "abc", "12abc", "1.5.2", "1e", "0x1p3", "1,5", "."})
    {
        EXPECT_EQ(PimString(text).ToFloat(), 0.0f) << text;
        EXPECT_EQ(PimWString::Widen(text).ToDouble(), 0.0) << text;
    }
    // Characters outside ASCII never make a number, even digits of other scripts.
    EXPECT_EQ(PimWString(L"\uFF11\uFF12").ToInt(), 0);
    EXPECT_EQ(PimWString(L"12\u00E9").ToInt(), 0);
}

TEST(PimStringNumbers, BlanksAndPlusSignAroundANumberAreAccepted)
{
    EXPECT_EQ(PimString(" 7").ToInt(), 7);
    EXPECT_EQ(PimString("7\r\n").ToInt(), 7);
    EXPECT_EQ(PimString("\t+7 ").ToLongUInt(), 7u);
    EXPECT_EQ(PimWString(L" -2.5 ").ToFloat(), -2.5f);
    EXPECT_EQ(PimString("+.5").ToDouble(), 0.5);
}

TEST(PimStringNumbers, OutOfRangeValuesSaturate)
{
    EXPECT_EQ(PimString("3000000000").ToInt(), std::numeric_limits<int>::max());
    EXPECT_EQ(PimString("-3000000000").ToInt(), std::numeric_limits<int>::min());
    EXPECT_EQ(PimString("99999999999999999999").ToLongInt(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(PimString("-99999999999999999999").ToLongInt(), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(PimString("18446744073709551616").ToLongUInt(), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(PimString("-1").ToLongUInt(), 0u);

    EXPECT_EQ(PimString("1e39").ToFloat(), std::numeric_limits<float>::infinity());
    EXPECT_EQ(PimString("-1e39").ToFloat(), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(PimString("-1e400").ToDouble(), -std::numeric_limits<double>::infinity());
    const float tiny = PimString("-1e-50").ToFloat();
    EXPECT_EQ(tiny, 0.0f);
    EXPECT_TRUE(std::signbit(tiny));
    EXPECT_EQ(PimString("1e-400").ToDouble(), 0.0);
    EXPECT_EQ(PimString("0." + std::string(400, '0') + "1").ToDouble(), 0.0);
    EXPECT_EQ(PimString("1" + std::string(400, '0')).ToDouble(), std::numeric_limits<double>::infinity());
    EXPECT_EQ(PimString("1e99999999999999999999999").ToDouble(), std::numeric_limits<double>::infinity());
}

TEST(PimStringEdits, FindAndTrimming)
{
    const PimString response("<html><body>1.2</body></html>");
    EXPECT_EQ(response.Find("</html>"), 22);
    EXPECT_EQ(response.Find("<html>"), 0);
    EXPECT_EQ(response.Find("<head>"), -1);
    EXPECT_EQ(response.Find("<", 1), 6);
    EXPECT_EQ(response.Find("<", 1000), -1);

    PimString copy = response;
    EXPECT_EQ(copy.TrimFront(12).TrimEnd(14), "1.2");
    EXPECT_EQ(PimString("short").TrimFront(16), "");
    EXPECT_EQ(PimString("short").TrimEnd(18), "");
    EXPECT_EQ(PimString("").TrimFront(1).TrimEnd(1), "");
    EXPECT_EQ(PimWString(L"abc").TrimFront(3), L"");
    EXPECT_EQ(PimWString(L"abc").TrimEnd(99), L"");
    EXPECT_EQ(PimWString(L"abcde").TrimFront(1).TrimEnd(1), L"bcd");
    EXPECT_EQ(PimWString(L"D:\\Art\\Refs\\").Find(L"\\", 3), 6);
}

TEST(PimStringEdits, CaseMappingCoversAccentedGreekAndCyrillicLetters)
{
    EXPECT_EQ(PimString("Modèle-ÿ 1.png").ToUpper(), "MODÈLE-Ÿ 1.PNG");
    EXPECT_EQ(PimString("ŁÓDŹ ĲSSEL").ToLower(), "łódź ĳssel");
    EXPECT_EQ(PimString("straße").ToUpper(), "STRAßE"); // no one-to-one capital
    EXPECT_EQ(PimWString(L"άλφα ωμέγας").ToUpper(), L"ΆΛΦΑ ΩΜΈΓΑΣ");
    EXPECT_EQ(PimWString(L"Привет ёж").ToUpper(), L"ПРИВЕТ ЁЖ");
    EXPECT_EQ(PimWString(L"ПРИВЕТ ЁЖ").ToLower(), L"привет ёж");
    EXPECT_EQ(PimWString(L"A.PNG").ToLower(), L"a.png");
    // Malformed bytes in narrow text are kept, letters around them still change.
    EXPECT_EQ(PimString("a\xFF" "b\xC3").ToUpper(), "A\xFF" "B\xC3");
}

TEST(PimStringEncoding, WidenAndNarrowRoundTripEveryCharacter)
{
    if (sizeof(wchar_t) != 4)
        GTEST_SKIP() << "the character sweep builds UTF-32 wide text";
    const PimString name("Modèle ÿ € 😀");
    const PimWString wide = PimWString::Widen(name);
    EXPECT_EQ(wide, L"Modèle ÿ € 😀");
    EXPECT_EQ(wide.Narrow(), name);

    PimWString all;
    for (char32_t c = 1; c <= 0x10FFFF; ++c)
        if (c < 0xD800 || c > 0xDFFF)
            all += PimWString::Widen(PimWString(1, static_cast<wchar_t>(c)).Narrow());
    std::size_t at = 0;
    for (char32_t c = 1; c <= 0x10FFFF; ++c)
    {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        ASSERT_EQ(static_cast<char32_t>(all[at++]), c);
    }
    EXPECT_EQ(PimWString::Widen(all.Narrow()), all);
}

TEST(PimStringEncoding, MalformedTextBecomesReplacementCharacters)
{
    const wchar_t r = 0xFFFD;
    EXPECT_EQ(PimWString::Widen("a\xC3"), (PimWString{L'a', r}));            // cut short
    EXPECT_EQ(PimWString::Widen("\xC3(x"), (PimWString{r, L'(', L'x'}));     // bad continuation
    EXPECT_EQ(PimWString::Widen("\xC0\xAF"), (PimWString{r, r}));            // overlong
    EXPECT_EQ(PimWString::Widen("\xE0\x80\xAF"), (PimWString{r, r, r}));     // overlong
    EXPECT_EQ(PimWString::Widen("\xED\xA0\x80"), (PimWString{r, r, r}));     // surrogate
    EXPECT_EQ(PimWString::Widen("\xF4\x90\x80\x80"), (PimWString{r, r, r, r})); // above U+10FFFF
    EXPECT_EQ(PimWString::Widen("\xF0\x9F\x98z"), (PimWString{r, L'z'}));    // 4-byte form cut short
    EXPECT_EQ(PimWString::Widen("\xFF\xFE"), (PimWString{r, r}));
    EXPECT_EQ(PimWString::Widen(std::string("a\0b", 3)), PimWString(L"a\0b", 3));

    EXPECT_EQ(PimWString(1, static_cast<wchar_t>(0xD800)).Narrow(), "\xEF\xBF\xBD");
    EXPECT_EQ(PimWString(1, static_cast<wchar_t>(0x110000)).Narrow(), "\xEF\xBF\xBD");
    EXPECT_EQ(PimWString(1, static_cast<wchar_t>(-1)).Narrow(), "\xEF\xBF\xBD");
}

TEST(PimStringEncoding, TextTypesWorkAsStandardStrings)
{
    const PimString a("Palette");
    const PimString joined = a + "0";
    EXPECT_EQ(joined, "Palette0");
    EXPECT_LT(a, joined);
    std::unordered_set<PimString> names{a, joined};
    EXPECT_EQ(names.count(PimString("Palette0")), 1u);
    std::unordered_set<PimWString> wideNames{PimWString::Widen(joined)};
    EXPECT_EQ(wideNames.count(L"Palette0"), 1u);
}

TEST(PimStringNumbers, ParsingTellsMalformedTextFromZero)
{
    for (const char* text : {"", "abc", "12abc", "0.\xC0\x80" "5", "5\xC0", "--1", "-", "-+1", "- 1", "1.5"})
    {
        EXPECT_FALSE(PimNumberText::ParseLongInt(text).has_value()) << text;
        EXPECT_FALSE(PimNumberText::ParseLongUInt(text).has_value()) << text;
    }
    for (const char* text : {"", "0.\xC0\x80" "5", "1e", ".", "0x1p3"})
    {
        EXPECT_FALSE(PimNumberText::ParseFloat(text).has_value()) << text;
        EXPECT_FALSE(PimNumberText::ParseDouble(text).has_value()) << text;
    }
    EXPECT_EQ(PimNumberText::ParseLongInt(" 0 "), 0);
    EXPECT_EQ(PimNumberText::ParseLongUInt("-7"), 0u); // a negative number saturates at 0
    EXPECT_EQ(PimNumberText::ParseLongUInt("+7"), 7u);
    EXPECT_EQ(PimNumberText::ParseLongInt("-99999999999999999999"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(PimNumberText::ParseFloat("1e39"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(PimNumberText::ParseDouble("0.5"), 0.5);
}
