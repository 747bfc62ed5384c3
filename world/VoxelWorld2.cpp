#include "world/VoxelWorld2.h"

#include "world/ChunkVisibility.h"
#include "world/TerrainFill.h"
#include "world/WorldParameters.h"

#include "settings/GameSettings.h"

#include "engine/PimAssert.h"
#include "engine/PimDrawContext.h"
#include "engine/PimString.h"
#include "engine/PimTime.h"
#include "engine/PimViewport.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

using WorldAddressing::ChunkCoordinates;
using WorldAddressing::kWindowSlots;
using WorldAddressing::kWindowX;
using WorldAddressing::kWindowY;
using WorldAddressing::kWindowZ;

namespace
{
constexpr std::uint8_t kNoChannel = PimVoxelGrid::kNoBuildChannel;
constexpr float kChunkSide = static_cast<float>(WorldAddressing::kChunkSide);
// The window's centre column lies this far (in voxels, on x and z) ahead of the stream position.
const PimVector3 kStreamOffset(512.0f, 0.0f, 512.0f);
constexpr float kNearPlane = 0.1f;
constexpr float kFarPlane = 512.0f;
// Priority bonuses of a chunk being scheduled, and the base from which distance is taken.
constexpr std::int32_t kBonus = 5;
constexpr float kCloseChunks = 3.0f;
constexpr float kPriorityBase = 256.0f;

std::shared_ptr<const PimTexture> LoadFaceTexture(const GameSettings& settings)
{
    auto texture = std::make_shared<PimTexture>();
    const PimString path = settings.GetFolders().textures.Narrow() + "VoxelTexturesTop1.png";
    PimAssert::Assert(texture->Load(path), "VoxelWorld2::VoxelWorld2() - VoxelTexturesTop1.png cannot be read; chunks draw untextured");
    return texture;
}

int SlotIndex(int x, int y, int z)
{
    return (y * kWindowZ + z) * kWindowX + x;
}

bool InsideDisc(int x, int z)
{
    const int dx = x - VoxelWorld2::kDiscRadius;
    const int dz = z - VoxelWorld2::kDiscRadius;
    return dx * dx + dz * dz <= VoxelWorld2::kDiscRadius * VoxelWorld2::kDiscRadius;
}

// A window column (slot x and z) inside the disc.
struct DiscColumn
{
    int x = 0;
    int z = 0;
};

// The disc's columns ordered by their distance from the centre column (then by z and x), so that
// a window filled over several frames gets the viewer's surroundings first.
const std::vector<DiscColumn>& DiscColumnsNearestFirst()
{
    static const std::vector<DiscColumn> order = [] {
        std::vector<DiscColumn> columns;
        for (int z = 0; z < kWindowZ; ++z)
            for (int x = 0; x < kWindowX; ++x)
                if (InsideDisc(x, z))
                    columns.push_back({x, z});
        const auto distance = [](const DiscColumn& c) {
            const int dx = c.x - VoxelWorld2::kDiscRadius;
            const int dz = c.z - VoxelWorld2::kDiscRadius;
            return dx * dx + dz * dz;
        };
        std::stable_sort(columns.begin(), columns.end(),
                         [&](const DiscColumn& a, const DiscColumn& b) { return distance(a) < distance(b); });
        return columns;
    }();
    return order;
}

// Columns of the world along x and z (its width and depth in whole chunks).
struct WorldColumns
{
    std::int64_t x = 0;
    std::int64_t z = 0;

    explicit WorldColumns(const WorldSetup& setup)
        : x(setup.GetWidth() / WorldAddressing::kChunkSide), z(setup.GetDepth() / WorldAddressing::kChunkSide)
    {
    }

    bool Contains(std::int64_t cx, std::int64_t cy, std::int64_t cz) const
    {
        return cx >= 0 && cx < x && cz >= 0 && cz < z && cy >= 0 && cy < WorldAddressing::kChunksY;
    }
};

PimVector4 LightAt(float angle)
{
    const float sine = std::sin(angle);
    const float cosine = std::cos(angle);
    PimVector4 light(sine, -cosine, 0.0f, 0.0f);
    light.Normalize();
    if (cosine < 0.0f)
    {
        light.x = -light.x;
        light.y = -light.y;
    }
    light.w = (cosine < 0.0f ? -0.25f * cosine : cosine) * 0.75f + 0.25f;
    return light;
}
}

VoxelWorld2::VoxelWorld2(GameSettings& settingsIn, ChunkPool& poolIn, std::shared_ptr<const PimTexture> texture)
    : settings(settingsIn),
      pool(poolIn),
      budget(PimTime::Now().GetSeconds()),
      slots(kWindowSlots, nullptr),
      nextSlots(kWindowSlots, nullptr),
      store(settingsIn),
      faceTexture(std::move(texture)),
      runner([this] { return WorkerPass(); })
{
    window.slotAt = [this](int slot) { return slots[static_cast<std::size_t>(slot)]; };
    light = LightAt(lightAngle);
    // The ground plane shows its voxel grid; the preview picture is the menus' view of the terrain.
    worldMesh.SetUseOwnTexture(true);
    // The region files are read by the worker: each when a chunk of it is first loaded, the rest
    // when it has nothing else to do.
    store.Open(WorldStore::RegionReading::Later);
    runner.Start(true);
}

