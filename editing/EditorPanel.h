#pragma once

#include "editing/ToolId.h"

#include <cstdint>
#include <vector>

// What the voxel editor needs of the off-hand tool panel (its tools page and its palette page):
// the tool id, the current colour, the panel's own frame update, and whether the panel takes the
// frame (its tools page is shown and the dominant hand is near it, or its palette page is pointed
// at). The editor updates the panel once per frame, before it looks at the cursor.
class EditorPanel
{
public:
    virtual ~EditorPanel() = default;

    virtual void Update() = 0;
    virtual std::uint32_t GetTool() const = 0;
    // The current colour's voxel value (the low 16 bits of the selected active-colour slot).
    virtual std::uint16_t GetCurrentColour() const = 0;
    // While true the editor skips its cursor, trigger dispatch and points for the frame.
    virtual bool TakesFrame() const = 0;
};

// The panel until the tools panel lands: the single-voxel tool and a ring of colours. The
// off-hand trigger (a pull, once per pull) steps to the next colour, and while it is held the
// panel takes the frame, as the palette page does while pointed at. Tests set everything directly.
// Main thread only.
class SimpleToolPanel final : public EditorPanel
{
public:
    // colours: voxel values to step through (at least one; an empty list holds 0xFF00).
    explicit SimpleToolPanel(std::vector<std::uint16_t> colours);

    void Update() override;
    std::uint32_t GetTool() const override { return tool; }
    std::uint16_t GetCurrentColour() const override { return colours[selected]; }
    bool TakesFrame() const override { return takesFrame; }

    // Refused (false) for a tool without its dispatch arm (IsToolAvailable).
    bool SetTool(std::uint32_t id);
    void SetColour(std::uint16_t value);
    void SetTakesFrame(bool takes) { forcedTakesFrame = takes; takesFrame = takes; }
    // Off-hand controller role whose trigger steps the colour; 0 reads no controller (tests).
    void SetOffHandRole(int role) { offHandRole = role; }

private:
    std::vector<std::uint16_t> colours;
    std::size_t selected = 0;
    std::uint32_t tool = 0;
    int offHandRole = 0;
    bool takesFrame = false;
    bool forcedTakesFrame = false;
    bool offTriggerHeld = false;
};
