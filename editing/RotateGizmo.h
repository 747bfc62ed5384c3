#pragma once

#include "engine/PimGraphicsLine.h"
#include "engine/PimImageQuad.h"
#include "engine/PimVector3.h"

#include <array>
#include <memory>
#include <optional>

class PimTexture;

// Three rings around a centre, one about each axis (x red, y green, z blue), that a controller
// turns: the held clipboard's rotate rings, and anything else turned in 90-degree steps by hand.
//
// Grabbing: with the tolerance t = VR scale x 0.0525, a controller (roles 1 then 2) whose trigger
// is held holds a ring while its tip lies within t of the ring's plane (the slab) and within t of
// its radius. A pull that starts outside the slab blocks that ring for that controller until its
// trigger is let go, so sweeping a held trigger through the rings turns nothing. In each frame
// only the first ring held (x, then y, then z) counts; the later ones rest at angle 0.
//
// Angles: ring x measures atan2(y, z) about the centre, ring y atan2(z, x), ring z atan2(x, y).
// While held, a ring's angle is the current angle minus the one at the start of the grab, kept
// within +-180 degrees; not held, it is 0. Each ring is drawn as a 37-point circle with four
// "RotateButton.png" quads at 90-degree steps, turned by its angle, over whatever it is inside of
// (the rings sit within the clipboard they turn).
//
// Main thread only; Update once per frame while the rings are in use.
class RotateGizmo
{
public:
    static constexpr int kRingCount = 3;
    static constexpr int kCirclePoints = 37;

    explicit RotateGizmo(std::shared_ptr<const PimTexture> picture);

    void SetPicture(const std::shared_ptr<const PimTexture>& picture);
    // Places the rings and lets the controllers turn them; a controller of role ignoredRole (one
    // busy with something else this frame) is not looked at.
    void Update(const PimVector3& centre, float radius, int ignoredRole = 0);
    // Lets go of every ring (angles back to 0).
    void Reset();

    // The ring's angle in degrees (0 unless held).
    float GetAngleDegrees(int axis) const;
    // The controller role holding the ring, or 0.
    int GetHolder(int axis) const;
    // The role holding any ring, or 0.
    int GetAnyHolder() const;
    float GetTolerance() const;
    const PimVector3& GetCentre() const { return centre; }
    float GetRadius() const { return radius; }
    // The point of ring `axis` at an angle (radians, in the ring's own measure).
    PimVector3 PointOnRing(int axis, float radians) const;
    // Where a pointer ray (world space) crosses the plane of ring `axis`, moved onto its circle;
    // nothing when the ray runs along the plane or away from it.
    std::optional<PimVector3> FollowAlong(int axis, const PimVector3& origin, const PimVector3& direction) const;
    // The ring a pointer ray crosses within `reach` of its circle (nearest along the ray): the point
    // on the circle, and the ring's axis.
    std::optional<PimVector3> PickAlong(const PimVector3& origin, const PimVector3& direction, float reach,
                                        int* axis = nullptr) const;

    void Draw();

private:
    struct Ring
    {
        float angle = 0.0f; // radians
        float start = 0.0f;
        int holder = 0;
        std::array<bool, 3> blocked{};
        PimGraphicsLine circle;
        std::array<PimImageQuad, 4> quads;
    };
    // The ring's own angle of a point (relative to the centre).
    static float MeasureOf(int axis, const PimVector3& offset);
    // The role (1 or 2) that holds the ring this frame, or 0.
    int FindHolder(int axis, int ignoredRole);
    void PlaceRing(int axis);

    std::array<Ring, kRingCount> rings;
    std::array<bool, 3> triggerWasHeld{};
    PimVector3 centre;
    float radius = 1.0f;
    PimVector3 placedCentre;
    float placedRadius = -1.0f;
};