VoxelWorld2::VoxelWorld2(GameSettings& settingsIn, ChunkPool& poolIn)
    : VoxelWorld2(settingsIn, poolIn, LoadFaceTexture(settingsIn))
{
}

VoxelWorld2::~VoxelWorld2()
{
    // Join the worker before taking the global lock: it may be waiting for that lock.
    runner.Stop();
    std::lock_guard hold(worldMutex);
    PimVoxelGrid::BuildChannelsLock global;
    std::vector<PimVoxelGrid*> held;
    held.reserve(kWindowSlots + leftWindow.Size());
    for (PimVoxelGrid* chunk : slots)
        if (chunk != nullptr)
            held.push_back(chunk);
    leftWindow.ForEach([&held](PimVoxelGrid& chunk) { held.push_back(&chunk); });
    {
        std::lock_guard stages(channelMutex);
        // A chunk that left the window while the worker had it belongs to nobody else now.
        for (BuildChannel& channel : channels)
        {
            if (channel.building != nullptr && channel.leftWhileBuilding)
                held.push_back(channel.building);
            channel = BuildChannel{};
        }
    }
    std::sort(held.begin(), held.end());
    held.erase(std::unique(held.begin(), held.end()), held.end());
    for (PimVoxelGrid* chunk : held)
        pool.GiveBack(chunk);
    std::fill(slots.begin(), slots.end(), nullptr);
    leftWindow.Clear();
}

void VoxelWorld2::SetWorldSetup(std::shared_ptr<const WorldSetup> newSetup)
{
    // Under the runner lock, so that no pass reads the record while it changes hands.
    const bool locked = runner.Lock(this);
    setup = std::move(newSetup);
    worldMesh.SetWorldSetup(setup.get());
    if (locked)
        runner.Unlock(this);
}

void VoxelWorld2::SetViewerPosition(const PimVector3& position)
{
    viewerPosition = position;
    viewerKnown = true;
}

std::int32_t VoxelWorld2::ExpectedBuildCount(std::size_t regionCount)
{
    constexpr std::size_t kPerRegion = 512;
    constexpr std::size_t kMost = 7720;
    constexpr std::int32_t kWithoutRegions = 27;
    if (regionCount == 0)
        return kWithoutRegions;
    // Compared before multiplying, so no count of regions can overflow.
    return static_cast<std::int32_t>(regionCount > kMost / kPerRegion ? kMost : regionCount * kPerRegion);
}

void VoxelWorld2::SetWorkerPaused(bool paused)
{
    if (!runner.Lock(this))
        return;
    if (paused)
        runner.Pause();
    else
        runner.Resume();
    runner.Unlock(this);
}

// ---- Frame update (main thread) ----

void VoxelWorld2::Update()
{
    budget.Sample(PimTime::FrameRate(), PimTime::Now().GetSeconds());
    UpdateChannelsInUse();
    drawChunks = !firstFrame;
    if (firstFrame)
        return;
    UpdateLight();
    worldMesh.RunUpdate();
    BuildEditedChunks();
    ScheduleChunks();
    StreamWindow();
    HarvestChannels();
}

void VoxelWorld2::UpdateChannelsInUse()
{
    int highest = -1;
    {
        std::lock_guard stages(channelMutex);
        for (int index = 0; index < kChannelCount; ++index)
            if (channels[static_cast<std::size_t>(index)].IsOccupied())
                highest = index;
    }
    if (highest >= 0)
        channelsInUse.store(static_cast<std::uint8_t>(highest + 1));
}

void VoxelWorld2::UpdateLight()
{
    light = LightAt(lightAngle);
    PimVoxelGrid::SetLightDirection(light);
}

void VoxelWorld2::ScheduleChunks()
{
    if (!activeCamera || !setup)
        return;
    const PimVector3 viewer = viewerPosition;
    const PimMatrix4x4 viewProjection = activeCamera->GetViewProjection();
    std::lock_guard hold(worldMutex);
    {
        // Chunks still queued from an earlier frame compete again, with their priorities of now.
        std::lock_guard stages(channelMutex);
        for (BuildChannel& channel : channels)
        {
            while (!channel.queued.Empty())
                channel.queued.PopFront().chunk->SetBuildChannel(kNoChannel);
        }
    }
    candidates.clear();
    // Slots in index order (x fastest, then z, then y); the chunk some slots ahead is fetched
    // meanwhile, since reading each chunk's state is a cache miss.
    constexpr int kPrefetchAhead = 16;
    for (int slot = 0; slot < kWindowSlots; ++slot)
    {
        if (slot + kPrefetchAhead < kWindowSlots)
            if (const PimVoxelGrid* ahead = slots[static_cast<std::size_t>(slot + kPrefetchAhead)])
                ahead->PrefetchBuildState();
        PimVoxelGrid* chunk = slots[static_cast<std::size_t>(slot)];
        // Most chunks are finished or with the worker: skip them before any arithmetic.
        if (chunk == nullptr || chunk->GetBuildChannel() != kNoChannel)
            continue;
        const std::uint8_t status = chunk->GetGridStatus();
        if (status == PimVoxelGrid::kStatusFinished)
            continue;
        const int x = slot % kWindowX;
        const int z = slot / kWindowX % kWindowZ;
        const int y = slot / (kWindowX * kWindowZ);
        const PimVector3 location = SlotLocation(x, y, z);
        if (status == PimVoxelGrid::kStatusToBuild && !IsReadyToBuild(*chunk, location))
            continue;
        const PimVector3 centre = location + PimVector3(kChunkSide, kChunkSide, kChunkSide) * 0.5f;
        float distance = 0.0f;
        const bool visible = ChunkVisibility::IsVisible(centre, viewer, viewProjection, distance);
        candidates.push_back({chunk, PriorityOf(visible, distance / kChunkSide, store.HoldsChunkAt(location)), slot});
    }
    QueueBest(candidates);
}

