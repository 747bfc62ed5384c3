#include "pages/PreferencesMenuVr.h"

#include "pages/MenuResources.h"
#include "pages/TutorialMarker.h"

#include "settings/GameSettings.h"

#include "engine/PimAngle.h"
#include "engine/PimSoundSystem.h"
#include "engine/PimTime.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSystem.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr int kRoomHeight = 20;
constexpr PimVector3 kPanelOrigin{1.01f, 3.5f, 3.85f};
constexpr float kButtonWidth = 0.15f;
// The menu scale: world units per metre in the booths.
constexpr float kMenuScale = 1.5f;

std::string TextureFile(const GameSettings& settings, const char* name)
{
    return PimWString(settings.GetFolders().textures + PimWString::Widen(name)).Narrow();
}

void PlaceButton(QuadButton& button, const PimVector3& at, const PimMatrix4x4& orientation)
{
    button.SetBaseLocation(at);
    button.SetLocation(at);
    button.SetOrientation(orientation);
    button.SetQuadScale(kButtonWidth);
    button.SetSizeFactor(kButtonWidth);
}

PimColor Opaque(PimColor colour)
{
    colour.a = 255;
    return colour;
}
}

PimMatrix4x4 PreferencesMenuVr::WallOrientation()
{
    return PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(90.0f));
}

PreferencesMenuVr::PreferencesMenuVr(GameSettings& settingsIn, std::shared_ptr<PimCamera> camera)
    : VoxelMenuPage(settingsIn, std::move(camera)), volume(settingsIn)
{
    BuildBooth();
    const auto setUp = [this](OptionRow& row, float x, const char* first, const char* second) {
        row.SetScale(kRowScale);
        row.SetOrigin(PimVector3(x, 3.25f, 1.01f));
        row.AddOption(TextureFile(settings, first));
        row.AddOption(TextureFile(settings, second));
    };
    setUp(moveTypeRow, 2.5f, "TeleportButton.png", "TouchWalkButton.png");
    setUp(handRow, 1.5f, "LeftHanded.png", "RightHanded.png");
    calibrateButton.SetTexture(MenuResources::LoadPicture(settings, "AutoCalibrate.png"));
    PlaceButton(calibrateButton, PimVector3(3.5f, 3.25f, 1.01f), PimMatrix4x4());
    const PimMatrix4x4 wall = WallOrientation();
    backButtonEnabled = true;
    PlaceButton(GetBackButton(), PimVector3(1.01f, 3.3f, 3.5f), wall);
    volume.Place(kPanelOrigin + wall.TransformDirection({0.75f, -1.0f, 0.0f}), wall, 0.5f, 1.2f, kButtonWidth);
    handColourPicker.location = PimVector3(1.1f, 2.5f, 2.0f);
    handColourPicker.orientation = wall;
    handColourPicker.layoutDirty = true;
    handColourIcon.LoadTexture(TextureFile(settings, "HandColor.png"));
    handColourIcon.SetLocation(PimVector3(1.1f, 3.83f, 2.0f));
    handColourIcon.SetOrientation(wall);
    handColourIcon.SetScale(0.3f);
    ShowSettings();
    SetLegendLines({"In this booth: point at an option, button or slider knob and left click; hold the click and "
                    "move the mouse to drag a knob; M goes back (and saves)"});
}

PreferencesMenuVr::~PreferencesMenuVr() = default;

void PreferencesMenuVr::BuildBooth()
{
    BuildShellRoom(kRoomSide, kRoomHeight, kRoomSide, kLowerWall, kUpperWall);
}

void PreferencesMenuVr::ShowSettings()
{
    moveTypeRow.SetSelected(static_cast<int>(settings.virtualReality.GetMovementType()));
    handRow.SetSelected(static_cast<int>(settings.virtualReality.GetHandPreference()) - 1);
    volume.ShowSetting();
    lastHandColour = Opaque(settings.GetHandColour());
    handColourPicker.SetColour(lastHandColour);
}

void PreferencesMenuVr::PageIn()
{
    savedRootPosition = PimVrSystem::GetInstance().GetRootPosition();
    backTouchLatch = true;
    GetBackButton().ClearPressed();
    PlacePlayer(StandPoint());
    PimVrSystem::GetInstance().SetDirectionModifier(PimAngle::FromDegrees(0.0f));
    // Turned to the user again on each visit, wherever they stand in their play area.
    faced = false;
    ShowSettings();
    RequestTutorialStage(0);
}

