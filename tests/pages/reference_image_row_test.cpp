// The in-game menu's reference-picture row: the slider's positions and factors both ways with
// their ratio texts, its buttons toggling once per pull, the browse request, the slider resizing
// the picture in the world, and a row without a picture offering only its picture button.

#include "tests/pages/pages_fixture.h"

#include "pages/ReferenceImageRow.h"

#include "editing/ReferenceImageSet.h"

#include "engine/PimTexture.h"

#include <cmath>

namespace
{
constexpr int kHand = PimVrDeviceIndex::RightHand;
const PimVector3 kRowAt{4.2f, 3.5f, 4.99f};

class ReferenceRow : public PagesFixture
{
protected:
    void SetUp() override
    {
        PagesFixture::SetUp();
        images = std::make_unique<ReferenceImageSet>(*settings);
        TipAt(kHand, kRowAt + PimVector3(0.0f, 2.0f, -2.0f));
    }
    void TearDown() override
    {
        row.reset();
        images.reset();
        PagesFixture::TearDown();
    }
    void WithPicture()
    {
        PimTexture texture;
        ASSERT_TRUE(texture.Create(8, 4, PimColor(30, 90, 200, 255)));
        const std::filesystem::path file = temp.Path() / "guide.png";
        ASSERT_TRUE(texture.Save(file.string()));
        settings->activeGame.SetRefImagePath(1, PimWString::Widen(file.string()));
        settings->activeGame.SetRefImageLocation(1, {30.0f, 10.0f, 30.0f});
        images->LoadAll();
    }
    void MakeRow()
    {
        row = std::make_unique<ReferenceImageRow>(*settings, *images, 1);
        row->Place(kRowAt, PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(180.0f)), 1.5f);
        row->Refresh();
    }
    void Frames(int count)
    {
        for (int frame = 0; frame < count; ++frame)
            Step([this] { row->Update(); });
    }
    // Touches the point and holds the trigger for a while, then lets go.
    void PressAt(const PimVector3& at)
    {
        TipAt(kHand, at);
        Frames(2);
        Trigger(kHand, 1.0f);
        Frames(6);
        Trigger(kHand, 0.0f);
        Frames(2);
    }

    std::unique_ptr<ReferenceImageSet> images;
    std::unique_ptr<ReferenceImageRow> row;
};

TEST(ReferenceRowScale, SliderPositionsAndFactorsMapBothWaysWithTheirRatioTexts)
{
    EXPECT_FLOAT_EQ(ReferenceImageRow::SliderToFactor(9), 1.0f);
    EXPECT_FLOAT_EQ(ReferenceImageRow::SliderToFactor(10), 1.0f);
    EXPECT_FLOAT_EQ(ReferenceImageRow::SliderToFactor(11), 1.0f);
    EXPECT_FLOAT_EQ(ReferenceImageRow::SliderToFactor(8), 0.5f);
    EXPECT_FLOAT_EQ(ReferenceImageRow::SliderToFactor(12), 2.0f);
    EXPECT_FLOAT_EQ(ReferenceImageRow::SliderToFactor(0), 0.1f);
    EXPECT_FLOAT_EQ(ReferenceImageRow::SliderToFactor(18), 8.0f);
    EXPECT_FLOAT_EQ(ReferenceImageRow::SliderToFactor(40), 8.0f) << "held to the slider's end";

    EXPECT_EQ(ReferenceImageRow::FactorToSlider(1.0f), 10);
    EXPECT_EQ(ReferenceImageRow::FactorToSlider(0.5f), 8);
    EXPECT_EQ(ReferenceImageRow::FactorToSlider(2.0f), 12);
    EXPECT_EQ(ReferenceImageRow::FactorToSlider(0.1f), 0);
    EXPECT_EQ(ReferenceImageRow::FactorToSlider(10.0f), 18) << "the largest stored factor at the end";
    EXPECT_EQ(ReferenceImageRow::FactorToSlider(1.5f), 12) << "a corner drag's factor shows at its nearest position";
    EXPECT_EQ(ReferenceImageRow::FactorToSlider(0.0f), 10);
    EXPECT_EQ(ReferenceImageRow::FactorToSlider(-3.0f), 10);
    EXPECT_EQ(ReferenceImageRow::FactorToSlider(std::nanf("")), 10);
    for (int position = 0; position < ReferenceImageRow::kSliderPositions; ++position)
    {
        const int back = ReferenceImageRow::FactorToSlider(ReferenceImageRow::SliderToFactor(position));
        EXPECT_EQ(back, position == 9 || position == 11 ? 10 : position) << position;
    }

    EXPECT_EQ(ReferenceImageRow::RatioText(0), "1/10");
    EXPECT_EQ(ReferenceImageRow::RatioText(8), "1/2");
    EXPECT_EQ(ReferenceImageRow::RatioText(9), "1/1");
    EXPECT_EQ(ReferenceImageRow::RatioText(10), "1/1");
    EXPECT_EQ(ReferenceImageRow::RatioText(11), "1/1");
    EXPECT_EQ(ReferenceImageRow::RatioText(12), "2/1");
    EXPECT_EQ(ReferenceImageRow::RatioText(18), "8/1");
}

