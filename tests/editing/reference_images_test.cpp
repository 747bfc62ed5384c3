// The reference pictures in the world: loading from the settings (and refusing pictures that
// cannot be shown), hidden and locked pictures, the corner drag, the move handle and the rings
// with scripted hands, the placement written back and read again through the world's settings
// file, a newly chosen picture hung in front of the user, and each world's editor showing only
// that world's pictures.

#include "tests/support/TempFolder.h"
#include "tests/support/rig_fixture.h"
#include "tests/support/scripted_vr.h"

#include "editing/ReferenceImageSet.h"
#include "editing/ToolId.h"
#include "editing/ToolPanel.h"
#include "editing/VoxelEditor.h"
#include "settings/GameSettings.h"

#include "engine/PimAngle.h"
#include "engine/PimTexture.h"

#include <cmath>
#include <fstream>

namespace
{
constexpr int kHand = PimVrDeviceIndex::RightHand;

void ExpectNear(const PimVector3& actual, const PimVector3& expected, const char* what)
{
    EXPECT_LT((actual - expected).Length(), 1e-3f) << what << ": " << actual.ToString() << " against " << expected.ToString();
}

class ReferenceImages : public ScriptedVr
{
protected:
    void SetUp() override
    {
        ScriptedVr::SetUp();
        settings = std::make_unique<GameSettings>(
            SettingsFolders::FromBases(temp.Wide(), temp.Wide() + L"/data", temp.Wide() + L"/Pictures"));
        picture = WritePicture("wide.png", 20, 10);
        images = std::make_unique<ReferenceImageSet>(*settings);
        // Far from the hands' rest, so nothing is grasped by chance.
        PlaceTip(kHand, {50.0f, 50.0f, 50.0f});
        PlaceTip(PimVrDeviceIndex::LeftHand, {-50.0f, 50.0f, 50.0f});
    }
    void TearDown() override
    {
        images.reset();
        ScriptedVr::TearDown();
    }

    PimWString WritePicture(const char* name, int width, int height)
    {
        PimTexture texture;
        EXPECT_TRUE(texture.Create(width, height, PimColor(200, 120, 40, 255)));
        const std::filesystem::path path = temp.Path() / name;
        EXPECT_TRUE(texture.Save(path.string()));
        return PimWString::Widen(path.string());
    }
    // Slot 0 shows the 20 x 10 picture centred at (10, 10, -10), upright, one unit a pixel.
    void Hang(bool enabled = true, bool locked = false)
    {
        GameSettingsActiveGame& game = settings->activeGame;
        game.SetRefImagePath(0, picture);
        game.SetRefImageEnabled(0, enabled);
        game.SetRefImageLocked(0, locked);
        game.SetRefImageLocation(0, {10.0f, 10.0f, -10.0f});
        images->LoadAll();
        ASSERT_NE(images->GetPanel(0), nullptr);
        images->SetEditable(true);
        Frames(1);
    }
    void Frames(int count)
    {
        for (int frame = 0; frame < count; ++frame)
            Step([this] { images->Update(); });
    }
    void TipAt(const PimVector3& world) { PlaceTip(kHand, (world - vr.GetRootPosition()) / vr.GetScale()); }
    void Trigger(float value) { script->SetValue(kHand, PimVrButton::Trigger, value); }
    // Grasps at a point and moves the hand along the points, then lets go.
    void Drag(const PimVector3& from, const std::vector<PimVector3>& path)
    {
        TipAt(from);
        Frames(1);
        Trigger(1.0f);
        Frames(1);
        for (const PimVector3& point : path)
        {
            TipAt(point);
            Frames(1);
        }
        Trigger(0.0f);
        Frames(1);
    }
    ReferenceImagePanel& Panel() { return *images->GetPanel(0); }

