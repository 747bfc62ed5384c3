#pragma once

#include "editing/EditTarget.h"
#include "editing/VoxelHand.h"
#include "player/Locomotion.h"

#include "world/WorldPlayer.h"

#include "engine/PimColor.h"

#include <cstdint>
#include <memory>

class EditorPanel;
class GameSettings;
class PimCamera;
class VoxelEditor;

// The player of a page or of the world (Parts 6.1, 4.1, 7.1): what the user sees and moves with.
// It holds the active flag, the camera, the EditTarget through which the hands, the editor and
// locomotion reach voxels, the VoxelEditor (world only; null in menu rooms, so nothing can be
// edited there), the two VoxelHands, the Locomotion and the hand colour.
//
// Each frame, while active: Update runs the hands, the editor (when present), then locomotion's
// rig step and update, and puts the camera at the head; Draw puts the camera at the head again,
// hands its position to the world as the viewer position (when the target is a world), then
// draws the editor, the clipboard while it is held, the hands, and the teleport arc and reticle.
// Main thread only.
class PlayerRig : public WorldPlayer
{
public:
    enum class Mode : std::uint8_t
    {
        World = 1,
        MenuRoom = 2,
    };

    PlayerRig(GameSettings& settings, std::shared_ptr<PimCamera> camera, Mode mode);
    ~PlayerRig() override;
    PlayerRig(const PlayerRig&) = delete;
    PlayerRig& operator=(const PlayerRig&) = delete;

    // Makes the rig's editor over its EditTarget with the given panel (world rigs only; the
    // panel must outlive the rig). A second call replaces the editor.
    VoxelEditor& CreateEditor(EditorPanel& panel);
    VoxelEditor* GetEditor() const { return editor.get(); }

    EditTarget& GetEditTarget() { return target; }
    Locomotion& GetLocomotion() { return locomotion; }
    VoxelHand& GetHand(bool dominant) { return dominant ? *dominantHand : *offHand; }
    const std::shared_ptr<PimCamera>& GetCamera() const { return camera; }
    Mode GetMode() const { return mode; }
    void SetMode(Mode newMode) { mode = newMode; }

    bool IsActive() const { return active != 0; }
    void SetActive(bool on) { active = on ? 1 : 0; }

    // Gives both hands the colour (their meshes are rebuilt only when it differs).
    void SetHandColour(PimColor colour);
    PimColor GetHandColour() const { return handColour; }
    // The "PHC" setting's colour, given to the hands when it changed since the last look.
    void FollowHandColourSetting();

    // Loads the teleport reticle from the textures folder when the file is there.
    void LoadReticle();

    void Update() override;
    void Draw() override;

    // Main-thread milliseconds of the last Update (hands, editor, locomotion).
    double GetLastUpdateMilliseconds() const { return lastUpdateMs; }

private:
    void PlaceCamera();

    GameSettings& settings;
    std::uint8_t active = 1;
    std::shared_ptr<PimCamera> camera;
    EditTarget target;
    std::unique_ptr<VoxelEditor> editor;
    std::shared_ptr<VoxelHand> dominantHand;
    std::shared_ptr<VoxelHand> offHand;
    Locomotion locomotion;
    PimColor handColour;
    Mode mode;
    double lastUpdateMs = 0.0;
};
