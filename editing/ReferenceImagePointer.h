#pragma once

#include "engine/PimVector3.h"
#include "engine/PimVrSimulator.h"

#include <optional>

class ReferenceImageSet;

// The desktop simulator's mouse on the reference pictures while the reference-image tool is
// current: pointing at a corner, the move handle or a ring of a movable picture puts the mouse
// hand's tip on it, so a left click grasps it. While the mouse hand holds a corner or the move
// handle, the tip follows the pointer at the distance it grasped at; while it holds a ring, the
// tip follows the pointer around the ring's circle, turning it. With another tool current, the
// tool target installed before (the selection box's) answers.
//
// Installed on construction in front of the simulator's tool pointer target, which it keeps and
// puts back on destruction (only when still its own). Main thread.
class ReferenceImagePointer
{
public:
    explicit ReferenceImagePointer(ReferenceImageSet& images);
    ~ReferenceImagePointer();
    ReferenceImagePointer(const ReferenceImagePointer&) = delete;
    ReferenceImagePointer& operator=(const ReferenceImagePointer&) = delete;

    // The world point the mouse hand's tip goes to for a pointer ray (world space), or nothing.
    std::optional<PimVector3> Answer(const PimVector3& origin, const PimVector3& direction);

private:
    std::optional<PimVector3> Dragging(int mouseRole, const PimVector3& origin, const PimVector3& direction);
    std::optional<PimVector3> Pick(const PimVector3& origin, const PimVector3& direction) const;

    ReferenceImageSet& images;
    PimVrSimulator::PointerTarget before;
    // The tip's distance from the eye while dragging a corner or the move handle; < 0 when not.
    float dragDepth = -1.0f;
};
