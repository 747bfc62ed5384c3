#pragma once

#include "engine/PimVector3.h"

#include <optional>

class SelectionTool;

// The desktop simulator's mouse on the box tools (its tool pointer target): pointing at a
// corner of the selection box, an action or mirror button, a rotate ring or the held clipboard
// puts the mouse hand's tip on it, so a left click grabs or presses it. While the mouse hand
// holds a corner or the clipboard, the tip follows the pointer at the distance it was grabbed
// at (walking carries it along); while it holds a ring, the tip follows the pointer around the
// ring's circle, turning it.
//
// Installed on construction, removed on destruction (only when still its own). Main thread.
class SelectionPointer
{
public:
    explicit SelectionPointer(SelectionTool& tool);
    ~SelectionPointer();
    SelectionPointer(const SelectionPointer&) = delete;
    SelectionPointer& operator=(const SelectionPointer&) = delete;

    // The world point the mouse hand's tip goes to for a pointer ray (world space), or nothing.
    std::optional<PimVector3> Answer(const PimVector3& origin, const PimVector3& direction);

private:
    // What the mouse hand is dragging, if anything: true with the point to put the tip on.
    std::optional<PimVector3> Dragging(int mouseRole, const PimVector3& origin, const PimVector3& direction);
    std::optional<PimVector3> Pick(const PimVector3& origin, const PimVector3& direction) const;

    SelectionTool& tool;
    // The tip's distance from the eye while dragging a corner or the clipboard; < 0 when not.
    float dragDepth = -1.0f;
};
