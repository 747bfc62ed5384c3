// The voxel editor, the edit target and the hands driven by scripted devices.

#include "tests/support/rig_fixture.h"

#include "editing/EditorPanel.h"
#include "editing/HandPose.h"
#include "editing/TutorialSteps.h"
#include "editing/VoxelEditor.h"

#include "engine/Pim3DText.h"

#include "engine/PimVrInputCodes.h"

#include <cmath>

namespace
{
constexpr int kDominant = PimVrDeviceIndex::RightHand;
constexpr std::uint16_t kRed = VoxelCode::FirstColour + 100;
constexpr std::uint16_t kBlue = VoxelCode::FirstColour + 4;

// A panel whose tool and frame-taking the test sets.
class TestPanel final : public EditorPanel
{
public:
    void Update() override
    {
        tool = nextTool;
    }
    void Draw() override {}
    std::uint32_t GetTool() const override { return tool; }
    std::uint16_t GetCurrentColour() const override { return colour; }
    bool TakesFrame() const override { return takes; }
    bool ShowsTools() const override { return tools; }

    bool tools = false;
    std::uint32_t tool = 0;
    std::uint32_t nextTool = 0;
    std::uint16_t colour = kRed;
    bool takes = false;
};

class EditorTest : public RigFixture
{
protected:
    void SetUp() override
    {
        RigFixture::SetUp();
        editor = &rig->CreateEditor(panel);
        Place({20.5f, kFloorTop, 40.5f});
        // The dominant hand held ahead, pointing along -z: the cursor lies 6 voxels ahead of it.
        script->SetPose(kDominant, {0.2f, 1.3f, -0.3f}, PimMatrix4x4());
    }
    void Trigger(float value) { script->SetValue(kDominant, PimVrButton::Trigger, value); }
    PimVector3 Cursor() const { return editor->GetCursorCell(); }
    EditTarget& Target() { return rig->GetEditTarget(); }

