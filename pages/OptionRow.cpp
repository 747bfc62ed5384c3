#include "pages/OptionRow.h"

#include "engine/PimAssert.h"
#include "engine/PimTexture.h"

#include <algorithm>

OptionRow::OptionRow()
{
    outline.SetClosed(true);
}

void OptionRow::SetScale(float newScale)
{
    scale = newScale;
    layoutDirty = true;
}

void OptionRow::SetOrigin(const PimVector3& newOrigin)
{
    origin = newOrigin;
    layoutDirty = true;
}

void OptionRow::SetDirection(const PimVector3& step)
{
    direction = step;
    layoutDirty = true;
}

void OptionRow::SetOrientation(const PimMatrix4x4& rotation)
{
    orientation = rotation;
    layoutDirty = true;
}

void OptionRow::AddOption(std::string_view picturePath)
{
    auto picture = std::make_shared<PimTexture>();
    if (!picture->Load(picturePath))
        PimAssert::Assert(false, "OptionRow::AddOption() - " + std::string(picturePath) + ": " + picture->GetLoadError());
    AddOption(std::shared_ptr<const PimTexture>(std::move(picture)));
}

void OptionRow::AddOption(std::shared_ptr<const PimTexture> picture)
{
    QuadButton& option = options.emplace_back();
    option.SetTexture(std::move(picture));
    layoutDirty = true;
    Layout();
}

void OptionRow::SetSelected(int index)
{
    if (index < 0 || options.empty())
        selected = -1;
    else
        selected = static_cast<std::int16_t>(std::min(index, GetOptionCount() - 1));
    ShowSelection();
}

PimVector3 OptionRow::OptionPosition(int index) const
{
    return origin + orientation.TransformDirection(direction * (static_cast<float>(index) * scale));
}

bool OptionRow::Update()
{
    if (layoutDirty)
        Layout();
    int chosen = selected;
    for (int i = 0; i < GetOptionCount(); ++i)
    {
        QuadButton& option = options[static_cast<std::size_t>(i)];
        option.Update();
        if (option.IsPressed() && i != selected)
            chosen = i;
    }
    if (chosen == selected)
        return false;
    selected = static_cast<std::int16_t>(chosen);
    ShowSelection();
    return true;
}

void OptionRow::ShowSelection()
{
    // The chosen option keeps the pressed size, so the row shows the choice at a glance.
    const float width = GetOptionWidth();
    for (int i = 0; i < GetOptionCount(); ++i)
        options[static_cast<std::size_t>(i)].SetSizeFactor(i == selected ? width * QuadButton::kPressedScale : width);
}

void OptionRow::Layout()
{
    layoutDirty = false;
    const float width = GetOptionWidth();
    for (int i = 0; i < GetOptionCount(); ++i)
    {
        QuadButton& option = options[static_cast<std::size_t>(i)];
        option.SetQuadScale(width);
        option.SetOrientation(orientation);
        option.SetBaseLocation(OptionPosition(i));
        option.SetLocation(OptionPosition(i));
    }
    ShowSelection();
    outline.ClearPoints();
    if (options.empty())
        return;
    // A frame scale x 0.1 out from the first and the last option's centres, in the row's plane.
    const PimVector3 along = orientation.TransformDirection(direction).Normalized();
    const PimVector3 facing = orientation.TransformDirection({0.0f, 0.0f, 1.0f});
    const PimVector3 across = facing.Cross(along).Normalized();
    const PimVector3 first = OptionPosition(0);
    const PimVector3 last = OptionPosition(GetOptionCount() - 1);
    outline.SetPoints({first - (along + across) * width, first - (along - across) * width,
                       last + (along + across) * width, last + (along - across) * width});
}

void OptionRow::Draw()
{
    outline.Draw();
    for (QuadButton& option : options)
        option.Draw();
}
