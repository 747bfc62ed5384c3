#include "engine/PimStrokeFont.h"
#include "engine/PimVrKeyboard.h"

#include "../support/scripted_vr.h"

#include <gtest/gtest.h>

#include <set>

namespace
{
constexpr int Left = PimVrDeviceIndex::LeftHand;
constexpr int Right = PimVrDeviceIndex::RightHand;

// The world-name page's keyboard: in front of a wall at x = 1, facing +x, 1.5 units a key row.
class Keyboard : public ScriptedVr
{
protected:
    void SetUp() override
    {
        ScriptedVr::SetUp();
        keyboard.SetScale(1.5f);
        keyboard.SetLocation({1.1f, 2.75f, 3.45f});
        keyboard.SetDirection(PimAngle::FromDegrees(270.0f));
    }

    // Puts the hand's tip on the key (world and tracking space are the same here), slightly in
    // front of its face, or away from the keyboard for an empty label.
    void Touch(int role, std::string_view label)
    {
        const int key = keyboard.FindKey(label);
        ASSERT_TRUE(label.empty() || key >= 0) << label;
        const PimVector3 place = label.empty() ? PimVector3(3.0f, 1.0f, 1.0f)
                                               : keyboard.GetKeyPosition(key) + PimVector3(0.02f, 0.0f, 0.0f);
        PlaceTip(role, place);
        Step([this] { keyboard.Update(); });
    }
    void Type(std::string_view labels)
    {
        for (char c : labels)
        {
            Touch(Right, std::string(1, c));
            Touch(Right, "");
        }
    }

    PimVrKeyboard keyboard;
};
}

TEST(KeyboardLayout, EveryKeyHasItsOwnPlaceAndALabelTheFontCanDraw)
{
    PimVrKeyboard keyboard;
    const std::vector<PimVrKeyboard::Key>& keys = keyboard.GetKeys();
    std::set<std::string> labels;
    for (std::size_t i = 0; i < keys.size(); ++i)
    {
        const PimVrKeyboard::Key& key = keys[i];
        EXPECT_TRUE(labels.insert(key.label).second) << key.label;
        for (char c : key.label)
            EXPECT_TRUE(PimStrokeFont::HasGlyph(c)) << key.label;
        // The key under its own centre is itself: no two keys overlap there.
        EXPECT_EQ(keyboard.KeyAt(keyboard.GetKeyPosition(static_cast<int>(i))), static_cast<int>(i)) << key.label;
    }
    for (char c : std::string("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-"))
        EXPECT_GE(keyboard.FindKey(std::string(1, c)), 0) << c;
    for (const char* special : {"SPACE", "<", "ENTER", "CANCEL"})
        EXPECT_GE(keyboard.FindKey(special), 0) << special;
    EXPECT_EQ(keyboard.FindKey("?"), -1);
}

TEST_F(Keyboard, ItFacesItsDirectionAndRunsToTheTypistsRight)
{
    // Direction 270 degrees: the keys face +x, and from the typist's side (looking along -x)
    // the rows run towards -z.
    const PimVector3 one = keyboard.GetKeyPosition(keyboard.FindKey("1"));
    const PimVector3 zero = keyboard.GetKeyPosition(keyboard.FindKey("0"));
    EXPECT_NEAR(one.x, 1.1f, 1e-5f);
    EXPECT_GT(one.z, zero.z);
    EXPECT_NEAR(one.z - zero.z, 9 * PimVrKeyboard::KeyPitch * 1.5f, 1e-4f);
    EXPECT_GT(one.y, keyboard.GetKeyPosition(keyboard.FindKey("SPACE")).y);

    // Touching from in front works, from too far in front or behind does not.
    const PimVector3 q = keyboard.GetKeyPosition(keyboard.FindKey("Q"));
    EXPECT_EQ(keyboard.KeyAt(q + PimVector3(0.04f, 0.0f, 0.0f)), keyboard.FindKey("Q"));
    EXPECT_EQ(keyboard.KeyAt(q + PimVector3(0.05f, 0.0f, 0.0f)), -1);
    EXPECT_EQ(keyboard.KeyAt(q - PimVector3(0.08f, 0.0f, 0.0f)), keyboard.FindKey("Q"));
    EXPECT_EQ(keyboard.KeyAt(q - PimVector3(0.10f, 0.0f, 0.0f)), -1);
}

