#pragma once

#include "pages/SliderBar.h"

#include "world/VoxelCube.h"

#include "engine/Pim3DText.h"
#include "engine/PimColor.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"

#include <array>

// An RGB colour editor in VR: three vertical slider bars (red, green, blue; 0 to 255 in whole
// steps) with their values written above them, and a preview cube above the group in the colour
// being made. The picker edits only its own colour; its owner reads GetColour and decides what to
// do with it. The owner places it by writing location, orientation and size and marking the
// layout dirty; the layout is redone on the next Update. Main thread only.
class ColourPicker
{
public:
    ColourPicker();

    // Shows the colour and puts the bars at its red, green and blue.
    void SetColour(PimColor colour);
    PimColor GetColour() const { return colour; }

    // Grasping and dragging the bars, the colour, and the layout when dirty.
    void Update();
    // The bars, the labels, then the preview.
    void Draw();

    PimVector3 location;
    PimMatrix4x4 orientation;
    float size = 1.0f;
    bool layoutDirty = true;

    SliderBar& GetBar(int channel) { return bars[static_cast<std::size_t>(channel)]; }
    const SliderBar& GetBar(int channel) const { return bars[static_cast<std::size_t>(channel)]; }
    const Pim3DText& GetLabel(int channel) const { return labels[static_cast<std::size_t>(channel)]; }
    const VoxelCube& GetPreview() const { return preview; }

private:
    void Show(PimColor shown);
    void Layout();

    VoxelCube preview;
    std::array<SliderBar, 3> bars;
    PimColor colour{255, 255, 255, 255};
    std::array<Pim3DText, 3> labels;
};
