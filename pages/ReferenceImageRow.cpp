#include "pages/ReferenceImageRow.h"

#include "pages/MenuResources.h"

#include "editing/ReferenceImageSet.h"
#include "settings/GameSettings.h"

#include "engine/PimSoundSystem.h"
#include "engine/PimTexture.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr float kButtonShare = 0.1f;
constexpr float kLabelShare = 0.8f;

void PlaceButton(QuadButton& button, const PimVector3& at, const PimMatrix4x4& orientation, float width)
{
    button.SetBaseLocation(at);
    button.SetLocation(at);
    button.SetOrientation(orientation);
    button.SetQuadScale(width);
    button.SetSizeFactor(width);
}
}

ReferenceImageRow::ReferenceImageRow(GameSettings& settingsIn, ReferenceImageSet& imagesIn, int slotIn)
    : settings(settingsIn), images(imagesIn), slot(slotIn)
{
    choosePicture = MenuResources::LoadPicture(settings, "ReferenceImageButton.png");
    visiblePicture = MenuResources::LoadPicture(settings, "VisibleButton.png");
    invisiblePicture = MenuResources::LoadPicture(settings, "InvisibleButton.png");
    lockedPicture = MenuResources::LoadPicture(settings, "Lock.png");
    unlockedPicture = MenuResources::LoadPicture(settings, "UnLocked.png");
    PimVrUISlider& slider = scaleBar.GetSlider();
    slider.SetMinValue(0.0f);
    slider.SetMaxValue(static_cast<float>(kSliderPositions - 1));
    slider.SetUseDiscreetValues(true);
    slider.SetLength(kSliderLength);
    Refresh();
}

float ReferenceImageRow::SliderToFactor(int position)
{
    const int d = std::clamp(position, 0, kSliderPositions - 1) - kOneToOne;
    if (d > 0)
        return static_cast<float>(d);
    if (d == 0)
        return 1.0f;
    return -1.0f / static_cast<float>(d);
}

int ReferenceImageRow::FactorToSlider(float factor)
{
    if (!std::isfinite(factor) || factor <= 0.0f)
        return kOneToOne;
    float position = static_cast<float>(kOneToOne);
    if (factor > 1.0f)
        position += factor;
    else if (factor < 1.0f)
        position -= 1.0f / factor;
    return std::clamp(static_cast<int>(std::lround(position)), 0, kSliderPositions - 1);
}

std::string ReferenceImageRow::RatioText(int position)
{
    const int clamped = std::clamp(position, 0, kSliderPositions - 1);
    if (clamped < kOneToOne)
        return "1/" + std::to_string(kOneToOne - clamped);
    // The factor the position gives: 10 and 11 are both 1:1.
    return std::to_string(std::max(1, clamped - kOneToOne)) + "/1";
}

void ReferenceImageRow::Place(const PimVector3& position, const PimMatrix4x4& orientation, float scale)
{
    const float width = scale * kButtonShare;
    PlaceButton(pictureButton, position, orientation, width);
    PlaceButton(visibilityButton, position + orientation.TransformDirection({kButtonStep, 0.0f, 0.0f}), orientation, width);
    PlaceButton(lockButton, position + orientation.TransformDirection({2.0f * kButtonStep, 0.0f, 0.0f}), orientation, width);
    PimVrUISlider& slider = scaleBar.GetSlider();
    slider.SetAnchorPosition(position + orientation.TransformDirection({kSliderStart, 0.0f, 0.0f}));
    slider.SetOrientation(orientation);
    scaleBar.MarkDirty();
    label.SetPosition(position + orientation.TransformDirection({1.25f, 0.1f, 0.0f}));
    label.SetOrientation(orientation);
    label.SetScale(scale * kLabelShare);
}

bool ReferenceImageRow::HasPicture() const
{
    const std::shared_ptr<const PimTexture> picture = images.GetPicture(slot);
    return picture && picture->IsValid();
}

void ReferenceImageRow::Refresh()
{
    const std::shared_ptr<const PimTexture> picture = images.GetPicture(slot);
    pictureButton.SetTexture(HasPicture() ? picture : choosePicture);
    ShowToggles();
    const int position = HasPicture() ? FactorToSlider(settings.activeGame.GetRefImageScale(slot)) : kOneToOne;
    scaleBar.GetSlider().SetValue(static_cast<float>(position));
    scaleBar.MarkDirty();
    ShowPosition(position);
}

void ReferenceImageRow::ShowToggles()
{
    visibilityButton.SetTexture(settings.activeGame.GetRefImageEnabled(slot) ? visiblePicture : invisiblePicture);
    lockButton.SetTexture(settings.activeGame.GetRefImageLocked(slot) ? lockedPicture : unlockedPicture);
}

void ReferenceImageRow::ShowPosition(int position)
{
    lastPosition = position;
    label.SetText(std::string_view(RatioText(position)));
}

bool ReferenceImageRow::Latched::Pressed(const QuadButton& button)
{
    const bool pressed = button.IsPressed() && !held;
    held = button.IsPressed();
    return pressed;
}

void ReferenceImageRow::Update()
{
    pictureButton.Update();
    if (pictureLatch.Pressed(pictureButton))
    {
        PimSoundSystem::PlaySound(MenuResources::kPlaySound);
        browseRequested = true;
    }
    if (!HasPicture())
        return;

    visibilityButton.Update();
    lockButton.Update();
    GameSettingsActiveGame& game = settings.activeGame;
    if (visibilityLatch.Pressed(visibilityButton))
    {
        PimSoundSystem::PlaySound(MenuResources::kPlaySound);
        game.SetRefImageEnabled(slot, !game.GetRefImageEnabled(slot));
        ShowToggles();
    }
    if (lockLatch.Pressed(lockButton))
    {
        PimSoundSystem::PlaySound(MenuResources::kPlaySound);
        game.SetRefImageLocked(slot, !game.GetRefImageLocked(slot));
        ShowToggles();
    }

    PimVrUISlider& slider = scaleBar.GetSlider();
    slider.Update();
    const int position = static_cast<int>(std::lround(slider.GetValue()));
    if (slider.IsBeingGrasped())
        scaleBar.MarkDirty();
    if (position != lastPosition)
    {
        ShowPosition(position);
        images.SetSlotScale(slot, SliderToFactor(position));
    }
}

bool ReferenceImageRow::TakeBrowseRequest()
{
    const bool requested = browseRequested;
    browseRequested = false;
    return requested;
}

void ReferenceImageRow::Draw()
{
    pictureButton.Draw();
    if (!HasPicture())
        return;
    visibilityButton.Draw();
    lockButton.Draw();
    scaleBar.Draw();
    label.RunDraw();
}

void ReferenceImageRow::AddPointerSpots(std::vector<PointerSpot>& spots) const
{
    spots.push_back({pictureButton.GetBaseLocation(), pictureButton.GetTouchRadius()});
    if (!HasPicture())
        return;
    spots.push_back({visibilityButton.GetBaseLocation(), visibilityButton.GetTouchRadius()});
    spots.push_back({lockButton.GetBaseLocation(), lockButton.GetTouchRadius()});
    spots.push_back(KnobSpot(scaleBar.GetSlider()));
}

std::optional<PimVector3> ReferenceImageRow::HeldControlAlong(const PimVector3& origin, const PimVector3& direction) const
{
    if (!HasPicture())
        return std::nullopt;
    return HeldKnobAlong(scaleBar.GetSlider(), origin, direction);
}
