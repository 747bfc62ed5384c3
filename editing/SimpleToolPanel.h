#pragma once

#include "editing/EditorPanel.h"

#include <cstdint>
#include <vector>

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
