// The off hand's tool panel: page switching, the icons' press rule and wobble, every tool offered, the
// near flag that keeps the dominant trigger from editing, the palette strip's pointing and
// selection, and its reset when the colours change.

#include "tests/support/rig_fixture.h"

#include "editing/ToolPanel.h"
#include "editing/VoxelEditor.h"

#include "engine/PimContentFolder.h"

namespace
{
constexpr int kOff = PimVrDeviceIndex::LeftHand;
constexpr int kDominant = PimVrDeviceIndex::RightHand;

class ToolPanelTest : public RigFixture
{
protected:
    void SetUp() override
    {
        RigFixture::SetUp();
        // The icons come from the build's content folder.
        SettingsFolders folders = SettingsFolders::FromBases(
            PimWString::Widen(PimContentFolder::Get().parent_path().string()), temp.Wide() + L"/data", temp.Wide() + L"/Pictures");
        panelSettings = std::make_unique<GameSettings>(folders);
        panel = std::make_unique<ToolPanel>(*panelSettings);
        EXPECT_EQ(PimAssert::GetFailureCount(), 0) << "every icon loads";
        rig = std::make_unique<PlayerRig>(*panelSettings, std::make_shared<PimCamera>(), PlayerRig::Mode::World);
        rig->GetEditTarget().SetModel(&room);
        editor = &rig->CreateEditor(*panel);
        Place({20.5f, kFloorTop, 40.5f});
        // The dominant hand far from the panel.
        script->SetPose(kDominant, {0.4f, 1.3f, -0.6f}, PimMatrix4x4());
    }
    void TearDown() override
    {
        rig.reset();
        RigFixture::TearDown();
    }
    void OffTrigger(float value) { script->SetValue(kOff, PimVrButton::Trigger, value); }
    void DominantTrigger(float value) { script->SetValue(kDominant, PimVrButton::Trigger, value); }
    // Puts the dominant tip on a world point (the rig's root moved with the player).
    void TipAt(const PimVector3& world)
    {
        PlaceTip(kDominant, (world - vr.GetRootPosition()) / vr.GetScale());
    }
    void ShowTools()
    {
        Frames(1);
        OffTrigger(1.0f);
        Frames(1);
        OffTrigger(0.0f);
        Frames(1);
        ASSERT_EQ(panel->GetPage(), ToolPanel::Page::Tools);
    }

