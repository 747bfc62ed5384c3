#pragma once

#include "editing/TutorialSteps.h"
#include "world/PointerArrow.h"

#include "engine/PimAngle.h"
#include "engine/PimImageQuad.h"
#include "engine/PimTexture.h"
#include "engine/PimVector3.h"

#include <array>
#include <cstdint>
#include <memory>

class GameSettings;

// The first-time guide: a floating arrow pointing down at the next thing to use, an animated
// picture of the controller beside it (the trigger being pulled and let go, or the menu button
// pulsing), and, while the target is more than 20 degrees away from where the user looks, a
// small second arrow in front of the eyes pointing towards it. The marker itself is the picture's
// quad.
//
// It runs until the first tutorial is done ("TutorialOne"): a marker made while "TutorialOne" is
// true never draws anything. Pages place it on their own element when they come in (Place, or
// Follow for a hand) and call Update and Draw every frame while they are active; in the world the
// editor takes the steps (AdvanceTutorial, TutorialSteps) as the user learns the tools, and the
// in-game menu's exit finishes it.
//
// Stages: 0 nothing; 1 the arrow; 2 the arrow and the trigger animation; 3 the trigger animation;
// 4 the menu button picture, pulsing.
//
// Sizes: a fixed placement is in room units; a placement on a hand (and the view arrow) is in the
// user's own size, so it scales with the VR scale (times VR scale / 1.5, the menu scale at which
// the sizes are given).
//
// One per run, made on first use (Of) and kept with the settings. Main thread only.
class TutorialMarker final : public PimImageQuad, public TutorialSteps
{
public:
    enum Stage : std::uint32_t
    {
        Hidden = 0,
        Arrow = 1,
        ArrowAndTrigger = 2,
        Trigger = 3,
        MenuButton = 4,
    };
    static constexpr int kTriggerPictures = 10;
    static constexpr float kViewArrowDegrees = 20.0f;
    // The view arrow's size beside the marker's: small, low in the view, so it never hides the
    // controls the user looks at.
    static constexpr float kViewArrowScale = 0.15f;
    static constexpr float kHandLift = 0.15f;
    static constexpr float kHandScale = 0.3f;
    static constexpr float kMenuScale = 1.5f;
    // The trigger animation moves on when its phase passes this (about every 119 ms).
    static constexpr float kPhasePerPicture = 75.0f;

    // The run's marker, made with the settings the first time.
    static TutorialMarker& Of(GameSettings& settings);

    // Loads its pictures from the textures folder; running = not "TutorialOne".
    explicit TutorialMarker(GameSettings& settings);
    ~TutorialMarker() override;

    // Shows the stage standing at anchor, the arrow's broad side turned by yaw about the vertical
    // (0: facing along x, 90 degrees: facing along z), at the scale. Starts the trigger
    // animation again.
    void Place(std::uint32_t stage, const PimVector3& anchor, PimAngle yaw, float scale);
    // The same, following a hand controller (1 left, 2 right), a little above its tip.
    void Follow(std::uint32_t stage, int hand, PimAngle yaw, float scale);

    void AdvanceTutorial(std::uint32_t step) override;
    std::uint32_t GetLastStep() const override { return lastStep; }
    // Shows the placement of the last world step again (the world page coming back in front).
    void ShowLastStep();
    // Leaving a world with the in-game menu's exit while the tutorial runs: "TutorialOne" becomes
    // true, the settings are asked to save, and the marker stops for good.
    void Finish();

    // The pulse, the animation, the place and the arrows; nothing while not running.
    void Update() override;
    void Draw() override;

    bool IsRunning() const { return running; }
    std::uint32_t GetStage() const { return stage; }
    bool IsFixed() const { return fixed; }
    int GetHand() const { return hand; }
    float GetMarkerScale() const { return scale; }
    PimAngle GetYaw() const { return yaw; }
    const PimVector3& GetAnchor() const { return anchor; }
    // Where the marker stands after the last Update.
    const PimVector3& GetPlace() const { return place; }
    std::uint8_t GetFrame() const { return frame; }
    // The trigger picture shown now (0 to 9).
    int GetTriggerPicture() const { return TriggerPicture(frame); }
    bool ShowsArrow() const { return showArrow; }
    bool ShowsViewArrow() const { return showViewArrow; }
    bool ShowsPicture() const { return showPicture; }
    const PointerArrow& GetArrow() const { return arrow; }
    const PointerArrow& GetViewArrow() const { return viewArrow; }
    const std::shared_ptr<const PimTexture>& GetMenuButtonPicture() const { return menuButtonPicture; }
    const std::shared_ptr<const PimTexture>& GetTriggerPictureTexture(int index) const;

    // The picture of animation step frame (0 to 19): a pull, 0 to 9, and a release, 9 to 0.
    static int TriggerPicture(std::uint8_t frame);

private:
    // The hand the user does not prefer ("HandPreference" 2 makes it hand 1, else hand 2).
    int OtherHand() const;
    int PreferredHand() const;
    // The marker's size factor for the user's own size (1 for fixed placements).
    float BodyScale() const;
    void Reset(std::uint32_t newStage, PimAngle newYaw, float newScale);
    void SetShowFlags();
    void PlaceArrow(float bodyScale);
    void PlaceViewArrow(float bodyScale);
    void PlacePicture(float bodyScale, float pulseScale);

    GameSettings& settings;
    std::array<std::shared_ptr<const PimTexture>, kTriggerPictures> triggerPictures;
    std::shared_ptr<const PimTexture> menuButtonPicture;
    PointerArrow arrow;
    PointerArrow viewArrow;
    bool fixed = true;
    PimVector3 anchor;
    int hand = 2;
    PimVector3 place;
    std::uint32_t stage = Hidden;
    std::uint8_t frame = 0;
    float phase = 0.0f;
    float scale = 1.0f;
    float pulse = 1.0f;
    bool showArrow = false;
    bool showViewArrow = false;
    bool showPicture = false;
    PimAngle yaw = PimAngle::FromDegrees(90.0f);
    bool running = false;
    std::uint32_t lastStep = 0;
};
