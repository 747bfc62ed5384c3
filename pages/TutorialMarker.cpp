#include "pages/TutorialMarker.h"

#include "pages/MenuResources.h"

#include "settings/GameSettings.h"

#include "engine/PimTime.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSystem.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace
{
constexpr float kTwoPi = PimAngle::TwoPi;
constexpr std::uint8_t kAnimationSteps = 2 * TutorialMarker::kTriggerPictures;

// A rotation that turns the arrow's +x towards direction (unit length), keeping its broad side
// upright.
PimMatrix4x4 PointingAlong(const PimVector3& direction)
{
    const PimVector3 x = direction;
    PimVector3 side = x.Cross(PimVector3(0.0f, 1.0f, 0.0f));
    if (side.LengthSquared() < 1e-8f)
        side = PimVector3(0.0f, 0.0f, 1.0f);
    const PimVector3 z = side.Normalized();
    const PimVector3 y = z.Cross(x);
    const float rows[16] = {x.x, y.x, z.x, 0.0f, x.y, y.y, z.y, 0.0f, x.z, y.z, z.z, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    return PimMatrix4x4::FromRowMajor(rows);
}
}

TutorialMarker& TutorialMarker::Of(GameSettings& settings)
{
    if (!settings.tutorial)
        settings.tutorial = std::make_shared<TutorialMarker>(settings);
    return *settings.tutorial;
}

TutorialMarker::TutorialMarker(GameSettings& settingsIn) : settings(settingsIn), running(!settingsIn.GetTutorialOne())
{
    for (int i = 0; i < kTriggerPictures; ++i)
    {
        const std::string name = "Trigger_" + std::to_string(i) + ".png";
        triggerPictures[static_cast<std::size_t>(i)] = MenuResources::LoadPicture(settings, name.c_str());
    }
    menuButtonPicture = MenuResources::LoadPicture(settings, "TutorialMenuButton.png");
}

TutorialMarker::~TutorialMarker() = default;

const std::shared_ptr<const PimTexture>& TutorialMarker::GetTriggerPictureTexture(int index) const
{
    return triggerPictures[static_cast<std::size_t>(std::clamp(index, 0, kTriggerPictures - 1))];
}

int TutorialMarker::TriggerPicture(std::uint8_t step)
{
    const int inCycle = step % kAnimationSteps;
    return inCycle < kTriggerPictures ? inCycle : kAnimationSteps - 1 - inCycle;
}

int TutorialMarker::PreferredHand() const
{
    return settings.virtualReality.GetHandPreference() == 1 ? 1 : 2;
}

int TutorialMarker::OtherHand() const
{
    return settings.virtualReality.GetHandPreference() == 2 ? 1 : 2;
}

void TutorialMarker::Reset(std::uint32_t newStage, PimAngle newYaw, float newScale)
{
    stage = newStage;
    yaw = newYaw;
    scale = newScale;
    frame = 0;
    phase = 0.0f;
}

void TutorialMarker::Place(std::uint32_t newStage, const PimVector3& at, PimAngle newYaw, float newScale)
{
    Reset(newStage, newYaw, newScale);
    fixed = true;
    anchor = at;
    place = at;
}

void TutorialMarker::Follow(std::uint32_t newStage, int controller, PimAngle newYaw, float newScale)
{
    Reset(newStage, newYaw, newScale);
    fixed = false;
    hand = controller;
}

void TutorialMarker::AdvanceTutorial(std::uint32_t step)
{
    if (step != lastStep + 1 || step > kLastStep)
        return;
    lastStep = step;
    if (step == 1)
    {
        if (running)
            AdvanceTutorial(2);
        return;
    }
    ShowLastStep();
}

void TutorialMarker::ShowLastStep()
{
    const PimAngle quarter = PimAngle::FromDegrees(90.0f);
    switch (lastStep)
    {
    case 2: // the panel on the other hand: the colours
    case 5: // ... and, after the page switch, the tools
        Follow(Arrow, OtherHand(), quarter, kHandScale);
        break;
    case 3: // place a voxel
    case 6: // use the chosen tool
        Follow(Trigger, PreferredHand(), quarter, kHandScale);
        break;
    case 4: // the other hand's trigger switches its panel to the tools
        Follow(Trigger, OtherHand(), quarter, kHandScale);
        break;
    case 7: // the menu
        Follow(MenuButton, PreferredHand(), quarter, kHandScale);
        break;
    default:
        break;
    }
}

void TutorialMarker::Finish()
{
    if (!running)
        return;
    settings.SetTutorialOne(true);
    settings.saveRequested = true;
    running = false;
    stage = Hidden;
    showArrow = showViewArrow = showPicture = false;
}

float TutorialMarker::BodyScale() const
{
    return PimVrSystem::GetInstance().GetScale() / kMenuScale;
}

void TutorialMarker::SetShowFlags()
{
    showArrow = stage == Arrow || stage == ArrowAndTrigger;
    showPicture = stage == ArrowAndTrigger || stage == Trigger || stage == MenuButton;
}

void TutorialMarker::Update()
{
    if (!running)
        return;
    const double milliseconds = std::max(0.0, PimTime::MillisecondDelta());
    pulse = std::fmod(pulse + kTwoPi * static_cast<float>(milliseconds / 1000.0), kTwoPi);
    phase += kTwoPi * static_cast<float>(milliseconds) * 0.1f;
    bool advanced = false;
    if (phase > kPhasePerPicture)
    {
        // One picture per update at most: a long frame does not skip pictures.
        phase = std::fmod(phase, kPhasePerPicture);
        frame = static_cast<std::uint8_t>((frame + 1) % kAnimationSteps);
        advanced = true;
    }
    SetShowFlags();
    const bool animated = stage == ArrowAndTrigger || stage == Trigger;
    const float pulseScale = animated ? 1.0f : 1.0f + 0.2f * std::sin(pulse);

    const float body = fixed ? 1.0f : BodyScale();
    if (fixed)
        place = anchor;
    else
    {
        const PimVrController& controller = PimVrSystem::GetInstance().GetHandController(hand);
        place = controller.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World) + PimVector3(0.0f, kHandLift * body, 0.0f);
    }
    PlaceArrow(body);
    PlaceViewArrow(fixed ? BodyScale() : body);
    if (showPicture)
    {
        if (stage == MenuButton)
            SetTexture(menuButtonPicture);
        else if (advanced || GetTexture() == nullptr || GetTexture() == menuButtonPicture)
            SetTexture(triggerPictures[static_cast<std::size_t>(TriggerPicture(frame))]);
        PlacePicture(body, pulseScale);
    }
}