std::int32_t VoxelWorld2::PriorityOf(bool visible, float distanceInChunks, bool stored)
{
    const double base = std::trunc(static_cast<double>(distanceInChunks) - kPriorityBase);
    return (visible ? kBonus : 0) + (distanceInChunks < kCloseChunks ? kBonus : 0) + (stored ? kBonus : 0) -
           static_cast<std::int32_t>(std::clamp(base, -1.0e6, 1.0e6));
}

void VoxelWorld2::QueueBest(std::vector<Candidate>& found)
{
    const std::size_t budgetChannels = BuildBudget::Get();
    const std::size_t capacity = budgetChannels * BuildChannel::kStageDepth;
    const auto better = [](const Candidate& a, const Candidate& b) {
        return a.priority != b.priority ? a.priority > b.priority : a.slot < b.slot;
    };
    if (found.size() > capacity)
    {
        std::nth_element(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(capacity), found.end(), better);
        found.resize(capacity);
    }
    std::sort(found.begin(), found.end(), better);
    std::lock_guard stages(channelMutex);
    // Dealt out one per channel in turn: the worker takes one chunk from each channel per pass,
    // so it meets them best first.
    for (std::size_t rank = 0; rank < found.size(); ++rank)
    {
        const std::size_t index = rank % budgetChannels;
        found[rank].chunk->SetBuildChannel(static_cast<std::uint8_t>(index));
        channels[index].queued.Push({found[rank].chunk, found[rank].priority});
    }
    const std::size_t used = std::min(found.size(), budgetChannels);
    if (channelsInUse.load() < used)
        channelsInUse.store(static_cast<std::uint8_t>(used));
}

PimVector3 VoxelWorld2::SlotLocation(int x, int y, int z) const
{
    return PimVector3(static_cast<float>(static_cast<std::int64_t>(window.originX) + x), static_cast<float>(y),
                      static_cast<float>(static_cast<std::int64_t>(window.originZ) + z)) *
           kChunkSide;
}

void VoxelWorld2::StreamWindow()
{
    if (!setup)
        return;
    std::lock_guard hold(worldMutex);
    // The window's corner column: 16 columns (512 voxels) before the viewer's on x and z.
    ChunkCoordinates reference = WorldAddressing::ChunkOf(viewerPosition - kStreamOffset);
    reference.y = 0;
    const bool moved = reference != windowReference;
    if (moved || windowFilling)
    {
        PimVoxelGrid::BuildChannelsLock global;
        if (moved)
            ShiftWindow(reference);
        windowFilling = !FillWindow(reference);
        TrimLeftWindow();
        if (moved)
        {
            windowReference = reference;
            worldMesh.Rebuild();
        }
    }
    CountStreamingPass();
}

void VoxelWorld2::ShiftWindow(const ChunkCoordinates& reference)
{
    const std::int64_t deltaX = static_cast<std::int64_t>(windowReference.x) - reference.x;
    const std::int64_t deltaZ = static_cast<std::int64_t>(windowReference.z) - reference.z;
    std::fill(nextSlots.begin(), nextSlots.end(), nullptr);
    for (int y = 0; y < kWindowY; ++y)
        for (int z = 0; z < kWindowZ; ++z)
            for (int x = 0; x < kWindowX; ++x)
            {
                PimVoxelGrid*& chunk = slots[static_cast<std::size_t>(SlotIndex(x, y, z))];
                const std::int64_t movedX = x + deltaX;
                const std::int64_t movedZ = z + deltaZ;
                if (chunk == nullptr || movedX < 0 || movedX >= kWindowX || movedZ < 0 || movedZ >= kWindowZ)
                    continue;
                nextSlots[static_cast<std::size_t>(SlotIndex(static_cast<int>(movedX), y, static_cast<int>(movedZ)))] =
                    chunk;
                chunk = nullptr;
            }
    CommitWindow();
    window.originX = reference.x;
    window.originZ = reference.z;
}

