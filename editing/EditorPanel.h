#pragma once

#include "editing/ToolId.h"

#include <cstdint>

// What the voxel editor needs of the off-hand tool panel (its tools page and its palette page):
// the tool id, the current colour, the panel's own frame update and draw, and whether the panel
// takes the frame (its tools page is shown and the dominant hand is near it, or its palette page is
// pointed at). The editor updates the panel once per frame, before it looks at the cursor, and
// draws it with its own graphics; while a selection box or the clipboard is active it does
// neither, so the panel stays as it was.
class EditorPanel
{
public:
    virtual ~EditorPanel() = default;

    virtual void Update() = 0;
    virtual void Draw() = 0;
    virtual std::uint32_t GetTool() const = 0;
    // The current colour's voxel value (the low 16 bits of the selected active-colour slot).
    virtual std::uint16_t GetCurrentColour() const = 0;
    // While true the editor skips its cursor, trigger dispatch and points for the frame.
    virtual bool TakesFrame() const = 0;
    // The tools page is shown (rather than the colours); the tutorial waits for it.
    virtual bool ShowsTools() const { return false; }
};
