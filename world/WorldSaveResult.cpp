#include "world/WorldSaveResult.h"

std::string WorldSaveResult::Describe() const
{
    if (refused)
        return "The model has no usable name or folder: nothing was saved";
    std::string failed;
    const auto add = [&failed](const char* part) {
        failed += failed.empty() ? "" : ", ";
        failed += part;
    };
    if (!regionsWritten)
        add("the voxels");
    if (!thumbnailWritten)
        add("the thumbnail");
    if (!settingsWritten)
        add("the model's settings");
    if (failed.empty())
        return {};
    return "Could not save " + failed + " (disk full or folder not writable?)";
}
