#include "world/RegionFile.h"

#include "engine/PimAssert.h"
#include "engine/PimFile.h"
#include "world/RegionCodec.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace RegionFile
{
namespace
{
constexpr const char* kUnsupportedMode = "Compression mode not supported - file corrupted";

PimWString JoinPath(const PimWString& folder, const PimWString& name)
{
    if (folder.empty() || folder.back() == L'\\' || folder.back() == L'/')
        return folder + name;
    return folder + L"\\" + name;
}

// One candidate file, decoded.
struct Candidate
{
    bool hasData = false;  // read, and not empty
    bool rejected = false; // not a regular file, or too long to be a region file
    RegionCodec::ChunkBuffers* chunks = nullptr;
    RegionCodec::UniformSlots uniform;
    RegionCodec::DecodeReport report;
};

// Reads the file into `chunks`, which the caller keeps: the region copies what it takes.
void ReadCandidate(const PimWString& path, Candidate& candidate, RegionCodec::ChunkBuffers& chunks)
{
    // The file's bytes, in a buffer each thread keeps from one read to the next: a world reads
    // many region files of up to 33 MB one after another, and fresh memory costs a page fault
    // for every page it touches, which on some machines takes longer than decoding the file.
    thread_local std::vector<std::uint8_t> bytes;
    const PimFile::ReadOutcome outcome = PimFile::ReadRegularFile(path, bytes, RegionCodec::kMaxFileBytes);
    candidate.rejected =
        outcome == PimFile::ReadOutcome::NotRegular || outcome == PimFile::ReadOutcome::TooLarge;
    candidate.hasData = outcome == PimFile::ReadOutcome::Read && !bytes.empty();
    candidate.chunks = &chunks;
    if (candidate.hasData)
        candidate.report = RegionCodec::DecodeRegion(bytes, chunks, &candidate.uniform);
}

// Something other than a regular file (or a link to one) holds the name.
bool HoldsObstacle(const PimWString& path)
{
    return PimFile::FileExists(path) && !PimFile::IsRegularFile(path);
}
}

PimWString FileName(const PimVector3& origin)
{
    return PimWString::FromFloat(origin.x) + L"_" + PimWString::FromFloat(origin.y) + L"_" +
           PimWString::FromFloat(origin.z) + L".map";
}

PimWString BackupPath(const PimWString& path)
{
    return path + L"bu";
}

bool WriteRegionFile(Region& region, const PimWString& folder)
{
    return WriteRegionFile(region, folder, FileName(region.GetOrigin()));
}

bool WriteRegionFile(Region& region, const PimWString& folder, const PimWString& fileName)
{
    if (!region.IsDirty())
        return true;
    std::vector<std::uint8_t> bytes;
    const std::uint64_t stamp = region.EncodeFile(bytes);
    const PimWString path = JoinPath(folder, fileName);
    const PimWString backup = BackupPath(path);

    // A folder, device or FIFO is never moved over or removed: it may hold a user's files.
    if (HoldsObstacle(path) || HoldsObstacle(backup))
    {
        PimAssert::Assert(false, "RegionFile::WriteRegionFile() - Something other than a file holds the region "
                                 "file's name; the region is not written");
        return false;
    }
    if (PimFile::FileExists(path) && !PimFile::FileMove(path, backup))
        return false;
    if (PimFile::WriteDataAtomic(path, bytes.data(), bytes.size()))
    {
        region.MarkWritten(stamp);
        if (PimFile::FileExists(backup))
            PimFile::FileDelete(backup);
        return true;
    }
    if (PimFile::FileExists(path))
        PimFile::FileDelete(path);
    if (PimFile::FileExists(backup))
        PimFile::FileMove(backup, path);
    return false;
}

std::optional<PimVector3> ReadHeaderOrigin(const PimWString& path)
{
    for (const PimWString& file : {path, BackupPath(path)})
    {
        // Only a regular file is opened: a FIFO or a device could hold the reader forever.
        std::error_code error;
        if (!PimFile::IsRegularFile(file) || std::filesystem::file_size(PimFilePath(file).Native(), error) >
                                                 RegionCodec::kMaxFileBytes || error)
            continue;
        std::ifstream in(PimFilePath(file).Native(), std::ios::binary);
        std::array<char, RegionCodec::kHeaderSize> header{};
        if (!in.read(header.data(), static_cast<std::streamsize>(header.size())))
            continue;
        const auto coordinate = [&header](std::size_t offset) {
            std::uint32_t value = 0;
            for (std::size_t byte = 0; byte < 4; ++byte)
                value |= static_cast<std::uint32_t>(static_cast<unsigned char>(header[offset + byte])) << (8 * byte);
            return static_cast<float>(value);
        };
        // Read as the full reader reads them: unsigned, turned to floats.
        return PimVector3(coordinate(RegionCodec::kOriginOffset), coordinate(RegionCodec::kOriginOffset + 4),
                          coordinate(RegionCodec::kOriginOffset + 8));
    }
    return std::nullopt;
}

bool ReadRegionFile(Region& region, const PimWString& path)
{
    return ReadRegionFileReporting(region, path).read;
}

ReadReport ReadRegionFileReporting(Region& region, const PimWString& path)
{
    // The main file's chunks are decoded into buffers each thread keeps, for the same reason as
    // the file's bytes: the region keeps compact copies of them, and the next file reuses them.
    // (DecodeRegion frees the buffers of the slots a file does not fill, so a thread keeps no more
    // than its last file's.) A backup is read rarely, into buffers of its own.
    thread_local RegionCodec::ChunkBuffers mainChunks;
    Candidate main;
    ReadCandidate(path, main, mainChunks);
    RegionCodec::ChunkBuffers backupChunks;
    Candidate backup;
    if (!main.hasData || !main.report.IsIntact())
        ReadCandidate(BackupPath(path), backup, backupChunks);

    Candidate* chosen = nullptr;
    if (main.hasData && main.report.IsIntact())
        chosen = &main;
    else if (backup.hasData && backup.report.IsIntact())
        chosen = &backup;
    else if (main.hasData && main.report.headerComplete)
        chosen = &main;
    else if (backup.hasData && backup.report.headerComplete)
        chosen = &backup;
    ReadReport result;
    result.mainRejected = main.rejected;
    result.backupRejected = backup.rejected;
    if (chosen == nullptr)
        return result;

    for (int i = 0; i < chosen->report.unsupportedModeSlots; ++i)
        PimAssert::Assert(false, kUnsupportedMode);
    const RegionCodec::DecodeReport& report = chosen->report;
    region.ReplaceContents(PimVector3(static_cast<float>(report.originX), static_cast<float>(report.originY),
                                      static_cast<float>(report.originZ)),
                           *chosen->chunks, chosen->uniform);
    const bool passedOverMain = chosen != &main && main.hasData;
    result.read = true;
    result.whole = report.IsIntact() && !passedOverMain;
    return result;
}
}
