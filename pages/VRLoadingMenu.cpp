#include "pages/VRLoadingMenu.h"

#include "pages/TutorialMarker.h"

#include "settings/GameSettings.h"
#include "world/BuildBudget.h"
#include "world/ChunkBlock.h"
#include "world/VoxelWorld2.h"

#include "engine/PimAngle.h"
#include "engine/PimSoundSystem.h"
#include "engine/PimVrSystem.h"
#include "engine/VoxelCodeTable.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr int kRoomSide = 7;
constexpr std::uint16_t kUpperWall = 0xFF07;
constexpr std::uint16_t kLowerWall = 0xFF27;
constexpr float kBallGrasp = 0.15f;
constexpr float kBallScale = 0.1f;
constexpr float kTrailStartScale = 0.05f;
constexpr float kTrailGrowth = 0.002f;
constexpr float kDrag = 0.1f;
constexpr float kGravity = 9.8f;
constexpr float kBounceKeep = 0.95f;
constexpr float kSliderLength = 1.5f;
// The booth's middle across: the texts and the slider are centred on it, in front of the user.
constexpr float kMiddle = 3.5f;

void CentreOnMiddle(Pim3DText& text)
{
    PimVector3 place = text.GetPosition();
    place.x = kMiddle - text.GetWidth() * 0.5f;
    text.SetPosition(place);
}
constexpr PimColor kBallColour{204, 51, 51, 255};  // (0.8, 0.2, 0.2)
constexpr PimColor kTrailColour{230, 77, 77, 255}; // (0.9, 0.3, 0.3)
constexpr PimColor kLabelColour{255, 255, 255, 255};
constexpr PimColor kHintColour{190, 210, 235, 255};
}

VRLoadingMenu::VRLoadingMenu(GameSettings& settingsIn, std::shared_ptr<PimCamera> cameraIn, VoxelWorld2* worldIn)
    : VoxelMenuPage(settingsIn, std::move(cameraIn)), world(worldIn)
{
    backDisabled = true;
    BuildShellRoom(kRoomSide, kRoomSide, kRoomSide, kLowerWall, kUpperWall);
    PimSoundSystem::LoadSound(kBounceSound, settings.GetFolders().sounds.Narrow() + "Menu\\ballBounce.wav");

    progressLabel.SetPosition(ProgressPlace());
    progressLabel.SetScale(5.0f);
    progressLabel.SetColor(kLabelColour);
    progressLabel.SetText("0%");

    ball.SetPosition(BallStart());
    ball.SetGraspDistance(kBallGrasp);
    lastBallPosition = BallStart();
    ballCube.Build(VoxelCode::HelperCube, kBallColour);
    trailCube.Build(VoxelCode::HelperCube, kTrailColour);

    PimVrUISlider& slider = budgetSlider.GetSlider();
    slider.SetAnchorPosition(PimVector3(kMiddle - kSliderLength * 0.5f, ProgressPlace().y - 1.0f, ProgressPlace().z));
    slider.SetLength(kSliderLength);
    slider.SetMinValue(BuildBudget::kMinimum);
    slider.SetMaxValue(BuildBudget::kMaximum);
    slider.SetUseDiscreetValues(true);
    budgetSlider.MarkDirty();
    budgetLabel.SetPosition(ProgressPlace() + PimVector3(0.0f, -0.7f, 0.0f));
    budgetLabel.SetScale(1.2f);
    budgetLabel.SetColor(kLabelColour);
    budgetTitle.SetPosition(ProgressPlace() + PimVector3(0.0f, -1.35f, 0.0f));
    budgetTitle.SetScale(0.6f);
    budgetTitle.SetColor(kHintColour);
    budgetTitle.SetText("Drag the knob to fix how many chunks are built each frame");
    CentreOnMiddle(budgetTitle);
    CentreOnMiddle(progressLabel);
    ShowBudget();
}

VRLoadingMenu::~VRLoadingMenu() = default;

std::int32_t VRLoadingMenu::GetExpectedChunks() const
{
    return VoxelWorld2::ExpectedBuildCount(world->GetStore().GetRegionFilesFound());
}

std::int32_t VRLoadingMenu::GetPercentage() const
{
    return static_cast<std::int32_t>(static_cast<std::int64_t>(world->GetBuildCount()) * 100 / GetExpectedChunks());
}

void VRLoadingMenu::Update()
{
    VoxelMenuPage::Update();
    world->Update();
    if (GetPercentage() >= 100)
    {
        ActivateParentPage();
        return;
    }
    if (world->IsStalled())
    {
        GiveUp();
        return;
    }
    progressLabel.SetText(std::to_string(GetPercentage()) + "%");
    CentreOnMiddle(progressLabel);
    StepBudget();
    StepBallHandle(static_cast<float>(PimTime::SecondDelta()));
    TutorialMarker::Of(settings).Update();

    const std::int32_t count = world->GetBuildCount();
    if (count != lastCount)
    {
        stallTime = PimTime::Now();
        lastCount = count;
    }
    else if (PimTime::Now().GetSeconds() - stallTime.GetSeconds() > kStallSeconds)
    {
        GiveUp();
    }
}

void VRLoadingMenu::GiveUp()
{
    settings.activeGame.SetOptionsSet(false);
    settings.activeGame.SetGameWorldName(PimWString());
    ActivateRootPage();
}

