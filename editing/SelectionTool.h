#pragma once

#include "editing/ActionButtons.h"
#include "editing/MirrorButtons.h"
#include "editing/RotateGizmo.h"
#include "editing/SelectionBox.h"
#include "editing/ToolId.h"

#include "engine/PimColor.h"
#include "engine/PimVector3.h"

#include <cstdint>
#include <memory>
#include <optional>

class EditTarget;
class GameSettings;
class SelectionPointer;

// The editor's box tools: the selection box (Select) and the two box fills (FillCube,
// FillSphere), with the action buttons beside the off hand, and the controls of a held clipboard
// (carrying it, the mirror buttons, the rotate rings).
//
// Actions (ActionButtons):
// - Play: with Select and a clipboard, paste it into the world (it stays held, to be pasted
//   again); with a box fill, fill the box and close it.
// - ExitMenu: close the box and release the clipboard; the world is left as it is.
// - Copy: copy the box into the clipboard - from a world only, and only when its corners differ
//   on every axis; the box stays open.
// - Cut: empty the box (nothing is copied) and close it.
// - Move: copy as Copy does, then empty the box - only when the copy succeeded, so voxels never
//   vanish without a clipboard holding them. The box stays open.
// A copy or move that copies nothing flashes the error.
//
// One latch covers the mirror buttons and the rings: after a mirror or a rotation, nothing more
// is mirrored or turned until no mirror button is pressed and no ring is turned beyond 15 degrees.
// A pull that grabs a ring does not also carry the clipboard the ring sits in.
//
// On the desktop simulator the box's corners, the buttons, the clipboard and the rings are the
// mouse's grab points (SelectionPointer).
//
// Main thread only.
class SelectionTool
{
public:
    static constexpr float kTurnDegrees = 15.0f;

    // What a frame's box work asks of the editor.
    struct Outcome
    {
        bool flash = false;
        // Voxels of `colour` were written (a fill): the colour's use mark runs.
        bool painted = false;
        // A completed edit (fill, paste, cut, move): the tutorial's edited flag.
        bool edited = false;
    };

    // The buttons' and markers' pictures come from the settings' textures folder when the box is
    // first opened or a clipboard first held (a missing one is reported and draws nothing).
    SelectionTool(GameSettings& settings, EditTarget& target);
    ~SelectionTool();
    SelectionTool(const SelectionTool&) = delete;
    SelectionTool& operator=(const SelectionTool&) = delete;

    static bool IsBoxTool(std::uint32_t tool);
    // What the desktop simulator's keys and mouse do with the box tools, for a page's legend.
    static const char* const kLegendTools;
    static const char* const kLegendBox;

    bool IsBoxActive() const { return box.IsActive(); }
    // The box is open or a clipboard is held: the tool panel then stays as it is.
    bool IsActive() const;
    // Opens the box around a cell (the trigger with a box tool while no box is open).
    void Open(const PimVector3& cell);
    void CloseBox();

    // Each frame with a box tool: the handles (not while a clipboard is held), then the action
    // buttons and the action pressed.
    Outcome UpdateBox(std::uint32_t tool, std::uint16_t colour);
    // Each frame while a clipboard is held, in place of the cursor: carrying, mirror buttons,
    // rings, and the clipboard's meshing.
    void UpdateHeld(float playerScale);
    // The action itself, as a press runs it.
    Outcome Run(ActionButtons::Action action, std::uint32_t tool, std::uint16_t colour);
    // The box outline and markers, the buttons, and the held clipboard's mirror buttons and rings
    // (its content is drawn by the player rig).
    void Draw(PimColor guide);

    bool IsLatched() const { return latched; }
    SelectionBox& GetBox() { return box; }
    const ActionButtons& GetButtons() const { return buttons; }
    const MirrorButtons& GetMirrorButtons() const { return mirrorButtons; }
    const RotateGizmo& GetRings() const { return rings; }
    EditTarget& GetTarget() { return target; }
    int DominantRole() const;
    int OffHandRole() const;

private:
    // The buttons' and markers' pictures, read when the box tools are first used.
    void LoadPictures();
    Outcome CopyBox();
    Outcome MoveBox();

    GameSettings& settings;
    EditTarget& target;
    SelectionBox box;
    ActionButtons buttons;
    MirrorButtons mirrorButtons;
    RotateGizmo rings;
    bool latched = false;
    bool picturesLoaded = false;
    std::unique_ptr<SelectionPointer> pointer;
};
