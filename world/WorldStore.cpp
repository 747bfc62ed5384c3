#include "world/WorldStore.h"

#include "engine/PimAssert.h"
#include "engine/PimFile.h"
#include "engine/PimFileAside.h"
#include "settings/GameSettings.h"
#include "world/RegionCodec.h"
#include "world/RegionFile.h"
#include "world/WorldAddressing.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <limits>
#include <vector>

namespace
{
constexpr std::wstring_view kRegionFolder = L"World\\";
constexpr std::wstring_view kThumbnailName = L"SaveView.png";
constexpr std::wstring_view kMapExtension = L".map";
constexpr std::wstring_view kBackupExtension = L".mapbu";
constexpr const char* kUnreadableSuffix = ".unreadable";
constexpr const char* kDamagedSuffix = ".damaged";
constexpr const char* kDuplicateSuffix = ".duplicate";
// Longest name a folder may have on the file systems we run on, in bytes.
constexpr std::size_t kMaxNameBytes = 255;

bool IsControlCharacter(wchar_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// The world folder without its trailing separator, as the settings file functions take it.
PimWString WithoutTrailingSeparator(PimWString folder)
{
    while (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

// A region origin the world can use: a multiple of 256 on every axis, inside the world.
bool IsWorldRegionOrigin(const PimVector3& origin)
{
    return WorldAddressing::IsInsideWorld(origin) && WorldAddressing::RegionOrigin(origin) == origin;
}

// The main name of a region file name or of its backup's.
PimWString MainName(const PimWString& name)
{
    return name.ends_with(kBackupExtension) ? PimWString(name.substr(0, name.size() - 2)) : name;
}

// True, with the region's origin, when saving some region of the world writes a file of this
// name (as its region file or its backup): three whole numbers joined by "_", the origin of a
// region inside the world.
bool ParseRegionFileName(const PimWString& name, PimVector3& origin)
{
    const PimWString main = MainName(name);
    if (!main.ends_with(kMapExtension))
        return false;
    std::wstring_view rest = std::wstring_view(main).substr(0, main.size() - kMapExtension.size());
    float coordinates[3] = {};
    for (float& coordinate : coordinates)
    {
        const std::size_t end = std::min(rest.find(L'_'), rest.size());
        const std::wstring_view digits = rest.substr(0, end);
        if (digits.empty() || digits.size() > 5 ||
            !std::all_of(digits.begin(), digits.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
            return false;
        coordinate = static_cast<float>(std::stoi(std::wstring(digits)));
        rest = end < rest.size() ? rest.substr(end + 1) : std::wstring_view();
    }
    origin = PimVector3(coordinates[0], coordinates[1], coordinates[2]);
    return IsWorldRegionOrigin(origin) && RegionFile::FileName(origin) == main;
}

bool IsRegionFileName(const PimWString& name)
{
    PimVector3 origin;
    return ParseRegionFileName(name, origin);
}

// Copies path's bytes to the first free name of the form path + suffix (+ a number), unless a
// copy with the same bytes is already there (a damaged file opened again).
bool CopyToFreeName(const std::filesystem::path& path, const char* suffix)
{
    std::vector<std::uint8_t> bytes;
    if (PimFile::ReadRegularFile(PimFilePath::FromNative(path), bytes, RegionCodec::kMaxFileBytes) !=
        PimFile::ReadOutcome::Read)
        return false;
    for (int attempt = 1; attempt <= PimFileAside::kMaxNames; ++attempt)
    {
        const PimFilePath aside = PimFilePath::FromNative(PimFileAside::NameFor(path, suffix, attempt));
        if (!PimFileAside::IsTaken(aside.Native()))
            return PimFile::WriteDataAtomic(aside, bytes.data(), bytes.size());
        std::vector<std::uint8_t> kept;
        if (PimFile::ReadRegularFile(aside, kept, RegionCodec::kMaxFileBytes) == PimFile::ReadOutcome::Read &&
            kept == bytes)
            return true;
    }
    return false;
}
}

WorldStore::WorldStore(GameSettings& settingsIn) : settings(settingsIn) {}

WorldStore::~WorldStore() = default;

bool WorldStore::IsValidWorldName(const PimWString& name)
{
    if (name.empty() || name == L"." || name == L"..")
        return false;
    const bool clean = std::none_of(name.begin(), name.end(), [](wchar_t c) {
        return c == L'/' || c == L'\\' || IsControlCharacter(c);
    });
    return clean && name.Narrow().size() <= kMaxNameBytes;
}

PimWString WorldStore::WorldBaseFolder(const GameSettings& settings)
{
    const SettingsFolders& folders = settings.GetFolders();
    if (PimFile::MakeDirectory(folders.userFolder) && PimFile::MakeDirectory(folders.savedGames) &&
        PimFile::MakeDirectory(folders.models))
        return folders.models;
    PimAssert::Assert(false, "WorldStore::WorldBaseFolder() - Cannot make the models folder");
    return {};
}

bool WorldStore::Open(RegionReading reading)
{
    {
        std::lock_guard<std::mutex> hold(regionsMutex);
        regions.clear();
        pendingFiles.clear();
        fileNames.clear();
        unwritableFiles.clear();
    }
    worldFolder.clear();
    regionFolder.clear();
    hadSettingsFile = false;
    regionFilesFound = 0;
    regionFilesRead = 0;
    filesSetAside = 0;

    GameSettingsActiveGame& activeGame = settings.activeGame;
    worldName = activeGame.GetGameWorldName();
    nameValid = IsValidWorldName(worldName);
    if (!nameValid)
        PimAssert::Assert(false, "WorldStore::Open() - Refused world name");
    const PimWString base = nameValid ? WorldBaseFolder(settings) : PimWString();
    if (base.empty())
    {
        activeGame.ResetAll();
        activeGame.SetGameWorldName(worldName);
        return false;
    }
    worldFolder = base + worldName + L"\\";
    regionFolder = worldFolder + PimWString(kRegionFolder);

    if (PimFile::FileExists(worldFolder))
    {
        // Saves killed part-way leave their temporary files behind; nothing else ever will.
        PimFile::RemoveStaleTemporaries(worldFolder);
        ScanRegionFiles();
        if (reading == RegionReading::AtOpening)
            while (ReadNextPendingRegion())
            {
            }
    }
    regionFilesFound = regionFilesRead + GetPendingRegionCount();
    hadSettingsFile = activeGame.LoadWorldSettings(WithoutTrailingSeparator(worldFolder));
    // The folder names the world: a settings file copied from another world keeps this name.
    activeGame.SetGameWorldName(worldName);
    return true;
}

void WorldStore::ScanRegionFiles()
{
    PimFile::RemoveStaleTemporaries(regionFolder);
    // Each main name with the modification time of its file (of its backup when it has none).
    std::map<PimWString, std::int64_t> names;
    for (const PimFileListing& entry : PimFile::GetEntryList(regionFolder))
    {
        const bool isMap = entry.name.ends_with(kMapExtension);
        const bool isBackup = entry.name.ends_with(kBackupExtension);
        if (!isMap && !isBackup)
            continue;
        if (!entry.nameIsUtf8)
        {
            // The name as listed cannot open it: it is moved out of the way by the name the disk
            // gives.
            PimAssert::Assert(false, "WorldStore::Open() - Region file name that is not UTF-8; moved aside, not loaded");
            MoveAside(entry.native, entry.name);
            continue;
        }
        if (!entry.isRegularFile)
        {
            // A folder, FIFO or device is never read; where a save would write, it is moved out of
            // the way whatever it holds, so that the save can neither fail on it nor remove it.
            if (IsRegionFileName(entry.name))
            {
                PimAssert::Assert(false, "WorldStore::Open() - Something other than a file holds a region file's "
                                         "name; moved aside");
                MoveAside(entry.native, entry.name);
            }
            continue;
        }
        const auto [found, added] = names.emplace(MainName(entry.name), entry.time);
        if (!added && isMap)
            found->second = entry.time;
    }

    // Files are keyed by the origin their headers name, whatever their names: other writers of
    // the format spell names their own way. Only the header is read now; the rest waits for the
    // worker.
    std::map<std::uint64_t, std::vector<PendingFile>> byRegion;
    for (const auto& [name, time] : names)
    {
        const std::optional<PimVector3> origin = RegionFile::ReadHeaderOrigin(regionFolder + name);
        if (!origin || !IsWorldRegionOrigin(*origin))
        {
            PimAssert::Assert(false, origin ? "WorldStore::Open() - Region file holds no region of this world; moved "
                                              "aside, not loaded"
                                            : "WorldStore::Open() - Unreadable region file moved aside");
            if (!SetAside(name, kUnreadableSuffix, false))
                NeverWrite(name);
            continue;
        }
        byRegion[WorldAddressing::RegionKey(*origin)].push_back(PendingFile{name, *origin, time});
    }
    for (auto& [key, files] : byRegion)
    {
        // Two files of one region: the newer is the region's; the other is put aside unread.
        // Between files of the same time, the one under this program's own name wins.
        const PimWString ownName = RegionFile::FileName(files.front().origin);
        const auto newer = [&ownName](const PendingFile& a, const PendingFile& b) {
            if (a.time != b.time)
                return a.time > b.time;
            return (a.name == ownName) > (b.name == ownName);
        };
        std::stable_sort(files.begin(), files.end(), newer);
        for (std::size_t index = 1; index < files.size(); ++index)
        {
            PimAssert::Assert(false, "WorldStore::Open() - Two region files of one region: the newer is loaded, the "
                                     "other moved aside");
            if (!SetAside(files[index].name, kDuplicateSuffix, false))
                NeverWrite(files[index].name);
        }
        std::lock_guard<std::mutex> hold(regionsMutex);
        pendingFiles[key] = files.front();
        fileNames[key] = files.front().name;
    }
}

bool WorldStore::ReadNextPendingRegion()
{
    std::uint64_t key = 0;
    {
        std::lock_guard<std::mutex> hold(regionsMutex);
        if (pendingFiles.empty())
            return false;
        key = pendingFiles.begin()->first;
    }
    ReadPendingRegion(key);
    return true;
}

std::size_t WorldStore::GetPendingRegionCount() const
{
    std::lock_guard<std::mutex> hold(regionsMutex);
    return pendingFiles.size();
}

void WorldStore::ReadPendingRegion(std::uint64_t key)
{
    {
        // Most lookups find nothing left to read: they never wait for a file.
        std::lock_guard<std::mutex> hold(regionsMutex);
        if (!pendingFiles.contains(key))
            return;
    }
    std::lock_guard<std::mutex> reading(readingMutex);
    PendingFile file;
    {
        std::lock_guard<std::mutex> hold(regionsMutex);
        const auto found = pendingFiles.find(key);
        if (found == pendingFiles.end())
            return; // read by the other thread meanwhile
        file = found->second;
    }
    ReadPendingFile(file);
    std::lock_guard<std::mutex> hold(regionsMutex);
    pendingFiles.erase(key);
}

void WorldStore::ReadPendingFile(const PendingFile& file)
{
    const PimWString& name = file.name;
    auto region = std::make_unique<Region>();
    const PimWString path = regionFolder + name;
    const RegionFile::ReadReport report = RegionFile::ReadRegionFileReporting(*region, path);
    for (const auto& [file, rejected] : {std::pair{path, report.mainRejected},
                                         std::pair{RegionFile::BackupPath(path), report.backupRejected}})
    {
        if (!rejected)
            continue;
        PimAssert::Assert(false, "WorldStore::Open() - Region file that is no file or longer than any region "
                                 "file; moved aside, not read");
        MoveAside(PimFilePath(file).Native(), name);
    }
    const PimVector3 origin = region->GetOrigin();
    const bool nothingLeft = !PimFile::FileExists(path) && !PimFile::FileExists(RegionFile::BackupPath(path));
    if (!report.read && nothingLeft)
        return;
    const std::uint64_t key = WorldAddressing::RegionKey(file.origin);
    // The data read may come from a backup naming another region than the header looked at.
    const bool ownRegion = IsWorldRegionOrigin(origin) && WorldAddressing::RegionKey(origin) == key;
    if (!report.read || !ownRegion)
    {
        PimAssert::Assert(false, report.read ? "WorldStore::Open() - Region file holds another region than its "
                                               "header named; moved aside, not loaded"
                                             : "WorldStore::Open() - Unreadable region file moved aside");
        if (!SetAside(name, kUnreadableSuffix, false))
            NeverWrite(name);
        return;
    }
    if (!report.whole)
    {
        PimAssert::Assert(false, "WorldStore::Open() - Damaged region file: the chunks read are kept, "
                                 "a copy of the file is put aside");
        if (!SetAside(name, kDamagedSuffix, true))
            NeverWrite(name);
    }
    {
        // Entered and taken out of the files left for later at once: a lookup sees one or the other.
        std::lock_guard<std::mutex> hold(regionsMutex);
        regions[key] = std::move(region);
        pendingFiles.erase(key);
    }
    ++regionFilesRead;
}

void WorldStore::NeverWrite(const PimWString& name)
{
    std::lock_guard<std::mutex> hold(regionsMutex);
    unwritableFiles.insert(name);
}

void WorldStore::MoveAside(const std::filesystem::path& path, const PimWString& name)
{
    if (!PimFileAside::MoveToFreeName(PimFilePath::FromNative(path), kUnreadableSuffix).empty())
    {
        ++filesSetAside;
        return;
    }
    PimAssert::Assert(false, "WorldStore::Open() - A region file cannot be put aside; its region will not be "
                             "written");
    NeverWrite(MainName(name));
}

bool WorldStore::SetAside(const PimWString& name, const char* suffix, bool copy)
{
    bool allKept = true;
    const PimWString path = regionFolder + name;
    for (const PimWString& file : {path, RegionFile::BackupPath(path)})
    {
        if (!PimFile::FileExists(file))
            continue;
        const std::filesystem::path native = PimFilePath(file).Native();
        const bool kept = copy ? CopyToFreeName(native, suffix)
                               : !PimFileAside::MoveToFreeName(PimFilePath::FromNative(native), suffix).empty();
        filesSetAside += kept;
        allKept = allKept && kept;
    }
    PimAssert::Assert(allKept, "WorldStore::Open() - A region file cannot be put aside; its region will not be "
                               "written");
    return allKept;
}

Region* WorldStore::FindRegionLocked(const PimVector3& chunkLocation) const
{
    const auto found = regions.find(WorldAddressing::RegionKey(WorldAddressing::RegionOrigin(chunkLocation)));
    return found == regions.end() ? nullptr : found->second.get();
}

bool WorldStore::HoldsChunkAt(const PimVector3& chunkLocation) const
{
    const Region* region = nullptr;
    {
        std::lock_guard<std::mutex> hold(regionsMutex);
        region = FindRegionLocked(chunkLocation);
    }
    return region != nullptr && region->HoldsChunkAt(chunkLocation);
}

bool WorldStore::LoadChunk(PimVoxelGrid& chunk)
{
    ReadPendingRegion(WorldAddressing::RegionKey(WorldAddressing::RegionOrigin(chunk.GetLocation())));
    const Region* region = nullptr;
    {
        std::lock_guard<std::mutex> hold(regionsMutex);
        region = FindRegionLocked(chunk.GetLocation());
    }
    return region != nullptr && region->LoadChunk(chunk);
}

void WorldStore::StoreIfEdited(PimVoxelGrid* chunk)
{
    if (chunk == nullptr || !chunk->IsEditedSinceSave())
        return;
    const PimVector3 location = chunk->GetLocation();
    if (!WorldAddressing::IsInsideWorld(location))
    {
        PimAssert::Assert(false, "WorldStore::StoreIfEdited() - Chunk outside the world");
        return;
    }
    // A region whose file is left for later is read first, so that the file's chunks stay.
    const std::uint64_t key = WorldAddressing::RegionKey(WorldAddressing::RegionOrigin(location));
    ReadPendingRegion(key);
    Region* region = nullptr;
    {
        std::lock_guard<std::mutex> hold(regionsMutex);
        std::unique_ptr<Region>& slot = regions[key];
        if (!slot)
            slot = std::make_unique<Region>();
        region = slot.get();
        if (!fileNames.contains(key))
            fileNames[key] = FreeFileNameLocked(WorldAddressing::RegionOrigin(location));
    }
    if (region->StoreChunk(*chunk))
        chunk->SetEditedSinceSave(false);
}

PimWString WorldStore::FreeFileNameLocked(const PimVector3& origin) const
{
    const PimWString own = RegionFile::FileName(origin);
    const auto taken = [this](const PimWString& name) {
        const PimWString path = regionFolder + name;
        return PimFile::FileExists(path) || PimFile::FileExists(RegionFile::BackupPath(path)) ||
               std::any_of(fileNames.begin(), fileNames.end(), [&name](const auto& entry) { return entry.second == name; });
    };
    if (!taken(own))
        return own;
    // The region's own name holds another region's file (a file named by another writer): the
    // region gets a name of its own beside it.
    const PimWString stem(own.substr(0, own.size() - kMapExtension.size()));
    for (int number = 2;; ++number)
    {
        const PimWString candidate = stem + L"-" + PimWString::FromLongInt(number) + PimWString(kMapExtension);
        if (!taken(candidate))
            return candidate;
    }
}

std::vector<std::pair<Region*, PimWString>> WorldStore::RegionsInKeyOrder() const
{
    std::lock_guard<std::mutex> hold(regionsMutex);
    std::vector<std::pair<Region*, PimWString>> ordered;
    ordered.reserve(regions.size());
    for (const auto& [key, region] : regions)
    {
        const auto name = fileNames.find(key);
        ordered.emplace_back(region.get(),
                             name != fileNames.end() ? name->second : RegionFile::FileName(region->GetOrigin()));
    }
    return ordered;
}

bool WorldStore::RefuseWrite(const char* method) const
{
    if (!worldFolder.empty())
        return false;
    PimAssert::Assert(false, std::string("WorldStore::") + method + "() - No world folder: refused or unopened world");
    return true;
}

bool WorldStore::MakeWorldFolder(const PimWString& subfolder) const
{
    return PimFile::MakeDirectory(worldFolder + subfolder);
}

bool WorldStore::WriteRegions()
{
    if (RefuseWrite("WriteRegions"))
        return false;
    MakeWorldFolder(PimWString(kRegionFolder));

    bool allWritten = true;
    for (const auto& [region, fileName] : RegionsInKeyOrder())
    {
        if (!region->IsDirty())
            continue;
        bool unwritable = false;
        {
            std::lock_guard<std::mutex> hold(regionsMutex);
            unwritable = unwritableFiles.contains(fileName);
        }
        if (unwritable)
        {
            PimAssert::Assert(false, "WorldStore::WriteRegions() - Region file kept for recovery is not written over");
            allWritten = false;
            continue;
        }
        allWritten = RegionFile::WriteRegionFile(*region, regionFolder, fileName) && allWritten;
    }
    PimAssert::Assert(allWritten, "File corruption warning");
    return allWritten;
}

bool WorldStore::WriteThumbnail(const PimTexture& thumbnail)
{
    if (RefuseWrite("WriteThumbnail"))
        return false;
    MakeWorldFolder({});
    const bool saved = thumbnail.Save(PimWString(worldFolder + PimWString(kThumbnailName)).Narrow());
    PimAssert::Assert(saved, "WorldStore::WriteThumbnail() - Cannot write the thumbnail");
    return saved;
}

bool WorldStore::WriteSettings()
{
    if (RefuseWrite("WriteSettings"))
        return false;
    MakeWorldFolder({});
    const bool saved = settings.activeGame.SaveWorldSettings(WithoutTrailingSeparator(worldFolder));
    PimAssert::Assert(saved, "WorldStore::WriteSettings() - Cannot write the world's settings file");
    return saved;
}

bool WorldStore::WriteSettingsText(std::wstring_view text)
{
    if (RefuseWrite("WriteSettings"))
        return false;
    MakeWorldFolder({});
    const bool saved = GameSettingsActiveGame::WriteWorldSettingsText(WithoutTrailingSeparator(worldFolder), text);
    PimAssert::Assert(saved, "WorldStore::WriteSettings() - Cannot write the world's settings file");
    return saved;
}

PimVector3 WorldStore::RegionsCentre() const
{
    std::lock_guard<std::mutex> hold(regionsMutex);
    constexpr float kMax = std::numeric_limits<float>::max();
    PimVector3 low(kMax, kMax, kMax);
    PimVector3 high(-kMax, -kMax, -kMax);
    bool any = false;
    const auto include = [&](const PimVector3& origin) {
        any = true;
        low = PimVector3(std::min(low.x, origin.x), std::min(low.y, origin.y), std::min(low.z, origin.z));
        high = PimVector3(std::max(high.x, origin.x), std::max(high.y, origin.y), std::max(high.z, origin.z));
    };
    for (const auto& [key, region] : regions)
        if (region->IsOriginSet())
            include(region->GetOrigin());
    for (const auto& [key, pending] : pendingFiles)
        include(pending.origin);
    if (!any)
        return PimVector3(0, 0, 0);
    const float side = static_cast<float>(WorldAddressing::kRegionSide);
    return (low + high + PimVector3(side, side, side)) * 0.5f;
}

std::size_t WorldStore::GetRegionCount() const
{
    std::lock_guard<std::mutex> hold(regionsMutex);
    return regions.size() + pendingFiles.size();
}

std::size_t WorldStore::GetStoredBytes() const
{
    std::lock_guard<std::mutex> hold(regionsMutex);
    std::size_t bytes = 0;
    for (const auto& entry : regions)
        bytes += entry.second->GetStoredBytes();
    return bytes;
}
