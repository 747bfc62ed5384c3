#pragma once

#include "engine/PimVector3.h"

// A grab point in the world: a controller grasps it by pulling its trigger (button code 0 above
// PimVrController::PressThreshold) while its tip is within the grasp distance, and the handle
// then follows that controller, keeping the offset it had when grasped, until the trigger is let
// go or the controller stops being valid. The pull must start within reach: a trigger that is
// already held when the tip arrives grasps nothing, so sweeping a held trigger through a room
// does not pick up every handle on the way. A handle grasped by one controller stays with it.
// When both hands pull at the same frame, the nearer one takes it. Main thread only; Update once
// per frame.
class PimVrHandle
{
public:
    // Default grasp distance in world units; pages scale it with the player (s x GRASP_SCALE).
    static constexpr float GRASP_SCALE = 0.1f;

    void SetPosition(const PimVector3& newPosition) { position = newPosition; }
    PimVector3 GetPosition() const { return position; }
    // Negative or non-finite distances are taken as 0 (nothing can grasp the handle).
    void SetGraspDistance(float distance);
    float GetGraspDistance() const { return graspDistance; }

    // Grasps, follows or releases, from the controllers' state of this frame.
    void Update();
    bool IsGrasped() const { return graspedBy != 0; }
    // The hand role holding the handle (1 left, 2 right), 0 when free.
    int GetGraspingRole() const { return graspedBy; }
    // Lets go at once, whatever the trigger does.
    void Release() { graspedBy = 0; }

private:
    PimVector3 position;
    float graspDistance = GRASP_SCALE;
    int graspedBy = 0;
    PimVector3 grabOffset;  // position - controller tip, taken when grasped
};
