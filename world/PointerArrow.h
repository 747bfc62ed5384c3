#pragma once

#include "engine/PimColor.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimRenderableMesh.h"
#include "engine/PimVector3.h"

#include <cstdint>
#include <vector>

// The closed slab of an arrow outline: the arrow's seven points in the x-z plane (tip towards +x)
// extruded from y = -0.1 size to y = +0.1 size, every vertex in one colour with a zero normal and
// light 1. Its triangles are wound clockwise as seen from outside, so with front faces culled the
// slab shows its outside, and with back faces culled only its far inner side shows: drawn a little
// larger behind the arrow, that inner side is the arrow's black rim.
struct ArrowSlab
{
    std::vector<PimMeshVertex> vertices;
    std::vector<std::uint32_t> indices;

    // Any thread.
    static ArrowSlab Make(float size, PimColor colour);
};

// A yellow arrow with a black rim that pulses once a second, pointing along its orientation's +x:
// pages and the tutorial point at things with it. All arrows share two meshes (the arrow and its
// rim) and one small program compiled from sources held here. Main thread only.
class PointerArrow
{
public:
    static constexpr float kArrowSize = 0.5f;
    static constexpr float kRimSize = 0.55f;
    static constexpr PimColor kArrowColour{255, 255, 0, 255};
    static constexpr PimColor kRimColour{0, 0, 0, 255};

    // Makes the shared meshes the first time.
    PointerArrow();

    // Advances the pulse by this frame's duration (PimTime::MillisecondDelta).
    void Update();
    // Draws the arrow, then its rim, at the location and orientation, scaled by the pulse. Leaves
    // back faces culled, as the rest of the scene draws.
    void Draw();

    void SetLocation(const PimVector3& newLocation) { location = newLocation; }
    const PimVector3& GetLocation() const { return location; }
    // Rotation (and any scale) of the arrow; it points along the rotated +x.
    void SetOrientation(const PimMatrix4x4& newOrientation) { orientation = newOrientation; }
    const PimMatrix4x4& GetOrientation() const { return orientation; }
    // Where the light comes from, in the world.
    void SetLightVector(const PimVector3& towardsLight) { lightVector = towardsLight; }

    // Pulse phase in radians, in [0, 2 pi).
    float GetPhase() const { return phase; }
    // The size the pulse gives the arrow now: 0.8 to 1.2.
    float GetPulseScale() const;
    // The phase after `milliseconds` more: one turn per second, reduced into [0, 2 pi).
    static float AdvancePhase(float phase, double milliseconds);

private:
    PimMatrix4x4 orientation;
    PimVector3 location;
    PimVector3 lightVector{1.0f, 1.0f, 1.0f};
    float phase = 0.0f;
};
