#pragma once

#include "pages/PointerSpot.h"
#include "pages/QuadButton.h"
#include "pages/SliderBar.h"

#include "engine/Pim3DText.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class GameSettings;
class PimTexture;
class ReferenceImageSet;

// The in-game menu's controls of one reference picture, in a row along the orientation's x axis
// from the row's position:
// - the picture button (the slot's picture, or "ReferenceImageButton.png" while it has none):
//   a press asks the menu to browse for a picture (TakeBrowseRequest);
// - the visibility button at +0.25: toggles "Enabled" ("VisibleButton.png" / "InvisibleButton.png");
// - the lock button at +0.5: toggles "Locked" ("Lock.png" / "UnLocked.png");
// - the scale slider from +0.75, 19 whole positions 0 to 18 (SliderToFactor), with its ratio
//   label at +(1.25, 0.1, 0). A new position writes "Scale" and lays the picture out again.
// Every press plays sound 0 and counts once per pull. The buttons are 0.1 x the row scale wide.
// The visibility, lock and scale controls are shown and used only while the slot holds a picture.
//
// For the desktop simulator the owning page adds the row's spots (AddPointerSpots) and asks it
// for a held knob (HeldControlAlong), as it does for its own controls.
//
// Main thread only; Update once per frame while the menu is in front.
class ReferenceImageRow
{
public:
    static constexpr int kSliderPositions = 19;  // 0 to 18
    static constexpr int kOneToOne = 10;
    static constexpr float kButtonStep = 0.25f;
    static constexpr float kSliderStart = 0.75f;
    static constexpr float kSliderLength = 0.45f;

    // The set must outlive the row (both belong to one world).
    ReferenceImageRow(GameSettings& settings, ReferenceImageSet& images, int slot);

    // Places the row: position, orientation (a rotation) and scale (the menu's).
    void Place(const PimVector3& position, const PimMatrix4x4& orientation, float scale);
    // The buttons' pictures and the slider from the settings and the slot's picture.
    void Refresh();

    void Update();
    void Draw();

    // True once after the picture button was pressed.
    bool TakeBrowseRequest();

    // Slider position to scale factor: d = position - 10; d for d > 0, 1 for d = 0, -1/d below.
    static float SliderToFactor(int position);
    // Scale factor to the nearest slider position (1 -> 10, above 1: 10 + factor, below: 10 - 1/factor).
    static int FactorToSlider(float factor);
    // The ratio shown beside the slider: "1/n" below position 10, "n/1" from 10 up.
    static std::string RatioText(int position);

    // The spots of the controls shown now, and the held knob's point along the pointer's ray.
    void AddPointerSpots(std::vector<PointerSpot>& spots) const;
    std::optional<PimVector3> HeldControlAlong(const PimVector3& origin, const PimVector3& direction) const;

    int GetSlot() const { return slot; }
    bool HasPicture() const;
    const QuadButton& GetPictureButton() const { return pictureButton; }
    const QuadButton& GetVisibilityButton() const { return visibilityButton; }
    const QuadButton& GetLockButton() const { return lockButton; }
    SliderBar& GetScaleBar() { return scaleBar; }
    const SliderBar& GetScaleBar() const { return scaleBar; }
    const Pim3DText& GetLabel() const { return label; }
    int GetSliderPosition() const { return lastPosition; }

private:
    // A press that counts once per pull.
    struct Latched
    {
        bool held = false;
        bool Pressed(const QuadButton& button);
    };
    void ShowPosition(int position);
    void ShowToggles();

    GameSettings& settings;
    ReferenceImageSet& images;
    int slot;

    std::shared_ptr<const PimTexture> choosePicture;
    std::shared_ptr<const PimTexture> visiblePicture;
    std::shared_ptr<const PimTexture> invisiblePicture;
    std::shared_ptr<const PimTexture> lockedPicture;
    std::shared_ptr<const PimTexture> unlockedPicture;

    QuadButton pictureButton;
    QuadButton visibilityButton;
    QuadButton lockButton;
    Latched pictureLatch;
    Latched visibilityLatch;
    Latched lockLatch;
    SliderBar scaleBar;
    Pim3DText label;
    int lastPosition = kOneToOne;
    bool browseRequested = false;
};
