#pragma once

#include "world/VoxelCube.h"

#include "engine/PimVrUISlider.h"

// An engine slider (PimVrUISlider) drawn as a track between two end caps with a knob: four voxel
// cubes. The owner configures the slider directly (length, range, discrete values, anchor,
// orientation, value), marks the bar dirty after such changes, runs the slider's Update every
// frame and reads its value and grasp. Main thread only.
class SliderBar
{
public:
    static constexpr PimColor kCapColour{77, 77, 77, 255};    // grey 0.3
    static constexpr PimColor kTrackColour{38, 38, 38, 255};  // grey 0.15
    static constexpr PimColor kKnobColour{255, 255, 255, 255};

    SliderBar();

    PimVrUISlider& GetSlider() { return slider; }
    const PimVrUISlider& GetSlider() const { return slider; }
    // The knob in another colour (the colour picker's red, green and blue bars).
    void SetKnobColour(PimColor colour);

    void MarkDirty() { dirty = true; }
    bool IsDirty() const { return dirty; }

    // Places the four cubes from the slider and draws them; clears the dirty mark.
    void Draw();

    const VoxelCube& GetKnob() const { return knob; }
    const VoxelCube& GetTrack() const { return track; }

private:
    VoxelCube anchorCap;
    VoxelCube endCap;
    VoxelCube track;
    VoxelCube knob;
    PimVrUISlider slider;
    bool dirty = true;
};
