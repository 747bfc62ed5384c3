#pragma once

#include "engine/PimVector3.h"

#include <optional>

class PimVrUISlider;

// A control of a menu page that the desktop simulator's pointer can put the mouse hand's tip on:
// its centre and the radius within which the pointer's ray counts as on it (world units).
struct PointerSpot
{
    PimVector3 centre;
    float radius = 0.0f;
};

// A slider's knob as a spot: pointing at it and pressing the trigger grasps it.
PointerSpot KnobSpot(const PimVrUISlider& slider);

// While the slider's knob is held, the point of its track nearest the pointer's ray (world
// units, unit direction), so the held knob follows the mouse along the track; nothing while it
// is free or when the ray runs along the track.
std::optional<PimVector3> HeldKnobAlong(const PimVrUISlider& slider, const PimVector3& origin, const PimVector3& direction);
