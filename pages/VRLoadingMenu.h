#pragma once

#include "pages/PointerSpot.h"
#include "pages/SliderBar.h"
#include "pages/VoxelMenuPage.h"

#include "world/VoxelCube.h"

#include "engine/Pim3DText.h"
#include "engine/PimTime.h"
#include "engine/PimVrHandle.h"

#include <cstdint>
#include <deque>

class VoxelWorld2;

// The booth the user stands in while a world's chunks are loaded or generated: a 7 x 7 x 7 room
// with the progress in percent on the wall, a slider below it that fixes the world's build budget
// (8 to 32 chunks a frame), and a red ball to throw around, which bounces off the walls with a
// knock and leaves a short trail. A child of the world page, which brings it up while fewer chunks
// are built than ExpectedBuildCount; it runs the world's frame step itself (the world is not drawn
// meanwhile) and hands back to the world page on the frame the percentage reaches 100.
//
// Giving up: when the world says it is stalled, or its build count has not changed for more than
// 30 seconds, the world choice is cleared ("OptionsSet" false, "GameWorldName" empty) and the main
// menu is activated. The controller's back action does nothing here.
//
// Desktop simulator: the ball and the slider's knob are grasped like the menu buttons - point at
// them and hold the left button; moving the mouse carries them, letting go throws the ball.
// Main thread only.
class VRLoadingMenu : public VoxelMenuPage
{
public:
    static constexpr int kBounceSound = 7;
    static constexpr float kStallSeconds = 30.0f;
    static constexpr std::size_t kTrailLength = 15;
    static constexpr float kTrailSpacing = 0.01f; // seconds between trail points
    static constexpr float kWallLow = 1.0f;
    static constexpr float kWallHigh = 6.0f;
    static PimVector3 ProgressPlace() { return {3.25f, 4.0f, 1.05f}; }
    static PimVector3 BallStart() { return {3.5f, 4.0f, 1.5f}; }

    // world: the world being loaded; it outlives the page (both belong to the world page).
    VRLoadingMenu(GameSettings& settings, std::shared_ptr<PimCamera> camera, VoxelWorld2* world);
    ~VRLoadingMenu() override;

    void Update() override;
    void Draw() override;
    void PageIn() override;
    void PageOut() override;

    // The whole percentage of the expected chunks built: floor(built / expected x 100).
    std::int32_t GetPercentage() const;
    std::int32_t GetExpectedChunks() const;

    // The ball's step while nobody holds it, dt seconds long: drag, gravity, then for y, x and z
    // in turn a bounce off the booth's walls (1.0 and 6.0): the coordinate is held at the wall, the
    // velocity component turns and the whole velocity keeps 95 %. Returns the number of bounces.
    struct Ball
    {
        PimVector3 position;
        PimVector3 velocity;
    };
    static int StepBall(Ball& ball, float dt);

    PimVrHandle& GetBall() { return ball; }
    const PimVector3& GetBallVelocity() const { return ballVelocity; }
    const std::deque<PimVector3>& GetTrail() const { return trail; }
    SliderBar& GetBudgetSlider() { return budgetSlider; }
    const Pim3DText& GetProgressLabel() const { return progressLabel; }
    const Pim3DText& GetBudgetLabel() const { return budgetLabel; }
    bool HasBudgetChanged() const { return budgetChanged; }

protected:
    void AddPointerSpots(std::vector<PointerSpot>& spots) const override;
    std::optional<PimVector3> HeldControlAlong(const PimVector3& origin, const PimVector3& direction) const override;

private:
    void GiveUp();
    void StepBudget();
    void StepBallHandle(float dt);
    void ShowBudget();

    VoxelWorld2* world = nullptr;
    Pim3DText progressLabel;
    PimTime stallTime;
    std::int32_t lastCount = 0;
    PimVrHandle ball;
    VoxelCube ballCube;
    VoxelCube trailCube;
    PimVector3 lastBallPosition;
    PimVector3 ballVelocity;
    std::deque<PimVector3> trail;
    float trailClock = 0.0f;
    SliderBar budgetSlider;
    Pim3DText budgetLabel;
    Pim3DText budgetTitle;
    float lastSliderValue = -1.0f;
    bool budgetChanged = false;
};
