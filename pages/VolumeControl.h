#pragma once

#include "pages/SliderBar.h"

#include "engine/Pim3DText.h"
#include "engine/PimImageQuad.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"

class GameSettings;

// The master volume on a booth's panel: a slider from 0 to 1 with the volume in per cent written
// above its middle and the loudspeaker picture above its start. While the knob is held, each new
// value goes to the "VolumeMaster" setting and the sound system at once, so the user hears the
// change. Main thread only; Update once per frame.
class VolumeControl
{
public:
    // Loads the loudspeaker picture from the textures folder.
    explicit VolumeControl(GameSettings& settings);

    // The track runs from the anchor along the orientation's x axis.
    void Place(const PimVector3& anchor, const PimMatrix4x4& orientation, float length, float labelScale, float iconScale);
    // The slider, the text and the sound system take the stored volume.
    void ShowSetting();
    // True when a held knob changed the volume this frame.
    bool Update();
    void Draw();

    SliderBar& GetBar() { return bar; }
    const SliderBar& GetBar() const { return bar; }
    const Pim3DText& GetLabel() const { return label; }

private:
    void ShowValue(float volume);

    GameSettings& settings;
    SliderBar bar;
    Pim3DText label;
    PimImageQuad icon;
    float lastVolume = -1.0f;
};