    TempFolder temp;
    std::unique_ptr<GameSettings> settings;
    std::unique_ptr<ReferenceImageSet> images;
    PimWString picture;
};

TEST_F(ReferenceImages, AHiddenPictureIsNeitherShownNorMovedAndALockedOneStaysPut)
{
    Hang(false, false);
    EXPECT_FALSE(images->IsShown(0));
    EXPECT_FALSE(images->IsMovable(0));
    const PimVector3 centre = Panel().GetCentre();
    Drag(centre, {centre + PimVector3(2, 0, 0), centre + PimVector3(4, 0, 0)});
    EXPECT_EQ(Panel().GetCentre(), centre) << "a hidden picture's move handle grasps nothing";

    settings->activeGame.SetRefImageEnabled(0, true);
    settings->activeGame.SetRefImageLocked(0, true);
    Frames(1);
    EXPECT_TRUE(images->IsShown(0));
    EXPECT_FALSE(images->IsMovable(0));
    Drag(centre, {centre + PimVector3(2, 0, 0), centre + PimVector3(4, 0, 0)});
    Drag(Panel().GetCorner(1), {Panel().GetCorner(1) + PimVector3(6, 0, 0)});
    EXPECT_EQ(Panel().GetCentre(), centre);
    EXPECT_EQ(Panel().GetScale(), 1.0f);
    EXPECT_EQ(settings->activeGame.GetRefImageLocation(0), centre);

    // Unlocked, but another tool is current: still nothing moves.
    settings->activeGame.SetRefImageLocked(0, false);
    images->SetEditable(false);
    Drag(centre, {centre + PimVector3(4, 0, 0)});
    EXPECT_EQ(Panel().GetCentre(), centre);
}

TEST_F(ReferenceImages, TheMoveHandleCarriesThePictureInWholeUnitsAndWritesItsPlace)
{
    Hang();
    const PimVector3 centre = Panel().GetCentre();
    Drag(centre, {centre + PimVector3(1.3f, 0, 0), centre + PimVector3(3.4f, -2.2f, 0.4f)});
    EXPECT_EQ(Panel().GetCentre(), centre + PimVector3(3, -2, 0)) << "the nearest whole place";
    EXPECT_EQ(settings->activeGame.GetRefImageLocation(0), centre + PimVector3(3, -2, 0));
    ExpectNear(Panel().GetCorner(0), Panel().GetCentre() + PimVector3(-10, 5, 0), "the corners move along");
}

TEST_F(ReferenceImages, ACornerDragResizesKeepingTheShapeAndTheSizeIsKeptInTheWorldSettingsFile)
{
    Hang();
    const PimVector3 fixed = Panel().GetCorner(3);  // bottom left, opposite the dragged top right
    const PimVector3 corner = Panel().GetCorner(1);
    // 10 more units to the right (a little less, rounded to whole units), a little up.
    Drag(corner, {corner + PimVector3(4.0f, 0.5f, 0.0f), corner + PimVector3(9.7f, 1.0f, 0.0f)});
    EXPECT_FLOAT_EQ(Panel().GetScale(), 1.5f) << "30 units for 20 pixels";
    EXPECT_FLOAT_EQ(Panel().GetWidthUnits(), 30.0f);
    EXPECT_FLOAT_EQ(Panel().GetHeightUnits(), 15.0f) << "the height keeps the picture's shape";
    // Let go: the centre made whole; the opposite corner stayed within that half unit.
    EXPECT_LE((Panel().GetCorner(3) - fixed).Length(), 0.75f);

    GameSettingsActiveGame& game = settings->activeGame;
    EXPECT_FLOAT_EQ(game.GetRefImageScale(0), 1.5f);
    EXPECT_EQ(game.GetRefImageLocation(0), Panel().GetCentre());

    // Through the world's settings file into another run.
    const std::wstring folder = temp.Wide() + L"/world";
    std::filesystem::create_directories(temp.Path() / "world");
    ASSERT_TRUE(game.SaveWorldSettings(folder));
    GameSettings other(SettingsFolders::FromBases(temp.Wide(), temp.Wide() + L"/data2", temp.Wide() + L"/Pictures"));
    ASSERT_TRUE(other.activeGame.LoadWorldSettings(folder));
    EXPECT_EQ(other.activeGame.GetRefImagePath(0), picture);
    EXPECT_FLOAT_EQ(other.activeGame.GetRefImageScale(0), 1.5f);
    EXPECT_EQ(other.activeGame.GetRefImageLocation(0), Panel().GetCentre());
    EXPECT_TRUE(other.activeGame.GetRefImageEnabled(0));
    ReferenceImageSet reloaded(other);
    reloaded.LoadAll();
    ASSERT_NE(reloaded.GetPanel(0), nullptr);
    EXPECT_FLOAT_EQ(reloaded.GetPanel(0)->GetWidthUnits(), 30.0f);
    EXPECT_EQ(reloaded.GetPanel(0)->GetCentre(), Panel().GetCentre());
}

TEST_F(ReferenceImages, TurningARingByTwentyDegreesTurnsThePictureAQuarterOnceUntilItIsLetGo)
{
    Hang();
    const PimVector3 centre = Panel().GetCentre();
    const float radius = Panel().GetRingRadius();
    // Ring z, turned from 45 degrees (where no other ring crosses it) towards +x: clockwise seen
    // from +z.
    const auto onRingZ = [&](float degrees) {
        const float a = PimAngle::DegreesToRadians(45.0f + degrees);
        return centre + PimVector3(std::sin(a), std::cos(a), 0.0f) * radius;
    };
    // The script's poses and buttons reach the hands a frame later: each step waits for them.
    TipAt(onRingZ(0));
    Frames(2);
    Trigger(1.0f);
    Frames(2);
    for (float degrees = 4; degrees <= 20; degrees += 4)
    {
        TipAt(onRingZ(degrees));
        Frames(1);
    }
    Frames(1);
    ExpectNear(Panel().GetOrientation().TransformDirection({1, 0, 0}), {0, -1, 0}, "the picture turned with the hand");
    const PimMatrix4x4 once = Panel().GetOrientation();
    EXPECT_EQ(settings->activeGame.GetRefImageOrient(0), once);
    for (float degrees = 24; degrees <= 80; degrees += 4)
    {
        TipAt(onRingZ(degrees));
        Frames(1);
    }
    EXPECT_EQ(Panel().GetOrientation(), once) << "latched until the ring is let go";
    Trigger(0.0f);
    Frames(1);

    // Another pull the other way turns it back.
    TipAt(onRingZ(0));
    Frames(2);
    Trigger(1.0f);
    Frames(2);
    for (float degrees = -4; degrees >= -20; degrees -= 4)
    {
        TipAt(onRingZ(degrees));
        Frames(1);
    }
    Frames(1);
    Trigger(0.0f);
    Frames(1);
    EXPECT_EQ(Panel().GetOrientation(), PimMatrix4x4()) << "back upright";
    // The picture's corners span 20 x 10 again about the unchanged centre.
    EXPECT_EQ(Panel().GetCentre(), centre);
    ExpectNear(Panel().GetCorner(1) - Panel().GetCorner(3), {20, 10, 0}, "the diagonal");
}

TEST_F(ReferenceImages, APictureThatCannotBeShownLeavesItsSlotEmpty)
{
    std::ofstream(temp.Path() / "broken.png") << "\x89PNG\r\n\x1a\n not really";
    const PimWString broken = PimWString::Widen((temp.Path() / "broken.png").string());
    const PimWString tooWide = WritePicture("too_wide.png", ReferenceImageSet::kMaxPictureSide + 1, 1);
    GameSettingsActiveGame& game = settings->activeGame;
    game.SetRefImagePath(0, broken);
    game.SetRefImagePath(1, tooWide);
    game.SetRefImagePath(2, PimWString(L"/no/such/folder/picture.png"));
    testing::internal::CaptureStderr();
    images->LoadAll();
    const std::string said = testing::internal::GetCapturedStderr();
    for (int slot = 0; slot < ReferenceImageSet::kSlotCount; ++slot)
    {
        EXPECT_EQ(images->GetPanel(slot), nullptr) << slot;
        EXPECT_EQ(images->GetPicture(slot), nullptr) << slot;
    }
    EXPECT_NE(said.find("Reference image 1: " + broken.Narrow()), std::string::npos) << said;
    EXPECT_NE(said.find("larger than"), std::string::npos) << said;
    EXPECT_NE(said.find("picture.png cannot be shown"), std::string::npos) << said;

    // A loaded slot whose new picture is broken is emptied, not left showing the old one.
    game.SetRefImagePath(0, picture);
    ASSERT_TRUE(images->LoadSlot(0));
    game.SetRefImagePath(0, broken);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(images->LoadSlot(0));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(images->GetPanel(0), nullptr);
    EXPECT_EQ(game.GetRefImagePath(0), broken) << "the setting is the user's; only the picture is refused";
}

TEST_F(ReferenceImages, ADamagedPlacementInTheSettingsStillHangsThePictureWhole)
{
    GameSettingsActiveGame& game = settings->activeGame;
    game.SetRefImagePath(0, picture);
    game.SetRefImageLocation(0, {std::nanf(""), 4.0f, 5.0f});
    PimMatrix4x4 zeros;
    for (int i = 0; i < 4; ++i)
        zeros.Set(i, i, 0.0f);
    game.SetRefImageOrient(0, zeros);
    images->LoadAll();
    ASSERT_NE(images->GetPanel(0), nullptr);
    EXPECT_EQ(Panel().GetOrientation(), PimMatrix4x4()) << "upright";
    EXPECT_EQ(Panel().GetCentre(), PimVector3());
    EXPECT_FLOAT_EQ(Panel().GetWidthUnits(), 20.0f);

    // A mirror is no turn either; a turned picture keeps its turn.
    game.SetRefImageOrient(0, PimMatrix4x4::CreateScale(PimVector3(-1.0f, 1.0f, 1.0f)));
    images->RefreshFromSettings();
    EXPECT_EQ(Panel().GetOrientation(), PimMatrix4x4());
    const PimMatrix4x4 quarter = PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(90.0f));
    game.SetRefImageOrient(0, quarter);
    images->RefreshFromSettings();
    ExpectNear(Panel().GetOrientation().TransformDirection({1, 0, 0}), quarter.TransformDirection({1, 0, 0}), "turned");
}

