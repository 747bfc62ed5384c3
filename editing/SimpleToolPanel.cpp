#include "editing/SimpleToolPanel.h"

#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSystem.h"

SimpleToolPanel::SimpleToolPanel(std::vector<std::uint16_t> list) : colours(std::move(list))
{
    if (colours.empty())
        colours.push_back(0xFF00);
}

void SimpleToolPanel::Update()
{
    takesFrame = forcedTakesFrame;
    if (offHandRole == 0)
        return;
    const PimVrController& off = PimVrSystem::GetInstance().GetHandController(offHandRole);
    const bool pressed = off.GetValue(PimVrButton::Trigger) > PimVrController::PressThreshold;
    if (pressed && !offTriggerHeld)
        selected = (selected + 1) % colours.size();
    offTriggerHeld = pressed;
    takesFrame = takesFrame || pressed;
}

bool SimpleToolPanel::SetTool(std::uint32_t id)
{
    if (!IsToolAvailable(id))
        return false;
    tool = id;
    return true;
}

void SimpleToolPanel::SetColour(std::uint16_t value)
{
    for (std::size_t index = 0; index < colours.size(); ++index)
        if (colours[index] == value)
        {
            selected = index;
            return;
        }
    colours.push_back(value);
    selected = colours.size() - 1;
}
