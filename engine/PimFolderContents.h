#pragma once

#include "engine/PimFileListing.h"

#include <string>
#include <vector>

// A folder's sub-folders and regular files from one pass over it (PimFile::GetFolderContents),
// with what could not be listed and why, for callers that show a user's folder and must say
// what they left out.
struct PimFolderContents
{
    // Sub-folders (links to folders included), in PimFile's listing order.
    std::vector<PimFileListing> directories;
    // Regular files (links to them included), in the same order.
    std::vector<PimFileListing> files;
    // Entries that are neither, because what they point at cannot be found: "name: reason" (a
    // link to nothing, a loop of links, a target the user may not look at).
    std::vector<std::string> skipped;
    // Why the folder itself could not be read (missing, not a folder, no permission); empty when
    // it was read. The lists hold what was read before a failure part-way.
    std::string error;
};
