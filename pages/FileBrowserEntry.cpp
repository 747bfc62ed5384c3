#include "pages/FileBrowserEntry.h"

FileBrowserEntry::FileBrowserEntry(PimWString nameIn, bool directory, const PimMatrix4x4& orientation)
    : name(std::move(nameIn)), isDirectory(directory)
{
    label.SetOrientation(orientation);
    label.SetScale(kLabelScale);
    box.SetOrientation(orientation);
}

PimWString FileBrowserEntry::LabelText(const PimWString& name)
{
    PimWString text = name.ToUpper();
    if (text.size() > kLabelCharacters)
    {
        text.resize(kLabelCharacters - 3);
        text += L"...";
    }
    return text;
}

void FileBrowserEntry::Place(const PimVector3& point)
{
    position = point;
    box.SetLocation(point);
    const PimVector3 along = label.GetOrientation().TransformDirection({kLabelGap, 0.0f, 0.0f});
    label.SetPosition(point + along + PimVector3(0.0f, -0.5f * label.GetLineHeight(), 0.0f));
}

void FileBrowserEntry::ShowLabel(PimColor colour)
{
    if (!labelMade)
    {
        label.SetText(std::wstring_view(LabelText(name)));
        labelMade = true;
    }
    label.SetColor(colour);
}

void FileBrowserEntry::Draw()
{
    if (labelMade)
        label.Draw();
    box.Draw();
}
