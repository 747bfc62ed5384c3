#pragma once

#include "pages/OptionRow.h"
#include "pages/QuadButton.h"
#include "pages/SizeCalibration.h"
#include "pages/VolumeControl.h"
#include "pages/VoxelMenuPage.h"

#include "colour/ColourPicker.h"

#include "engine/PimImageQuad.h"

// The settings booth reached from the main menu's settings object: the movement type (teleport
// or touch-walk), the preferred hand, the master volume, the colour of the voxel hands and an
// automatic size calibration that measures the user's head height for four seconds and sets the
// player size bias from it. The booth turns to face the user when entered; leaving it (the back
// button or the back action) saves the settings.
//
// While the first-time tutorial runs, the booth keeps its own request level for the marker:
// 0 or 1 (entering) shows the arrow above the calibrate button, 2 (a calibration running) hides
// it, 3 (a calibration finished) shows the menu button on the preferred hand, the way back. A
// request lower than the last one is ignored (the level's own placement is shown again), so a
// visit after a calibration keeps pointing the way back. Main thread only.
class PreferencesMenuVr : public VoxelMenuPage
{
public:
    static constexpr int kRoomSide = 5;
    static constexpr std::uint16_t kUpperWall = 0xFF0C;
    static constexpr std::uint16_t kLowerWall = 0xFF0E;
    static constexpr float kRowScale = 1.5f;
    static PimVector3 StandPoint() { return {2.5f, 1.1f, 2.5f}; }

    PreferencesMenuVr(GameSettings& settings, std::shared_ptr<PimCamera> camera);
    ~PreferencesMenuVr() override;

    void Update() override;
    void Draw() override;
    void PageIn() override;
    void PageOut() override;

    OptionRow& GetMoveTypeRow() { return moveTypeRow; }
    OptionRow& GetHandRow() { return handRow; }
    QuadButton& GetCalibrateButton() { return calibrateButton; }
    const SizeCalibration& GetCalibration() const { return calibration; }
    VolumeControl& GetVolume() { return volume; }
    ColourPicker& GetHandColourPicker() { return handColourPicker; }
    // The turn of the west wall's controls: their x axis runs along the wall, their face into
    // the room.
    static PimMatrix4x4 WallOrientation();
    // Raises the tutorial's request level (see above) and places the marker for the level.
    void RequestTutorialStage(std::uint8_t level);
    std::uint8_t GetTutorialLevel() const { return tutorialLevel; }

protected:
    void AddPointerSpots(std::vector<PointerSpot>& spots) const override;
    std::optional<PimVector3> HeldControlAlong(const PimVector3& origin, const PimVector3& direction) const override;

private:
    void BuildBooth();
    void FaceUser();
    void Calibrate();
    void ShowSettings();

    bool faced = false;
    OptionRow moveTypeRow;
    OptionRow handRow;
    QuadButton calibrateButton;
    SizeCalibration calibration;
    PimImageQuad handColourIcon;
    ColourPicker handColourPicker;
    PimColor lastHandColour;
    VolumeControl volume;
    std::uint8_t tutorialLevel = 0;
};