TEST_F(ReferenceRow, TheButtonsToggleOncePerPullAndTheSliderResizesThePicture)
{
    WithPicture();
    MakeRow();
    ASSERT_TRUE(row->HasPicture());
    EXPECT_EQ(row->GetPictureButton().GetQuadScale(), 0.15f);
    std::vector<PointerSpot> spots;
    row->AddPointerSpots(spots);
    EXPECT_EQ(spots.size(), 4u) << "picture, visibility, lock and the knob";
    // Turned to face -z: the controls run towards -x.
    EXPECT_LT(row->GetLockButton().GetBaseLocation().x, row->GetVisibilityButton().GetBaseLocation().x);

    GameSettingsActiveGame& game = settings->activeGame;
    EXPECT_FALSE(game.GetRefImageEnabled(1));
    PressAt(row->GetVisibilityButton().GetBaseLocation());
    EXPECT_TRUE(game.GetRefImageEnabled(1)) << "one pull, one toggle";
    PressAt(row->GetVisibilityButton().GetBaseLocation());
    EXPECT_FALSE(game.GetRefImageEnabled(1));
    PressAt(row->GetLockButton().GetBaseLocation());
    EXPECT_TRUE(game.GetRefImageLocked(1));
    EXPECT_FALSE(row->TakeBrowseRequest());
    PressAt(row->GetPictureButton().GetBaseLocation());
    EXPECT_TRUE(row->TakeBrowseRequest());
    EXPECT_FALSE(row->TakeBrowseRequest()) << "taken once";

    // The knob from 1:1 to position 12 along the track.
    const PimVrUISlider& slider = row->GetScaleBar().GetSlider();
    EXPECT_EQ(slider.GetValue(), 10.0f);
    const PimVector3 track = (slider.GetEndcapPosition() - slider.GetAnchorPosition()) / 18.0f;
    TipAt(kHand, slider.GetSliderPosition());
    Frames(2);
    Trigger(kHand, 1.0f);
    Frames(2);
    for (float step = 0.5f; step <= 2.0f; step += 0.5f)
    {
        TipAt(kHand, slider.GetAnchorPosition() + track * (10.0f + step));
        Frames(1);
    }
    Frames(1);
    const PimVector3 eye = slider.GetSliderPosition() + PimVector3(0.0f, 0.0f, -1.0f);
    EXPECT_TRUE(row->HeldControlAlong(eye, PimVector3(0.0f, 0.0f, 1.0f)).has_value()) << "the held knob follows the mouse";
    Trigger(kHand, 0.0f);
    Frames(2);
    EXPECT_EQ(row->GetSliderPosition(), 12);
    EXPECT_EQ(row->GetLabel().GetText().Narrow(), "2/1");
    EXPECT_FLOAT_EQ(game.GetRefImageScale(1), 2.0f);
    EXPECT_FLOAT_EQ(images->GetPanel(1)->GetWidthUnits(), 16.0f) << "8 pixels at 2 units each";

    // Filled again from the settings (the menu comes in again): the same position.
    game.SetRefImageScale(1, 0.25f);
    row->Refresh();
    EXPECT_EQ(row->GetSliderPosition(), 6);
    EXPECT_EQ(row->GetLabel().GetText().Narrow(), "1/4");
}

TEST_F(ReferenceRow, ARowWithoutAPictureOffersOnlyItsPictureButton)
{
    MakeRow();
    EXPECT_FALSE(row->HasPicture());
    std::vector<PointerSpot> spots;
    row->AddPointerSpots(spots);
    ASSERT_EQ(spots.size(), 1u);
    EXPECT_EQ(spots[0].centre, row->GetPictureButton().GetBaseLocation());
    EXPECT_EQ(row->GetSliderPosition(), 10);
    PressAt(row->GetVisibilityButton().GetBaseLocation());
    EXPECT_FALSE(settings->activeGame.GetRefImageEnabled(1)) << "hidden controls do nothing";

    // A picture chosen meanwhile: the row shows it after a refresh.
    WithPicture();
    row->Refresh();
    EXPECT_TRUE(row->HasPicture());
    spots.clear();
    row->AddPointerSpots(spots);
    EXPECT_EQ(spots.size(), 4u);
}
}
