#pragma once

#include "engine/PimRenderableObject.h"
#include "engine/PimText.h"

#include <string>
#include <vector>

// The desktop simulator's key legend over the window view, followed by what the keys do on the
// page that shows it: one line per key, light text on a dark outline so it reads on any
// background. Shown while the simulator says so (F1 toggles it);
// nothing for a headset, a script, or passes other than the window's main view.
// Main thread only.
class SimulatorLegend : public PimRenderableObject
{
public:
    static constexpr float kMargin = 12.0f;
    static constexpr float kLargestScale = 0.75f;

    void Update() override;
    void Draw() override;

    // What the keys do on the page that shows the legend, listed under the simulator's own lines.
    void SetPageLines(std::vector<std::string> lines) { pageLines = std::move(lines); }
    // The lines shown now (empty while hidden).
    const std::vector<std::string>& GetShownLines() const { return shownLines; }

private:
    void Layout();

    std::vector<std::string> pageLines;
    std::vector<std::string> shownLines;
    std::vector<PimText> texts;
    std::vector<PimText> shadows;
    int laidOutWidth = 0;
    float scale = kLargestScale;
};