void VoxelWorld2::CommitWindow()
{
    // Out of the channels first, under the channel lock; then into the map or back to the pool.
    std::vector<std::pair<PimVoxelGrid*, bool>> leaving;
    {
        std::lock_guard stages(channelMutex);
        for (PimVoxelGrid*& chunk : slots)
        {
            if (chunk == nullptr)
                continue;
            bool withWorker = false;
            const std::uint8_t index = chunk->GetBuildChannel();
            if (index < kChannelCount)
            {
                BuildChannel& channel = channels[index];
                channel.queued.RemoveIf([chunk](const BuildChannel::Queued& entry) { return entry.chunk == chunk; });
                channel.upload.RemoveIf([chunk](const PimVoxelGrid* entry) { return entry == chunk; });
                withWorker = channel.building == chunk;
                if (withWorker)
                    channel.leftWhileBuilding = true;
                else
                    chunk->SetBuildChannel(kNoChannel);
            }
            leaving.emplace_back(chunk, withWorker);
            chunk = nullptr;
        }
    }
    for (const auto& [chunk, withWorker] : leaving)
    {
        if (withWorker)
            store.StoreIfEdited(chunk); // the worker gives it back to the pool; its edits stay
        else if (!leftWindow.Add(WorldAddressing::ChunkKey(chunk->GetLocation()), chunk))
            GiveBackAfterStoring(chunk); // another copy of this chunk is already kept
    }
    slots.swap(nextSlots);
}

bool VoxelWorld2::FillWindow(const ChunkCoordinates& reference)
{
    const WorldColumns columns(*setup);
    int taken = 0;
    for (const DiscColumn& column : DiscColumnsNearestFirst())
    {
        const std::int64_t cx = static_cast<std::int64_t>(reference.x) + column.x;
        const std::int64_t cz = static_cast<std::int64_t>(reference.z) + column.z;
        for (int y = 0; y < kWindowY; ++y)
        {
            PimVoxelGrid*& slot = slots[static_cast<std::size_t>(SlotIndex(column.x, y, column.z))];
            if (slot != nullptr || !columns.Contains(cx, y, cz))
                continue;
            if (taken == kFillPerFrame)
                return false;
            ++taken;
            const PimVector3 location =
                PimVector3(static_cast<float>(cx), static_cast<float>(y), static_cast<float>(cz)) * kChunkSide;
            bool reused = false;
            slot = leftWindow.TakeForSlot(pool, location, faceTexture, reused);
            WindowChunks::LinkNeighbours(*slot, window);
            if (reused)
            {
                // It may have missed changes of its neighbours while it was away, and they
                // may have been built without it.
                slot->Regenerate(false);
                RefreshNeighbours(*slot);
            }
        }
    }
    return true;
}

void VoxelWorld2::TrimLeftWindow()
{
    while (leftWindow.Size() > leftWindowLimit)
        GiveBackAfterStoring(leftWindow.TakeOldest());
}

void VoxelWorld2::SetLeftWindowLimit(std::size_t limit)
{
    std::lock_guard hold(worldMutex);
    leftWindowLimit = limit;
}

void VoxelWorld2::GiveBackAfterStoring(PimVoxelGrid* chunk)
{
    store.StoreIfEdited(chunk);
    pool.GiveBack(chunk);
}

void VoxelWorld2::CountStreamingPass()
{
    if (streamingPasses < std::numeric_limits<std::uint32_t>::max())
        ++streamingPasses;
    if (stalled || streamingPasses < kStallPasses || GetBuildCount() != 0)
        return;
    stalled = true;
    settings.activeGame.SetOptionsSet(false);
    settings.activeGame.SetGameWorldName(PimWString());
}

void VoxelWorld2::HarvestChannels()
{
    std::lock_guard hold(worldMutex);
    std::array<PimVoxelGrid*, kChannelCount * BuildChannel::kStageDepth> built{};
    std::size_t builtCount = 0;
    {
        std::lock_guard stages(channelMutex);
        for (BuildChannel& channel : channels)
        {
            if (channel.building == nullptr && !channel.queued.Empty())
                channel.building = channel.queued.PopFront().chunk;
            while (!channel.upload.Empty())
                built[builtCount++] = channel.upload.PopFront();
        }
    }
    for (std::size_t index = 0; index < builtCount; ++index)
    {
        PimVoxelGrid* chunk = built[index];
        // Whatever its state, the chunk leaves the channel: one that changed since its build
        // (status 2) is scheduled again, instead of blocking the channel.
        if (chunk->GetGridStatus() == PimVoxelGrid::kStatusBuilt)
            chunk->GLLoad();
        chunk->SetBuildChannel(kNoChannel);
        // A chunk's own update gives back the voxel array its build found uniform. Every build
        // of a window chunk ends here or in the worker's hand-on, so only these chunks need it.
        chunk->Update();
    }
}

// ---- Drawing (main thread) ----

void VoxelWorld2::RememberView(bool setClearColour)
{
    if (PimDrawContext::GetPassIndex() != 0)
        return;
    PimViewport* viewport = PimViewport::GetActiveViewport();
    if (viewport == nullptr)
        return;
    activeViewport = viewport;
    activeCamera = viewport->GetCamera();
    if (!setClearColour)
        return;
    activeCamera->SetNearPlane(kNearPlane);
    activeCamera->SetFarPlane(kFarPlane);
    viewport->SetClearColor(settings.activeGame.GetFogColour());
}

void VoxelWorld2::KeepStreamingUndrawn()
{
    RememberView(false);
    if (viewerKnown && activeCamera)
        firstFrame = false;
}

void VoxelWorld2::Draw()
{
    RememberView(true);
    worldMesh.RunDraw();
    if (!viewerKnown)
        return;
    if (drawChunks)
        DrawChunks(PimDrawContext::GetViewProjection());
    firstFrame = false;
}

