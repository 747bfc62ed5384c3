#include "pages/SliderBar.h"

#include "engine/VoxelCodeTable.h"

namespace
{
constexpr float kCapScale = 0.05f;
constexpr float kTrackThickness = 0.02f;
constexpr float kKnobScale = 0.075f;
}

SliderBar::SliderBar()
{
    anchorCap.Build(VoxelCode::HelperCube, kCapColour);
    endCap.Build(VoxelCode::HelperCube, kCapColour);
    track.Build(VoxelCode::HelperCube, kTrackColour);
    knob.Build(VoxelCode::HelperCube, kKnobColour);
}

void SliderBar::SetKnobColour(PimColor colour)
{
    knob.Build(knob.GetCode(), colour);
}

void SliderBar::Draw()
{
    const PimMatrix4x4& o = slider.GetOrientation();
    const PimVector3 anchor = slider.GetAnchorPosition();
    const PimVector3 end = slider.GetEndcapPosition();
    anchorCap.SetPosition(anchor);
    anchorCap.SetTransform(o * PimMatrix4x4::CreateScale(kCapScale));
    endCap.SetPosition(end);
    endCap.SetTransform(o * PimMatrix4x4::CreateScale(kCapScale));
    track.SetPosition((anchor + end) * 0.5f);
    track.SetTransform(o * PimMatrix4x4::CreateScale(PimVector3(slider.GetLength(), kTrackThickness, kTrackThickness)));
    knob.SetPosition(slider.GetSliderPosition());
    knob.SetTransform(o * PimMatrix4x4::CreateScale(kKnobScale));
    endCap.Draw();
    anchorCap.Draw();
    track.Draw();
    knob.Draw();
    dirty = false;
}
