// The box tools driven by scripted hands: the box's drag rule, the action buttons (one pull
// presses one button), the rotate rings and the held clipboard's latch, and the editor's box
// actions in a model, where nothing can be copied.

#include "tests/support/rig_fixture.h"

#include "editing/ActionButtons.h"
#include "editing/EditorPanel.h"
#include "editing/PointerSpace.h"
#include "editing/RotateGizmo.h"
#include "editing/SelectionBox.h"
#include "editing/SelectionTool.h"
#include "editing/VoxelEditor.h"

#include "engine/PimVrInputCodes.h"

namespace
{
constexpr int kLeft = PimVrDeviceIndex::LeftHand;
constexpr int kRight = PimVrDeviceIndex::RightHand;
constexpr std::uint16_t kRed = VoxelCode::FirstColour + 100;

class BoxPanel final : public EditorPanel
{
public:
    void Update() override { ++updates; }
    void Draw() override {}
    std::uint32_t GetTool() const override { return tool; }
    std::uint16_t GetCurrentColour() const override { return kRed; }
    bool TakesFrame() const override { return false; }
    std::uint32_t tool = static_cast<std::uint32_t>(ToolId::Select);
    int updates = 0;
};

class SelectionControls : public RigFixture
{
protected:
    void SetUp() override
    {
        RigFixture::SetUp();
        Place({20.5f, kFloorTop, 40.5f});
        editor = &rig->CreateEditor(panel);
    }
    // Puts a hand's tip on a world point.
    void TipAtWorld(int role, const PimVector3& world) { PlaceTip(role, PointerSpace::WorldToTracking(world)); }
    void Trigger(int role, float value) { script->SetValue(role, PimVrButton::Trigger, value); }
    std::uint16_t At(int x, int y, int z) { return rig->GetEditTarget().GetVoxel({x + 0.5f, y + 0.5f, z + 0.5f}); }
    SelectionTool& Selection() { return editor->GetSelection(); }

