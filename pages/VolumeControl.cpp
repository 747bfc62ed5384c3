#include "pages/VolumeControl.h"

#include "settings/GameSettings.h"

#include "engine/PimSoundSystem.h"
#include "engine/PimWString.h"

#include <cmath>

VolumeControl::VolumeControl(GameSettings& settingsIn) : settings(settingsIn)
{
    PimVrUISlider& slider = bar.GetSlider();
    slider.SetMinValue(0.0f);
    slider.SetMaxValue(1.0f);
    icon.LoadTexture(PimWString(settings.GetFolders().textures + L"MasterVolume.png").Narrow());
}

void VolumeControl::Place(const PimVector3& anchor, const PimMatrix4x4& orientation, float length, float labelScale,
                          float iconScale)
{
    PimVrUISlider& slider = bar.GetSlider();
    slider.SetAnchorPosition(anchor);
    slider.SetOrientation(orientation);
    slider.SetLength(length);
    bar.MarkDirty();
    label.SetPosition(anchor + orientation.TransformDirection({length * 0.5f, 0.2f, 0.01f}));
    label.SetOrientation(orientation);
    label.SetScale(labelScale);
    icon.SetLocation(anchor + orientation.TransformDirection({0.0f, 0.2f, 0.0f}));
    icon.SetOrientation(orientation);
    icon.SetScale(iconScale);
}

void VolumeControl::ShowSetting()
{
    const float volume = settings.GetVolumeMaster();
    bar.GetSlider().SetValue(volume);
    bar.MarkDirty();
    PimSoundSystem::SetVolume(volume);
    ShowValue(volume);
}

void VolumeControl::ShowValue(float volume)
{
    lastVolume = volume;
    label.SetText(std::wstring_view(PimWString::FromLongInt(static_cast<std::int64_t>(std::floor(volume * 100.0f)))));
}

bool VolumeControl::Update()
{
    PimVrUISlider& slider = bar.GetSlider();
    slider.Update();
    if (!slider.IsBeingGrasped() || slider.GetValue() == lastVolume)
        return false;
    const float volume = slider.GetValue();
    settings.SetVolumeMaster(volume);
    PimSoundSystem::SetVolume(volume);
    ShowValue(volume);
    return true;
}

void VolumeControl::Draw()
{
    bar.Draw();
    icon.Draw();
    label.Draw();
}