void TutorialMarker::PlaceArrow(float body)
{
    // The arrow's tip (+x) turned down, then its broad side turned by yaw.
    arrow.SetOrientation(PimMatrix4x4::CreateScale(scale * body) * PimMatrix4x4::CreateRotationY(yaw) *
                         PimMatrix4x4::CreateRotationZ(PimAngle::FromDegrees(-90.0f)));
    arrow.SetLocation(place);
    arrow.Update();
}

void TutorialMarker::PlaceViewArrow(float body)
{
    showViewArrow = false;
    const PimVrController& head = PimVrSystem::GetInstance().GetHeadsetController();
    if (!head.IsValid() || stage == Hidden)
        return;
    const PimVector3 eye = head.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
    const PimVector3 forward =
        head.GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World).TransformDirection({0.0f, 0.0f, -1.0f}).Normalized();
    const PimVector3 toPlace = place - eye;
    if (toPlace.LengthSquared() < 1e-8f)
        return;
    const float cosine = std::clamp(forward.Dot(toPlace.Normalized()), -1.0f, 1.0f);
    if (std::acos(cosine) <= PimAngle::DegreesToRadians(kViewArrowDegrees))
        return;
    showViewArrow = true;
    const PimVector3 at = eye + (forward * 2.0f + PimVector3(0.0f, -1.0f, 0.0f)) * (0.3f * body);
    const PimVector3 towards = place - at;
    const PimVector3 direction = towards.LengthSquared() > 1e-8f ? towards.Normalized() : forward;
    viewArrow.SetOrientation(PointingAlong(direction) * PimMatrix4x4::CreateScale(scale * kViewArrowScale * body));
    viewArrow.SetLocation(at);
    viewArrow.Update();
}

void TutorialMarker::PlacePicture(float body, float pulseScale)
{
    const PimVector3 eye =
        PimVrSystem::GetInstance().GetHeadsetController().GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
    PimVector3 towardsHead(eye.x - place.x, 0.0f, eye.z - place.z);
    towardsHead = towardsHead.LengthSquared() > 1e-8f ? towardsHead.Normalized() : PimVector3(0.0f, 0.0f, 1.0f);
    const float size = scale * body;
    SetLocation(place + PimVector3(towardsHead.x * 0.125f * size, size * 0.5f, towardsHead.z * 0.125f * size));
    // The picture's front (+z) turned to the head.
    SetOrientation(PimMatrix4x4::CreateRotationY(PimAngle::FromRadians(std::atan2(towardsHead.x, towardsHead.z))));
    SetScale(size * 0.5f * pulseScale);
}

void TutorialMarker::Draw()
{
    if (!running)
        return;
    if (showArrow)
        arrow.Draw();
    if (showViewArrow)
        viewArrow.Draw();
    if (showPicture)
        PimImageQuad::Draw();
}