void VoxelWorld2::DrawChunks(const PimMatrix4x4& viewProjection)
{
    const PimVector3 viewer = viewerPosition;
    const PimVector3 half = PimVector3(kChunkSide, kChunkSide, kChunkSide) * 0.5f;
    for (int y = 0; y < kWindowY; ++y)
        for (int z = 0; z < kWindowZ; ++z)
            for (int x = 0; x < kWindowX; ++x)
            {
                PimVoxelGrid* chunk = slots[static_cast<std::size_t>(SlotIndex(x, y, z))];
                float distance = 0.0f;
                if (chunk != nullptr &&
                    ChunkVisibility::IsVisible(SlotLocation(x, y, z) + half, viewer, viewProjection, distance))
                    chunk->Draw();
            }
}

// ---- World addressing and whole-window operations (main thread) ----

std::uint16_t VoxelWorld2::GetWorldVoxel(const PimVector3& position)
{
    std::lock_guard hold(worldMutex);
    return WindowChunks::GetVoxel(window, position);
}

std::uint16_t VoxelWorld2::SetWorldVoxel(std::uint16_t code, const PimVector3& position, bool rebuildNow,
                                         bool fillWrite)
{
    std::lock_guard hold(worldMutex);
    const std::uint16_t old = WindowChunks::SetVoxel(window, code, position, rebuildNow, fillWrite);
    if (rebuildNow && old != code)
        if (const PimVoxelGrid* chunk = WindowChunks::FindChunk(window, position))
            editedLocations.push_back(chunk->GetLocation());
    return old;
}

void VoxelWorld2::BuildEditedChunks()
{
    std::vector<std::pair<PimVoxelGrid*, PimVector3>> chunks;
    {
        std::lock_guard hold(worldMutex);
        if (editedLocations.empty())
            return;
        std::vector<PimVector3> waiting;
        for (const PimVector3& location : editedLocations)
        {
            PimVoxelGrid* edited = WindowChunks::FindChunk(window, location);
            if (edited == nullptr || edited->GetLocation() != location)
                continue; // the window moved on; the chunk is stored with its edit
            bool workerHoldsOne = false;
            // The edited chunk and the neighbours whose faces the write touched wait for a build
            // (status 2) or for the upload of one that predates the edit (status 3).
            const auto take = [&](PimVoxelGrid* chunk) {
                if (chunk == nullptr)
                    return;
                const std::uint8_t status = chunk->GetGridStatus();
                if (status != PimVoxelGrid::kStatusToBuild && status != PimVoxelGrid::kStatusBuilt)
                    return;
                switch (TakeFromChannel(*chunk))
                {
                case ChannelRelease::WorkerHolds:
                    workerHoldsOne = true;
                    return;
                case ChannelRelease::Free:
                    for (const auto& held : chunks)
                        if (held.first == chunk)
                            return;
                    chunks.emplace_back(chunk, chunk->GetLocation());
                    return;
                }
            };
            take(edited);
            for (std::uint8_t side = 0; side < kVoxelFaceCount; ++side)
                take(edited->GetGridSide(side));
            // The worker's build may predate the edit: looked at again once it hands the chunk
            // back, instead of waiting for the scheduler to pick it among streaming work.
            if (workerHoldsOne)
                waiting.push_back(location);
        }
        editedLocations.swap(waiting);
    }
    // Only this thread puts chunks into channels, so a chunk in none is the main thread's alone
    // until the scheduling below; the worker may link it meanwhile, which BuildGrid's global
    // lock orders.
    for (const auto& [chunk, location] : chunks)
    {
        if (chunk->GetGridStatus() != PimVoxelGrid::kStatusToBuild || !IsReadyToBuild(*chunk, location))
            continue;
        chunk->BuildGrid();
        ++editBuilds;
        if (chunk->GetGridStatus() == PimVoxelGrid::kStatusBuilt)
            chunk->GLLoad();
    }
}

VoxelWorld2::ChannelRelease VoxelWorld2::TakeFromChannel(PimVoxelGrid& chunk)
{
    bool uploadWaiting = false;
    {
        std::lock_guard stages(channelMutex);
        const std::uint8_t index = chunk.GetBuildChannel();
        if (index >= kChannelCount)
            return ChannelRelease::Free;
        BuildChannel& channel = channels[index];
        if (channel.building == &chunk)
            return ChannelRelease::WorkerHolds;
        if (!channel.queued.RemoveIf([&chunk](const BuildChannel::Queued& queued) { return queued.chunk == &chunk; }))
            uploadWaiting = channel.upload.RemoveIf([&chunk](const PimVoxelGrid* built) { return built == &chunk; });
        chunk.SetBuildChannel(kNoChannel);
    }
    // Its mesh predates the edit: handed over, the chunk asks for a rebuild again.
    if (uploadWaiting && chunk.GetGridStatus() == PimVoxelGrid::kStatusBuilt)
        chunk.GLLoad();
    return ChannelRelease::Free;
}

PimVoxelGrid* VoxelWorld2::FindChunkSlot(const PimVector3& position)
{
    std::lock_guard hold(worldMutex);
    return WindowChunks::FindChunk(window, position);
}

void VoxelWorld2::RegenerateAll()
{
    std::lock_guard hold(worldMutex);
    PimVoxelGrid::BuildChannelsLock global;
    for (PimVoxelGrid* chunk : slots)
        if (chunk != nullptr)
            chunk->Regenerate(false);
}

