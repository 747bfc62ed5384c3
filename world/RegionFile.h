#pragma once

#include "engine/PimVector3.h"
#include "engine/PimWString.h"
#include "world/Region.h"

#include <optional>

// Region files on disk: one file per region in a world's "World" folder, named after the region's
// origin ("256_0_512.map"), with a backup beside it ("256_0_512.mapbu") while a new version is
// being written. RegionCodec describes the bytes.
//
// Crash safety: writing moves the current file to the backup, writes the new file whole under a
// temporary name and renames it into place, then deletes the backup. At every moment either the
// main file or the backup is a complete file, and reading falls back to the backup when the main
// file is missing, empty or damaged.
//
// Main thread (saving and opening worlds), or any thread with its own region.
namespace RegionFile
{
// The file name of the region with this origin: the three coordinates as PimWString::FromFloat
// text joined by "_", then ".map".
PimWString FileName(const PimVector3& origin);

// The backup path of a region file: the path with "bu" appended.
PimWString BackupPath(const PimWString& path);

// Writes the region into folder (with or without a trailing separator) when it is dirty; true
// when it is written or was clean. On failure the previous file is left in place (restored
// from the backup) and the region stays dirty. Only regular files (or links) are moved or
// removed: a folder or special file at the region's name or its backup's makes the write fail
// with a report, and is left as it is. Codes 154 are cleared in the region's stored
// copies and written as 0.
bool WriteRegionFile(Region& region, const PimWString& folder);
// The same under a file name of the caller's choice (a region read from a file of another
// writer's naming is written back to that file).
bool WriteRegionFile(Region& region, const PimWString& folder, const PimWString& fileName);

// The origin a region file's header names, reading no more than the header: from the file at
// path, or from its backup when the file has no whole header (missing, empty, cut short).
// Nothing when neither has one, or neither is a regular file of at most RegionCodec::kMaxFileBytes.
// The records are not looked at.
std::optional<PimVector3> ReadHeaderOrigin(const PimWString& path);

// Fills the region from the file at path, or from its backup when the file is missing or empty,
// or when it is damaged (cut short, a record of unknown mode, an unknown version, a header
// shorter than 560 bytes, a header that disagrees with the records) and the backup reads whole.
// Only regular files of at most RegionCodec::kMaxFileBytes are read. Takes the origin from the header; the
// region is clean afterwards. From damaged data without a better backup, the chunks before the
// damage are kept. A record of unknown mode is reported ("Compression mode not supported - file
// corrupted") for its slot and every later present slot. True when a file with a whole header
// was read; false, leaving the region as it was, otherwise.
bool ReadRegionFile(Region& region, const PimWString& path);

// What reading a region file found, for callers that must protect damaged files from being
// written over.
struct ReadReport
{
    // A file with a whole header was read into the region (what ReadRegionFile returns).
    bool read = false;
    // The file at the path, or its backup, is no region file at all: not a regular file (a
    // folder, a device, a FIFO, a link to one of them) or longer than any region file can be.
    // It was never read; the caller sets it aside.
    bool mainRejected = false;
    bool backupRejected = false;
    // Nothing on disk was passed over: the file taken was read whole, and it was the main file
    // unless that one was missing or empty. False when any chunk of the data was lost to damage
    // or a damaged main file gave way to its backup.
    bool whole = false;
};

// ReadRegionFile with its report.
ReadReport ReadRegionFileReporting(Region& region, const PimWString& path);
}
