#pragma once

#include <string>

// What a world's save achieved (VoxelWorld2::SaveResult). A failed save leaves the failed files'
// previous versions on disk and the regions that were not written dirty, so the next save tries
// them again.
struct WorldSaveResult
{
    bool regionsWritten = true;
    bool thumbnailWritten = true;
    bool settingsWritten = true;
    // Nothing at all could be saved (a world without a usable name or folder).
    bool refused = false;
    bool Succeeded() const { return !refused && regionsWritten && thumbnailWritten && settingsWritten; }
    // What failed, in words for the user ("" after a success).
    std::string Describe() const;
};
