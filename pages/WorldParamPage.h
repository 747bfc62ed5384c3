#pragma once

#include "pages/VoxelTextbox.h"

#include "engine/PimText.h"
#include "engine/PimUIPage.h"

#include <memory>
#include <string>

class GameSettings;
class SimulatorLegend;

// The desktop page where a new model is named: "ENTER WORLD NAME" over a line typed on the
// physical keyboard (letters, digits, the space; backspace), flat on the window. Enter confirms:
// a name that is empty, unusable as a folder name or already a model's is refused with a line
// saying why; an accepted one becomes the active game's "GameWorldName" with "OptionsSet", and the
// page returns to the main menu, which starts the new model. Escape returns without a name. The
// page has the keyboard while it is active (the simulator's keys rest). A held enter confirms once
// (one latch for the whole process). Main thread only.
class WorldParamPage : public PimUIPage
{
public:
    explicit WorldParamPage(GameSettings& settings);
    ~WorldParamPage() override;

    void Update() override;
    void Draw() override;
    void PageIn() override;
    void PageOut() override;

    VoxelTextbox& GetTextBox() { return textBox; }
    const std::string& GetRefusal() const { return refusalText; }
    static void ResetEnterLatch();

private:
    void Confirm();
    void Layout();

    GameSettings& settings;
    VoxelTextbox textBox;
    PimText title;
    PimText line;
    PimText refusal;
    PimText hint;
    std::string refusalText;
    std::shared_ptr<SimulatorLegend> legend;
    int laidOutWidth = 0;
    float blink = 0.0f;
};
