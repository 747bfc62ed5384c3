#include "engine/PimXMLWParser.h"

#include <gtest/gtest.h>

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
