#include "engine/PimVoxelGrid.h"

#include "engine/PimAssert.h"
#include "engine/VoxelCodeTable.h"
#include "engine/VoxelCollisionLevels.h"
#include "engine/VoxelMesher.h"

#include <algorithm>
#include <cmath>

namespace
{
// The global build-channel lock. Never destroyed, so chunks destroyed at process exit can
// still take it.
PimRecursiveMutex& GlobalBuildLock()
{
    static PimRecursiveMutex* lock = new PimRecursiveMutex();
    return *lock;
}

class GlobalBuildHold
{
public:
    GlobalBuildHold() { GlobalBuildLock().Lock(); }
    ~GlobalBuildHold() { GlobalBuildLock().Unlock(); }
    GlobalBuildHold(const GlobalBuildHold&) = delete;
    GlobalBuildHold& operator=(const GlobalBuildHold&) = delete;
};

// Plain [0] and special [1] colour tables; main thread.
PimColor colourTables[2][256];
std::uint32_t colourTableVersions[2] = {0, 0};

bool IsInside(int x, int y, int z)
{
    return static_cast<unsigned>(x) < PimVoxelGrid::kSide && static_cast<unsigned>(y) < PimVoxelGrid::kSide &&
           static_cast<unsigned>(z) < PimVoxelGrid::kSide;
}

// The voxel that contains a local position; false outside the chunk (and for NaN).
bool ToVoxel(const PimVector3& p, int& x, int& y, int& z)
{
    const float side = static_cast<float>(PimVoxelGrid::kSide);
    if (!(p.x >= 0.0f && p.x < side && p.y >= 0.0f && p.y < side && p.z >= 0.0f && p.z < side))
        return false;
    x = static_cast<int>(std::floor(p.x));
    y = static_cast<int>(std::floor(p.y));
    z = static_cast<int>(std::floor(p.z));
    return IsInside(x, y, z);
}

// What a voxel does to its neighbours' faces: 0 nothing, 1 see-through, 2 hides them.
int Visibility(std::uint16_t code)
{
    if (code == 0)
        return 0;
    return VoxelCodeTable::GetInstance().IsTranslucent(code) ? 1 : 2;
}
} // namespace

PimColor PimVoxelGrid::fogColor = PimColor(38, 38, 63);

PimVoxelGrid::PimVoxelGrid() = default;

PimVoxelGrid::~PimVoxelGrid()
{
    // Neighbours must not keep a pointer to a destroyed chunk. Holding the global lock also
    // waits for a neighbour's build that may be reading this chunk's layer.
    GlobalBuildHold global;
    UnlinkAll();
    ReleaseGL();
}

void PimVoxelGrid::Initialize()
{
    PimRecursiveLockGuard hold(voxelLock);
    forceHandOver = true;
}

void PimVoxelGrid::DeInitialize()
{
    GlobalBuildHold global;
    UnlinkAll();
    ReleaseEverything();
    ReleaseGL();
}

void PimVoxelGrid::InitializeGrid()
{
    DeInitialize();
}

void PimVoxelGrid::ReleaseEverything()
{
    PimRecursiveLockGuard hold(voxelLock);
    storage.MakeUniform(0);
    collision.reset();
    builtMesh = VoxelMesh();
    ++generation;
    ++voxelVersion;
    everBuilt = false;
    forceHandOver = false;
    drawnMeshMayExist = false;
    bulkWriteOpen = false;
    readCopyOpen = false;
    compactionFound = false;
    status.store(kStatusNeedsData);
    buildChannel.store(kNoBuildChannel);
    editedSinceSave.store(false);
    meshInputVersion.fetch_add(1);
}

void PimVoxelGrid::Update()
{
    PimRecursiveLockGuard hold(voxelLock);
    // A caller that already holds the lock may have the array handed out.
    if (voxelLock.HeldDepth() != 1 || !compactionFound)
        return;
    compactionFound = false;
    if (compactionVersion == voxelVersion && storage.IsFull())
        storage.MakeUniform(compactionValue);
}

void PimVoxelGrid::SetColorDefinition(std::uint8_t index, const PimColor& color, bool special)
{
    colourTables[special ? 1 : 0][index] = color;
    ++colourTableVersions[special ? 1 : 0];
}

std::uint32_t PimVoxelGrid::GetColorTableVersion(bool special)
{
    return colourTableVersions[special ? 1 : 0];
}

PimColor PimVoxelGrid::GetColorDefinition(std::uint8_t index, bool special)
{
    return colourTables[special ? 1 : 0][index];
}

const PimColor* PimVoxelGrid::GetColorTable(bool special)
{
    return colourTables[special ? 1 : 0];
}