    TestPanel panel;
    VoxelEditor* editor = nullptr;
};

// Takes each step in turn as the guide does, and remembers every step it was offered.
class StepRecorder final : public TutorialSteps
{
public:
    void AdvanceTutorial(std::uint32_t step) override
    {
        offered.push_back(step);
        if (step == last + 1)
            last = step == 1 ? 2 : step;
    }
    std::uint32_t GetLastStep() const override { return last; }
    std::uint32_t last = 0;
    std::vector<std::uint32_t> offered;
};

TEST_F(EditorTest, TheTutorialStepsFollowWhatTheUserDoes)
{
    StepRecorder steps;
    editor->SetTutorial(&steps);
    Frames(1);
    EXPECT_EQ(steps.last, 2u) << "working in the world takes step 1 (and 2)";

    Trigger(1.0f);
    Frames(2);
    Trigger(0.0f);
    Frames(1);
    EXPECT_EQ(steps.last, 2u) << "a voxel before a colour was chosen does not count";
    panel.colour = kBlue;
    Frames(1);
    EXPECT_EQ(steps.last, 3u) << "a colour chosen on the panel";
    Trigger(1.0f);
    Frames(2);
    Trigger(0.0f);
    Frames(1);
    EXPECT_EQ(steps.last, 4u) << "a voxel placed";
    panel.tools = true;
    Frames(1);
    EXPECT_EQ(steps.last, 5u) << "the panel shows its tools";
    panel.nextTool = static_cast<std::uint32_t>(ToolId::LineTool);
    Frames(1);
    EXPECT_EQ(steps.last, 6u) << "a tool chosen";
    // A line: two points.
    for (int point = 0; point < 2; ++point)
    {
        script->SetPose(kDominant, {0.2f + 1.5f * static_cast<float>(point), 1.3f, -0.3f}, PimMatrix4x4());
        Frames(2);
        Trigger(1.0f);
        Frames(2);
        Trigger(0.0f);
        Frames(1);
    }
    EXPECT_EQ(steps.last, 7u) << "the tool made its shape";
    EXPECT_FALSE(editor->IsEdited()) << "the tutorial took the edited flag";
}

TEST_F(EditorTest, TheCursorLiesSixVoxelsAheadOfTheDominantHand)
{
    Frames(2);
    const PimVector3 hand =
        PimVrSystem::GetInstance().GetHandController(kDominant).GetDevicePosition(PimVrPose::Controller, PimVrCoordinates::World);
    const float s = settings->activeGame.GetPlayerScale();
    EXPECT_NEAR(editor->GetRawPoint().z, hand.z - 6.0f / s, 1e-4f);
    EXPECT_EQ(Cursor(), editor->GetSmoothedPoint().Integerize());
    EXPECT_TRUE(editor->IsCursorShown());
}

TEST_F(EditorTest, OneVoxelPerTriggerPullWhileHeld)
{
    Frames(2);
    const PimVector3 cell = Cursor();
    ASSERT_EQ(Target().GetVoxel(cell), 0);
    Trigger(1.0f);
    Frames(1);
    EXPECT_EQ(Target().GetVoxel(cell), kRed);
    EXPECT_EQ(editor->GetPlacementCount(), 1u);
    // Still held, the hand moves on: nothing more is placed.
    script->SetPose(kDominant, {1.2f, 1.3f, -0.3f}, PimMatrix4x4());
    Frames(20);
    EXPECT_EQ(editor->GetPlacementCount(), 1u);
    Trigger(0.0f);
    Frames(1);
    Trigger(1.0f);
    Frames(1);
    EXPECT_EQ(editor->GetPlacementCount(), 2u);
    EXPECT_EQ(Target().GetVoxel(Cursor()), kRed);
    EXPECT_EQ(editor->GetLastSingleCell(), Cursor());
    EXPECT_FALSE(editor->IsEdited()) << "single placements do not set the tutorial's flag";
}

TEST_F(EditorTest, AClickOnAVoxelWithTheCurrentAndLastColourChangesNothing)
{
    Frames(2);
    editor->Apply(Cursor());
    const std::uint64_t writes = Target().GetWriteCount();
    editor->Apply(Cursor());
    EXPECT_EQ(Target().GetWriteCount(), writes);
    panel.colour = kBlue;
    editor->Apply(Cursor());
    EXPECT_EQ(Target().GetVoxel(Cursor()), kBlue);
}

TEST_F(EditorTest, APlacementTheContainerRefusesIsNotCountedAndFlashes)
{
    Frames(2);
    // Outside the room's chunks: the write changes nothing.
    editor->Apply(PimVector3(200, 3, 10));
    EXPECT_EQ(editor->GetPlacementCount(), 0u);
    EXPECT_GT(editor->GetErrorFlash(), 0.0f);
    EXPECT_FALSE(settings->activeGame.IsColourLocked(100)) << "nothing placed, nothing used";
    EXPECT_NE(editor->GetLastPlacedColour(), kRed);
}

TEST_F(EditorTest, EveryPlacementMarksItsColourUsed)
{
    Frames(2);
    editor->Apply(Cursor());
    EXPECT_TRUE(settings->activeGame.IsColourLocked(100));
    // The user breaks the lock; the next placement of the same colour locks it again.
    settings->activeGame.SetColourLocked(false, 100);
    editor->Apply(Cursor() + PimVector3(1, 0, 0));
    EXPECT_TRUE(settings->activeGame.IsColourLocked(100));
}

TEST_F(EditorTest, ATriggerHeldFromThePanelIntoTheWorldDoesNotPlace)
{
    panel.takes = true;
    Frames(2);
    Trigger(1.0f);
    Frames(3);
    EXPECT_FALSE(editor->IsCursorShown());
    panel.takes = false;
    Frames(5);
    EXPECT_EQ(editor->GetPlacementCount(), 0u);
    Trigger(0.0f);
    Frames(1);
    Trigger(1.0f);
    Frames(1);
    EXPECT_EQ(editor->GetPlacementCount(), 1u);
}

TEST_F(EditorTest, APointMoreThanAHundredAwayIsRefusedWithTheFlash)
{
    ASSERT_TRUE(editor->AddPoint({10, 3, 10}));
    EXPECT_FALSE(editor->AddPoint({10, 3, 111}));
    EXPECT_FLOAT_EQ(editor->GetErrorFlash(), 1.0f);
    Frames(60); // one second: the flash falls by 0.5
    EXPECT_NEAR(editor->GetErrorFlash(), 0.5f, 0.02f);
    EXPECT_EQ(editor->GetGuideColour().r, static_cast<std::uint8_t>(156.0f - 100.0f * std::cos(editor->GetErrorFlash())));
    Frames(90);
    EXPECT_FLOAT_EQ(editor->GetErrorFlash(), 0.0f);
    EXPECT_EQ(editor->GetGuideColour(), PimColor(255, 255, 255, 255));

    // A repeated point is refused without the flash.
    EXPECT_FALSE(editor->AddPoint({10, 3, 10}));
    EXPECT_FLOAT_EQ(editor->GetErrorFlash(), 0.0f);
    EXPECT_TRUE(editor->AddPoint({10, 3, 110}));
    ASSERT_EQ(editor->GetDistanceLabelCount(), 1u);
    EXPECT_EQ(editor->GetDistanceLabel(0)->GetText().Narrow(), PimString::FromFloat(100.0f));
    EXPECT_FLOAT_EQ(editor->GetDistanceLabel(0)->GetPosition().y, 3.0f + settings->activeGame.GetPlayerScale());
}

TEST_F(EditorTest, AToolChangeOrCodeNineClearsPoints)
{
    Frames(1);
    editor->AddPoint({10, 3, 10});
    editor->AddPoint({12, 3, 10});
    editor->AddPoint({12, 5, 10});
    ASSERT_EQ(editor->GetPoints().size(), 3u);
    script->SetValue(kDominant, PimVrButton::Secondary, 1.0f);
    Frames(5);
    EXPECT_EQ(editor->GetPoints().size(), 2u) << "one point per press";
    EXPECT_EQ(editor->GetDistanceLabelCount(), 1u);
    script->SetValue(kDominant, PimVrButton::Secondary, 0.0f);
    Frames(1);
    panel.nextTool = static_cast<std::uint32_t>(ToolId::LineTool);
    Frames(1);
    EXPECT_TRUE(editor->GetPoints().empty());
    EXPECT_EQ(editor->GetDistanceLabelCount(), 0u);
    EXPECT_EQ(editor->GetSampleCount(), 1u) << "smoothing started again";
    // Removing from an empty list does nothing.
    editor->RemoveLastPoint();
    EXPECT_TRUE(editor->GetPoints().empty());
}

TEST_F(EditorTest, MeasurementShowsWhilePointsExist)
{
    Frames(2);
    editor->AddPoint(Cursor() + PimVector3(-3, 0, 0));
    Frames(1);
    const PimVector3 offset = editor->GetRawPoint() - editor->GetPoints().back();
    const std::string x = PimString::FromFloat(offset.x);
    EXPECT_EQ(editor->GetMeasurementLabel(1).GetText().Narrow().substr(0, 3), x.substr(0, 3));
    EXPECT_EQ(editor->GetMeasurementLabel(1).GetColor(), WireColours::Red);
    EXPECT_EQ(editor->GetWireBox().GetSegmentCount(), 12u);
}

TEST_F(EditorTest, TheCursorJumpsOnALargeMoveAndAveragesJitterWithItsCap)
{
    editor->SmoothCursor({10.0f, 5.0f, 10.0f}, 1.0f);
    EXPECT_EQ(editor->GetSampleCount(), 1u);
    editor->SmoothCursor({10.5f, 5.0f, 10.0f}, 1.0f);
    EXPECT_EQ(editor->GetSampleCount(), 2u);
    EXPECT_FLOAT_EQ(editor->GetSmoothedPoint().x, 10.25f);
    for (int i = 0; i < 40; ++i)
        editor->SmoothCursor({10.0f + (i % 2 == 0 ? 0.3f : -0.3f), 5.0f, 10.0f}, 1.0f);
    EXPECT_EQ(editor->GetSampleCount(), static_cast<std::uint16_t>(0.25f + 10.0f));
    EXPECT_NEAR(editor->GetSmoothedPoint().x, 10.0f, 0.1f);
    // More than 0.02666 s + 2 away: at once.
    editor->SmoothCursor({12.1f, 5.0f, 10.0f}, 1.0f);
    EXPECT_FLOAT_EQ(editor->GetSmoothedPoint().x, 12.1f);
    EXPECT_EQ(editor->GetSampleCount(), 1u);
    EXPECT_EQ(editor->GetCursorCell(), PimVector3(12, 5, 10));
}

TEST_F(EditorTest, TheCursorGraphicsAreBuiltOnceAndMoved)
{
    Frames(2);
    const std::vector<PimVector3> points = editor->GetCursorCube().GetPoints();
    EXPECT_EQ(editor->GetCursorCube().GetSegmentCount(), 12u);
    EXPECT_EQ(editor->GetAxisCross().GetSegmentCount(), 3u);
    script->SetPose(kDominant, {3.2f, 1.3f, -0.3f}, PimMatrix4x4());
    Frames(1);
    EXPECT_EQ(editor->GetCursorCube().GetPoints(), points);
    EXPECT_EQ(editor->GetCursorCube().GetModel().TransformPoint({0, 0, 0}), Cursor());
}

TEST_F(EditorTest, ThePoseIndexFollowsTheTriggerAndAnUntrackedHandHides)
{
    Trigger(0.5f);
    Frames(1);
    EXPECT_EQ(rig->GetHand(true).GetPoseIndex(), 16 + 33);
    EXPECT_EQ(rig->GetHand(false).GetPoseIndex(), 0);
    script->SetValue(PimVrDeviceIndex::LeftHand, PimVrButton::Trigger, 1.0f);
    Frames(1);
    EXPECT_EQ(rig->GetHand(false).GetPoseIndex(), 32);
    EXPECT_TRUE(rig->GetHand(true).IsTracked());
    script->SetTracking(kDominant, true, true, PimVrTrackingResult::RunningOutOfRange);
    Frames(1);
    EXPECT_FALSE(rig->GetHand(true).IsTracked());
    EXPECT_EQ(rig->GetHand(true).GetBuildCount(), 1) << "the meshes are built once";
    rig->SetHandColour({10, 200, 30, 255});
    EXPECT_EQ(rig->GetHand(true).GetBuildCount(), 2);
    EXPECT_EQ(rig->GetHand(true).GetPoseMesh(5)->GetVertices()[0].color, PimColor(10, 200, 30, 255));
}

TEST(HandPoseTest, SixtySixPosesOfAClosingClaw)
{
    const HandPose::Mesh open = HandPose::Build(0, {1, 2, 3, 255});
    const HandPose::Mesh closed = HandPose::Build(32, {1, 2, 3, 255});
    const HandPose::Mesh mirrored = HandPose::Build(33, {1, 2, 3, 255});
    ASSERT_EQ(open.vertices.size(), 16u + 8u * 4u);
    ASSERT_EQ(open.indices.size(), 36u + 8u * 6u);
    EXPECT_FLOAT_EQ(open.vertices[0].position.x, -0.05f);
    EXPECT_FLOAT_EQ(closed.vertices[0].position.x, 0.0165f - 0.05f);
    EXPECT_FLOAT_EQ(mirrored.vertices[0].position.x, 0.05f);
    EXPECT_FLOAT_EQ(open.vertices[8].position.z, -0.05f);
    EXPECT_FLOAT_EQ(open.vertices[10].position.z, -0.0165f);
    EXPECT_EQ(open.vertices[3].normal, PimVector3(0, 1, 0));
    EXPECT_EQ(open.vertices[12].normal, PimVector3(0, -1, 0));
    EXPECT_EQ(open.indices[0], 6u);
    EXPECT_EQ(mirrored.indices[0], 14u) << "the mirrored variant takes the list in reverse";
    for (const PimMeshVertex& v : open.vertices)
    {
        EXPECT_EQ(v.uv.x, 1.0f);
        EXPECT_EQ(v.light, 1.0f);
        EXPECT_EQ(v.color, PimColor(1, 2, 3, 255));
    }
    // Every side wall faces outwards: its normal points away from the claw's middle on the
    // outer walls (the walls of the notch between the prongs face into the notch).
    const PimVector3 leftWall = open.vertices[16 + 4 * 7].normal; // G -> A, the outer left side
    EXPECT_LT(leftWall.x, 0.0f);
    EXPECT_EQ(HandPose::IndexFor(0.0f, false), 0);
    EXPECT_EQ(HandPose::IndexFor(1.0f, true), 65);
    EXPECT_EQ(HandPose::IndexFor(0.5f, true), 49);
}

TEST(EditTargetTest, ReachesExactlyOneContainer)
{
    PimVoxelGrid::CacheVoxelCodes(5000);
    EditTarget target;
    EXPECT_EQ(target.GetVoxel({1, 1, 1}), 0);
    EXPECT_EQ(target.SetVoxel(5, {1, 1, 1}, true, false), 0);
    EXPECT_EQ(target.GetCollision(0, {1, -0.5f, 1}), VoxelCollision::Solid) << "the world's floor";

    PimVoxelGrid grid;
    grid.SetLocation({32, 0, 0});
    target.SetGrid(&grid);
    EXPECT_EQ(target.SetVoxel(VoxelCode::Rock, {33.5f, 2.5f, 3.5f}, false, false), 0);
    EXPECT_EQ(target.SetVoxel(VoxelCode::Turf, {33.5f, 2.5f, 3.5f}, false, false), VoxelCode::Rock);
    EXPECT_EQ(grid.GetVoxel(1, 2, 3), VoxelCode::Turf);
    EXPECT_EQ(target.GetCollision(0, {33.5f, 2.5f, 3.5f}), VoxelCollision::Solid);

    ChunkBlock block;
    block.Create(2, 1, 1);
    target.SetModel(&block);
    EXPECT_EQ(target.GetKind(), EditTarget::Kind::Model);
    EXPECT_EQ(target.GetGrid(), nullptr);
    target.SetVoxel(VoxelCode::Water, {40.2f, 3.0f, 5.0f}, false, false);
    EXPECT_EQ(block.GetChunk(1, 0, 0)->GetVoxel(8, 3, 5), VoxelCode::Water);
    EXPECT_EQ(target.GetCollision(0, {40.2f, 3.0f, 5.0f}), VoxelCollision::Liquid);
    EXPECT_EQ(target.GetVoxel({70.0f, 3.0f, 5.0f}), 0) << "outside the block";
    block.GetChunk(1, 0, 0)->SetGridStatus(PimVoxelGrid::kStatusFinished);
    target.Rebuild();
    EXPECT_EQ(block.GetChunk(1, 0, 0)->GetGridStatus(), PimVoxelGrid::kStatusToBuild);
}
}
