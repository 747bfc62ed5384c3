#include "pages/SavedModelList.h"

#include "world/WorldStore.h"

#include "settings/GameSettingsActiveGame.h"

#include "engine/PimFile.h"

#include <algorithm>

std::vector<SavedModel> SavedModelList::List(const PimWString& modelsFolder)
{
    std::vector<SavedModel> models;
    for (const PimFileListing& entry : PimFile::GetDirectoryList(modelsFolder))
    {
        if (!entry.nameIsUtf8 || !WorldStore::IsValidWorldName(entry.name))
            continue;
        const PimWString thumbnail = ThumbnailPath(modelsFolder, entry.name);
        SavedModel model{entry.name, 0};
        if (!PimFile::IsRegularFile(thumbnail) || !PimFile::GetModificationTime(thumbnail, model.time))
        {
            const PimWString settingsFile = GameSettingsActiveGame::WorldSettingsPath(modelsFolder + entry.name);
            if (!PimFile::IsRegularFile(settingsFile) || !PimFile::GetModificationTime(settingsFile, model.time))
                continue;
            model.hasThumbnail = false;
        }
        models.push_back(std::move(model));
    }
    std::stable_sort(models.begin(), models.end(),
                     [](const SavedModel& a, const SavedModel& b) { return a.time > b.time; });
    return models;
}

PimWString SavedModelList::ThumbnailPath(const PimWString& modelsFolder, const PimWString& name)
{
    return PimWString(modelsFolder + name + L"\\SaveView.png");
}

bool SavedModelList::MoveToRecycleBin(const PimWString& modelsFolder, const PimWString& recycleBin,
                                      const PimWString& name)
{
    if (!WorldStore::IsValidWorldName(name) || !PimFile::FileExists(PimWString(modelsFolder + name)) ||
        !PimFile::MakeDirectory(recycleBin))
        return false;
    const PimWString source = modelsFolder + name;
    const PimWString binned = recycleBin + name;
    // An earlier copy steps aside until the new one is in, so a failed move loses nothing.
    const PimWString earlier = recycleBin + name + L".replaced";
    const bool hadEarlier = PimFile::FileExists(binned);
    if (hadEarlier && (PimFile::FileExists(earlier) && !PimFile::FileDelete(earlier)))
        return false;
    if (hadEarlier && !PimFile::FileMove(binned, earlier))
        return false;
    if (!PimFile::FileMove(source, binned))
    {
        if (hadEarlier)
            PimFile::FileMove(earlier, binned);
        return false;
    }
    if (hadEarlier)
        PimFile::FileDelete(earlier);
    return true;
}