namespace
{
// The chunk coordinates a box of cells from `lower` (whole voxels) with `size` cells per axis
// overlaps on one axis: first and last, inclusive.
std::pair<int, int> ChunkSpan(float lower, int size)
{
    const int first = static_cast<int>(std::floor(lower));
    const int side = WorldAddressing::kChunkSide;
    const auto chunkOf = [side](int cell) { return cell >= 0 ? cell / side : -((-cell + side - 1) / side); };
    return {chunkOf(first), chunkOf(first + size - 1)};
}

// Calls visit(chunk coordinates, first cell, end cell) for every chunk the box overlaps, with the
// part of the box inside that chunk (world cells, end exclusive).
template <typename Visit>
void ForEachBoxChunk(const PimVector3& lower, const VoxelBox& box, Visit visit)
{
    if (box.IsEmpty())
        return;
    const int low[3] = {static_cast<int>(std::floor(lower.x)), static_cast<int>(std::floor(lower.y)),
                        static_cast<int>(std::floor(lower.z))};
    const auto [x0, x1] = ChunkSpan(lower.x, box.GetSizeX());
    const auto [y0, y1] = ChunkSpan(lower.y, box.GetSizeY());
    const auto [z0, z1] = ChunkSpan(lower.z, box.GetSizeZ());
    const int side = WorldAddressing::kChunkSide;
    for (int cy = y0; cy <= y1; ++cy)
        for (int cz = z0; cz <= z1; ++cz)
            for (int cx = x0; cx <= x1; ++cx)
            {
                const int c[3] = {cx, cy, cz};
                int from[3], to[3];
                for (int axis = 0; axis < 3; ++axis)
                {
                    from[axis] = std::max(low[axis], c[axis] * side);
                    to[axis] = std::min(low[axis] + box.GetSize(axis), (c[axis] + 1) * side);
                }
                visit(WorldAddressing::ChunkCoordinates{cx, cy, cz}, from, to);
            }
}

bool InsideWorldChunks(const WorldAddressing::ChunkCoordinates& c)
{
    return c.x >= 0 && c.y >= 0 && c.z >= 0 && c.x < WorldAddressing::kChunksX && c.y < WorldAddressing::kChunksY &&
           c.z < WorldAddressing::kChunksZ;
}
}

void VoxelWorld2::ReadBox(const PimVector3& lower, VoxelBox& box)
{
    const int low[3] = {static_cast<int>(std::floor(lower.x)), static_cast<int>(std::floor(lower.y)),
                        static_cast<int>(std::floor(lower.z))};
    std::lock_guard hold(worldMutex);
    ForEachBoxChunk(lower, box, [&](const WorldAddressing::ChunkCoordinates& c, const int* from, const int* to) {
        const int side = WorldAddressing::kChunkSide;
        const PimVector3 origin(static_cast<float>(c.x * side), static_cast<float>(c.y * side), static_cast<float>(c.z * side));
        PimVoxelGrid* chunk = window.ChunkAt(c);
        const bool holdsData = chunk != nullptr && chunk->GetLocation() == origin &&
                               chunk->GetGridStatus() != PimVoxelGrid::kStatusNeedsData;
        const int width = to[0] - from[0];
        if (!holdsData)
        {
            for (int y = from[1]; y < to[1]; ++y)
                for (int z = from[2]; z < to[2]; ++z)
                    std::fill_n(box.Row(y - low[1], z - low[2]) + (from[0] - low[0]), width, std::uint16_t{0});
            return;
        }
        chunk->LockVoxelMutex();
        std::uint16_t uniform = 0;
        const bool isUniform = chunk->IsUniform(uniform);
        const std::uint16_t* voxels = isUniform ? nullptr : chunk->GetVoxels();
        for (int y = from[1]; y < to[1]; ++y)
            for (int z = from[2]; z < to[2]; ++z)
            {
                std::uint16_t* row = box.Row(y - low[1], z - low[2]) + (from[0] - low[0]);
                if (isUniform)
                    std::fill_n(row, width, uniform);
                else
                    std::copy_n(voxels + PimVoxelGrid::GetIndex(static_cast<std::uint16_t>(from[0] - c.x * side),
                                                                static_cast<std::uint16_t>(y - c.y * side),
                                                                static_cast<std::uint16_t>(z - c.z * side)),
                                width, row);
            }
        chunk->UnLockVoxelMutex();
    });
}

std::size_t VoxelWorld2::WriteBox(const PimVector3& lower, const VoxelBox& box, bool skipEmpty)
{
    const int low[3] = {static_cast<int>(std::floor(lower.x)), static_cast<int>(std::floor(lower.y)),
                        static_cast<int>(std::floor(lower.z))};
    std::size_t changed = 0;
    std::lock_guard hold(worldMutex);
    ForEachBoxChunk(lower, box, [&](const WorldAddressing::ChunkCoordinates& c, const int* from, const int* to) {
        const int side = WorldAddressing::kChunkSide;
        const PimVector3 origin(static_cast<float>(c.x * side), static_cast<float>(c.y * side), static_cast<float>(c.z * side));
        PimVoxelGrid* chunk = InsideWorldChunks(c) ? window.ChunkAt(c) : nullptr;
        if (chunk == nullptr || chunk->GetLocation() != origin || chunk->GetGridStatus() == PimVoxelGrid::kStatusNeedsData)
            return;
        // One hold of the chunk's (recursive) voxel lock for all its writes.
        chunk->LockVoxelMutex();
        for (int y = from[1]; y < to[1]; ++y)
            for (int z = from[2]; z < to[2]; ++z)
            {
                const std::uint16_t* row = box.Row(y - low[1], z - low[2]);
                for (int x = from[0]; x < to[0]; ++x)
                {
                    const std::uint16_t code = row[x - low[0]];
                    if (code == 0 && skipEmpty)
                        continue;
                    if (chunk->SetVoxel(code, x - c.x * side, y - c.y * side, z - c.z * side, false, false) != code)
                        ++changed;
                }
            }
        chunk->UnLockVoxelMutex();
    });
    return changed;
}

