#include "tests/support/PlainElementSearch.h"

#include "engine/PimXMLWIndex.h"
#include "engine/PimXMLWParser.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <optional>
#include <string>

using P = PimXMLWParser;

TEST(PimXMLWParser, TagDataFormsOneElementWithoutSeparators)
{
    EXPECT_EQ(P::TagData(L"SaveTimer", L"30"), L"<SaveTimer>30</SaveTimer>");
    EXPECT_EQ(P::TagData("0", L"87") + P::TagData("1", L"83"), L"<0>87</0><1>83</1>");
    EXPECT_EQ(P::TagData("GameWorldName", L""), L"<GameWorldName></GameWorldName>");
}

TEST(PimXMLWParser, TagNamesMatchOnlyExactly)
{
    const PimWString colours = P::TagData("C10", P::TagData("R", L"10")) + P::TagData("C1", P::TagData("R", L"1"));
    EXPECT_EQ(P::XMLFindTag("C1", colours), L"<R>1</R>");
    EXPECT_EQ(P::XMLFindTag("C10", colours), L"<R>10</R>");
    EXPECT_EQ(P::XMLFindTag("C1", P::TagData("C10", L"x")), L"");
    EXPECT_EQ(P::XMLFindTag("C", colours), L"");

    const PimWString palettes = P::TagData("Palettes", P::TagData("Palette1", L"a"));
    EXPECT_EQ(P::XMLFindTag("Palette0", palettes), L"");
    EXPECT_EQ(P::XMLFindTag("Palette", palettes), L"");
    EXPECT_EQ(P::XMLFindTag("Palettes", palettes), L"<Palette1>a</Palette1>");

    const PimWString image = P::TagData("Locked", L"1") + P::TagData("Loc", L"2 3 4");
    EXPECT_EQ(P::XMLFindTag("Loc", image), L"2 3 4");
    EXPECT_EQ(P::XMLFindTag("Loc", P::TagData("Locked", L"1")), L"");

    PimWString controlMap;
    for (int i = 0; i < 16; ++i)
        controlMap += P::TagData(PimString::FromLongInt(i), PimWString::FromLongInt(100 + i));
    EXPECT_EQ(P::XMLFindTagInt("1", controlMap), 101);
    EXPECT_EQ(P::XMLFindTagInt("15", controlMap), 115);
}

TEST(PimXMLWParser, FirstElementWinsWhereverItStands)
{
    const PimWString text = P::TagData("ActiveSettings", P::TagData("X", L"1")) + P::TagData("X", L"2") +
                            P::TagData("VRSettings", P::TagData("HandPreference", L"2"));
    EXPECT_EQ(P::XMLFindTagInt("X", text), 1);
    EXPECT_EQ(P::XMLFindTagInt("HandPreference", text), 2);
    EXPECT_EQ(P::XMLFindTag("ActiveSettings", text), L"<X>1</X>");

    // A level of nesting is read the same way from its parent's data.
    const PimWString location = P::XMLFindTag(L"PlayerLocation",
                                              L"<PlayerLocation><X>16.5</X><Y>-0</Y><Z>1e+21</Z></PlayerLocation>");
    EXPECT_EQ(P::XMLFindTag("X", location).ToFloat(), 16.5f);
    EXPECT_EQ(P::XMLFindTag("Z", location).ToFloat(), 1e21f);
}

TEST(PimXMLWParser, ElementOfTheSameNameInsideIsSkippedWhole)
{
    EXPECT_EQ(P::XMLFindTag("A", L"<A><A>in</A>after</A><A>next</A>"), L"<A>in</A>after");
}