TEST_F(ReferenceImages, ANewlyChosenPictureHangsInFrontOfTheUserFacingThem)
{
    GameSettingsActiveGame& game = settings->activeGame;
    game.SetRefImagePath(1, picture);
    // Looking along +x (a little to the side): the picture hangs ahead along +x, turned a quarter.
    images->SetViewer({100.0f, 20.0f, 200.0f}, {1.0f, -0.2f, 0.1f});
    ASSERT_TRUE(images->LoadSlot(1));
    EXPECT_TRUE(game.GetRefImageEnabled(1));
    const PimVector3 centre = game.GetRefImageLocation(1);
    EXPECT_GT(centre.x, 100.0f);
    EXPECT_EQ(centre.y, 20.0f);
    EXPECT_EQ(centre.z, 200.0f);
    const PimMatrix4x4 facing = game.GetRefImageOrient(1);
    ExpectNear(facing.TransformDirection({0, 0, 1}), {-1, 0, 0}, "its face towards the user");
    ExpectNear(facing.TransformDirection({1, 0, 0}), {0, 0, 1}, "its right on the user's right");
    EXPECT_EQ(images->GetPanel(1)->GetCentre(), centre);

    // A picture chosen again for the slot keeps where the user hung the last one.
    game.SetRefImageLocation(1, {5.0f, 6.0f, 7.0f});
    images->SetViewer({-50.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -1.0f});
    ASSERT_TRUE(images->LoadSlot(1));
    EXPECT_EQ(game.GetRefImageLocation(1), PimVector3(5.0f, 6.0f, 7.0f));

    // A large picture is made small enough to see whole: 640 pixels at 1/10 are 64 units.
    game.SetRefImagePath(2, WritePicture("large.png", 640, 320));
    ASSERT_TRUE(images->LoadSlot(2));
    EXPECT_FLOAT_EQ(game.GetRefImageScale(2), 0.1f);
}