    BoxPanel panel;
    VoxelEditor* editor = nullptr;
};

TEST_F(SelectionControls, CornersResizeInWholeVoxelsUpToASpanOfAHundred)
{
    SelectionBox box(nullptr);
    box.Open({20, 20, 20});
    EXPECT_EQ(box.GetUpperCorner(), PimVector3(25, 25, 25));
    EXPECT_EQ(box.GetLowerCorner(), PimVector3(15, 15, 15));
    EXPECT_TRUE(box.Drag(0, {0.9f, -0.9f, 0.9f}));
    EXPECT_EQ(box.GetUpperCorner(), PimVector3(25, 25, 25)) << "less than a voxel and a bit does nothing";
    // 2.6 on each axis moves the right, top and front faces by 2.
    EXPECT_TRUE(box.Drag(0, {2.6f, 2.6f, 2.6f}));
    EXPECT_EQ(box.GetUpperCorner(), PimVector3(27, 27, 27));
    EXPECT_EQ(box.GetHandlePosition(1), PimVector3(27, 27, 15)) << "corner 1 is on the back face, which stays";
    EXPECT_EQ(box.GetHandlePosition(6), PimVector3(15, 15, 15));
    EXPECT_EQ(box.GetHandlePosition(12), PimVector3(21, 27, 21)) << "the top's handle is its corners' mean";
    EXPECT_TRUE(box.Drag(12, {0, 5, 0}));
    EXPECT_EQ(box.GetHandlePosition(12), PimVector3(21, 27, 21)) << "face handles move nothing";

    // The top 88 up from 27 gives a span of 100: allowed; one more is refused.
    EXPECT_TRUE(box.Drag(3, {0, 88.0f, 0}));
    EXPECT_EQ(box.GetUpperCorner().y - box.GetLowerCorner().y, 100.0f);
    EXPECT_FALSE(box.Drag(3, {0, 1.5f, 0}));
    EXPECT_EQ(box.GetUpperCorner().y, 115.0f);
    // A face may pass the opposite face: the box turns inside out on that axis.
    EXPECT_TRUE(box.Drag(6, {14.0f, 0, 0}));
    EXPECT_GT(box.GetLowerCorner().x, box.GetUpperCorner().x);
}

TEST_F(SelectionControls, ADraggedCornerHandleResizesTheBox)
{
    editor->Apply({20, 10, 20});
    SelectionBox& box = Selection().GetBox();
    ASSERT_TRUE(box.IsActive());
    TipAtWorld(kRight, box.GetHandlePosition(0) + PimVector3(0.3f, 0.3f, 0.3f));
    Frames(1);
    Trigger(kRight, 1.0f);
    Frames(1);
    ASSERT_EQ(box.GetHeldHandle(), 0);
    TipAtWorld(kRight, box.GetHandlePosition(0) + PimVector3(3.0f, 0.3f, 0.3f));
    Frames(1);
    EXPECT_EQ(box.GetUpperCorner(), PimVector3(27, 15, 25)) << "pulled 2.7 along x: the right face moves 2";
    Trigger(kRight, 0.0f);
    Frames(1);
    EXPECT_EQ(box.GetHeldHandle(), -1);
    EXPECT_EQ(panel.updates, 0) << "the panel rests while the box is open";
}

TEST_F(SelectionControls, OnePullPressesOneButtonOnce)
{
    vr.SetScale(1.5f);
    ActionButtons buttons({});
    buttons.SetState(ActionButtons::State::SelectWithoutClipboard);
    PlaceTip(kLeft, {-0.2f, 1.2f, -0.3f});
    TipAtWorld(kRight, {50, 50, 50});
    Frames(1);
    Step([&] { buttons.Update(kLeft); });
    const PimVector3 copy = buttons.GetButton(ActionButtons::Action::Copy).GetBaseLocation();
    const PimVector3 cut = buttons.GetButton(ActionButtons::Action::Cut).GetBaseLocation();
    ASSERT_NEAR(copy.Distance(cut), 0.1f * 1.5f, 1e-4f);
    EXPECT_LT(buttons.GetButton(ActionButtons::Action::Copy).GetTouchRadius(), copy.Distance(cut))
        << "a tip on one button does not reach its neighbour";

    std::vector<ActionButtons::Action> fired;
    const auto frame = [&] {
        Step([&] {
            const ActionButtons::Action action = buttons.Update(kLeft);
            if (action != ActionButtons::Action::None)
                fired.push_back(action);
        });
    };
    // The off hand's own pull reaches no button.
    Trigger(kLeft, 1.0f);
    frame();
    Trigger(kLeft, 0.0f);
    frame();
    EXPECT_TRUE(fired.empty());
    // A tip between copy and cut, a little nearer copy, touches both: one pull fires copy once.
    TipAtWorld(kRight, copy * 0.55f + cut * 0.45f);
    frame();
    ASSERT_TRUE(buttons.GetButton(ActionButtons::Action::Copy).IsTouched());
    ASSERT_TRUE(buttons.GetButton(ActionButtons::Action::Cut).IsTouched());
    Trigger(kRight, 1.0f);
    for (int i = 0; i < 10; ++i)
        frame();
    EXPECT_EQ(fired, std::vector<ActionButtons::Action>{ActionButtons::Action::Copy});
    Trigger(kRight, 0.0f);
    frame();
    // On the move button's centre, a new pull fires move; the disabled play button is never pressed.
    TipAtWorld(kRight, buttons.GetButton(ActionButtons::Action::Move).GetBaseLocation());
    frame();
    Trigger(kRight, 1.0f);
    frame();
    EXPECT_EQ(fired.back(), ActionButtons::Action::Move);
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(SelectionControls, ARingTurnsWithTheTipAlongItAndAPressOutsideItsSlabBlocksIt)
{
    RotateGizmo rings(nullptr);
    const PimVector3 centre(30, 20, 30);
    const float radius = 1.0f;
    const auto onRingY = [&](float degrees) {
        // Ring y measures atan2(z, x).
        const float a = PimAngle::DegreesToRadians(degrees);
        return centre + PimVector3(std::cos(a), 0.0f, std::sin(a)) * radius;
    };
    TipAtWorld(kRight, onRingY(0));
    Step([&] { rings.Update(centre, radius); });
    Trigger(kRight, 1.0f);
    Step([&] { rings.Update(centre, radius); });
    ASSERT_EQ(rings.GetHolder(1), kRight);
    EXPECT_EQ(rings.GetHolder(0), 0) << "only the first ring held counts";
    TipAtWorld(kRight, onRingY(20));
    Step([&] { rings.Update(centre, radius); });
    EXPECT_NEAR(rings.GetAngleDegrees(1), 20.0f, 0.1f);
    Trigger(kRight, 0.0f);
    Step([&] { rings.Update(centre, radius); });
    EXPECT_EQ(rings.GetAngleDegrees(1), 0.0f) << "let go, the ring rests at 0";

    // A pull that starts above the slab and is then swept onto the ring turns nothing.
    TipAtWorld(kRight, onRingY(0) + PimVector3(0, 0.5f, 0));
    Step([&] { rings.Update(centre, radius); });
    Trigger(kRight, 1.0f);
    Step([&] { rings.Update(centre, radius); });
    TipAtWorld(kRight, onRingY(30));
    Step([&] { rings.Update(centre, radius); });
    EXPECT_EQ(rings.GetHolder(1), 0);
    EXPECT_EQ(rings.GetAngleDegrees(1), 0.0f);
}

TEST_F(SelectionControls, ATurnedRingRotatesTheClipboardOnceUntilItIsLetGo)
{
    Clipboard& clipboard = rig->GetEditTarget().GetClipboard();
    // Square across z, so the turn keeps the rings' centre (the lower corner stays put).
    VoxelBox content(3, 3, 1);
    content.Set(0, 0, 0, kRed);
    ASSERT_TRUE(clipboard.Hold(content, {10, 10, 10}));
    ASSERT_TRUE(editor->IsSelectionActive());
    const float s = settings->activeGame.GetPlayerScale();
    const PimVector3 centre = clipboard.GetCentre();
    const float radius = MirrorButtons::Reach(s);
    // Ring z measures atan2(x, y): start at the top of the ring and sweep 40 degrees.
    const auto onRingZ = [&](float degrees) {
        const float a = PimAngle::DegreesToRadians(degrees);
        return centre + PimVector3(std::sin(a), std::cos(a), 0.0f) * radius;
    };
    TipAtWorld(kRight, onRingZ(0));
    Frames(1);
    Trigger(kRight, 1.0f);
    Frames(1);
    for (float degrees = 5; degrees <= 40; degrees += 5)
    {
        TipAtWorld(kRight, onRingZ(degrees));
        Frames(1);
    }
    EXPECT_EQ(clipboard.GetContent().At(0, 2, 0), kRed) << "turned once about z: (x, y) to (y, 2 - x)";
    EXPECT_EQ(clipboard.GetContent().At(0, 0, 0), 0);
    EXPECT_TRUE(Selection().IsLatched());
    EXPECT_FALSE(clipboard.IsGrabbed()) << "the pull on the ring does not carry the clipboard";
    Trigger(kRight, 0.0f);
    Frames(1);
    EXPECT_FALSE(Selection().IsLatched());
    EXPECT_EQ(panel.updates, 0) << "the panel rests while a clipboard is held";
}

TEST_F(SelectionControls, InAModelCopyAndMoveDoNothingAndCutEmptiesTheBox)
{
    Block(10, 10, 10, 14, 14, 14, kRed);
    editor->Apply({12, 12, 12});
    SelectionTool& selection = Selection();
    const std::uint32_t select = static_cast<std::uint32_t>(ToolId::Select);
    EXPECT_TRUE(selection.Run(ActionButtons::Action::Copy, select, kRed).flash);
    EXPECT_FALSE(rig->GetEditTarget().GetClipboard().IsHeld());
    // Move copies nothing here, so it must not empty the box either.
    const SelectionTool::Outcome moved = selection.Run(ActionButtons::Action::Move, select, kRed);
    EXPECT_TRUE(moved.flash);
    EXPECT_FALSE(moved.edited);
    EXPECT_EQ(At(12, 12, 12), kRed) << "the voxels are still there";
    EXPECT_TRUE(selection.IsBoxActive());
    // Cut empties the box (7 to 16 around the cell) and closes it.
    EXPECT_TRUE(selection.Run(ActionButtons::Action::Cut, select, kRed).edited);
    EXPECT_FALSE(selection.IsBoxActive());
    EXPECT_EQ(At(10, 10, 10), 0);
    EXPECT_EQ(At(14, 14, 14), 0);
}

TEST_F(SelectionControls, TheBoxFillsFillAndCloseAndExitLeavesTheModelAsItWas)
{
    panel.tool = static_cast<std::uint32_t>(ToolId::FillCube);
    editor = &rig->CreateEditor(panel);
    editor->Apply({30, 30, 30});
    SelectionTool& selection = Selection();
    const SelectionTool::Outcome filled =
        selection.Run(ActionButtons::Action::Play, static_cast<std::uint32_t>(ToolId::FillCube), kRed);
    EXPECT_TRUE(filled.painted);
    EXPECT_FALSE(selection.IsBoxActive()) << "a fill closes the box";
    EXPECT_EQ(At(25, 25, 25), kRed);
    EXPECT_EQ(At(34, 34, 34), kRed);
    EXPECT_EQ(At(35, 34, 34), 0);

    // A held clipboard dropped with the close button leaves every voxel as it was.
    Clipboard& clipboard = rig->GetEditTarget().GetClipboard();
    ASSERT_TRUE(clipboard.Hold(VoxelBox(3, 3, 3, VoxelCode::Rock), {26, 26, 26}));
    editor->Apply({30, 30, 30});
    const std::uint64_t writes = rig->GetEditTarget().GetWriteCount();
    selection.Run(ActionButtons::Action::ExitMenu, static_cast<std::uint32_t>(ToolId::Select), kRed);
    EXPECT_FALSE(clipboard.IsHeld());
    EXPECT_FALSE(selection.IsBoxActive());
    EXPECT_EQ(rig->GetEditTarget().GetWriteCount(), writes);
    EXPECT_EQ(At(26, 26, 26), kRed);
}
}
