#pragma once

#include "pages/QuadButton.h"

#include "engine/PimGraphicsLine.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class PimTexture;

// A row of picture buttons of which exactly one is selected (or none, -1): how the player moves,
// which hand leads. Touching an option and pulling a trigger selects it; the selected option is
// drawn enlarged and a white outline frames the row. Option i stands at
// origin + orientation x (direction x i x scale); each option is scale x 0.1 wide.
//
// Pressing the option that is already selected changes nothing, so a held trigger does not
// repeat a choice. Main thread only; Update once per frame.
class OptionRow
{
public:
    OptionRow();

    // Every option's width is scale x 0.1; the step between options is direction x scale.
    void SetScale(float newScale);
    float GetScale() const { return scale; }
    void SetOrigin(const PimVector3& newOrigin);
    const PimVector3& GetOrigin() const { return origin; }
    void SetDirection(const PimVector3& step);
    void SetOrientation(const PimMatrix4x4& rotation);
    // Adds an option showing the picture file (textures folder path already joined); a picture
    // that cannot be read leaves the option blank but pressable.
    void AddOption(std::string_view picturePath);
    // Adds an option showing a picture already loaded.
    void AddOption(std::shared_ptr<const PimTexture> picture);

    // -1 selects none; an index at or beyond the options selects the last one.
    void SetSelected(int index);
    int GetSelected() const { return selected; }
    int GetOptionCount() const { return static_cast<int>(options.size()); }
    QuadButton& GetOption(int index) { return options[static_cast<std::size_t>(index)]; }
    // Where option i stands (its centre).
    PimVector3 OptionPosition(int index) const;
    float GetOptionWidth() const { return scale * 0.1f; }

    // Runs every option's touch test; true when the selection changed this frame.
    bool Update();
    void Draw();

private:
    void Layout();
    void ShowSelection();

    std::vector<QuadButton> options;
    std::int16_t selected = -1;
    PimVector3 origin;
    PimVector3 direction{0.0f, -0.15f, 0.0f};
    PimMatrix4x4 orientation;
    PimGraphicsLine outline;
    bool layoutDirty = true;
    float scale = 1.0f;
};