class ReferenceImageEditor : public RigFixture
{
protected:
    void TearDown() override
    {
        rig.reset();
        panel.reset();
        RigFixture::TearDown();
    }
    VoxelEditor& MakeEditor()
    {
        rig.reset();
        rig = std::make_unique<PlayerRig>(*settings, std::make_shared<PimCamera>(), PlayerRig::Mode::World);
        rig->GetEditTarget().SetModel(&room);
        panel = std::make_unique<ToolPanel>(*settings);
        return rig->CreateEditor(*panel);
    }
    std::unique_ptr<ToolPanel> panel;
};

TEST_F(ReferenceImageEditor, TheToolMakesThePicturesMovableAndEachWorldShowsOnlyItsOwn)
{
    PimTexture texture;
    ASSERT_TRUE(texture.Create(8, 8, PimColor(10, 200, 30, 255)));
    const std::filesystem::path file = temp.Path() / "first.png";
    ASSERT_TRUE(texture.Save(file.string()));
    GameSettingsActiveGame& game = settings->activeGame;
    game.SetRefImagePath(0, PimWString::Widen(file.string()));
    game.SetRefImageEnabled(0, true);
    game.SetRefImageLocation(0, {20.0f, 10.0f, 20.0f});

    VoxelEditor& first = MakeEditor();
    ReferenceImageSet& images = first.GetReferenceImages();
    ASSERT_NE(images.GetPanel(0), nullptr) << "the world's pictures are there when its editor is made";
    Frames(2);
    EXPECT_FALSE(images.IsEditable());
    ASSERT_TRUE(panel->SelectTool(static_cast<std::uint32_t>(ToolId::ReferenceImage)));
    Frames(1);
    EXPECT_TRUE(images.IsEditable());
    EXPECT_TRUE(images.IsMovable(0));
    // A pull with the reference tool places nothing.
    script->SetValue(PimVrDeviceIndex::RightHand, PimVrButton::Trigger, 1.0f);
    Frames(2);
    script->SetValue(PimVrDeviceIndex::RightHand, PimVrButton::Trigger, 0.0f);
    Frames(2);
    EXPECT_EQ(rig->GetEditTarget().GetWriteCount(), 0u);
    ASSERT_TRUE(panel->SelectTool(static_cast<std::uint32_t>(ToolId::SingleVoxel)));
    Frames(1);
    EXPECT_FALSE(images.IsEditable());

    // Another world opens in the same run: its settings hold no pictures.
    game.ResetAll();
    VoxelEditor& second = MakeEditor();
    Frames(2);
    for (int slot = 0; slot < ReferenceImageSet::kSlotCount; ++slot)
        EXPECT_EQ(second.GetReferenceImages().GetPanel(slot), nullptr) << slot;
    EXPECT_TRUE(game.GetRefImagePath(0).empty()) << "nothing of the first world is written into the second";
}
}
