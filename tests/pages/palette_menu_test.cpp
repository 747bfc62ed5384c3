// The in-game menu's palette wall on scripted hands: which swatch a touch hits (the edges of the
// wall's plane, rows past the list's end, rows folded into the wall), textured values that no
// picker can recolour, locks that only the break-lock button lifts, the colour-editing hints
// counted once per edit, the palette strip's reach, the palette buttons and a corrupt palette
// index.

#include "pages_fixture.h"

#include "colour/PaletteModel.h"
#include "colour/VrPaletteSelectionMenu.h"

#include "pages/InGameMenuPageVr.h"

#include "engine/PimCamera.h"
#include "engine/PimVrInputCodes.h"

namespace
{
constexpr int kLeft = PimVrDeviceIndex::LeftHand;
constexpr int kRight = PimVrDeviceIndex::RightHand;
constexpr std::uint16_t kNone = VrPaletteSelectionMenu::kNoSwatch;

class PaletteMenu : public PagesFixture
{
protected:
    void SetUp() override
    {
        PagesFixture::SetUp();
        PaletteModel::ApplyDefaultColours();
        settings->activeGame.ResetAll();
        settings->SetTutorialCount(5);
        // Both hands away from the wall and its controls.
        TipAt(kLeft, {3.0f, 2.0f, 3.0f});
        TipAt(kRight, {3.2f, 2.0f, 3.0f});
        menu = std::make_unique<VrPaletteSelectionMenu>(*settings);
        Frames(1);
    }
    void TearDown() override
    {
        menu.reset();
        PagesFixture::TearDown();
    }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Step([this] { menu->Update(); });
    }
    // Grasps a picker bar's knob with the right hand, drags it to a value (0 to 255) over a few
    // frames and lets go.
    void Drag(int channel, float value)
    {
        PimVrUISlider& bar = menu->GetPicker().GetBar(channel).GetSlider();
        TipAt(kRight, bar.GetSliderPosition());
        Frames(1);
        Trigger(kRight, 1.0f);
        Frames(1);
        const PimVector3 from = bar.GetSliderPosition();
        const PimVector3 to = bar.GetAnchorPosition() + (bar.GetEndcapPosition() - bar.GetAnchorPosition()) * (value / 255.0f);
        for (int step = 1; step <= 4; ++step)
        {
            TipAt(kRight, from + (to - from) * (static_cast<float>(step) / 4.0f));
            Frames(1);
        }
        Trigger(kRight, 0.0f);
        TipAt(kRight, {3.2f, 2.0f, 3.0f});
        Frames(1);
    }
    void Touch(const PimVector3& at)
    {
        TipAt(kRight, at);
        Frames(1);
        Trigger(kRight, 1.0f);
        Frames(2);
        Trigger(kRight, 0.0f);
        TipAt(kRight, {3.2f, 2.0f, 3.0f});
        Frames(1);
    }

    std::unique_ptr<VrPaletteSelectionMenu> menu;
};

