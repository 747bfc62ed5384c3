#include "editing/ReferenceImageSet.h"

#include "settings/GameSettings.h"

#include "engine/PimTexture.h"
#include "engine/PimViewport.h"
#include "engine/PimVrController.h"
#include "engine/PimVrSystem.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>

namespace
{
// A newly hung picture is made at most this many voxel units wide or high (by a scale of 1/n,
// n up to 10, the steps the scale slider offers), and hung at least this far from the eye.
constexpr float kNewPictureSpan = 64.0f;
constexpr float kNewPictureDistance = 3.0f;

std::shared_ptr<const PimTexture> LoadHandlePicture(const GameSettings& settings, const char* name)
{
    auto picture = std::make_shared<PimTexture>();
    if (!picture->Load(settings.GetFolders().textures.Narrow() + name))
    {
        std::cerr << "Reference images: the grab point picture " << name << " could not be read ("
                  << picture->GetLoadError() << ")\n";
        return nullptr;
    }
    picture->SetFilter(PimTextureFilter::LinearMipmap);
    picture->SetWrap(PimTextureWrap::Clamp);
    return picture;
}

bool IsSlot(int slot)
{
    return slot >= 0 && slot < ReferenceImageSet::kSlotCount;
}
}

const char* const ReferenceImageSet::kLegend =
    "Reference pictures (0): drag a corner marker to resize, the middle to move, a ring to turn a quarter; "
    "the in-game menu chooses, hides and locks them";

ReferenceImageSet::ReferenceImageSet(GameSettings& settingsIn) : settings(settingsIn)
{
    // The same grab markers as the selection box's corners, and its move and rotate pictures.
    handlePictures.corner = LoadHandlePicture(settings, "RightHanded.png");
    handlePictures.move = LoadHandlePicture(settings, "MoveButton.png");
    handlePictures.ring = LoadHandlePicture(settings, "RotateButton.png");
}

ReferenceImageSet::~ReferenceImageSet() = default;

float ReferenceImageSet::PlayerScale() const
{
    const float s = settings.activeGame.GetPlayerScale();
    return s > 0.0f ? s : 1.0f;
}

std::optional<std::string> ReferenceImageSet::CheckPicture(const PimTexture& picture)
{
    if (!picture.IsValid())
        return picture.GetLoadError().empty() ? std::string("not a picture") : picture.GetLoadError();
    const std::int64_t pixels = static_cast<std::int64_t>(picture.GetWidth()) * picture.GetHeight();
    if (picture.GetWidth() > kMaxPictureSide || picture.GetHeight() > kMaxPictureSide || pixels > kMaxPicturePixels)
        return "the picture is " + std::to_string(picture.GetWidth()) + " x " + std::to_string(picture.GetHeight()) +
               " pixels, larger than " + std::to_string(kMaxPictureSide) + " x " + std::to_string(kMaxPictureSide) +
               " or " + std::to_string(kMaxPicturePixels) + " pixels";
    return std::nullopt;
}

void ReferenceImageSet::LoadAll()
{
    for (int slot = 0; slot < kSlotCount; ++slot)
        ReadSlot(slot);
}

void ReferenceImageSet::Empty(int slot)
{
    panels[static_cast<std::size_t>(slot)].reset();
}

bool ReferenceImageSet::LoadSlot(int slot)
{
    if (!ReadSlot(slot))
        return false;
    if (settings.activeGame.GetRefImageLocation(slot) == PimVector3())
    {
        HangInFront(slot);
        PlaceFromSettings(slot);
    }
    settings.activeGame.SetRefImageEnabled(slot, true);
    return true;
}

bool ReferenceImageSet::ReadSlot(int slot)
{
    if (!IsSlot(slot))
        return false;
    const PimWString path = settings.activeGame.GetRefImagePath(slot);
    if (path.empty())
    {
        Empty(slot);
        return false;
    }
    auto picture = std::make_shared<PimTexture>();
    picture->Load(path.Narrow());
    if (const std::optional<std::string> problem = CheckPicture(*picture))
    {
        std::cerr << "Reference image " << slot + 1 << ": " << path.Narrow() << " cannot be shown (" << *problem
                  << "); the slot stays empty\n";
        Empty(slot);
        return false;
    }
    picture->SetFilter(PimTextureFilter::LinearMipmap);
    picture->SetWrap(PimTextureWrap::Clamp);
    std::unique_ptr<ReferenceImagePanel>& panel = panels[static_cast<std::size_t>(slot)];
    if (!panel)
        panel = std::make_unique<ReferenceImagePanel>(handlePictures);
    panel->SetPicture(std::move(picture));
    PlaceFromSettings(slot);
    return true;
}