void VoxelWorld2::RegenerateBox(const PimVector3& low, const PimVector3& high, bool force, bool neighbours)
{
    const WorldAddressing::ChunkCoordinates first = WorldAddressing::ChunkOf(PimVector3::Min(low, high));
    // The last cell inside the box (high is exclusive).
    const WorldAddressing::ChunkCoordinates last =
        WorldAddressing::ChunkOf(PimVector3::Max(low, high) - PimVector3(1.0f, 1.0f, 1.0f));
    const int reach = neighbours ? 1 : 0;
    std::lock_guard hold(worldMutex);
    for (int cy = first.y - reach; cy <= last.y + reach; ++cy)
        for (int cz = first.z - reach; cz <= last.z + reach; ++cz)
            for (int cx = first.x - reach; cx <= last.x + reach; ++cx)
            {
                const WorldAddressing::ChunkCoordinates c{cx, cy, cz};
                const int side = WorldAddressing::kChunkSide;
                PimVoxelGrid* chunk = InsideWorldChunks(c) ? window.ChunkAt(c) : nullptr;
                if (chunk == nullptr || chunk->GetLocation() != PimVector3(static_cast<float>(cx * side),
                                                                           static_cast<float>(cy * side),
                                                                           static_cast<float>(cz * side)))
                    continue;
                PimVoxelGrid::BuildChannelsLock global;
                chunk->Regenerate(force);
            }
}

void VoxelWorld2::ForEachHeldChunk(const std::function<void(PimVoxelGrid&)>& visit)
{
    std::lock_guard hold(worldMutex);
    PimVoxelGrid::BuildChannelsLock global;
    leftWindow.ForEach(visit);
    for (PimVoxelGrid* chunk : slots)
        if (chunk != nullptr)
            visit(*chunk);
}

PimVector2 VoxelWorld2::GetWindowOrigin() const
{
    std::lock_guard hold(worldMutex);
    return PimVector2(static_cast<float>(window.originX), static_cast<float>(window.originZ));
}

std::size_t VoxelWorld2::GetWindowChunkCount() const
{
    std::lock_guard hold(worldMutex);
    return static_cast<std::size_t>(std::count_if(slots.begin(), slots.end(), [](const PimVoxelGrid* chunk) { return chunk != nullptr; }));
}

bool VoxelWorld2::IsWindowFilling() const
{
    std::lock_guard hold(worldMutex);
    return windowFilling;
}

std::size_t VoxelWorld2::GetLeftWindowCount() const
{
    std::lock_guard hold(worldMutex);
    return leftWindow.Size();
}

bool VoxelWorld2::IsInLeftWindow(const PimVector3& chunkLocation) const
{
    std::lock_guard hold(worldMutex);
    return leftWindow.Contains(WorldAddressing::ChunkKey(chunkLocation));
}

VoxelWorld2::ChannelView VoxelWorld2::GetChannel(int index) const
{
    if (index < 0 || index >= kChannelCount)
        return {};
    std::lock_guard hold(worldMutex);
    std::lock_guard stages(channelMutex);
    const BuildChannel& channel = channels[static_cast<std::size_t>(index)];
    ChannelView view;
    if (!channel.queued.Empty())
    {
        view.queued = channel.queued.Front().chunk;
        view.queuedPriority = channel.queued.Front().priority;
    }
    view.building = channel.building;
    view.upload = channel.upload.Empty() ? nullptr : channel.upload.Front();
    view.leftWhileBuilding = channel.leftWhileBuilding;
    view.queuedCount = channel.queued.count;
    view.uploadCount = channel.upload.count;
    return view;
}

// ---- The build worker ----

bool VoxelWorld2::WorkerPass()
{
    const int inUse = channelsInUse.load();
    bool worked = false;
    for (int index = 0; index < inUse; ++index)
    {
        BuildChannel& channel = channels[static_cast<std::size_t>(index)];
        if (PimVoxelGrid* chunk = TakeWork(channel))
            worked = RunChannel(channel, *chunk) || worked;
    }
    return worked || store.ReadNextPendingRegion();
}

PimVoxelGrid* VoxelWorld2::TakeWork(BuildChannel& channel)
{
    std::lock_guard stages(channelMutex);
    if (channel.building == nullptr && !channel.queued.Empty())
        channel.building = channel.queued.PopFront().chunk;
    return channel.building;
}