    std::unique_ptr<GameSettings> panelSettings;
    std::unique_ptr<ToolPanel> panel;
    VoxelEditor* editor = nullptr;
};

TEST_F(ToolPanelTest, HoldingTheOffHandTriggerSwitchesThePageOnce)
{
    // A pull under way when the panel is made does not count.
    OffTrigger(1.0f);
    Frames(2);
    ASSERT_EQ(panel->GetPage(), ToolPanel::Page::Palette);
    OffTrigger(0.0f);
    Frames(2);
    ASSERT_EQ(panel->GetPage(), ToolPanel::Page::Palette);
    OffTrigger(1.0f);
    Frames(20);
    EXPECT_EQ(panel->GetPage(), ToolPanel::Page::Tools);
    OffTrigger(0.0f);
    Frames(2);
    EXPECT_EQ(panel->GetPage(), ToolPanel::Page::Tools);
    OffTrigger(0.6f);
    Frames(1);
    EXPECT_EQ(panel->GetPage(), ToolPanel::Page::Palette);
    EXPECT_EQ(panel->GetTool(), 0u) << "the tool keeps its value across pages";
}

TEST_F(ToolPanelTest, TouchingAnIconOnlyWobblesItAndPullingPicksIt)
{
    ShowTools();
    const int ring = static_cast<int>(ToolId::MagicRing);
    const PimVector3 base = panel->GetIcon(ring).GetBaseLocation();
    TipAt(base + PimVector3(0.01f, 0.0f, 0.0f));
    Frames(3);
    const QuadButton& icon = panel->GetIcon(ring);
    EXPECT_TRUE(icon.IsTouched());
    EXPECT_FALSE(icon.IsPressed());
    EXPECT_GT(icon.GetLocation().Distance(icon.GetBaseLocation()), 1e-4f) << "it sways";
    EXPECT_EQ(panel->GetTool(), 0u) << "touching alone picks nothing";
    EXPECT_TRUE(panel->IsNear());
    EXPECT_EQ(panel->GetIcon(0).GetColor(), ToolPanel::kCurrentTint);
    EXPECT_EQ(panel->GetIcon(ring).GetColor(), ToolPanel::kOtherTint);

    DominantTrigger(1.0f);
    Frames(1);
    EXPECT_EQ(panel->GetTool(), static_cast<std::uint32_t>(ring));
    EXPECT_FLOAT_EQ(panel->GetIcon(ring).GetDrawnScale(), ToolPanel::kIconSize * vr.GetScale() * QuadButton::kPressedScale);
    EXPECT_EQ(rig->GetEditTarget().GetWriteCount(), 0u) << "picking a tool never edits";
    EXPECT_TRUE(editor->GetPoints().empty());
    DominantTrigger(0.0f);
    Frames(1);
    EXPECT_EQ(panel->GetIcon(ring).GetColor(), ToolPanel::kCurrentTint);

    // Leaving the icon: back at its base, no longer near.
    script->SetPose(kDominant, {0.4f, 1.3f, -0.6f}, PimMatrix4x4());
    Frames(1);
    EXPECT_EQ(panel->GetIcon(ring).GetLocation(), panel->GetIcon(ring).GetBaseLocation());
    EXPECT_FALSE(panel->IsNear());
}

TEST_F(ToolPanelTest, EveryToolCanBePickedAndTheTriggerNeverEditsOnThePanel)
{
    ShowTools();
    for (std::uint32_t tool = 0; tool < kToolCount; ++tool)
        EXPECT_TRUE(IsToolAvailable(tool)) << tool;
    // The reference-image tool, the last to get its arm, is picked like the others.
    const int slot = static_cast<int>(ToolId::ReferenceImage);
    TipAt(panel->GetIcon(slot).GetBaseLocation());
    Frames(1);
    for (int pull = 0; pull < 3; ++pull)
    {
        DominantTrigger(1.0f);
        Frames(2);
        DominantTrigger(0.0f);
        Frames(2);
    }
    EXPECT_EQ(panel->GetTool(), static_cast<std::uint32_t>(slot));
    EXPECT_EQ(panel->GetIcon(slot).GetColor(), ToolPanel::kCurrentTint);
    EXPECT_EQ(rig->GetEditTarget().GetWriteCount(), 0u);
    EXPECT_EQ(editor->GetPlacementCount(), 0u);
}

TEST_F(ToolPanelTest, TheStripSelectsTheTouchedSlotAndKeepsTheTriggerFromPainting)
{
    Frames(2);
    PaletteStrip& strip = panel->GetStrip();
    EXPECT_EQ(strip.GetSelected(), 0);
    EXPECT_FALSE(strip.IsPointedAt());
    TipAt(strip.GetSlotPosition(7) + PimVector3(0.01f, 0.01f, 0.0f));
    Frames(1);
    EXPECT_TRUE(strip.IsPointedAt());
    EXPECT_TRUE(panel->TakesFrame());
    EXPECT_EQ(strip.GetSelected(), 0) << "pointing alone selects nothing";
    DominantTrigger(1.0f);
    Frames(1);
    EXPECT_EQ(strip.GetSelected(), 7);
    const auto& game = panelSettings->activeGame;
    EXPECT_EQ(panel->GetCurrentColour(), game.GetPaletteEntry(game.GetActivePalette(), 7));
    EXPECT_EQ(editor->GetPlacementCount(), 0u);
    // Beyond 0.1 VR scale of every cube nothing is pointed at.
    TipAt(strip.GetSlotPosition(3) + PimVector3(0.0f, 0.2f, 0.0f));
    Frames(1);
    EXPECT_FALSE(strip.IsPointedAt());
}

TEST_F(ToolPanelTest, ChangedColoursResetTheStripKeepingItsSelection)
{
    Frames(1);
    panel->GetStrip().Select(4);
    auto& game = panelSettings->activeGame;
    const std::uint16_t textured = 131;
    game.SetPaletteEntry(game.GetActivePalette(), 2, textured);
    ASSERT_TRUE(game.coloursChanged);
    Frames(1);
    EXPECT_FALSE(game.coloursChanged);
    EXPECT_EQ(panel->GetStrip().GetSlotValue(2), textured);
    EXPECT_EQ(panel->GetStrip().GetSlotCube(2).GetColour(), (PimColor{255, 255, 255, 255})) << "textured shows white";
    EXPECT_EQ(panel->GetStrip().GetSelected(), 4);
    // A colour voxel shows its index's colour in the engine's table of world chunks.
    const std::uint16_t colour = panel->GetStrip().GetSlotValue(0) & 0xFFFF;
    EXPECT_EQ(PaletteStrip::DisplayColour(colour), PimVoxelGrid::GetColorDefinition(colour & 0xFF, true));
}

TEST_F(ToolPanelTest, IconsAreTouchedWithinTheirSizeFactorsReach)
{
    QuadButton button;
    button.SetReachBySizeFactor(true);
    button.SetSizeFactor(0.05f);
    EXPECT_NEAR(button.GetTouchRadius(), std::sqrt(0.002625f), 1e-6f);
    vr.SetScale(4.0f);
    EXPECT_NEAR(button.GetTouchRadius(), std::sqrt(0.002625f * 4.0f), 1e-6f);
    // The width rule of the menu buttons is unchanged.
    QuadButton back;
    back.SetQuadScale(0.15f);
    EXPECT_FLOAT_EQ(back.GetTouchRadius(), 0.15f * QuadButton::kTouchShare);
}
}