void ReferenceImageSet::HangInFront(int slot)
{
    const ReferenceImagePanel& panel = *panels[static_cast<std::size_t>(slot)];
    const std::shared_ptr<const PimTexture>& picture = panel.GetPicture();
    const float side = static_cast<float>(std::max(picture->GetWidth(), picture->GetHeight()));
    float scale = std::clamp(settings.activeGame.GetRefImageScale(slot), ReferenceImagePanel::kMinScale,
                             ReferenceImagePanel::kMaxScale);
    for (int n = 2; n <= 10 && side * scale > kNewPictureSpan; ++n)
        scale = 1.0f / static_cast<float>(n);
    // Facing the viewer, turned in whole quarters so it lines up with the voxels.
    PimVector3 forward(viewerForward.x, 0.0f, viewerForward.z);
    if (forward.LengthSquared() < 1e-6f)
        forward = PimVector3(0.0f, 0.0f, -1.0f);
    const float quarters = std::round(std::atan2(-forward.x, -forward.z) / (PimAngle::Pi * 0.5f));
    const PimMatrix4x4 facing = PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(90.0f * quarters));
    const PimVector3 ahead = facing.TransformDirection({0.0f, 0.0f, -1.0f});
    // As far as it is wide: about half the view across.
    const float distance = std::max(kNewPictureDistance, side * scale);
    PimVector3 centre = (viewerEye + ahead * distance).Integerize();
    // The whole-unit centre must differ from the default, or the next load would move it again.
    if (centre == PimVector3())
        centre = PimVector3(0.0f, 1.0f, 0.0f);
    settings.activeGame.SetRefImageLocation(slot, centre);
    settings.activeGame.SetRefImageOrient(slot, facing);
    settings.activeGame.SetRefImageScale(slot, scale);
}

void ReferenceImageSet::PlaceFromSettings(int slot)
{
    ReferenceImagePanel* panel = GetPanel(slot);
    if (panel == nullptr)
        return;
    const GameSettingsActiveGame& game = settings.activeGame;
    panel->Place(game.GetRefImageLocation(slot), game.GetRefImageOrient(slot), game.GetRefImageScale(slot));
}

void ReferenceImageSet::RefreshFromSettings()
{
    for (int slot = 0; slot < kSlotCount; ++slot)
        PlaceFromSettings(slot);
}

void ReferenceImageSet::SetSlotScale(int slot, float scale)
{
    if (!IsSlot(slot))
        return;
    settings.activeGame.SetRefImageScale(slot, scale);
    PlaceFromSettings(slot);
}

void ReferenceImageSet::StorePlacement(int slot)
{
    const ReferenceImagePanel& panel = *panels[static_cast<std::size_t>(slot)];
    GameSettingsActiveGame& game = settings.activeGame;
    if (game.GetRefImageLocation(slot) != panel.GetCentre())
        game.SetRefImageLocation(slot, panel.GetCentre());
    game.SetRefImageOrient(slot, panel.GetOrientation());
    // A corner drag resizes: the size is kept with the placement, or it is lost on the next start.
    game.SetRefImageScale(slot, panel.GetScale());
    PlaceFromSettings(slot);
}

void ReferenceImageSet::SetViewer(const PimVector3& eye, const PimVector3& forward)
{
    viewerEye = eye;
    viewerForward = forward;
}

void ReferenceImageSet::Update()
{
    const PimVrController& head = PimVrSystem::GetInstance().GetHeadsetController();
    if (head.IsValid())
        SetViewer(head.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World),
                  head.GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World).TransformDirection({0.0f, 0.0f, -1.0f}));
    const float s = PlayerScale();
    for (int slot = 0; slot < kSlotCount; ++slot)
    {
        ReferenceImagePanel* panel = GetPanel(slot);
        if (panel == nullptr)
            continue;
        panel->Update(IsMovable(slot), s);
        if (panel->TakeMoved())
            StorePlacement(slot);
    }
}

void ReferenceImageSet::Draw()
{
    const PimViewport* viewport = PimViewport::GetActiveViewport();
    if (!visible || (viewport != nullptr && viewport->GetCurrentEye() == PimEye::Spectator))
        return;
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (IsShown(slot))
            panels[static_cast<std::size_t>(slot)]->Draw(IsMovable(slot));
}

ReferenceImagePanel* ReferenceImageSet::GetPanel(int slot)
{
    return IsSlot(slot) ? panels[static_cast<std::size_t>(slot)].get() : nullptr;
}

const ReferenceImagePanel* ReferenceImageSet::GetPanel(int slot) const
{
    return IsSlot(slot) ? panels[static_cast<std::size_t>(slot)].get() : nullptr;
}

std::shared_ptr<const PimTexture> ReferenceImageSet::GetPicture(int slot) const
{
    const ReferenceImagePanel* panel = GetPanel(slot);
    return panel != nullptr ? panel->GetPicture() : nullptr;
}

bool ReferenceImageSet::IsShown(int slot) const
{
    const ReferenceImagePanel* panel = GetPanel(slot);
    return panel != nullptr && panel->HasValidPicture() && settings.activeGame.GetRefImageEnabled(slot);
}

bool ReferenceImageSet::IsMovable(int slot) const
{
    return editable && IsShown(slot) && !settings.activeGame.GetRefImageLocked(slot);
}