void PimVoxelGrid::CacheVoxelCodes(std::uint32_t codeCount)
{
    VoxelCodeTable::GetInstance().CacheCodes(codeCount);
}

void PimVoxelGrid::LockAllBuildChannels(bool lock)
{
    if (lock)
        GlobalBuildLock().Lock();
    else
        PimAssert::Assert(GlobalBuildLock().Unlock(),
                          "PimVoxelGrid::LockAllBuildChannels() - released by a thread that does not hold it");
}

void PimVoxelGrid::CalculateTextureCoordinates(int textureCode, float& u0, float& v0, float& u1, float& v1)
{
    const unsigned magnitude = textureCode < 0 ? 0u - static_cast<unsigned>(textureCode) : static_cast<unsigned>(textureCode);
    const unsigned tile = magnitude & 255u;
    constexpr float tileSize = 1.0f / VoxelTile::AtlasTilesPerSide;
    constexpr float inset = 0.5f / 512.0f;
    u0 = static_cast<float>(tile % VoxelTile::AtlasTilesPerSide) * tileSize + inset;
    v0 = static_cast<float>(tile / VoxelTile::AtlasTilesPerSide) * tileSize + inset;
    u1 = u0 + tileSize - 2.0f * inset;
    v1 = v0 + tileSize - 2.0f * inset;
}

void PimVoxelGrid::SetLocation(const PimVector3& newLocation)
{
    std::lock_guard hold(placementMutex);
    location = newLocation;
}

PimVector3 PimVoxelGrid::GetLocation() const
{
    std::lock_guard hold(placementMutex);
    return location;
}

PimVector3 PimVoxelGrid::GetCenter() const
{
    std::lock_guard hold(placementMutex);
    const float half = 0.5f * kSide * scale;
    return location + PimVector3(half, half, half);
}

void PimVoxelGrid::SetScale(float newScale)
{
    std::lock_guard hold(placementMutex);
    scale = newScale;
}

float PimVoxelGrid::GetScale() const
{
    std::lock_guard hold(placementMutex);
    return scale;
}

void PimVoxelGrid::UseSpecialColors(bool special)
{
    specialColors.store(special);
}

bool PimVoxelGrid::IsUsingSpecialColors() const
{
    return specialColors.load();
}

void PimVoxelGrid::LockVoxelMutex()
{
    voxelLock.Lock();
}

void PimVoxelGrid::UnLockVoxelMutex()
{
    if (!voxelLock.IsHeldByCurrentThread())
    {
        PimAssert::Assert(false, "PimVoxelGrid::UnLockVoxelMutex() - the voxel lock is not held by this thread");
        return;
    }
    bool dataReplaced = false;
    if (voxelLock.HeldDepth() == 1 && (bulkWriteOpen || readCopyOpen))
    {
        dataReplaced = bulkWriteOpen;
        bulkWriteOpen = false;
        readCopyOpen = false;
        storage.Compact();
        if (dataReplaced)
        {
            ++voxelVersion;
            if (collision)
                collision->Invalidate();
            compactionFound = false;
            meshInputVersion.fetch_add(1);
        }
    }
    voxelLock.Unlock();
    // Every border may have changed, so the neighbours' meshes are out of date too.
    if (dataReplaced)
        for (auto& side : sides)
            if (PimVoxelGrid* neighbour = side.load())
                neighbour->BumpMeshInputs();
}

std::uint16_t* PimVoxelGrid::SetVoxels()
{
    PimAssert::Assert(voxelLock.IsHeldByCurrentThread(), "PimVoxelGrid::SetVoxels() - called without LockVoxelMutex");
    bulkWriteOpen = true;
    return storage.Materialise();
}

void PimVoxelGrid::FillVoxels(std::uint16_t value)
{
    PimAssert::Assert(voxelLock.IsHeldByCurrentThread(), "PimVoxelGrid::FillVoxels() - called without LockVoxelMutex");
    bulkWriteOpen = true;
    storage.MakeUniform(value);
}

const std::uint16_t* PimVoxelGrid::GetVoxels()
{
    PimAssert::Assert(voxelLock.IsHeldByCurrentThread(), "PimVoxelGrid::GetVoxels() - called without LockVoxelMutex");
    if (!storage.IsFull())
        readCopyOpen = true;
    return storage.Materialise();
}

bool PimVoxelGrid::IsUniform(std::uint16_t& value) const
{
    PimRecursiveLockGuard hold(voxelLock);
    if (storage.IsFull())
        return false;
    value = storage.UniformValue();
    return true;
}

std::uint16_t PimVoxelGrid::GetVoxel(const PimVector3& local) const
{
    int x, y, z;
    return ToVoxel(local, x, y, z) ? GetVoxel(x, y, z) : 0;
}

