#include "settings/GameSettingItem.h"
#include "settings/SettingTemplate.h"

#include "engine/PimAssert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
class SettingItemTest : public ::testing::Test
{
protected:
    void SetUp() override { PimAssert::ResetFailureCount(); }
};

GameSettingItem RangedUInt(std::uint32_t byDefault, std::uint32_t min, std::uint32_t max)
{
    return SettingTemplate::UInt("Item", byDefault, min, max);
}

GameSettingItem Colour(std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    using namespace SettingTemplate;
    return Vector("C", {UInt("R", r, 0, 255), UInt("G", g, 0, 255), UInt("B", b, 0, 255)});
}
}

TEST_F(SettingItemTest, UIntClampsIntoItsRangeAndMarksOnlyRealChanges)
{
    GameSettingItem item = RangedUInt(30, 10, 525600);
    EXPECT_FALSE(item.IsChanged());

    item.SetUInt(5, ValueUse::Current);
    EXPECT_EQ(item.GetUInt(), 10u);
    EXPECT_TRUE(item.IsChanged());

    item.ClearChanged();
    item.SetUInt(600000, ValueUse::Current);
    EXPECT_EQ(item.GetUInt(), 525600u);
    EXPECT_TRUE(item.IsChanged());

    item.ClearChanged();
    item.SetUInt(9999999, ValueUse::Current); // clamps to the value already held
    EXPECT_FALSE(item.IsChanged());
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u);
}

TEST_F(SettingItemTest, OneBoundLeavesTheOtherAtZero)
{
    GameSettingItem item;
    item.SetInt(24, ValueUse::Max);
    item.SetInt(-3, ValueUse::Current);
    EXPECT_EQ(item.GetInt(), 0);
    item.SetInt(30, ValueUse::Current);
    EXPECT_EQ(item.GetInt(), 24);

    GameSettingItem wide;
    wide.SetInt64(-5, ValueUse::Min);
    wide.SetInt64(5, ValueUse::Max);
    wide.SetInt64(std::numeric_limits<std::int64_t>::min(), ValueUse::Current);
    EXPECT_EQ(wide.GetInt64(), -5); // compared signed, not as the unsigned bits
}

TEST_F(SettingItemTest, FloatKeepsFloatPrecisionAndNaNStaysInRange)
{
    GameSettingItem item = SettingTemplate::Float("Volume", 0.5f, 0.0f, 1.0f);
    item.SetFloat(0.7f, ValueUse::Current);
    const double stored = item.GetDouble();
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u); // GetDouble on a Float item is reported
    EXPECT_EQ(stored, static_cast<double>(0.7f));
    EXPECT_NE(stored, 0.7);

    item.ClearChanged();
    item.SetFloat(0.7f, ValueUse::Current);
    EXPECT_FALSE(item.IsChanged());

    item.SetFloat(std::numeric_limits<float>::quiet_NaN(), ValueUse::Current);
    EXPECT_EQ(item.GetFloat(), 0.0f);
    item.SetFloat(std::numeric_limits<float>::infinity(), ValueUse::Current);
    EXPECT_EQ(item.GetFloat(), 1.0f);

    GameSettingItem scale = SettingTemplate::Float("Scale", 1.0f, 0.1f, 10.0f);
    scale.SetFloat(0.0f, ValueUse::Current);
    EXPECT_EQ(scale.GetFloat(), 0.1f);
}

TEST_F(SettingItemTest, AnotherTypeIsReportedAndTheSetterProceeds)
{
    GameSettingItem item = RangedUInt(3, 0, 24);
    item.SetInt(7, ValueUse::Current);
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
    EXPECT_EQ(PimAssert::GetLastMessage(), "GameSettingItem::TypeCheck() - Attempting to change type of GameSettingsItem");
    EXPECT_EQ(item.GetType(), SettingType::Int);
    EXPECT_EQ(item.GetInt(), 7);

    GameSettingItem fresh; // a new item accepts its first type silently
    fresh.SetBool(true, ValueUse::Current);
    EXPECT_TRUE(fresh.GetBool());
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
}

