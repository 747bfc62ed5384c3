// The editor's arms for the shape and fill tools: points picked with the trigger, the shape made
// at the last point, the refusals with the error flash, the colour's lock and the edited flag.

#include "tests/support/rig_fixture.h"

#include "editing/EditorPanel.h"
#include "editing/VoxelEditor.h"

namespace
{
constexpr std::uint16_t kRed = VoxelCode::FirstColour + 100;

class ChosenToolPanel final : public EditorPanel
{
public:
    void Update() override {}
    void Draw() override {}
    std::uint32_t GetTool() const override { return tool; }
    std::uint16_t GetCurrentColour() const override { return kRed; }
    bool TakesFrame() const override { return false; }
    std::uint32_t tool = 0;
};

class ToolDispatch : public RigFixture
{
protected:
    void Use(ToolId id)
    {
        panel.tool = static_cast<std::uint32_t>(id);
        editor = &rig->CreateEditor(panel);
    }
    std::uint16_t At(float x, float y, float z) { return rig->GetEditTarget().GetVoxel({x + 0.5f, y + 0.5f, z + 0.5f}); }
    bool Locked() const { return settings->activeGame.IsColourLocked(kRed - VoxelCode::FirstColour); }

    ChosenToolPanel panel;
    VoxelEditor* editor = nullptr;
};

TEST_F(ToolDispatch, TheLineIsDrawnAtTheSecondPointAndLocksItsColour)
{
    Use(ToolId::LineTool);
    editor->Apply({4, 10, 4});
    EXPECT_EQ(editor->GetPoints().size(), 1u);
    EXPECT_EQ(At(4, 10, 4), 0) << "nothing before the second point";
    EXPECT_FALSE(Locked());
    editor->Apply({14, 10, 4});
    EXPECT_TRUE(editor->GetPoints().empty());
    for (float x = 4; x <= 14; ++x)
        EXPECT_EQ(At(x, 10, 4), kRed);
    EXPECT_TRUE(Locked()) << "painting with a colour locks it";
    EXPECT_TRUE(editor->IsEdited());
}

TEST_F(ToolDispatch, TheRingIsDrawnAtTheThirdPointAndACollinearThirdPointIsRefused)
{
    Use(ToolId::MagicRing);
    editor->Apply({30, 20, 30});
    editor->Apply({34, 20, 30});
    editor->Apply({40, 20, 30}); // in line with the first two: no plane
    EXPECT_EQ(editor->GetPoints().size(), 2u) << "refused";
    EXPECT_FLOAT_EQ(editor->GetErrorFlash(), 1.0f);
    EXPECT_EQ(rig->GetEditTarget().GetWriteCount(), 0u);
    editor->Apply({30, 20, 40});
    EXPECT_TRUE(editor->GetPoints().empty());
    EXPECT_EQ(At(30, 20, 40), kRed);
    EXPECT_EQ(At(30, 20, 20), kRed);
    EXPECT_EQ(At(30, 20, 30), 0) << "hollow";
}

TEST_F(ToolDispatch, APlaneFillPointSharingNoCoordinateIsRefusedWithTheFlash)
{
    Use(ToolId::FillPlain);
    editor->Apply({10, 0, 10});
    editor->Apply({12, 1, 13});
    EXPECT_EQ(editor->GetPoints().size(), 1u);
    EXPECT_FLOAT_EQ(editor->GetErrorFlash(), 1.0f);
    // The plane is the first point's, across the normal the three points name (y here): the
    // floor's bottom layer is filled, the one above it stays rock.
    editor->Apply({20, 1, 10});
    editor->Apply({10, 1, 20});
    EXPECT_TRUE(editor->GetPoints().empty());
    EXPECT_EQ(At(30, 0, 30), kRed);
    EXPECT_EQ(At(30, 1, 30), VoxelCode::Rock);
    EXPECT_TRUE(editor->IsEdited());
}

TEST_F(ToolDispatch, TheFloodNeedsAFilledVoxelAndClearsItsPointEitherWay)
{
    Use(ToolId::Fill);
    editor->Apply({10, 30, 10}); // empty air
    EXPECT_TRUE(editor->GetPoints().empty());
    EXPECT_FALSE(editor->IsEdited());
    EXPECT_FALSE(Locked());
    Block(40, 10, 40, 42, 12, 42, VoxelCode::FirstColour + 4);
    editor->Apply({41, 11, 41});
    EXPECT_TRUE(editor->GetPoints().empty());
    EXPECT_EQ(At(40, 10, 40), kRed);
    EXPECT_EQ(At(42, 12, 42), kRed);
    EXPECT_TRUE(Locked());
}

TEST_F(ToolDispatch, TheTrianglesPreviewFollowsThePointsAndTheCursor)
{
    Use(ToolId::MagicTriangle);
    script->SetPose(PimVrDeviceIndex::RightHand, {0.2f, 1.3f, -0.3f}, PimMatrix4x4());
    Place({20.5f, kFloorTop, 40.5f});
    Frames(3);
    editor->Apply(editor->GetCursorCell() + PimVector3(-4, 0, 0));
    Frames(1);
    EXPECT_EQ(editor->GetPreview().GetPoints().size(), 2u);
    editor->Apply(editor->GetCursorCell() + PimVector3(4, 0, 0));
    Frames(1);
    EXPECT_EQ(editor->GetPreview().GetPoints().size(), 3u);
    editor->RemoveLastPoint();
    editor->RemoveLastPoint();
    EXPECT_TRUE(editor->GetPreview().GetPoints().empty());
}
}