std::uint16_t PimVoxelGrid::GetVoxel(int x, int y, int z) const
{
    if (!IsInside(x, y, z))
        return 0;
    PimRecursiveLockGuard hold(voxelLock);
    return storage.Get(GetIndex(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y), static_cast<std::uint16_t>(z)));
}

std::uint16_t PimVoxelGrid::SetVoxel(std::uint16_t code, const PimVector3& local, bool rebuildNow, bool fillWrite)
{
    int x, y, z;
    return ToVoxel(local, x, y, z) ? SetVoxel(code, x, y, z, rebuildNow, fillWrite) : 0;
}

std::uint16_t PimVoxelGrid::SetVoxel(std::uint16_t code, int x, int y, int z, bool rebuildNow, bool fillWrite)
{
    if (!IsInside(x, y, z))
        return 0;
    std::uint16_t old;
    {
        PimRecursiveLockGuard hold(voxelLock);
        const int index = GetIndex(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y), static_cast<std::uint16_t>(z));
        old = storage.Get(index);
        if (old == code)
            return old;
        storage.Set(index, code);
        ++voxelVersion;
        meshInputVersion.fetch_add(1);
        editedSinceSave.store(true);
        if (collision && collision->IsValid())
        {
            const VoxelCodeTable& table = VoxelCodeTable::GetInstance();
            const std::uint8_t newClass = table.GetCollisionClass(code);
            if (!fillWrite && newClass >= table.GetCollisionClass(old))
                collision->Raise(x, y, z, newClass);
            else
                collision->Invalidate();
        }
    }
    if (Visibility(old) != Visibility(code))
        NoteBorderChange(x, y, z, rebuildNow);
    if (rebuildNow)
        RequestRebuild(false, false);
    return old;
}

void PimVoxelGrid::NoteBorderChange(int x, int y, int z, bool rebuildNow)
{
    const int last = kSide - 1;
    const bool touches[kVoxelFaceCount] = {z == last, z == 0, x == 0, x == last, y == last, y == 0};
    for (int side = 0; side < kVoxelFaceCount; ++side)
    {
        if (!touches[side])
            continue;
        if (PimVoxelGrid* neighbour = sides[side].load())
        {
            neighbour->BumpMeshInputs();
            if (rebuildNow)
                neighbour->RequestRebuild(false, false);
        }
    }
}

void PimVoxelGrid::BumpMeshInputs()
{
    meshInputVersion.fetch_add(1);
}

std::uint8_t PimVoxelGrid::GetCollision(std::uint32_t baseLevel, const PimVector3& local) const
{
    int x, y, z;
    if (!ToVoxel(local, x, y, z))
        return VoxelCollision::None;
    const VoxelCodeTable& table = VoxelCodeTable::GetInstance();
    PimRecursiveLockGuard hold(voxelLock);
    if (!storage.IsFull())
        return table.GetCollisionClass(storage.UniformValue());
    if (baseLevel == 0)
        return table.GetCollisionClass(storage.Get(GetIndex(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y),
                                                             static_cast<std::uint16_t>(z))));
    if (!collision)
        collision = std::make_unique<VoxelCollisionLevels>();
    if (!collision->IsValid())
        collision->Build(storage, table);
    const int level = static_cast<int>(std::min<std::uint32_t>(baseLevel, VoxelCollisionLevels::kTopLevel));
    return collision->Query(level, x, y, z);
}

void PimVoxelGrid::SetGridStatus(std::uint8_t newStatus)
{
    PimRecursiveLockGuard hold(voxelLock);
    status.store(newStatus);
}

std::uint8_t PimVoxelGrid::GetGridStatus() const
{
    return status.load();
}

void PimVoxelGrid::Regenerate(bool force)
{
    RequestRebuild(force, false);
}

void PimVoxelGrid::ForceForceRegenerate()
{
    {
        PimRecursiveLockGuard hold(voxelLock);
        collision.reset();
        compactionFound = false;
    }
    RequestRebuild(true, true);
}

void PimVoxelGrid::RequestRebuild(bool force, bool evenWithoutData)
{
    PimRecursiveLockGuard hold(voxelLock);
    const std::uint8_t current = status.load();
    // A forced request is remembered even before the data is there: the build that follows
    // it is handed over (empty or not).
    if (force)
    {
        forceHandOver = true;
        everBuilt = false;
    }
    if (current == kStatusNeedsData && !evenWithoutData)
        return;
    const bool outOfDate = !everBuilt || builtInputVersion != meshInputVersion.load();
    if (outOfDate && (current == kStatusFinished || current == kStatusNeedsData))
        status.store(kStatusToBuild);
}

