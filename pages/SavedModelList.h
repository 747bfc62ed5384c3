#pragma once

#include "engine/PimWString.h"

#include <cstdint>
#include <vector>

// The user's saved models as the hall lists them: the folders of the models folder that hold a
// thumbnail ("SaveView.png", a regular file), newest thumbnail first; models whose thumbnails
// have the same time keep the order of the folder listing. A model saved without a thumbnail (a
// window too small to take one, or a thumbnail that could not be written) is still a model: a
// folder holding the model's settings file ("settings.set") is listed by that file's time, so the
// user can open it again (its pedestal shows the name only). A folder whose name the world code
// refuses (WorldStore::IsValidWorldName) or that is not UTF-8 on disk is left out, since no path
// built from its name could reach it. Any thread.
struct SavedModel
{
    PimWString name;
    // The thumbnail's last modification (PimFileListing's unit), or the settings file's for a
    // model without a thumbnail.
    std::int64_t time = 0;
    bool hasThumbnail = true;
};

namespace SavedModelList
{
// modelsFolder ends with a separator.
std::vector<SavedModel> List(const PimWString& modelsFolder);
PimWString ThumbnailPath(const PimWString& modelsFolder, const PimWString& name);

// Moves the model's folder into the recycle bin (made when missing), replacing an earlier copy of
// the same name there. True when the model has left the models folder; on failure the model and
// any earlier copy in the bin are where they were.
bool MoveToRecycleBin(const PimWString& modelsFolder, const PimWString& recycleBin, const PimWString& name);
}
