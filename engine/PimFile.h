#pragma once

#include "engine/PimFileListing.h"
#include "engine/PimFolderContents.h"
#include "engine/PimFilePath.h"
#include "engine/PimString.h"
#include "engine/PimWString.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Whole-file reading and writing, folders and listings. Paths are PimFilePath (wide or UTF-8,
// "\\" or "/"). Every operation reports success as a bool and never throws; a failed read
// leaves its output empty.
//
// Text files are UTF-8 without a byte order mark. Reading text drops a UTF-8 byte order
// mark and turns UTF-16 text that starts with its byte order mark into UTF-8, so files saved
// by other editors read too. Wide text read from bytes that are not UTF-8 holds U+FFFD for
// each malformed sequence.
//
// Stateless; any thread may call. Two threads writing the same file at once get one of
// the two contents with the atomic writers, and an undefined mix with the others.
class PimFile
{
public:
    // True when a file or folder exists at path.
    static bool FileExists(const PimFilePath& path);

    // Makes the folder and any missing parent folders; true when the folder exists afterwards
    // (made now or before), false when it cannot be made or a file holds the name.
    static bool MakeDirectory(const PimFilePath& path);

    static bool ReadAllData(const PimFilePath& path, std::vector<std::uint8_t>& data);

    // What ReadRegularFile found at a path.
    enum class ReadOutcome
    {
        Read,       // a regular file of at most maxBytes, read whole
        Missing,    // nothing at the path (or a link to nothing)
        NotRegular, // a folder, device, FIFO, socket or a link to one: never opened for reading
        TooLarge,   // a regular file longer than maxBytes: not read
        Failed,     // the file could not be opened or read
    };
    // Reads a file that may come from anywhere (a user's folder, a damaged disk): only a regular
    // file (a link to one included) of at most maxBytes is read, so a device, a FIFO or a huge
    // file can neither hang the caller nor exhaust its memory. data is empty unless Read.
    static ReadOutcome ReadRegularFile(const PimFilePath& path, std::vector<std::uint8_t>& data,
                                       std::size_t maxBytes);
    // File bytes as text, as ReadAllText reads them (byte order marks and UTF-16 handled).
    static PimString DecodeText(const std::vector<std::uint8_t>& bytes);
    // True when path names a regular file or a link to one.
    static bool IsRegularFile(const PimFilePath& path);
    static bool ReadAllText(const PimFilePath& path, PimString& text);
    static bool ReadAllTextW(const PimFilePath& path, PimWString& text);

    // Appends to the file, or replaces it (creating it when missing). A replacement is
    // written in place: a failure part-way leaves a partial file.
    static bool WriteData(const PimFilePath& path, const void* data, std::size_t size, bool append);
    // The text as UTF-8, appended or replacing the file as WriteData does.
    static bool WriteString(const PimFilePath& path, std::wstring_view text, bool append);

    // Replace the file as one step: the bytes go to a new file in the same folder, which is
    // flushed to the disk and then renamed over the old one. Readers and a crash see either
    // the old content or the new, never part of it; on failure the old file is untouched.
    static bool WriteDataAtomic(const PimFilePath& path, const void* data, std::size_t size);
    static bool WriteStringAtomic(const PimFilePath& path, std::wstring_view text);

    // Removes the temporary files that WriteDataAtomic leaves in folder when the process is
    // killed part-way (the target's name + ".tmp" + its own stamp); other files are never
    // touched. Returns the number removed.
    static int RemoveStaleTemporaries(const PimFilePath& folder);

    // Removes a file, or a folder with everything in it (a link is removed, not followed).
    // False when nothing is there, or for an empty path, a root, "." or "..".
    static bool FileDelete(const PimFilePath& path);

    // Moves or renames a file or folder; an existing file at the destination is replaced.
    static bool FileMove(const PimFilePath& from, const PimFilePath& to);

    // The files (regular files, links to them included) or the sub-folders of a folder, by
    // name without case, then exactly. A missing or unreadable folder gives an empty list.
    // Names that are not UTF-8 on disk are listed with U+FFFD in them and cannot be opened
    // through the listed name; the listing's native path reaches them.
    static std::vector<PimFileListing> GetFileList(const PimFilePath& folder);
    static std::vector<PimFileListing> GetDirectoryList(const PimFilePath& folder);
    // Every entry of a folder, of any kind (folders, links, devices, FIFOs too), in the same
    // order, with isRegularFile and nameIsUtf8 telling them apart.
    static std::vector<PimFileListing> GetEntryList(const PimFilePath& folder);
    // The sub-folders and files of a folder in one pass, as the two lists above give them, and
    // what was left out: entries whose target cannot be found (a link to nothing or a loop of
    // links) are named in skipped with the reason, and a folder that cannot be read (missing,
    // no permission) gives its reason in error. Devices, FIFOs and sockets are left out silently.
    static PimFolderContents GetFolderContents(const PimFilePath& folder);

    // Last modification of a file or folder, in PimFileListing's time unit.
    static bool GetModificationTime(const PimFilePath& path, std::int64_t& time);
};