TEST_F(PaletteMenu, TouchesHitOnlyTheSwatchesInSightOnTheWallsPlane)
{
    for (const int index : {0, 15, 16, 100, 111})
        EXPECT_EQ(menu->HitTest(menu->SwatchPosition(index)), index);
    const PimVector3 centre = menu->SwatchPosition(37);
    EXPECT_EQ(menu->HitTest(centre + PimVector3(0.069f, 0.0f, 0.0f)), 37);
    EXPECT_EQ(menu->HitTest(centre + PimVector3(-0.069f, 0.0f, 0.0f)), 37);
    EXPECT_EQ(menu->HitTest(centre + PimVector3(0.071f, 0.0f, 0.0f)), kNone) << "in the wall, past its plane";
    EXPECT_EQ(menu->HitTest(centre + PimVector3(-0.071f, 0.0f, 0.0f)), kNone) << "in front of the wall";
    // Neighbours are 0.135 apart: a touch a little off centre still finds the swatch.
    EXPECT_EQ(menu->HitTest(centre + PimVector3(0.0f, 0.06f, 0.06f)), 37);

    // Unscrolled, rows 7 and below are bent into the wall: where they would lie flat is no swatch.
    EXPECT_TRUE(menu->IsFolded(7 * 16));
    const PimVector3 unfolded = VrPaletteSelectionMenu::kBase + PimVector3(0.0f, -10.0f, -2.85f) * 0.09f;
    EXPECT_EQ(menu->HitTest(unfolded), kNone);
    EXPECT_EQ(menu->HitTest(VrPaletteSelectionMenu::kBase + PimVector3(0.0f, -40.0f, 0.0f) * 0.09f), kNone)
        << "row 27 of a list of 17 rows";

    // Scrolled to the end: the last row holds 154's neighbours 131 and 3560 and nothing after them.
    menu->GetScrollSlider().GetSlider().SetValue(1.0f);
    Frames(1);
    EXPECT_FLOAT_EQ(menu->GetScroll(), 1.0f);
    EXPECT_TRUE(menu->IsFolded(0));
    EXPECT_EQ(menu->HitTest(menu->SwatchPosition(0)), kNone) << "folded above the top";
    EXPECT_EQ(menu->HitTest(menu->SwatchPosition(257)), 257);
    const PimVector3 pastTheEnd = menu->SwatchPosition(257) + PimVector3(0.0f, 0.0f, 3 * 0.135f);
    EXPECT_EQ(menu->HitTest(pastTheEnd), kNone) << "the row's fifth place is beyond the 258 values";
}

TEST_F(PaletteMenu, ATouchedSwatchFillsTheSlotAndATexturedOneStaysWhiteUnderThePicker)
{
    menu->SelectSlot(3);
    Touch(menu->SwatchPosition(42));
    EXPECT_EQ(settings->activeGame.GetPaletteEntry(0, 3), PaletteModel::ColourVoxel(42));
    EXPECT_EQ(menu->GetStrip().GetSlotValue(3), PaletteModel::ColourVoxel(42));
    EXPECT_TRUE(settings->activeGame.coloursChanged);
    EXPECT_EQ(settings->GetTutorialCount(), 5u) << "choosing a colour is no colour edit";

    // Position 255 is the textured code 154, not a colour: no lock bit or colour of index 255.
    settings->activeGame.SetColourLocked(true, 254);
    menu->RefreshLocks();
    menu->GetScrollSlider().GetSlider().SetValue(1.0f);
    Frames(1);
    for (const int index : {255, 256, 257})
    {
        const std::uint16_t code = menu->GetValue(index);
        Touch(menu->SwatchPosition(index));
        ASSERT_EQ(menu->GetSelectedIndex(), index);
        EXPECT_EQ(settings->activeGame.GetPaletteEntry(0, 3), code);
        EXPECT_EQ(menu->GetSwatch(index).GetColour(), PimColor(255, 255, 255, 255));
        EXPECT_FALSE(menu->IsLockedColour(index));
        Drag(0, 40.0f);
        EXPECT_EQ(menu->GetPicker().GetColour(), PimColor(255, 255, 255, 255)) << code << " cannot be recoloured";
        EXPECT_EQ(menu->GetSwatch(index).GetColour(), PimColor(255, 255, 255, 255));
    }
    EXPECT_EQ(menu->GetValue(255), 154);
    EXPECT_EQ(settings->GetTutorialCount(), 5u) << "a picker put back is no edit";
    EXPECT_FALSE(settings->saveRequested);
    EXPECT_EQ(PaletteModel::GetWorldColour(254), PaletteModel::GetDefaultColour(254));
}

