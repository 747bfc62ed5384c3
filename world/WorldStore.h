#pragma once

#include "engine/PimTexture.h"
#include "engine/PimVector3.h"
#include "engine/PimVoxelGrid.h"
#include "engine/PimWString.h"
#include "world/Region.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <utility>
#include <string_view>
#include <vector>

class GameSettings;

// What one open world keeps on disk: its folder under the models folder (named after the
// world), the regions of its "World" folder (one ".map" region file per region that ever held
// an edited chunk), the thumbnail "SaveView.png" and the world's own "settings.set" (the
// active-game settings group).
//
// The world (VoxelWorld2) owns one store. It opens the store at its construction, asks it for
// stored chunks while loading, stores edited chunks into it when they are saved or evicted, and
// writes it out when it saves. The world opens it without reading its region files: the worker
// reads each when it first loads a chunk of that region, or when it has nothing else to do, so
// opening a world costs the main thread only a listing of its folder.
//
// A region file may have any name ending in ".map": its region is the one its header names, so
// files written by other writers of the format load, and each region is written back to the file
// it came from. Of two files of one region the newer is loaded and the other moved aside (its
// name + ".duplicate").
//
// Files the world cannot use are never written over. At opening, the temporary files of saves
// that were killed part-way are removed; anything with this program's name of a region file
// that is not a regular file (a folder, a FIFO, a link to a device), or a region file whose name
// is not UTF-8, or that is longer than any region file, is moved aside (its name + ".unreadable")
// and never read; a region file that cannot be read, or whose header names no region of this
// world, is moved aside the same way and not loaded; a file read only in part or in doubt (cut short, a
// record of unknown mode, a header that disagrees with its records) keeps the chunks read and a
// copy of its bytes is put aside (its name + ".damaged"). When a file
// cannot be put aside, the region of that file name is never written while the store lives.
// Each case is reported through PimAssert.
//
// Threads and locks: the main thread opens and stores; the main thread or the world's save
// writer thread writes (one of them at a time); the world's worker and the main thread look
// chunks up (HoldsChunk, LoadChunk) and read region files left for later.
// regionsMutex guards the map of regions, the files left for later and the names never to be
// written; a region, once in the map, stays until the store is destroyed or opened again, so
// lookups hand out stable pointers. readingMutex is held while a file left for later is read, so
// that each is read once, by whichever thread comes first. Open runs before the worker uses the
// store. Lock order: the world lock, the global build-channel lock, readingMutex, regionsMutex, a
// region's own lock, a chunk's voxel lock.
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

    // When Open reads the region files: all of them before it returns, or only their headers,
    // leaving the rest for later (see LoadChunk and ReadNextPendingRegion).
    enum class RegionReading
    {
        AtOpening,
        Later,
    };

    // Opens the world named by the active game's "GameWorldName": lists its region files, reads
    // them as `reading` says and, when the world's settings file exists, loads it into the active
    // game (else the active game is reset to its defaults). Either way the active game keeps the
    // name it was opened under. A refused name, or a models folder that cannot be made, is
    // reported, opens nothing and resets the active game as for a new world: false. A world
    // without a folder yet (a new world) opens empty: true. Main thread, before the worker uses
    // the store.
    bool Open(RegionReading reading = RegionReading::AtOpening);

    // Reads one region file left for later, if any is left: true when it read one (or set it
    // aside). Either thread; the world's worker calls it when it has nothing else to do.
    bool ReadNextPendingRegion();
    // Region files left for later and not read yet.
    std::size_t GetPendingRegionCount() const;

    const PimWString& GetWorldName() const { return worldName; }
    bool HasValidName() const { return nameValid; }
    // World base folder + name + "\\"; empty until a successful Open.
    const PimWString& GetWorldFolder() const { return worldFolder; }
    // True when the world's settings file was read when the world was opened.
    bool HadSettingsFile() const { return hadSettingsFile; }

    // True when the chunk's region is read and holds a copy of this chunk; a region whose file
    // is left for later holds nothing until it is read. Never waits for a file. Either thread.
    bool HoldsChunk(const PimVoxelGrid& chunk) const { return HoldsChunkAt(chunk.GetLocation()); }
    // The same for the chunk at this location.
    bool HoldsChunkAt(const PimVector3& chunkLocation) const;
    // Copies the stored copy of the chunk into it; false, changing nothing, when there is none.
    // The chunk's region file, when left for later, is read first: no chunk of a stored region
    // is loaded before that region's data is in. Either thread (the worker while loading).
    bool LoadChunk(PimVoxelGrid& chunk);

    // Stores a chunk whose edited flag is set into its region (making the region when it is the
    // first of it, after reading its file when that was left for later) and clears the flag.
    // Nothing for null or an unedited chunk; a chunk outside the world is reported and keeps its
    // flag. Main thread.
    void StoreIfEdited(PimVoxelGrid* chunk);

    // Creates the world folder and its "World" folder and writes every dirty region, in key
    // order. A failed write is reported once as "File corruption warning" after all were tried;
    // false then, the regions not written staying dirty. Without a successful Open nothing is
    // written: reported, false. The writing thread (the main thread, or the world's save writer)
    // is the only one writing; chunks may be stored and loaded meanwhile: a region is encoded
    // under its own lock, and a chunk stored after that keeps its region dirty.
    bool WriteRegions();
    // Saves the thumbnail as world folder + "SaveView.png", replacing the old one whole. A
    // failure (or an empty picture) is reported: false. The writing thread.
    bool WriteThumbnail(const PimTexture& thumbnail);
    // Writes the active game's settings text to world folder + "settings.set", replacing the
    // old file whole. A failure is reported: false. Main thread.
    bool WriteSettings();
    // Writes settings text made by the main thread (GameSettingsActiveGame::WriteXml) the same
    // way. The writing thread.
    bool WriteSettingsText(std::wstring_view text);

    // The centre of the box from the smallest region origin to the largest origin + 256 on each
    // axis (regions whose files are left for later by the origin their headers give); (0, 0, 0)
    // without regions. Where a corrupt player location is moved to.
    PimVector3 RegionsCentre() const;

    // Regions read or made, and region files left for later. Either thread.
    std::size_t GetRegionCount() const;
    // Bytes of chunk codes the regions read hold (Region::GetStoredBytes summed). Either thread.
    std::size_t GetStoredBytes() const;
    // The region files the world's folder held when it was opened that have been read so far.
    std::size_t GetRegionFilesRead() const { return regionFilesRead.load(); }
    // The region files the world's folder held when it was opened: read then, or left for later.
    std::size_t GetRegionFilesFound() const { return regionFilesFound; }
    // The number of files put aside since the world was opened (a damaged file whose copy was
    // already kept by an earlier opening counts too).
    std::size_t GetFilesSetAside() const { return filesSetAside.load(); }

