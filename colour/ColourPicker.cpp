#include "colour/ColourPicker.h"

#include "engine/PimAngle.h"
#include "engine/PimWString.h"
#include "engine/VoxelCodeTable.h"

namespace
{
constexpr PimColor kKnobColours[3] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};

std::uint8_t& Channel(PimColor& colour, int channel)
{
    return channel == 0 ? colour.r : channel == 1 ? colour.g : colour.b;
}
}

ColourPicker::ColourPicker()
{
    for (int i = 0; i < 3; ++i)
    {
        PimVrUISlider& slider = bars[static_cast<std::size_t>(i)].GetSlider();
        slider.SetMinValue(0.0f);
        slider.SetMaxValue(255.0f);
        slider.SetUseDiscreetValues(true);
        slider.SetValue(255.0f);
        bars[static_cast<std::size_t>(i)].SetKnobColour(kKnobColours[i]);
    }
    Show(colour);
}

void ColourPicker::Show(PimColor shown)
{
    colour = shown;
    preview.Build(VoxelCode::HelperCube, colour);
    for (int i = 0; i < 3; ++i)
        labels[static_cast<std::size_t>(i)].SetText(std::wstring_view(PimWString::FromLongInt(Channel(colour, i))));
}

void ColourPicker::SetColour(PimColor newColour)
{
    Show(newColour);
    for (int i = 0; i < 3; ++i)
        bars[static_cast<std::size_t>(i)].GetSlider().SetValue(static_cast<float>(Channel(colour, i)));
}

void ColourPicker::Update()
{
    bool changed = false;
    PimColor edited = colour;
    for (int i = 0; i < 3; ++i)
    {
        PimVrUISlider& slider = bars[static_cast<std::size_t>(i)].GetSlider();
        const float before = slider.GetValue();
        slider.Update();
        if (slider.GetValue() != before)
        {
            Channel(edited, i) = static_cast<std::uint8_t>(slider.GetValue());
            changed = true;
        }
    }
    if (changed)
        Show(edited);
    if (layoutDirty)
    {
        Layout();
        layoutDirty = false;
    }
}

void ColourPicker::Layout()
{
    const float s = size;
    preview.SetPosition(location + PimVector3(0.0f, s, 0.0f));
    preview.SetTransform(PimMatrix4x4::CreateScale(0.2f * s));
    const PimVector3 down = orientation.TransformDirection({0.0f, -0.25f * s, 0.0f});
    const PimVector3 side = orientation.TransformDirection({0.2f * s, 0.0f, 0.0f});
    // A slider's track runs along its x axis: turned a quarter about z, the bars stand upright.
    const PimMatrix4x4 upright = orientation * PimMatrix4x4::CreateRotationZ(PimAngle::FromDegrees(90.0f));
    const PimVector3 anchors[3] = {location + down - side, location + down, location + down + side};
    const PimVector3 up = orientation.TransformDirection({-0.04f * s, 0.85f, 0.0f});
    const PimVector3 labelPlaces[3] = {location - side + up, location + up, location + side + up};
    for (std::size_t i = 0; i < 3; ++i)
    {
        PimVrUISlider& slider = bars[i].GetSlider();
        slider.SetLength(s);
        slider.SetOrientation(upright);
        slider.SetAnchorPosition(anchors[i]);
        bars[i].MarkDirty();
        labels[i].SetOrientation(PimMatrix4x4::CreateScale(0.5f) * orientation);
        labels[i].SetPosition(labelPlaces[i]);
    }
}

void ColourPicker::Draw()
{
    for (SliderBar& bar : bars)
        bar.Draw();
    for (Pim3DText& label : labels)
        label.Draw();
    preview.Draw();
}