TEST_F(PaletteMenu, ALockedColourRefusesThePickerUntilTheBreakLockButtonFreesIt)
{
    constexpr int kColour = 20;
    const PimColor before = PaletteModel::GetWorldColour(kColour);
    settings->activeGame.SetColourLocked(true, kColour);
    menu->Reset();
    menu->SelectSwatch(kColour);
    EXPECT_TRUE(menu->IsLockedColour(kColour));
    Drag(0, 30.0f);
    EXPECT_EQ(PaletteModel::GetWorldColour(kColour), before) << "locked: the world's colour stays";
    EXPECT_EQ(menu->GetPicker().GetColour(), PimVoxelGrid::GetColorDefinition(kColour, true)) << "the picker goes back";
    EXPECT_EQ(settings->GetTutorialCount(), 5u);

    Touch(menu->GetBreakLockButton().GetBaseLocation());
    EXPECT_FALSE(settings->activeGame.IsColourLocked(kColour));
    EXPECT_FALSE(menu->IsLockedColour(kColour));

    Drag(0, 30.0f);
    const PimColor after = PaletteModel::GetWorldColour(kColour);
    EXPECT_NEAR(after.r, 30, 2);
    EXPECT_EQ(after.g, before.g);
    EXPECT_EQ(after.b, before.b);
    EXPECT_EQ(PimVoxelGrid::GetColorDefinition(kColour, true), after) << "the world's chunks show it";
    const GameSettingItem& entry = settings->activeGame.Item(GameSettingsActiveGame::Key::ActiveColors).GetChildren()[kColour];
    EXPECT_EQ(entry.FindVectorItemByName("R").GetUInt(), after.r) << "the world's settings keep it";
    EXPECT_EQ(menu->GetSwatch(kColour).GetColour(), after);
    EXPECT_EQ(settings->GetTutorialCount(), 4u) << "one drag, one edit";
    EXPECT_TRUE(settings->saveRequested);
}

TEST_F(PaletteMenu, FiveEditsUseUpTheHintsAndLaterEditsLeaveTheCountAtZero)
{
    ASSERT_TRUE(menu->IsShowingHint());
    menu->SelectSwatch(60);
    const float values[6] = {10.0f, 200.0f, 60.0f, 150.0f, 90.0f, 240.0f};
    for (int edit = 0; edit < 6; ++edit)
    {
        Drag(edit % 3, values[edit]);
        EXPECT_EQ(settings->GetTutorialCount(), static_cast<std::uint32_t>(std::max(0, 4 - edit))) << "edit " << edit + 1;
    }
    // Frames with the picker as it was left count nothing more.
    Frames(5);
    EXPECT_EQ(settings->GetTutorialCount(), 0u);
    VrPaletteSelectionMenu fresh(*settings);
    EXPECT_FALSE(fresh.IsShowingHint()) << "no hints once they are used up";
}

TEST_F(PaletteMenu, TheStripSelectsASlotOnlyWithinReachWithTheTriggerPulled)
{
    // The strip floats over the off (left) hand, at the VR scale.
    vr.SetScale(2.0f);
    TipAt(kLeft, kRoot + PimVector3(0.0f, 1.0f, -0.5f));
    Frames(1);
    const float reach = 2.0f * PaletteStrip::kPointRadius;
    const PimVector3 slot = menu->GetStrip().GetSlotPosition(9);
    // Neighbouring slots are 0.15 apart at this scale: approach from outside the strip's plane.
    const PimVector3 up = (slot - menu->GetStrip().GetSlotPosition(5)).Cross(slot - menu->GetStrip().GetSlotPosition(8)).Normalized();
    const auto press = [&](const PimVector3& at, float pull) {
        TipAt(kRight, at);
        Trigger(kRight, pull);
        Frames(1);
        Trigger(kRight, 0.0f);
        Frames(1);
    };
    press(slot + up * (reach * 1.02f), 1.0f);
    EXPECT_EQ(menu->GetSelectedSlot(), 0) << "just out of reach";
    press(slot + up * (reach * 0.9f), 0.3f);
    EXPECT_EQ(menu->GetSelectedSlot(), 0) << "the trigger must be past 0.3";
    press(slot + up * (reach * 0.9f), 0.31f);
    EXPECT_EQ(menu->GetSelectedSlot(), 9);
    const std::uint16_t value = settings->activeGame.GetPaletteEntry(0, 9);
    EXPECT_EQ(menu->GetValue(menu->GetSelectedIndex()), value) << "the wall selects the slot's value";
}