private:
    // A region file left for later: its name, the origin its header names and its last
    // modification (PimFileListing's unit).
    struct PendingFile
    {
        PimWString name;
        PimVector3 origin;
        std::int64_t time = 0;
    };

    Region* FindRegionLocked(const PimVector3& chunkLocation) const;
    // Lists the "World" folder: every "*.map" file, and every "*.mapbu" backup whose main file is
    // missing (read through the main path, which falls back to the backup), and reads the origin
    // each file's header names. The files are left for later under that origin; of two files of
    // one region the older is set aside, and files without a header of a region of this world
    // are set aside.
    void ScanRegionFiles();
    // Reads the file left for later of the region with this key, unless it was read already.
    void ReadPendingRegion(std::uint64_t key);
    // Reads a region file left for later and enters its region, taking the key out of the files
    // left for later; a file that turns out to hold no region, or another than its header named
    // at opening, is set aside.
    void ReadPendingFile(const PendingFile& file);
    // The file name for a new region: the region's own name (RegionFile::FileName) unless a file
    // or another region's file holds it, else the first free name of the form "<own>-2.map".
    // regionsMutex held.
    PimWString FreeFileNameLocked(const PimVector3& origin) const;
    // Moves (or copies) a region file and its backup to free names ending in suffix; false when
    // one of them could not be put aside.
    bool SetAside(const PimWString& name, const char* suffix, bool copy);
    // Moves one entry of the region folder (anything: a folder, a link, a file with a name that
    // is not UTF-8) to a free ".unreadable" name; when it cannot be moved, the region of that
    // name is never written.
    void MoveAside(const std::filesystem::path& path, const PimWString& name);
    // Keeps the region file of this name from being written while the store lives.
    void NeverWrite(const PimWString& name);
    // True, after a report, when a write by `method` may not go ahead.
    bool RefuseWrite(const char* method) const;
    bool MakeWorldFolder(const PimWString& subfolder) const;
    // Every region with the name of the file it is written to.
    std::vector<std::pair<Region*, PimWString>> RegionsInKeyOrder() const;

    // Written by Open on the main thread only, before the worker uses the store; read by both.
    GameSettings& settings;
    PimWString worldName;
    PimWString worldFolder;
    PimWString regionFolder;
    bool nameValid = false;
    bool hadSettingsFile = false;
    std::size_t regionFilesFound = 0;
    // Counted by whichever thread reads a file or puts one aside.
    std::atomic<std::size_t> regionFilesRead{0};
    std::atomic<std::size_t> filesSetAside{0};

    // See the class comment.
    std::mutex readingMutex;

    // Guards the map itself (not the regions in it), the files left for later and the names never
    // to be written: taken by the main thread to open, store and list, and by the worker to look
    // chunks up and to enter the regions it read; held only for the lookup or insertion.
    mutable std::mutex regionsMutex;
    std::map<std::uint64_t, std::unique_ptr<Region>> regions;
    std::map<std::uint64_t, PendingFile> pendingFiles;
    // The file each region is read from and written to: the file it came from (whatever its
    // name), so that saving never leaves two files of one region, or the name chosen for it when
    // it was made.
    std::map<std::uint64_t, PimWString> fileNames;
    // Region file names ("0_0_0.map") holding data that could not be put aside: never written.
    std::set<PimWString> unwritableFiles;
};
