#pragma once

#include "world/VoxelCube.h"

#include "engine/PimMatrix4x4.h"
#include "engine/PimUIComponent.h"
#include "engine/PimVector3.h"

#include <memory>

class GameSettings;
class PimViewport;

// The in-game camera of a world, shown while the settings' inGameCamera flag is on (the in-game
// menu's camera button flips it): a small camera floating in the world that films for the desktop.
// When the flag turns on it appears at the preferred hand, looking the way the hand points; a
// hand's trigger pulled with its tip on the camera grabs it and carries it (position and aim) until
// the trigger is let go. On the desktop, K takes it into the mouse hand and K again leaves it
// there. What it sees is drawn by the spectator viewport: over the whole window with a headset
// (the window is the spectators' view), in the lower right quarter of the window in the desktop
// simulator (the window is the user's own view). The camera is not drawn in its own picture.
// Main thread only.
class InGameCamera : public PimUIComponent
{
public:
    static constexpr float kGrasp = 0.08f;     // metres from the tip within which a pull grabs it
    static constexpr int kPickUpKey = 'K';
    static constexpr float kInsetShare = 0.36f; // of the window's width and height, desktop only

    // spectator: the scene's spectator viewport (may be empty: then nothing is filmed).
    InGameCamera(GameSettings& settings, std::weak_ptr<PimViewport> spectator);
    ~InGameCamera() override;

    void Update() override;
    void Draw() override;

    bool IsShown() const { return shown; }
    bool IsHeld() const { return heldBy != 0; }
    const PimVector3& GetPosition() const { return position; }
    const PimMatrix4x4& GetOrientation() const { return orientation; }

private:
    void Show();
    void Hide();
    void FollowHands();
    void Film();

    GameSettings& settings;
    std::weak_ptr<PimViewport> spectator;
    bool shown = false;
    int heldBy = 0;
    bool heldByKey = false;
    bool keyDown = true;
    PimVector3 grabOffset;
    PimVector3 position;
    PimMatrix4x4 orientation;
    VoxelCube body;
    VoxelCube lens;
};