TEST_F(PaletteMenu, APaletteButtonEditsItsPaletteAndACorruptIndexIsReplaced)
{
    Touch(menu->GetPaletteButton(1).GetBaseLocation());
    EXPECT_EQ(menu->GetPalette(), 1);
    EXPECT_EQ(settings->activeGame.GetActivePalette(), 1);
    EXPECT_EQ(menu->GetSlotCube(15).GetCode(), 154) << "palette 1 ends in the textured 154";
    EXPECT_EQ(menu->GetStrip().GetSlotValue(15), 154u);

    GameSettingItem& active = settings->activeGame.Item(GameSettingsActiveGame::Key::ActivePalette);
    active.SetUInt(7, ValueUse::Max);
    active.SetUInt(7, ValueUse::Current);
    PimAssert::ResetFailureCount();
    VrPaletteSelectionMenu corrupt(*settings);
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
    EXPECT_EQ(PimAssert::GetLastMessage(), "VrPaletteSelectionMenu::Initialize() - Corrupt palette index");
    EXPECT_EQ(settings->activeGame.GetActivePalette(), 2);
    EXPECT_EQ(corrupt.GetPalette(), 2);
}

// The booth hands the simulator's pointer every control of the wall it can see.
TEST_F(PaletteMenu, TheBoothsPointerReachesTheWallsControls)
{
    auto root = std::make_shared<PimUIPage>();
    auto booth = std::make_shared<InGameMenuPageVr>(*settings, std::make_shared<PimCamera>(), nullptr);
    root->AddChildPage(booth);
    booth->ActivateThisPage();
    for (int frame = 0; frame < 4; ++frame)
        Step([&] { booth->Update(); });
    VrPaletteSelectionMenu& wall = booth->GetPaletteMenu();
    const PimVector3 eye = InGameMenuPageVr::StandPoint() + PimVector3(0.0f, 1.6f, 0.0f);
    const auto along = [&](const PimVector3& target) { return booth->PressableAlong(eye, (target - eye).Normalized()); };
    const std::vector<PimVector3> targets = {wall.SwatchPosition(0), wall.SwatchPosition(100),
                                             wall.GetPaletteButton(2).GetBaseLocation(),
                                             wall.GetScrollSlider().GetSlider().GetSliderPosition(),
                                             wall.GetPicker().GetBar(1).GetSlider().GetSliderPosition()};
    for (std::size_t i = 0; i < targets.size(); ++i)
    {
        const auto spot = along(targets[i]);
        ASSERT_TRUE(spot.has_value()) << "control " << i;
        EXPECT_LT(spot->Distance(targets[i]), 1e-4f) << "control " << i;
    }
    const PimVector3 hidden = wall.SwatchPosition(8 * 16);
    const auto folded = along(hidden);
    EXPECT_TRUE(!folded || folded->Distance(hidden) > 1e-3f) << "a folded row offers no spot";
    // The break-lock button only while the selected colour is locked.
    const PimVector3 breakLock = wall.GetBreakLockButton().GetBaseLocation();
    wall.SelectSwatch(12);
    EXPECT_FALSE(along(breakLock).has_value() && along(breakLock)->Distance(breakLock) < 1e-4f);
    settings->activeGame.SetColourLocked(true, 12);
    wall.RefreshLocks();
    ASSERT_TRUE(along(breakLock).has_value());
    EXPECT_LT(along(breakLock)->Distance(breakLock), 1e-4f);
}
}
