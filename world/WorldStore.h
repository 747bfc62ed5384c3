#pragma once

#include "engine/PimTexture.h"
#include "engine/PimVector3.h"
#include "engine/PimVoxelGrid.h"
#include "engine/PimWString.h"
#include "world/Region.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

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
// Files the world cannot use are never written over. At opening, the temporary files of saves
// that were killed part-way are removed; anything with a region file's name that is not a
// regular file (a folder, a FIFO, a link to a device), or whose name is not UTF-8, or that is
// longer than any region file, is moved aside (its name + ".unreadable") and never read; a
// region file that cannot be read, or that is not the file of the region its header names, is
// moved aside the same way and not loaded; a file read only in part or in doubt (cut short, a
// record of unknown mode, a header that disagrees with its records) keeps the chunks read and a
// copy of its bytes is put aside (its name + ".damaged"). When a file
// cannot be put aside, the region of that file name is never written while the store lives.
// Each case is reported through PimAssert.
//
// Threads and locks: the main thread opens, stores and writes; the world's worker and the main
// thread look chunks up (HoldsChunk, LoadChunk). regionsMutex guards the map of regions; a
// region, once in the map, stays until the store is destroyed or opened again, so lookups hand
// out stable pointers. Open runs before the worker uses the store. Lock order: the world lock,
// the global build-channel lock, regionsMutex, a region's own lock, a chunk's voxel lock.
class WorldStore
{
public:
    // The settings whose active-game group is the world's settings and whose folders give the
    // models folder. They must outlive the store.
    explicit WorldStore(GameSettings& settings);
    ~WorldStore();
    WorldStore(const WorldStore&) = delete;
    WorldStore& operator=(const WorldStore&) = delete;

    // True when a world name may become a folder name: not empty, not "." or "..", free of
    // "/", "\\" and control characters, and at most 255 bytes as UTF-8 (a folder name's limit).
    static bool IsValidWorldName(const PimWString& name);

    // The folder that holds every world's folder: the models folder, with a trailing "\\". The
    // user folder, the saved-games folder and the models folder are made when missing; when one
    // of them cannot be made the fault is reported and the result is empty. Main thread.
    static PimWString WorldBaseFolder(const GameSettings& settings);

    // Opens the world named by the active game's "GameWorldName": reads its region files and,
    // when the world's settings file exists, loads it into the active game (else the active
    // game is reset to its defaults). Either way the active game keeps the name it was opened
    // under. A refused name, or a models folder that cannot be made, is reported, opens nothing
    // and resets the active game as for a new world: false. A world without a folder yet (a new
    // world) opens empty: true. Main thread, before the worker uses the store.
    bool Open();

    const PimWString& GetWorldName() const { return worldName; }
    bool HasValidName() const { return nameValid; }
    // World base folder + name + "\\"; empty until a successful Open.
    const PimWString& GetWorldFolder() const { return worldFolder; }
    // True when the world's settings file was read when the world was opened.
    bool HadSettingsFile() const { return hadSettingsFile; }

    // True when the chunk's region is stored and holds a copy of this chunk. Either thread.
    bool HoldsChunk(const PimVoxelGrid& chunk) const;
    // Copies the stored copy of the chunk into it; false, changing nothing, when there is none.
    // Either thread (the worker while loading).
    bool LoadChunk(PimVoxelGrid& chunk) const;

    // Stores a chunk whose edited flag is set into its region (making the region when it is the
    // first of it) and clears the flag. Nothing for null or an unedited chunk; a chunk outside
    // the world is reported and keeps its flag. Main thread.
    void StoreIfEdited(PimVoxelGrid* chunk);

    // Creates the world folder and its "World" folder and writes every dirty region, in key
    // order. A failed write is reported once as "File corruption warning" after all were tried;
    // false then. Without a successful Open nothing is written: reported, false. Main thread,
    // with the global build-channel lock held by the caller.
    bool WriteRegions();
    // Saves the thumbnail as world folder + "SaveView.png", replacing the old one whole. A
    // failure (or an empty picture) is reported: false. Main thread.
    bool WriteThumbnail(const PimTexture& thumbnail);
    // Writes the active game's settings text to world folder + "settings.set", replacing the
    // old file whole. A failure is reported: false. Main thread.
    bool WriteSettings();

    // The centre of the box from the smallest region origin to the largest origin + 256 on each
    // axis; (0, 0, 0) without regions. Where a corrupt player location is moved to.
    PimVector3 RegionsCentre() const;

    std::size_t GetRegionCount() const;
    // Bytes of chunk codes the regions hold (Region::GetStoredBytes summed). Either thread.
    std::size_t GetStoredBytes() const;
    // The number of region files the world's folder held when it was opened and read.
    std::size_t GetRegionFilesRead() const { return regionFilesRead; }
    // The number of files put aside when the world was opened (a damaged file whose copy was
    // already kept by an earlier opening counts too).
    std::size_t GetFilesSetAside() const { return filesSetAside; }

private:
    Region* FindRegionLocked(const PimVector3& chunkLocation) const;
    // Reads the "World" folder: every "*.map" file, and every "*.mapbu" backup whose main file is
    // missing (read through the main path, which falls back to the backup).
    void ScanRegionFiles();
    void ReadRegionFileNamed(const PimWString& regionFolder, const PimWString& name);
    // Moves (or copies) a region file and its backup to free names ending in suffix; false when
    // one of them could not be put aside.
    bool SetAside(const PimWString& regionFolder, const PimWString& name, const char* suffix, bool copy);
    // Moves one entry of the region folder (anything: a folder, a link, a file with a name that
    // is not UTF-8) to a free ".unreadable" name; when it cannot be moved, the region of that
    // name is never written.
    void MoveAside(const std::filesystem::path& path, const PimWString& name);
    // True, after a report, when a write by `method` may not go ahead.
    bool RefuseWrite(const char* method) const;
    bool MakeWorldFolder(const PimWString& subfolder) const;
    std::vector<Region*> RegionsInKeyOrder() const;

    // Main thread only, like everything up to regionsMutex.
    GameSettings& settings;
    PimWString worldName;
    PimWString worldFolder;
    bool nameValid = false;
    bool hadSettingsFile = false;
    std::size_t regionFilesRead = 0;
    std::size_t filesSetAside = 0;
    // Region file names ("0_0_0.map") holding data that could not be put aside: never written.
    std::set<PimWString> unwritableFiles;

    // Guards the map itself (not the regions in it): taken by the main thread to open, store
    // and list, and by the worker to look chunks up; held only for the lookup or insertion.
    mutable std::mutex regionsMutex;
    std::map<std::uint64_t, std::unique_ptr<Region>> regions;
};