void VRLoadingMenu::StepBudget()
{
    PimVrUISlider& slider = budgetSlider.GetSlider();
    slider.Update();
    if (slider.GetValue() != lastSliderValue)
    {
        budgetChanged = true;
        world->SetBudgetControl(std::clamp(static_cast<int>(std::lround(slider.GetValue())),
                                           static_cast<int>(BuildBudget::kMinimum),
                                           static_cast<int>(BuildBudget::kMaximum)));
    }
    ShowBudget();
}

void VRLoadingMenu::ShowBudget()
{
    const int budget = BuildBudget::Get();
    PimVrUISlider& slider = budgetSlider.GetSlider();
    if (!slider.IsBeingGrasped() && slider.GetValue() != static_cast<float>(budget))
    {
        slider.SetValue(static_cast<float>(budget));
        budgetSlider.MarkDirty();
    }
    if (slider.IsBeingGrasped())
        budgetSlider.MarkDirty();
    lastSliderValue = slider.GetValue();
    const bool fixed = world->IsBudgetFixed();
    budgetLabel.SetText("Build budget " + std::to_string(budget) + (fixed ? " (fixed)" : " (adapts)"));
    CentreOnMiddle(budgetLabel);
}

int VRLoadingMenu::StepBall(Ball& state, float dt)
{
    state.position += state.velocity * dt;
    state.velocity = state.velocity * (1.0f - dt * kDrag);
    state.velocity.y -= dt * kGravity;
    int bounces = 0;
    const auto bounce = [&](float& coordinate, float& speed) {
        if (coordinate >= kWallLow && coordinate < kWallHigh)
            return;
        coordinate = coordinate < kWallLow ? kWallLow : kWallHigh;
        speed = -speed;
        state.velocity = state.velocity * kBounceKeep;
        ++bounces;
    };
    bounce(state.position.y, state.velocity.y);
    bounce(state.position.x, state.velocity.x);
    bounce(state.position.z, state.velocity.z);
    return bounces;
}

void VRLoadingMenu::StepBallHandle(float dt)
{
    ball.Update();
    trailClock += dt;
    if (trailClock >= kTrailSpacing)
    {
        trailClock = std::fmod(trailClock, kTrailSpacing);
        trail.push_back(ball.GetPosition());
        while (trail.size() > kTrailLength)
            trail.pop_front();
    }
    if (dt <= 0.0f)
        return;
    if (ball.IsGrasped())
    {
        ballVelocity = (ball.GetPosition() - lastBallPosition) / dt;
        lastBallPosition = ball.GetPosition();
        return;
    }
    Ball state{ball.GetPosition(), ballVelocity};
    if (StepBall(state, dt) > 0)
    {
        lastBallPosition = state.position;
        PimSoundSystem::PlaySound(kBounceSound);
    }
    ballVelocity = state.velocity;
    ball.SetPosition(state.position);
}

void VRLoadingMenu::Draw()
{
    VoxelMenuPage::Draw();
    progressLabel.Draw();
    ballCube.SetPosition(ball.GetPosition());
    ballCube.SetTransform(PimMatrix4x4::CreateScale(kBallScale));
    ballCube.Draw();
    float scale = kTrailStartScale;
    for (const PimVector3& point : trail)
    {
        trailCube.SetPosition(point);
        trailCube.SetTransform(PimMatrix4x4::CreateScale(scale));
        trailCube.Draw();
        scale += kTrailGrowth;
    }
    budgetSlider.Draw();
    budgetLabel.Draw();
    budgetTitle.Draw();
    TutorialMarker::Of(settings).Draw();
    // The world is not drawn while the booth is in front; it still needs the view to stream.
    world->KeepStreamingUndrawn();
}

void VRLoadingMenu::PageIn()
{
    VoxelMenuPage::PageIn();
    PimVrSystem& vr = PimVrSystem::GetInstance();
    vr.SetRootPosition(PimVector3(0.0f, 0.0f, 0.0f));
    PlacePlayer(PimVector3(3.0f, 1.1f, 3.0f));
    // Facing the progress wall (-z), where the label, the slider and the ball are.
    vr.SetDirectionModifier(PimAngle::FromDegrees(0.0f));
    world->SetWorkerPaused(false);
    vr.SetScale(settings.virtualReality.GetPlayerSizeBias() * 1.5f);
    stallTime = PimTime::Now();
    lastCount = world->GetBuildCount();
    ShowBudget();
    TutorialMarker::Of(settings).Place(TutorialMarker::Arrow, ProgressPlace() + PimVector3(0.25f, 0.5f, 0.3f),
                                       PimAngle::FromDegrees(90.0f), 1.0f);
}

void VRLoadingMenu::PageOut()
{
    VoxelMenuPage::PageOut();
    PimVrSystem::GetInstance().SetScale(settings.activeGame.GetPlayerScale() *
                                        settings.virtualReality.GetPlayerSizeBias());
    // The budget adapts again in the world.
    world->SetBudgetControl(0);
}

void VRLoadingMenu::AddPointerSpots(std::vector<PointerSpot>& spots) const
{
    VoxelMenuPage::AddPointerSpots(spots);
    spots.push_back({ball.GetPosition(), kBallGrasp});
    spots.push_back(KnobSpot(budgetSlider.GetSlider()));
}

std::optional<PimVector3> VRLoadingMenu::HeldControlAlong(const PimVector3& origin, const PimVector3& direction) const
{
    // The held ball stays at its distance from the eye, under the pointer, so a flick throws it.
    if (ball.IsGrasped())
        return origin + direction * ball.GetPosition().Distance(origin);
    return HeldKnobAlong(budgetSlider.GetSlider(), origin, direction);
}
