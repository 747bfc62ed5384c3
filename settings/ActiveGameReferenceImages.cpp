// The reference-image accessors of the active-game settings.
#include "settings/GameSettingsActiveGame.h"

#include "settings/ActiveGameTemplates.h"

#include "engine/PimAssert.h"

#include <array>
#include <string>

namespace
{
bool IsImage(int image)
{
    const bool valid = image >= 0 && image < GameSettingsActiveGame::ReferenceImageCount;
    PimAssert::Assert(valid, "GameSettingsActiveGame - Reference image index out of range");
    return valid;
}
}

const GameSettingItem& GameSettingsActiveGame::RefImageChild(int image, std::string_view child) const
{
    static const GameSettingItem defaultImage = ActiveGameTemplates::ReferenceImage(0);
    const std::vector<GameSettingItem>& images = Item(Key::ReferenceImages).GetChildren();
    const bool valid = IsImage(image) && static_cast<std::size_t>(image) < images.size();
    return (valid ? images[image] : defaultImage).FindVectorItemByName(child);
}

template <typename Edit>
bool GameSettingsActiveGame::EditRefImage(int image, Edit edit)
{
    GameSettingItem& item = Item(Key::ReferenceImages);
    std::vector<GameSettingItem> images = item.GetVector();
    if (!IsImage(image) || static_cast<std::size_t>(image) >= images.size())
        return false;
    edit(images[image]);
    item.SetVector(images, ValueUse::Current);
    return true;
}

PimWString GameSettingsActiveGame::GetRefImagePath(int image) const { return RefImageChild(image, "Path").GetWString(); }

void GameSettingsActiveGame::SetRefImagePath(int image, const PimWString& path)
{
    EditRefImage(image, [&](GameSettingItem& entry) { entry.FindVectorItemByName("Path").SetWString(path, ValueUse::Current); });
}

bool GameSettingsActiveGame::GetRefImageEnabled(int image) const { return RefImageChild(image, "Enabled").GetBool(); }

void GameSettingsActiveGame::SetRefImageEnabled(int image, bool enabled)
{
    EditRefImage(image, [&](GameSettingItem& entry) { entry.FindVectorItemByName("Enabled").SetBool(enabled, ValueUse::Current); });
}

bool GameSettingsActiveGame::GetRefImageLocked(int image) const { return RefImageChild(image, "Locked").GetBool(); }

void GameSettingsActiveGame::SetRefImageLocked(int image, bool locked)
{
    EditRefImage(image, [&](GameSettingItem& entry) { entry.FindVectorItemByName("Locked").SetBool(locked, ValueUse::Current); });
}

PimVector3 GameSettingsActiveGame::GetRefImageLocation(int image) const { return RefImageChild(image, "Loc").GetVector3(); }

void GameSettingsActiveGame::SetRefImageLocation(int image, const PimVector3& location)
{
    EditRefImage(image, [&](GameSettingItem& entry) { entry.FindVectorItemByName("Loc").SetVector3(location, ValueUse::Current); });
}

PimMatrix4x4 GameSettingsActiveGame::GetRefImageOrient(int image) const
{
    const GameSettingItem& orient = RefImageChild(image, "Orient");
    std::array<float, 16> elements{};
    for (int i = 0; i < 16; ++i)
        elements[i] = orient.FindVectorItemByName(std::to_string(i)).GetFloat();
    return PimMatrix4x4::FromRowMajor(elements);
}

void GameSettingsActiveGame::SetRefImageOrient(int image, const PimMatrix4x4& orient)
{
    EditRefImage(image, [&](GameSettingItem& entry) {
        GameSettingItem& elements = entry.FindVectorItemByName("Orient");
        for (int i = 0; i < 16; ++i)
            elements.FindVectorItemByName(std::to_string(i)).SetFloat(orient.GetMatrixDataArray()[i], ValueUse::Current);
    });
}

float GameSettingsActiveGame::GetRefImageScale(int image) const { return RefImageChild(image, "Scale").GetFloat(); }

void GameSettingsActiveGame::SetRefImageScale(int image, float scale)
{
    EditRefImage(image, [&](GameSettingItem& entry) { entry.FindVectorItemByName("Scale").SetFloat(scale, ValueUse::Current); });
}

void GameSettingsActiveGame::ResetRefImage(int image)
{
    std::vector<GameSettingItem>& images = Item(Key::ReferenceImages).GetChildren();
    if (IsImage(image) && static_cast<std::size_t>(image) < images.size())
        images[image].ResetToDefault();
}