TEST_F(Keyboard, TouchingAKeyTypesItOnceUntilTheTipLeavesIt)
{
    Touch(Right, "W");
    Touch(Right, "W");
    Touch(Right, "W");
    EXPECT_EQ(keyboard.GetText(), "W");
    EXPECT_EQ(keyboard.GetTouchedKey(Right), keyboard.FindKey("W"));
    Touch(Right, "");
    Touch(Right, "W");
    EXPECT_EQ(keyboard.GetText(), "WW");
    // Sliding straight onto the next key types it.
    Touch(Right, "E");
    EXPECT_EQ(keyboard.GetText(), "WWE");
    Touch(Left, "SPACE");
    Touch(Left, "1");
    EXPECT_EQ(keyboard.GetText(), "WWE 1");
}

TEST_F(Keyboard, BackRemovesTheLastCharacterAndNothingOnEmptyText)
{
    Type("AB");
    Touch(Right, "<");
    EXPECT_EQ(keyboard.GetText(), "A");
    Touch(Right, "");
    Touch(Right, "<");
    Touch(Right, "");
    Touch(Right, "<");
    EXPECT_EQ(keyboard.GetText(), "");

    keyboard.SetText("Caf\xC3\xA9");
    Touch(Right, "");
    Touch(Right, "<");
    EXPECT_EQ(keyboard.GetText(), "Caf") << "a whole UTF-8 character goes";
}

TEST_F(Keyboard, EnterAndCancelReadPressedWhileTouchedAndTypeNothing)
{
    Type("OK");
    Touch(Right, "ENTER");
    EXPECT_TRUE(keyboard.IsEnterPressed());
    EXPECT_FALSE(keyboard.IsCancelPressed());
    Touch(Right, "ENTER");
    EXPECT_TRUE(keyboard.IsEnterPressed());
    Touch(Right, "");
    EXPECT_FALSE(keyboard.IsEnterPressed());
    Touch(Left, "CANCEL");
    EXPECT_TRUE(keyboard.IsCancelPressed());
    EXPECT_EQ(keyboard.GetText(), "OK");
}

TEST_F(Keyboard, AnUntrackedHandTypesNothing)
{
    script->SetTracking(Right, true, false, PimVrTrackingResult::Uninitialized);
    Touch(Right, "A");
    EXPECT_EQ(keyboard.GetText(), "");
}

TEST_F(Keyboard, TheTextIsLimitedInLength)
{
    keyboard.SetText(std::string(40, 'X'));
    EXPECT_EQ(keyboard.GetText().size(), PimVrKeyboard::MaxTextLength);
    Touch(Right, "Y");
    EXPECT_EQ(keyboard.GetText(), std::string(PimVrKeyboard::MaxTextLength, 'X'));
    // Cutting never splits a character: 31 letters and a two-byte one do not fit in 32 bytes.
    keyboard.SetText(std::string(31, 'A') + "\xC3\xA9");
    EXPECT_EQ(keyboard.GetText(), std::string(31, 'A'));
}

TEST(StrokeFont, TextIsLaidOutGlyphByGlyph)
{
    EXPECT_EQ(PimStrokeFont::TextWidth(""), 0.0f);
    EXPECT_EQ(PimStrokeFont::TextWidth("A"), PimStrokeFont::GlyphWidth);
    EXPECT_EQ(PimStrokeFont::TextWidth("AB"), PimStrokeFont::Advance + PimStrokeFont::GlyphWidth);
    EXPECT_EQ(PimStrokeFont::GetGlyph('a').size(), PimStrokeFont::GetGlyph('A').size());
    EXPECT_TRUE(PimStrokeFont::GetGlyph(' ').empty());
    EXPECT_TRUE(PimStrokeFont::GetGlyph('\xC3').empty());

    std::vector<float> points;
    PimStrokeFont::AppendText("L", 10.0f, 20.0f, 0.5f, points);
    // L: down the left side, then along the bottom.
    const std::vector<float> expected = {10.0f, 23.0f, 10.0f, 20.0f, 10.0f, 20.0f, 12.0f, 20.0f};
    EXPECT_EQ(points, expected);
    for (char c = 0; c < 127; ++c)
    {
        for (const PimStrokeFont::Stroke& s : PimStrokeFont::GetGlyph(c))
        {
            EXPECT_TRUE(s.x0 >= 0 && s.x0 <= 4 && s.x1 >= 0 && s.x1 <= 4) << c;
            EXPECT_TRUE(s.y0 >= 0 && s.y0 <= 6 && s.y1 >= 0 && s.y1 <= 6) << c;
        }
    }
}