TEST_F(SettingItemTest, TextsMarkOnlyRealChangesAndRespectTheirLength)
{
    GameSettingItem name = SettingTemplate::String("Name", "World");
    name.SetString("World", ValueUse::Current);
    EXPECT_FALSE(name.IsChanged());
    name.SetString("Other", ValueUse::Current);
    EXPECT_TRUE(name.IsChanged());
    name.SetString("Other", ValueUse::Current);
    EXPECT_TRUE(name.IsChanged()); // an equal text leaves the mark as it was

    name.SetRangeString(3);
    name.SetString("\xC3\xA9t\xC3\xA9s", ValueUse::Current); // "étés": cut by characters, not bytes
    EXPECT_EQ(name.GetString(), "\xC3\xA9t\xC3\xA9");

    GameSettingItem path = SettingTemplate::WString("Path", L"");
    path.SetRangeString(2);
    path.SetWString(L"abc", ValueUse::Current);
    EXPECT_EQ(path.GetWString(), L"ab");

    GameSettingItem empty;
    EXPECT_EQ(empty.GetString(), "");
    EXPECT_EQ(empty.GetWString(), L"");
}

TEST_F(SettingItemTest, RangesThatDoNotApplyAreRefusedWithTheirMessages)
{
    struct Case
    {
        void (*set)(GameSettingItem&);
        const char* message;
    } cases[] = {
        {[](GameSettingItem& i) { i.SetVector({}, ValueUse::Max); },
         "GameSettingItem::SetVector() - Set individual ranges in the vector to set vector range, using ValueUse::Default"},
        {[](GameSettingItem& i) { i.SetString("x", ValueUse::Min); },
         "GameSettingItem::SetString() - Use SetRangeString() to set string range"},
        {[](GameSettingItem& i) { i.SetWString(L"x", ValueUse::Max); },
         "GameSettingItem::SetWString() - Use SetRangeString() to set string range"},
        {[](GameSettingItem& i) { i.SetVector3({1, 2, 3}, ValueUse::Min); }, "GameSettingItem::SetVector3() - Not supported"},
    };
    for (const Case& c : cases)
    {
        GameSettingItem item;
        item.SetRangeString(4);
        c.set(item);
        EXPECT_FALSE(item.IsRangeSet()) << c.message;
        EXPECT_EQ(PimAssert::GetLastMessage(), c.message);
    }
}

TEST_F(SettingItemTest, SetVectorRangeChecksTheCommonPrefixAndPropagatesMarks)
{
    GameSettingItem colour = Colour(1, 2, 3);
    std::vector<GameSettingItem> shorter = colour.GetVector();
    shorter.pop_back();
    shorter[0].SetUInt(100, ValueUse::Current);
    colour.SetVector(shorter, ValueUse::Current);
    ASSERT_EQ(colour.GetChildren().size(), 2u);
    EXPECT_EQ(colour.GetChildren()[0].GetUInt(), 100u);
    EXPECT_TRUE(colour.IsChanged());

    // Children whose stored value is outside the reference range are clamped on the way in.
    GameSettingItem wild;
    wild.SetName("R");
    wild.SetUInt(1000, ValueUse::Current);
    GameSettingItem reference = Colour(0, 0, 0);
    std::vector<GameSettingItem> list = reference.GetVector();
    list[0] = wild;
    reference.SetVector(list, ValueUse::Current);
    EXPECT_EQ(reference.GetChildren()[0].GetUInt(), 255u);
}

