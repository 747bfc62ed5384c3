#include "pages/MenuResources.h"

#include "settings/GameSettings.h"

#include "engine/PimAssert.h"
#include "engine/PimSoundSystem.h"

namespace
{
std::shared_ptr<const PimTexture> LoadFolderPicture(const PimWString& folder, const char* name, PimTextureFilter filter)
{
    auto picture = std::make_shared<PimTexture>();
    if (!picture->Load(PimWString(folder + PimWString::Widen(name)).Narrow()))
    {
        PimAssert::Assert(false, "MenuResources - " + std::string(name) + ": " + picture->GetLoadError());
        return picture;
    }
    picture->SetFilter(filter);
    picture->SetWrap(PimTextureWrap::Clamp);
    return picture;
}
}

std::shared_ptr<const PimTexture> MenuResources::LoadPicture(const GameSettings& settings, const char* name)
{
    return LoadFolderPicture(settings.GetFolders().textures, name, PimTextureFilter::LinearMipmap);
}

MenuResources& MenuResources::Get(const GameSettings& settings)
{
    // Made once and kept for the whole run (pages of later runs in tests share it).
    static MenuResources* resources = new MenuResources(settings);
    return *resources;
}

MenuResources::MenuResources(const GameSettings& settings)
{
    const SettingsFolders& folders = settings.GetFolders();
    playQuad.SetTexture(LoadFolderPicture(folders.textures, "PlayButton.png", PimTextureFilter::LinearMipmap));
    playQuad.SetScale(kButtonScale);
    trashQuad.SetTexture(LoadFolderPicture(folders.textures, "TrashBin.png", PimTextureFilter::LinearMipmap));
    trashQuad.SetScale(kButtonScale);
    backPicture = LoadFolderPicture(folders.textures, "ExitGameButton.png", PimTextureFilter::LinearMipmap);
    roomAtlas = LoadFolderPicture(folders.textures, "VoxelTexturesTop1.png", PimTextureFilter::Nearest);
    const PimString sounds = folders.sounds.Narrow();
    PimSoundSystem::LoadSound(kPlaySound, sounds + "Menu\\buttonClick.wav");
    PimSoundSystem::LoadSound(kPageSound, sounds + "Menu\\menuButton.wav");
    PimSoundSystem::LoadSound(kDeleteSound, sounds + "Menu\\deleteFile.wav");
}
