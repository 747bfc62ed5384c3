#pragma once

#include "pages/UICheckboxVr.h"

#include "engine/Pim3DText.h"
#include "engine/PimColor.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"
#include "engine/PimWString.h"

#include <cstddef>

// One line of the file browser's column: a folder or a picture file of the folder shown, the box
// the user grabs to open or choose it, and its name in upper case beside the box. The label's
// text mesh is made the first time the line comes into view (ShowLabel), so listing a folder of
// thousands of pictures makes no text at all. Main thread only.
class FileBrowserEntry
{
public:
    static constexpr float kLabelScale = 0.8f;
    // The label starts this far beside the box, along the line's reading direction.
    static constexpr float kLabelGap = 0.2f;
    // Longer names are cut and end in "...", so a label stays inside the booth.
    static constexpr std::size_t kLabelCharacters = 28;

    // name: as listed in its folder; orientation: the turn of the box and the label.
    FileBrowserEntry(PimWString name, bool isDirectory, const PimMatrix4x4& orientation);

    const PimWString& GetName() const { return name; }
    bool IsDirectory() const { return isDirectory; }

    // Moves the line: the box (and its grab point) at point, the label kLabelGap beside it along
    // the orientation's x axis, centred on the box in height.
    void Place(const PimVector3& point);
    const PimVector3& GetPosition() const { return position; }

    // Makes the label's text on its first call; sets its colour on every call.
    void ShowLabel(PimColor colour);
    bool HasLabel() const { return labelMade; }
    const Pim3DText& GetLabel() const { return label; }
    // The text a label shows for a name: upper case, cut to kLabelCharacters.
    static PimWString LabelText(const PimWString& name);

    UICheckboxVr& GetBox() { return box; }
    const UICheckboxVr& GetBox() const { return box; }

    // The label (when made) and the box.
    void Draw();

private:
    Pim3DText label;
    PimWString name;
    UICheckboxVr box;
    PimVector3 position;
    bool isDirectory;
    bool labelMade = false;
};
