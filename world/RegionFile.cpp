#include "world/RegionFile.h"

#include "engine/PimAssert.h"
#include "engine/PimFile.h"
#include "world/RegionCodec.h"

#include <cstdint>
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
    bool hasData = false; // read, and not empty
    RegionCodec::ChunkBuffers chunks;
    RegionCodec::DecodeReport report;
};

void ReadCandidate(const PimWString& path, Candidate& candidate)
{
    std::vector<std::uint8_t> bytes;
    candidate.hasData = PimFile::ReadAllData(path, bytes) && !bytes.empty();
    if (candidate.hasData)
        candidate.report = RegionCodec::DecodeRegion(bytes, candidate.chunks);
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
    if (!region.IsDirty())
        return true;
    std::vector<std::uint8_t> bytes;
    const std::uint64_t stamp = region.EncodeFile(bytes);
    const PimWString path = JoinPath(folder, FileName(region.GetOrigin()));
    const PimWString backup = BackupPath(path);

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

bool ReadRegionFile(Region& region, const PimWString& path)
{
    return ReadRegionFileReporting(region, path).read;
}

ReadReport ReadRegionFileReporting(Region& region, const PimWString& path)
{
    Candidate main;
    ReadCandidate(path, main);
    Candidate backup;
    if (!main.hasData || !main.report.IsIntact())
        ReadCandidate(BackupPath(path), backup);

    Candidate* chosen = nullptr;
    if (main.hasData && main.report.IsIntact())
        chosen = &main;
    else if (backup.hasData && backup.report.IsIntact())
        chosen = &backup;
    else if (main.hasData && main.report.headerComplete)
        chosen = &main;
    else if (backup.hasData && backup.report.headerComplete)
        chosen = &backup;
    if (chosen == nullptr)
        return {};

    for (int i = 0; i < chosen->report.unsupportedModeSlots; ++i)
        PimAssert::Assert(false, kUnsupportedMode);
    const RegionCodec::DecodeReport& report = chosen->report;
    region.ReplaceContents(PimVector3(static_cast<float>(report.originX), static_cast<float>(report.originY),
                                      static_cast<float>(report.originZ)),
                           std::move(chosen->chunks));
    const bool passedOverMain = chosen != &main && main.hasData;
    return {true, report.IsIntact() && !passedOverMain};
}
}
