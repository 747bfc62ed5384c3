#pragma once

#include "engine/PimColor.h"
#include "engine/PimGraphicsLine.h"
#include "engine/PimImageQuad.h"
#include "engine/PimVector3.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class EditTarget;
class GameSettings;

enum class LocomotionState : std::uint32_t
{
    Grounded = 0,
    Stepping = 1,
    Rising = 2,
    Falling = 3,
    Flying = 7,
    Teleport = 8,
};

// Moves the player through the voxel world: walking with gravity, stepping up,
// jumping by crouching, falling, flying, teleporting and touch-walking. The headset stays
// authoritative: locomotion only shifts the VR root position so that the tracked body lands
// where the physics wants it. Every collision query goes through the rig's EditTarget.
//
// Choices that keep the player safe and the motion independent of the frame rate:
// - The world has a floor: the EditTarget counts everything below y = 0 as solid, so probes,
//   sweeps and the arc stop there and a fall always ends.
// - The sweep counts its steps in an int and allows three boundary crossings per unit of length
//   (a diagonal crosses up to three per unit), so no speed can make it wrap or stop short.
// - A sweep that enters a blocking voxel stops on that voxel's boundary (the sweep reports the
//   blocking class at once instead of walking on through a thin wall); the ground probe takes a
//   voxel's top as its integer y + 1 also at integral heights.
// - Flying speeds are derived from each frame's time (units per second: at most 12, at least
//   0.1, accelerating by a quarter of the difference per second; the throttle-off decay is 0.9 per
//   90th of a second), not fixed from the first flying frame.
// - lastGoodFeet is set wherever the player is placed (MoveTo) and kept up to date while flying.
//
// Main thread only.
class Locomotion
{
public:
    static constexpr float kMaxFrameSeconds = 0.3333f;
    static constexpr float kBaseGravity = 9.8f;
    static constexpr float kWalkFactor = 500.0f;
    static constexpr float kTeleportRange = 35.0f;
    static constexpr float kTeleportCooldownMs = 300.0f;
    static constexpr float kMaxFlySpeed = 12.0f; // units per second
    static constexpr float kMinFlySpeed = 0.1f;
    static constexpr int kProbeSteps = 257;
    static constexpr int kArcSteps = 1000;
    static inline const PimColor kArcValid{0, 128, 255, 255};  // (0, 0.5, 1)
    static inline const PimColor kArcInvalid{255, 0, 0, 255};  // (1, 0, 0)

    Locomotion(GameSettings& settings, EditTarget& target);

    // The rig's step before Update: VR scale, flying from "WalkPhysics" (not in menu
    // rooms), teleport from "MovementType", touch-walk input from the off hand's pad.
    void RigStep(bool menuRoom);
    // The frame's physics.
    void Update();

    void SetState(LocomotionState state);
    void SetTeleport(bool on);
    // Puts the feet at the target by shifting the VR root.
    void MoveTo(const PimVector3& feetTarget);
    // Sets the VR root to the position (a stored player location) and shifts the body points by
    // as much, so the next physics step starts from there and not from a sweep across the world.
    void PlaceRoot(const PimVector3& root);

    // The arc while aiming and the reticle on a valid target (the rig's draw).
    void Draw();
    // Loads the reticle's picture; false (reported by the engine) when it cannot be read.
    bool LoadReticle(const std::string& path);

    // --- Queries (through the EditTarget) ---

    struct GroundProbe
    {
        float class3 = 0.0f;
        float class2 = 0.0f;
        float class1 = 0.0f;
        float Ground() const { return class3 < class2 ? class3 : class2; }
        float Lowest() const;
    };
    // Distances down from p to the first voxel of collision class 3, 2 and 1 (p.y when none).
    GroundProbe Probe(const PimVector3& p) const;

    struct SweepResult
    {
        std::uint8_t collisionClass = 0;
        PimVector3 point;
    };
    // Walks the voxel boundaries from start towards end: the first blocking voxel (class 2 or 3)
    // stops it on that voxel's boundary with its class; otherwise the end with the class of the
    // last voxel entered (0 when none).
    SweepResult Sweep(const PimVector3& start, const PimVector3& end) const;

    struct Arc
    {
        std::vector<PimVector3> points;
        PimVector3 hit;
        bool descending = false;
    };
    Arc TraceArc(const PimVector3& start, const PimVector3& direction, float range, float bend) const;

    // --- State ---

    LocomotionState GetState() const { return state; }
    PimVector3 GetFeet() const { return feet; }
    PimVector3 GetHead() const { return head; }
    PimVector3 GetLastGoodFeet() const { return lastGoodFeet; }
    PimVector3 GetVelocity() const { return velocity; }
    PimVector3 GetInput() const { return input; }
    void AddInput(const PimVector3& move) { input += move; }
    float GetEyeHeight() const { return eyeHeight; }
    float GetStandingHeight() const { return standingHeight; }
    float GetJumpCharge() const { return jumpCharge; }
    float GetVerticalSpeed() const { return verticalSpeed; }
    float GetFrameSeconds() const { return dt; }
    float GetFlySpeed() const { return flySpeed; }
    float GetGravity() const { return gravity; }
    float GetGroundDistance() const { return groundClass3 < groundClass2 ? groundClass3 : groundClass2; }
    std::uint32_t GetCollisionLevel() const { return collisionLevel; }
    float GetVrScale() const { return vrScale; }
    bool IsAiming() const { return aiming; }
    bool IsTargetValid() const { return targetValid; }
    PimVector3 GetTeleportTarget() const { return teleportTarget; }
    const PimGraphicsLine& GetArcLine() const { return *arcLine; }
    const PimImageQuad& GetReticle() const { return *reticle; }
    static float GetTeleportCooldown();
    static void ResetTeleportCooldown();

private:
    int OffHandRole() const;
    void ReadTracking();
    void ChoosePhysicsState();
    void FollowHeadset();
    void SweepMove();
    void JumpCheck();
    void Fly();
    void TeleportStep();
    std::uint8_t ClassAt(const PimVector3& position) const;

    GameSettings& settings;
    EditTarget& editTarget;
    PimVector3 spare;
    PimVector3 feet;
    PimVector3 head;
    PimVector3 lastGoodFeet;
    PimVector3 lastGoodFlying;
    PimVector3 velocity;
    PimVector3 input;
    float vrScale = 1.0f;
    float eyeHeight = 0.0f;
    float standingHeight = 0.0f;
    float jumpCharge = 0.0f;
    float sizeBias = 1.0f;
    float flySpeed = 0.0f; // units per frame, as shown
    float flyRate = 0.0f;  // units per second
    LocomotionState state = LocomotionState::Grounded;
    float dt = 0.0f;
    float frameMs = 0.0f;
    float verticalSpeed = 0.0f;
    float groundClass3 = 0.0f;
    float groundClass2 = 0.0f;
    float groundClass1 = 0.0f;
    std::uint32_t collisionLevel = 0;
    std::shared_ptr<PimGraphicsLine> arcLine = std::make_shared<PimGraphicsLine>();
    bool aiming = false;
    bool targetValid = false;
    PimVector3 teleportTarget;
    std::shared_ptr<PimImageQuad> reticle = std::make_shared<PimImageQuad>();
    bool reticleLoaded = false;
    float gravity = kBaseGravity;
};