TEST(PimXMLWParser, IncompleteOrForeignMarkupCountsAsAbsent)
{
    EXPECT_EQ(P::XMLFindTag("SaveTimer", L"<SaveTimer>30"), L"");
    EXPECT_EQ(P::XMLFindTag("SaveTimer", L"<SaveTimer>30</SaveTimer"), L"");
    EXPECT_EQ(P::XMLFindTag("A", L"<A>open<A>closed</A>"), L"");
    EXPECT_EQ(P::XMLFindTag("Loc", L"<Loc a=\"1\">2</Loc>"), L"");
    EXPECT_EQ(P::XMLFindTag("Loc", L"<Loc/>"), L"");
    EXPECT_EQ(P::XMLFindTag("", L"<>x</>"), L"");
    EXPECT_EQ(P::XMLFindTag("A", L"not xml at all < > </ <A"), L"");
    EXPECT_EQ(P::XMLFindTagInt("SaveTimer", L"<SaveTimer></SaveTimer>"), 0);
    EXPECT_EQ(P::XMLFindTagInt("Missing", L""), 0);
}

TEST(PimXMLWParser, DataIsTakenVerbatim)
{
    const PimWString name = PimWString::Widen("Modèle <1> & co");
    const PimWString text = P::TagData("GameWorldName", name) + P::TagData("FogColor", L"0.5");
    EXPECT_EQ(P::XMLFindTag("GameWorldName", text), name);
    EXPECT_EQ(P::XMLFindTag(L"FogColor", text).ToFloat(), 0.5f);
}

TEST(PimXMLWIndex, FindsWhatAPlainSearchOfThePartFinds)
{
    // Random texts of tags, stray brackets and letters; each element found is searched again
    // inside its own data, as nested settings are read.
    const wchar_t* pieces[] = {L"<A>", L"</A>", L"<B>", L"</B>", L"<AB>", L"</AB>", L"x", L"<", L">", L"</", L"<A",
                               L"A>", L"<A/>", L"<A a>"};
    std::uint32_t random = 2463534242u;
    const auto next = [&random] {
        random ^= random << 13;
        random ^= random >> 17;
        random ^= random << 5;
        return random;
    };
    for (int round = 0; round < 20000; ++round)
    {
        std::wstring text;
        const std::uint32_t length = next() % 16;
        for (std::uint32_t i = 0; i < length; ++i)
            text += pieces[next() % std::size(pieces)];
        const PimXMLWIndex elements(text);
        for (const std::wstring outer : {L"A", L"B", L"AB"})
        {
            const std::optional<PimXMLWIndex::Span> found = elements.Find(outer, elements.Whole());
            const std::optional<std::wstring> expected = PlainElementSearch(outer, text);
            ASSERT_EQ(found.has_value(), expected.has_value()) << PimWString(text).Narrow() << " " << round;
            if (!found)
                continue;
            ASSERT_EQ(elements.Text(*found), *expected) << PimWString(text).Narrow();
            for (const std::wstring inner : {L"A", L"B", L"AB"})
            {
                const std::optional<PimXMLWIndex::Span> nested = elements.Find(inner, *found);
                const std::optional<std::wstring> plain = PlainElementSearch(inner, *expected);
                ASSERT_EQ(nested.has_value(), plain.has_value()) << PimWString(text).Narrow() << " in " << outer;
                if (nested)
                {
                    ASSERT_EQ(elements.Text(*nested), *plain) << PimWString(text).Narrow();
                }
            }
        }
    }
}

TEST(PimXMLWIndex, DeepNestingOfOneNamePairsEveryTag)
{
    std::wstring text;
    for (int i = 0; i < 50000; ++i)
        text += L"<ControlMap>";
    text += L"<0>7</0>";
    for (int i = 0; i < 50000; ++i)
        text += L"</ControlMap>";
    const PimXMLWIndex elements(text);
    std::optional<PimXMLWIndex::Span> level = elements.Find(L"ControlMap", elements.Whole());
    ASSERT_TRUE(level.has_value());
    EXPECT_EQ(level->end, text.size() - 13);
    for (int i = 1; i < 50000; ++i)
        level = elements.Find(L"ControlMap", *level);
    ASSERT_TRUE(level.has_value());
    EXPECT_EQ(elements.Text(*level), L"<0>7</0>");
    EXPECT_FALSE(elements.Find(L"ControlMap", *level).has_value());
}