void PimVoxelGrid::BuildGrid()
{
    thread_local VoxelMesher mesher;
    std::uint32_t startGeneration;
    std::uint64_t startInputs;
    std::uint64_t startVoxels;
    {
        GlobalBuildHold global;
        // Read before any voxel: a change that the snapshot misses bumps it afterwards.
        startInputs = meshInputVersion.load();
        {
            PimRecursiveLockGuard hold(voxelLock);
            startGeneration = generation;
            startVoxels = voxelVersion;
            mesher.CaptureVoxels(storage);
        }
        for (int side = 0; side < kVoxelFaceCount; ++side)
        {
            PimVoxelGrid* neighbour = sides[side].load();
            if (neighbour == nullptr)
            {
                mesher.CaptureNeighbour(side, nullptr);
                continue;
            }
            PimRecursiveLockGuard holdNeighbour(neighbour->voxelLock);
            mesher.CaptureNeighbour(side, &neighbour->storage);
        }
    }

    VoxelMesh mesh;
    mesher.Build(mesh);

    PimRecursiveLockGuard hold(voxelLock);
    if (startGeneration != generation)
        return; // de-initialised while building: the result belongs to nobody
    builtMesh = std::move(mesh);
    everBuilt = true;
    builtInputVersion = startInputs;
    if (mesher.CapturedUniform() && storage.IsFull())
    {
        compactionFound = true;
        compactionValue = mesher.CapturedUniformValue();
        compactionVersion = startVoxels;
    }
    const bool changedMeanwhile = meshInputVersion.load() != startInputs;
    const bool handOver = !builtMesh.IsEmpty() || drawnMeshMayExist || forceHandOver || changedMeanwhile;
    forceHandOver = false;
    status.store(handOver ? kStatusBuilt : kStatusFinished);
}

bool PimVoxelGrid::TakeBuiltMesh(VoxelMesh& mesh)
{
    PimRecursiveLockGuard hold(voxelLock);
    if (status.load() != kStatusBuilt)
        return false;
    mesh = std::move(builtMesh);
    builtMesh = VoxelMesh();
    drawnMeshMayExist = !mesh.IsEmpty();
    const bool outOfDate = !everBuilt || meshInputVersion.load() != builtInputVersion;
    status.store(outOfDate ? kStatusToBuild : kStatusFinished);
    return true;
}

void PimVoxelGrid::SetGridSide(std::uint8_t side, PimVoxelGrid* neighbour)
{
    if (side >= kVoxelFaceCount || neighbour == this)
    {
        PimAssert::Assert(false, "PimVoxelGrid::SetGridSide() - invalid side or neighbour");
        return;
    }
    GlobalBuildHold global;
    const std::uint8_t opposite = opposingFace[side];
    PimVoxelGrid* old = sides[side].exchange(neighbour);
    bool changed = old != neighbour;
    if (old != nullptr && old != neighbour)
    {
        PimVoxelGrid* expected = this;
        old->sides[opposite].compare_exchange_strong(expected, nullptr);
        old->BumpMeshInputs();
    }
    if (neighbour != nullptr)
    {
        PimVoxelGrid* previous = neighbour->sides[opposite].exchange(this);
        if (previous != this)
        {
            neighbour->BumpMeshInputs();
            if (previous != nullptr)
            {
                PimVoxelGrid* expected = neighbour;
                previous->sides[side].compare_exchange_strong(expected, nullptr);
                previous->BumpMeshInputs();
            }
        }
    }
    if (changed)
        BumpMeshInputs();
}

void PimVoxelGrid::UnlinkAll()
{
    for (std::uint8_t side = 0; side < kVoxelFaceCount; ++side)
        if (sides[side].load() != nullptr)
            SetGridSide(side, nullptr);
}

PimVoxelGrid* PimVoxelGrid::GetGridSide(std::uint8_t side) const
{
    return side < kVoxelFaceCount ? sides[side].load() : nullptr;
}

bool PimVoxelGrid::IsSurrounded() const
{
    return std::all_of(std::begin(sides), std::end(sides), [](const auto& side) { return side.load() != nullptr; });
}

void PimVoxelGrid::SetBuildChannel(std::uint8_t channel)
{
    buildChannel.store(channel);
}

std::uint8_t PimVoxelGrid::GetBuildChannel() const
{
    return buildChannel.load();
}

bool PimVoxelGrid::IsEditedSinceSave() const
{
    return editedSinceSave.load();
}

void PimVoxelGrid::SetEditedSinceSave(bool edited)
{
    editedSinceSave.store(edited);
}

std::size_t PimVoxelGrid::GetVoxelBytes() const
{
    PimRecursiveLockGuard hold(voxelLock);
    return storage.BytesHeld() + (collision ? collision->BytesHeld() : 0);
}

std::size_t PimVoxelGrid::GetMeshBytes() const
{
    PimRecursiveLockGuard hold(voxelLock);
    return builtMesh.BytesHeld();
}