bool VoxelWorld2::RunChannel(BuildChannel& channel, PimVoxelGrid& chunk)
{
    bool worked = false;
    if (chunk.GetGridStatus() == PimVoxelGrid::kStatusNeedsData)
    {
        if (!LoadChunk(channel, chunk))
            return true;
        worked = true;
    }
    const std::uint8_t status = chunk.GetGridStatus();
    if (status == PimVoxelGrid::kStatusToBuild && IsReadyToBuild(chunk, chunk.GetLocation()))
    {
        chunk.BuildGrid();
        const std::int32_t count = buildCount.load(std::memory_order_relaxed);
        if (count < std::numeric_limits<std::int32_t>::max())
            buildCount.store(count + 1, std::memory_order_relaxed);
        worked = true;
    }
    else if (status != PimVoxelGrid::kStatusBuilt)
    {
        // Not buildable now (a neighbour is missing or has no data yet): scheduled again once
        // it is.
        ReleaseBuilding(channel, chunk);
        return true;
    }
    return HandOn(channel, chunk) || worked;
}

bool VoxelWorld2::LoadChunk(BuildChannel& channel, PimVoxelGrid& chunk)
{
    const bool loaded = FillData(chunk);
    if (loaded)
        loadCount.fetch_add(1, std::memory_order_relaxed);
    {
        // The window stands still under the global lock: a chunk still in it is linked.
        PimVoxelGrid::BuildChannelsLock global;
        bool left = false;
        {
            std::lock_guard stages(channelMutex);
            left = channel.leftWhileBuilding;
        }
        if (loaded && !left)
        {
            WindowChunks::LinkNeighbours(chunk, window);
            RefreshNeighbours(chunk);
            return true;
        }
    }
    ReleaseBuilding(channel, chunk);
    return false;
}

bool VoxelWorld2::FillData(PimVoxelGrid& chunk)
{
    if (store.LoadChunk(chunk))
    {
        chunk.SetGridStatus(PimVoxelGrid::kStatusToBuild);
        return true;
    }
    if (!setup)
        return false;
    switch (setup->GetTerrainType())
    {
    case static_cast<std::int32_t>(TerrainType::Rolling):
    case static_cast<std::int32_t>(TerrainType::Island):
        FillChunk(*setup, chunk);
        return true;
    case static_cast<std::int32_t>(TerrainType::Flat):
        // All air: a pooled chunk already is. Its first build is handed over even though it is
        // empty, so the chunk counts as uploaded.
        chunk.LockVoxelMutex();
        chunk.UnLockVoxelMutex();
        chunk.Regenerate(true);
        chunk.SetGridStatus(PimVoxelGrid::kStatusToBuild);
        return true;
    default:
        return false; // an unknown terrain: the chunk stays without data and is scheduled again
    }
}

bool VoxelWorld2::IsReadyToBuild(const PimVoxelGrid& chunk, const PimVector3& location) const
{
    if (!setup)
        return false;
    const WorldColumns columns(*setup);
    const ChunkCoordinates c = WorldAddressing::ChunkOf(location);
    for (std::uint8_t side = 0; side < kVoxelFaceCount; ++side)
    {
        if (const PimVoxelGrid* neighbour = chunk.GetGridSide(side))
        {
            if (neighbour->GetGridStatus() == PimVoxelGrid::kStatusNeedsData)
                return false;
            continue;
        }
        // No neighbour is needed where the world ends: below, above and beyond its extent.
        const PimVector3& step = PimVoxelGrid::directionModifier[side];
        if (columns.Contains(static_cast<std::int64_t>(c.x) + static_cast<std::int64_t>(step.x),
                             static_cast<std::int64_t>(c.y) + static_cast<std::int64_t>(step.y),
                             static_cast<std::int64_t>(c.z) + static_cast<std::int64_t>(step.z)))
            return false;
    }
    return true;
}

bool VoxelWorld2::HandOn(BuildChannel& channel, PimVoxelGrid& chunk)
{
    const bool toUpload = chunk.GetGridStatus() == PimVoxelGrid::kStatusBuilt;
    // The upload does this for the others: give back the voxel array the build found uniform.
    if (!toUpload)
        chunk.Update();
    {
        std::lock_guard stages(channelMutex);
        if (!channel.leftWhileBuilding)
        {
            if (toUpload)
            {
                if (channel.upload.Full())
                    return false; // handed on once the main thread has uploaded
                channel.upload.Push(&chunk);
            }
            else
                chunk.SetBuildChannel(kNoChannel);
            channel.building = nullptr;
            return true;
        }
    }
    ReleaseBuilding(channel, chunk);
    return true;
}

void VoxelWorld2::ReleaseBuilding(BuildChannel& channel, PimVoxelGrid& chunk)
{
    bool left = false;
    {
        std::lock_guard stages(channelMutex);
        left = channel.leftWhileBuilding;
        channel.leftWhileBuilding = false;
        channel.building = nullptr;
        if (!left)
            chunk.SetBuildChannel(kNoChannel);
    }
    if (left)
        pool.GiveBack(&chunk);
}

void VoxelWorld2::RefreshNeighbours(PimVoxelGrid& chunk)
{
    for (std::uint8_t side = 0; side < kVoxelFaceCount; ++side)
        if (PimVoxelGrid* neighbour = chunk.GetGridSide(side))
            neighbour->Regenerate(false);
}