void PreferencesMenuVr::RequestTutorialStage(std::uint8_t level)
{
    TutorialMarker& tutorial = TutorialMarker::Of(settings);
    if (level == 0 && tutorial.IsRunning())
        level = 1;
    tutorialLevel = std::max(tutorialLevel, level);
    switch (tutorialLevel)
    {
    case 0:
    case 1:
        tutorial.Place(TutorialMarker::Arrow, calibrateButton.GetBaseLocation() + PimVector3(0.0f, 0.5f, 0.0f),
                       PimAngle::FromDegrees(90.0f), 1.0f);
        break;
    case 2:
        tutorial.Place(TutorialMarker::Hidden, tutorial.GetAnchor(), tutorial.GetYaw(), tutorial.GetMarkerScale());
        break;
    default:
        tutorial.Follow(TutorialMarker::MenuButton, settings.virtualReality.GetHandPreference() == 1 ? 1 : 2,
                        PimAngle::FromDegrees(90.0f), TutorialMarker::kHandScale);
        break;
    }
}

void PreferencesMenuVr::PageOut()
{
    PimVrSystem::GetInstance().SetDirectionModifier(PimAngle::FromDegrees(0.0f));
    settings.Save();
}

void PreferencesMenuVr::FaceUser()
{
    const PimVrController& headset = PimVrSystem::GetInstance().GetHeadsetController();
    if (faced || !headset.IsValid())
        return;
    // The room turns so that the head looks along the room's -z, towards the rows.
    TurnPlayAreaToHead(PimAngle::FromDegrees(0.0f));
    faced = true;
}

void PreferencesMenuVr::Calibrate()
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    if (calibration.IsRunning())
    {
        const float head = vr.GetHeadsetController().GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::Tracking).y;
        const SizeCalibration::Step step = calibration.Advance(head, static_cast<float>(PimTime::SecondDelta()));
        if (step.finished)
        {
            RequestTutorialStage(3);
            settings.virtualReality.SetPlayerSizeBias(step.measuredBias);
            // The user stays where they stand while the world around them takes its new size.
            const PimVector3 root = vr.GetRootPosition();
            vr.SetScale(step.measuredBias * kMenuScale);
            vr.SetRootPosition(root);
        }
        else
            vr.SetScale(step.shownBias * kMenuScale);
    }
    calibrateButton.Update();
    if (calibrateButton.IsPressed())
    {
        calibrateButton.ClearPressed();
        if (calibration.Start(settings.virtualReality.GetPlayerSizeBias()))
        {
            PimSoundSystem::PlaySound(MenuResources::kPlaySound);
            RequestTutorialStage(2);
        }
    }
}

void PreferencesMenuVr::Update()
{
    VoxelMenuPage::Update();
    if (!IsActivePage())
        return;
    FaceUser();
    if (moveTypeRow.Update())
    {
        settings.virtualReality.SetMovementType(static_cast<std::uint32_t>(moveTypeRow.GetSelected()));
        PimSoundSystem::PlaySound(MenuResources::kPlaySound);
    }
    if (handRow.Update())
    {
        settings.virtualReality.SetHandPreference(static_cast<std::uint32_t>(handRow.GetSelected() + 1));
        PimSoundSystem::PlaySound(MenuResources::kPlaySound);
    }
    volume.Update();
    Calibrate();
    handColourPicker.Update();
    const PimColor colour = Opaque(handColourPicker.GetColour());
    if (!(colour == lastHandColour))
    {
        lastHandColour = colour;
        settings.SetHandColour(colour);
    }
    TutorialMarker::Of(settings).Update();
}

void PreferencesMenuVr::Draw()
{
    VoxelMenuPage::Draw();
    moveTypeRow.Draw();
    handRow.Draw();
    calibrateButton.Draw();
    handColourPicker.Draw();
    handColourIcon.Draw();
    volume.Draw();
    TutorialMarker::Of(settings).Draw();
}

void PreferencesMenuVr::AddPointerSpots(std::vector<PointerSpot>& spots) const
{
    for (const OptionRow* row : {&moveTypeRow, &handRow})
        for (int i = 0; i < row->GetOptionCount(); ++i)
            spots.push_back({row->OptionPosition(i), row->GetOptionWidth() * 0.5f});
    spots.push_back({calibrateButton.GetBaseLocation(), calibrateButton.GetTouchRadius()});
    spots.push_back(KnobSpot(volume.GetBar().GetSlider()));
    for (int channel = 0; channel < 3; ++channel)
        spots.push_back(KnobSpot(handColourPicker.GetBar(channel).GetSlider()));
}

std::optional<PimVector3> PreferencesMenuVr::HeldControlAlong(const PimVector3& origin, const PimVector3& direction) const
{
    if (auto held = HeldKnobAlong(volume.GetBar().GetSlider(), origin, direction))
        return held;
    for (int channel = 0; channel < 3; ++channel)
        if (auto held = HeldKnobAlong(handColourPicker.GetBar(channel).GetSlider(), origin, direction))
            return held;
    return std::nullopt;
}