TEST_F(SettingItemTest, RangeCheckReportsMismatchedVectorsAndTypes)
{
    GameSettingItem reference = SettingTemplate::Vector("List", {Colour(1, 2, 3)});
    GameSettingItem item = reference;
    item.GetChildren()[0].GetChildren().pop_back();
    GameSettingItem::RangeCheck(reference.GetDefaultChildren()[0], item.GetChildren()[0]);
    EXPECT_EQ(PimAssert::GetLastMessage(), "GameSettingItem::RangeCheck() - Vector does not match defaults");

    GameSettingItem number = RangedUInt(5, 0, 10);
    GameSettingItem text = SettingTemplate::String("T", "abc");
    GameSettingItem::RangeCheck(number, text);
    EXPECT_EQ(PimAssert::GetLastMessage(), "GameSettingItem::RangeCheck() - Items didn't match same type");
}

TEST_F(SettingItemTest, ChangedMarkRisesFromAGrandchildAndFallsOnlyWhenCleared)
{
    GameSettingItem palettes = SettingTemplate::Vector("Palettes", {SettingTemplate::Vector("Palette0", {RangedUInt(1, 0, 9)})});
    EXPECT_FALSE(palettes.IsChanged());

    palettes.GetChildren()[0].GetChildren()[0].SetUInt(2, ValueUse::Current);
    EXPECT_TRUE(palettes.IsChanged());
    palettes.GetChildren()[0].GetChildren()[0].ClearChanged();
    EXPECT_TRUE(palettes.IsChanged()); // the parent keeps the mark it took

    palettes.ClearChanged();
    EXPECT_FALSE(palettes.IsChanged());
    EXPECT_FALSE(palettes.GetChildren()[0].GetChildren()[0].IsChanged());
}

TEST_F(SettingItemTest, ResetToDefaultReplacesAllChildrenAndKeepsTheMark)
{
    GameSettingItem colour = Colour(10, 20, 30);
    std::vector<GameSettingItem> children = colour.GetVector();
    children[1].SetUInt(99, ValueUse::Current);
    children.push_back(RangedUInt(1, 0, 2));
    colour.SetVector(children, ValueUse::Current);
    ASSERT_TRUE(colour.IsChanged());

    colour.ResetToDefault();
    ASSERT_EQ(colour.GetChildren().size(), 3u);
    EXPECT_EQ(colour.GetChildren()[1].GetUInt(), 20u);
    EXPECT_TRUE(colour.IsChanged());

    GameSettingItem name = SettingTemplate::String("Name", "Default");
    name.SetString("Edited", ValueUse::Current);
    name.ResetToDefault();
    EXPECT_EQ(name.GetString(), "Default");
}

TEST_F(SettingItemTest, FindByNameIsExactAndNeverHandsOutALastingItem)
{
    GameSettingItem colour = Colour(1, 2, 3);
    EXPECT_EQ(colour.FindVectorItemByName("G").GetUInt(), 2u);

    GameSettingItem& missing = colour.FindVectorItemByName("g");
    EXPECT_EQ(PimAssert::GetLastMessage(), "GameSettingItem::FindVectorItemByName() - No such field");
    EXPECT_EQ(missing.GetType(), SettingType::Void);
    missing.SetUInt(42, ValueUse::Current);
    EXPECT_EQ(colour.FindVectorItemByName("x").GetType(), SettingType::Void);
}

TEST_F(SettingItemTest, CopiesAreDeepAndKeepTheMark)
{
    GameSettingItem original = SettingTemplate::Vector("V", {SettingTemplate::WString("Path", L"a"), Colour(1, 2, 3)});
    original.GetChildren()[0].SetWString(L"b", ValueUse::Current);
    GameSettingItem copy = original;
    EXPECT_TRUE(copy.GetChildren()[0].IsChanged());

    copy.GetChildren()[0].SetWString(L"c", ValueUse::Current);
    copy.GetChildren()[1].GetChildren()[0].SetUInt(200, ValueUse::Current);
    EXPECT_EQ(original.GetChildren()[0].GetWString(), L"b");
    EXPECT_EQ(original.GetChildren()[1].GetChildren()[0].GetUInt(), 1u);

    copy = original;
    copy.ResetToDefault();
    EXPECT_EQ(copy.GetChildren()[0].GetWString(), L"a");
    EXPECT_EQ(copy.GetChildren()[0].GetType(), SettingType::WString);
}
