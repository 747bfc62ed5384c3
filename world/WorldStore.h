#pragma once

#include "engine/PimTexture.h"
#include "engine/PimVector3.h"
#include "engine/PimVoxelGrid.h"
#include "engine/PimWString.h"
#include "world/Region.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

class GameSettings;

// What one open world keeps on disk: its folder under the models folder (named after the
// world), the regions of its "World" folder (one ".map" region file per region that ever held
// an edited chunk), the thumbnail "SaveView.png" and the world's own "settings.set" (the
// active-game settings group).
//
// The world (VoxelWorld2) owns one store. It opens the store at its construction, asks it for
// stored chunks while loading, stores edited chunks into it when they are saved or evicted, and
// writes it out when it saves.
//
// Threads and locks: the main thread opens, stores and writes; the world's worker and the main
// thread look chunks up (HoldsChunk, LoadChunk). regionsMutex guards the map of regions; a
// region, once in the map, stays until the store is destroyed, so lookups hand out stable
// pointers. Lock order: the world lock, the global build-channel lock, regionsMutex, a region's
// own lock, a chunk's voxel lock.
class WorldStore
{
public:
    // The settings whose active-game group is the world's settings and whose folders give the
    // models folder. They must outlive the store.
    explicit WorldStore(GameSettings& settings);
    ~WorldStore();
    WorldStore(const WorldStore&) = delete;
    WorldStore& operator=(const WorldStore&) = delete;

    // True when a world name may become a folder name: not empty, not "." or "..", and free of
    // "/", "\\" and control characters.
    static bool IsValidWorldName(const PimWString& name);

    // The folder that holds every world's folder (the models folder, with a trailing "\\"),
    // made on the first call for these settings' folders.
    static PimWString WorldBaseFolder(const GameSettings& settings);

    // Opens the world named by the active game's "GameWorldName": reads its region files and,
    // when the world's settings file exists, loads it into the active game (else the active
    // game is reset to its defaults). A region file that cannot be read is moved aside (".map"
    // + ".unreadable") with an assertion and the other regions are kept. A refused name is
    // reported and opens nothing: false.
    bool Open();

    const PimWString& GetWorldName() const { return worldName; }
    bool HasValidName() const { return nameValid; }
    // World base folder + name + "\\"; empty for a refused name.
    PimWString GetWorldFolder() const;
    // True when the world's settings file existed when the world was opened.
    bool HadSettingsFile() const { return hadSettingsFile; }

    // True when the chunk's region is stored and holds a copy of this chunk. Either thread.
    bool HoldsChunk(const PimVoxelGrid& chunk) const;
    // Copies the stored copy of the chunk into it; false, changing nothing, when there is none.
    // Either thread (the worker while loading).
    bool LoadChunk(PimVoxelGrid& chunk) const;

    // Stores a chunk whose edited flag is set into its region (making the region when it is the
    // first of it) and clears the flag. Nothing for null or an unedited chunk. Main thread.
    void StoreIfEdited(PimVoxelGrid* chunk);

    // Creates the world folder and its "World" folder and writes every dirty region, in key
    // order. A failed write is reported once as "File corruption warning" after all were tried;
    // false then. A refused name writes nothing: false. Main thread, with the global
    // build-channel lock held by the caller.
    bool WriteRegions();
    // Saves the thumbnail as world folder + "SaveView.png". Main thread.
    bool WriteThumbnail(const PimTexture& thumbnail);
    // Writes the active game's settings text to world folder + "settings.set". Main thread.
    bool WriteSettings();

    // The centre of the box from the smallest region origin to the largest origin + 256 on each
    // axis; (0, 0, 0) without regions. Where a corrupt player location is moved to.
    PimVector3 RegionsCentre() const;

    std::size_t GetRegionCount() const;
    // The number of region files the world's folder held when it was opened and read.
    std::size_t GetRegionFilesRead() const { return regionFilesRead; }

private:
    Region* FindRegionLocked(const PimVector3& chunkLocation) const;

    GameSettings& settings;
    PimWString worldName;
    bool nameValid = false;
    bool hadSettingsFile = false;
    std::size_t regionFilesRead = 0;

    mutable std::mutex regionsMutex;
    std::map<std::uint64_t, std::unique_ptr<Region>> regions;
};
