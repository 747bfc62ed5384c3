#pragma once

#include "engine/PimCamera.h"
#include "engine/PimTexture.h"
#include "engine/PimThreadRunner.h"
#include "engine/PimUIComponent.h"
#include "engine/PimVector2.h"
#include "engine/PimVector3.h"
#include "engine/PimVector4.h"
#include "engine/PimVoxelGrid.h"
#include "world/BuildBudget.h"
#include "world/BuildChannel.h"
#include "world/ChunkPool.h"
#include "world/VoxelBox.h"
#include "world/LeftWindowChunks.h"
#include "world/WindowChunks.h"
#include "world/WorldAddressing.h"
#include "world/WorldMesh.h"
#include "world/WorldSaveResult.h"
#include "world/WorldSaveWriter.h"
#include "world/WorldSetup.h"
#include "world/WorldStore.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class GameSettings;
class PimViewport;

// The world the user walks and edits: a window of 33 x 16 x 33 chunk slots that follows the
// viewer, filled with the chunks of a disc of radius 16 columns around the viewer's column
// (kFillPerFrame chunks a frame at most, nearest columns first). Each
// chunk's voxels come from the world's stored regions, from the terrain fill (rolling and island
// worlds) or are empty (flat worlds); its mesh is built on the world's one worker thread through
// up to 32 build channels (see BuildChannel) and uploaded on the main thread. The worker loads a
// chunk and, when its neighbours already hold their data, builds it in the same stint; a chunk
// loaded before its neighbours is scheduled again to be built once they are in. Chunks that leave
// the window keep their voxels in the left-window map, so walking back reuses them; the map is
// bounded (kLeftWindowLimit), the oldest leaving first, stored into their regions when edited.
//
// Each frame the engine calls Update (budget, light, scheduling by priority, streaming, upload)
// and Draw (the ground plane, WorldMesh, then the visible chunks). Nothing is streamed before the viewer's position is
// known (SetViewerPosition) and a world setup is given (SetWorldSetup), and nothing is drawn or
// scheduled in the first frame drawn after that. A chunk is built only once every neighbour that
// exists in the world is linked and holds its data, and the arrival of a neighbour's data gets
// the chunks built next to it rebuilt, so no seam between two built chunks is ever wrong.
//
// Threads: the main thread runs everything except the worker's passes (WorkerPass), which the
// world's PimThreadRunner runs, created paused (the world page resumes and pauses it), and the
// writing of saves' files, which the world's save writer thread does (WorldSaveWriter; it
// touches only the store, whose regions keep their chunk copies under their own locks).
// Locks:
// - worldMutex, the world lock (main thread only; the worker never takes it): guards the window
//   slots, the window origin and the left-window map. Held by GetWorldVoxel, SetWorldVoxel,
//   FindChunkSlot, scheduling, streaming, upload, RegenerateAll, ForEachHeldChunk and
//   destruction.
// - the runner lock (PimThreadRunner): held by the worker for each pass; the main thread takes
//   it to pause, resume or give the world its setup.
// - the engine's global build-channel lock (PimVoxelGrid::LockAllBuildChannels): held by the
//   main thread while it changes the slots (streaming, with the world lock taken first) and by
//   the worker while it links neighbours. The worker reads the slots and the window origin only
//   under it.
// - channelMutex, the channel lock (both threads): guards every stage of every build channel
//   (see BuildChannel). A leaf: held only to move chunk pointers between stages, never while
//   taking another lock, so either thread may take it under any of the locks above.
// - each chunk's voxel lock, inside the world lock and the global lock, for bulk copies of its
//   voxels; never taken under the channel lock.
class VoxelWorld2 : public PimUIComponent
{
public:
    static constexpr int kChannelCount = 32;
    static constexpr int kDiscRadius = 16;
    // Streaming passes without one built chunk after which the world declares itself stalled.
    static constexpr std::uint32_t kStallPasses = 1000;
    // Chunks the left-window map may keep. A full window holds 12,752 chunks; this is a third
    // of that, about eight chunk steps of walking in a straight line (each sends some 500
    // chunks out). Most world chunks are uniform (air, water or rock) and cost a few hundred
    // bytes, but a ground chunk keeps its 64 KiB of voxels, so even a map of ground chunks
    // alone stays under 270 MB. A full island window with 20 stored regions measures about
    // 210 MB resident (the regions keep their copies as runs of codes), a flat one under 20 MB:
    // with a full map both stay under their 1.5 GB and 300 MB targets.
    static constexpr std::size_t kLeftWindowLimit = 4096;
    // Chunks the streaming takes into empty window slots in one frame, nearest columns first. A
    // new world's window (up to 12,752 chunks, most of them new chunk objects) then fills over
    // some 25 frames of about a millisecond each instead of one frame of 12 to 20 ms, always well
    // ahead of the builds (at most 32 x 4 a frame); a walk of one chunk fills some 500 slots, in
    // the frame of the step.
    static constexpr int kFillPerFrame = 512;

    // Opens the world named by the active game's "GameWorldName" from its folder, leaving its
    // region files to the worker, and starts the worker paused. The face texture goes to every chunk taken for a slot. The settings and the
    // pool must outlive the world. Main thread.
    VoxelWorld2(GameSettings& settings, ChunkPool& pool, std::shared_ptr<const PimTexture> faceTexture);
    // The same with the face texture loaded from the textures folder ("VoxelTexturesTop1.png").
    VoxelWorld2(GameSettings& settings, ChunkPool& pool);
    // Stops the worker (after its pass in progress), then gives every chunk back to the pool.
    ~VoxelWorld2() override;
    VoxelWorld2(const VoxelWorld2&) = delete;
    VoxelWorld2& operator=(const VoxelWorld2&) = delete;

    // The world's generated description: its width and depth bound the streamed chunks, its
    // terrain type and height map fill chunks that have no stored data. Taken under the runner
    // lock; it must not change afterwards. Main thread, before the worker is resumed.
    void SetWorldSetup(std::shared_ptr<const WorldSetup> setup);
    const WorldSetup* GetWorldSetup() const { return setup.get(); }
    WorldMesh& GetWorldMesh() { return worldMesh; }
    // The face atlas every chunk of the world is given (the clipboard draws its copy with it).
    const std::shared_ptr<const PimTexture>& GetFaceTexture() const { return faceTexture; }

    // Written each frame by the player code; the first call makes the viewer known.
    void SetViewerPosition(const PimVector3& position);
    PimVector3 GetViewerPosition() const { return viewerPosition; }
    bool IsViewerKnown() const { return viewerKnown; }

    void Update() override;
    // Eye-independent work (remembering the viewport and camera, their planes and clear
    // colour) happens in the first pass of a frame; every pass draws.
    void Draw() override;

    // World addressing under the world lock (see WindowChunks): the code at a world position
    // (0 outside the window), a write that returns the chunk's SetVoxel result (0 when refused:
    // outside the world, no chunk there, or its data not loaded yet), the chunk of a position.
    std::uint16_t GetWorldVoxel(const PimVector3& position);
    std::uint16_t SetWorldVoxel(std::uint16_t code, const PimVector3& position, bool rebuildNow, bool fillWrite);
    PimVoxelGrid* FindChunkSlot(const PimVector3& position);
    // Asks every window chunk whose mesh is out of date for a rebuild (after long runs of
    // writes that did not ask themselves).
    void RegenerateAll();
    // Whole boxes at once, for the clipboard and the box tools: one pass of the world lock for the
    // box, each chunk's voxels under its voxel lock, so a box of 100 x 100 x 100 costs about as
    // much as copying its codes. `lower` is the box's lowest cell (whole voxels); the box's size is
    // the VoxelBox's. Main thread.
    // ReadBox: every cell from the world, 0 where the window holds no chunk with its data.
    void ReadBox(const PimVector3& lower, VoxelBox& box);
    // WriteBox: writes the cells as SetWorldVoxel(code, cell, false, false) would, with its
    // refusals (outside the world, no chunk or no data there); cells holding 0 are skipped when
    // skipEmpty is set, so they keep the world's voxels. Returns the voxels that changed. No
    // rebuild is asked for.
    std::size_t WriteBox(const PimVector3& lower, const VoxelBox& box, bool skipEmpty);
    // Asks the window's chunks that overlap the box from `low` to `high` (world positions, high
    // exclusive) for a rebuild (PimVoxelGrid::Regenerate(force)), each under the global
    // build-channel lock taken for that chunk alone, so the worker is never held up for long.
    // With `neighbours` the chunks around the box are asked too (an edit at a box's face changes
    // the faces of the chunk beyond it).
    void RegenerateBox(const PimVector3& low, const PimVector3& high, bool force, bool neighbours);
    // Edits that ask for their rebuild at once (SetWorldVoxel with rebuildNow, the single-voxel
    // placement) are not queued behind streaming: the next Update builds and uploads the edited
    // chunk (and the neighbours the write touched) on the main thread, before any scheduling,
    // taking it out of a build channel's queue or upload stage, unless the worker is building it
    // now or it cannot be built yet (a neighbour without data). The edit is then drawn in the
    // frame of that Update. A chunk the worker is building is looked at again in each Update
    // until the worker hands it back, and then rebuilt there when its build predates the edit.
    // Edited builds so made since creation:
    std::int32_t GetEditBuildCount() const { return editBuilds; }

    // Chunk builds by the worker since creation, rebuilds included.
    std::int32_t GetBuildCount() const { return buildCount.load(std::memory_order_relaxed); }
    // The build count the loading page waits for with this many stored regions:
    // min(512 x regions, 7720), or 27 without regions.
    static std::int32_t ExpectedBuildCount(std::size_t regionCount);
    // Chunks whose data the worker loaded from a region or generated, since creation.
    std::int32_t GetLoadCount() const { return loadCount.load(std::memory_order_relaxed); }
    // Set after 1000 streaming passes without a built chunk; the active game's world choice
    // ("OptionsSet", "GameWorldName") is cleared then, so the menu does not reopen this world.
    bool IsStalled() const { return stalled; }

    // The loading page's slider (see BuildBudget::SetControl).
    void SetBudgetControl(int sliderValue) { budget.SetControl(sliderValue); }
    bool IsBudgetFixed() const { return budget.IsFixed(); }
    // One past the highest channel that holds a chunk (at least 1); the worker and the upload
    // look at channels below it.
    std::uint8_t GetChannelsInUse() const { return channelsInUse.load(std::memory_order_relaxed); }

    // Pauses or resumes the worker under the runner lock: once paused, no pass runs.
    void SetWorkerPaused(bool paused);
    bool IsWorkerPaused() const { return runner.IsPaused(); }

    // One pass of the build worker over the channels in use - a stint with each channel's
    // building chunk - or, when none had work, the reading of one region file left for later;
    // true when it did some work. The worker thread runs it; any other thread only while the
    // worker is paused (tests and benchmarks drive the world frame by frame this way).
    bool WorkerPass();

    // What a save achieved (see WorldSaveResult): Succeeded(), Describe() and the three flags.
    using SaveResult = WorldSaveResult;
    // Saves the world and waits for its files: the six-view thumbnail (once the world has drawn),
    // the player-location safeguard, every edited chunk into its region, the dirty region files,
    // the thumbnail ("SaveView.png") and the world's settings file. Only edited chunks are
    // stored. A save started before and still being written is finished first. Failures are
    // reported (a failed region write as "File corruption warning") and returned; nothing is
    // thrown. Main thread, outside the scene's draw passes; takes the world lock and the global
    // build-channel lock itself. For leaving the world: the files are on disk when it returns.
    SaveResult SaveWorld();
    // Stores the player's position as the active game's "PlayerLocation" - a coordinate outside
    // -1,000,000 to 1,000,000 (or not a number) is reported as "Player location corrupted" -
    // then SaveWorld. Main thread.
    SaveResult SaveWorldAndPlayer(const PimVector3& playerPosition);
    // The same saves without waiting for the files, for timed saves: what needs the main thread
    // (the thumbnail, copying the edited chunks into their regions, the player location and the
    // settings text) is done now, the files are written by the world's save writer thread. A save
    // started while another is being written follows it. Its result comes through TakeSaveResult.
    // Main thread.
    void StartSave();
    void StartSaveWithPlayer(const PimVector3& playerPosition);
    // True while a started save's files are being written.
    bool IsSaving() const { return saveWriter.IsBusy(); }
    // The result of the newest started save whose files are written, once; nothing while it is
    // being written (or when no started save finished since the last call). Poll it each frame.
    // Main thread.
    std::optional<SaveResult> TakeSaveResult() { return saveWriter.TakeResult(); }
    // The thumbnail of the last save: six 256 x 256 views (+x, +z, up; -x, -z, down) stitched 3
    // across and 2 down, top row first. Invalid before a save of a world that has drawn.
    const PimTexture& GetThumbnail() const { return thumbnail; }
    static constexpr int kThumbnailView = 256;
    // The stored side of the world: regions, folder, thumbnail and settings files.
    WorldStore& GetStore() { return store; }
    const WorldStore& GetStore() const { return store; }

    // Visits every chunk the world holds with its voxels - the left-window map's in key order,
    // then the window's in slot order - under the world lock and the global build-channel lock,
    // so no chunk moves or is built meanwhile. Saving stores the edited ones this way. The
    // caller must hold neither lock; visit must not call back into the world. Main thread.
    void ForEachHeldChunk(const std::function<void(PimVoxelGrid&)>& visit);

    // The viewport and camera of the main view, remembered by the first pass of each frame's
    // Draw: null before the first Draw. Saving draws the thumbnail through them.
    PimViewport* GetActiveViewport() const { return activeViewport; }
    const std::shared_ptr<PimCamera>& GetActiveCamera() const { return activeCamera; }
    // For frames in which another page covers the world (the loading booth): remembers the
    // active viewport and camera as the first pass of Draw does and ends the first frame, so that
    // scheduling and streaming go on, but draws nothing. Visibility is then judged from that
    // camera. Main thread, in a draw pass.
    void KeepStreamingUndrawn();
    // True once a frame with a known viewer has been drawn (the first frame is over).
    bool HasDrawn() const { return !firstFrame; }

    // Window origin (x, z) in chunks: the slots' x and z count from it.
    PimVector2 GetWindowOrigin() const;
    std::size_t GetWindowChunkCount() const;
    // True while the streaming still has empty slots of the disc inside the world to fill (it
    // fills kFillPerFrame a frame).
    bool IsWindowFilling() const;
    std::size_t GetLeftWindowCount() const;
    bool IsInLeftWindow(const PimVector3& chunkLocation) const;
    // Bounds the left-window map (kLeftWindowLimit unless set); applied at the next streaming.
    void SetLeftWindowLimit(std::size_t limit);
    std::uint32_t GetStreamingPassCount() const { return streamingPasses; }
    PimVector4 GetLight() const { return light; }

    // A copy of one channel's stages (null for a channel outside 0 to 31), for diagnostics:
    // the first queued chunk (the worker's next) and its priority, the building chunk, the first
    // chunk waiting for upload, and how many each stage holds.
    struct ChannelView
    {
        PimVoxelGrid* queued = nullptr;
        std::int32_t queuedPriority = 0;
        PimVoxelGrid* building = nullptr;
        PimVoxelGrid* upload = nullptr;
        bool leftWhileBuilding = false;
        std::size_t queuedCount = 0;
        std::size_t uploadCount = 0;
    };
    ChannelView GetChannel(int channel) const;

private:
    using SlotArray = std::vector<PimVoxelGrid*>;

    void UpdateChannelsInUse();
    void UpdateLight();
    // A chunk that may go to the worker now, with its priority and where the scan found it.
    struct Candidate
    {
        PimVoxelGrid* chunk = nullptr;
        std::int32_t priority = 0;
        int slot = 0;
    };
    // Queues the budget's worth of the best candidates: the window's chunks that wait for data
    // or a build, and the chunks still queued from before, which compete with them again.
    void ScheduleChunks();
    static std::int32_t PriorityOf(bool visible, float distanceInChunks, bool stored);
    // Under the channel lock: takes every queued chunk back into the candidates, keeps the best
    // ones (highest priority, then slot order) and deals them out to the budget's channels,
    // best first, so that the worker meets them in that order.
    void QueueBest(std::vector<Candidate>& candidates);
    // Where the chunk of a window slot sits (every slot's chunk sits there).
    PimVector3 SlotLocation(int x, int y, int z) const;
    void StreamWindow();
    // Moves the slots' chunks for a window whose corner column is now `reference`, sends the
    // ones that left the window out (CommitWindow) and sets the window origin.
    void ShiftWindow(const WorldAddressing::ChunkCoordinates& reference);
    void CommitWindow();
    // Takes chunks into the disc's empty slots inside the world, nearest columns first, at most
    // kFillPerFrame of them; true when no slot is left to fill.
    bool FillWindow(const WorldAddressing::ChunkCoordinates& reference);
    void TrimLeftWindow();
    void GiveBackAfterStoring(PimVoxelGrid* chunk);
    void CountStreamingPass();
    void HarvestChannels();
    void BuildEditedChunks();
    enum class ChannelRelease
    {
        Free,        // in no channel (now): the main thread may build it
        WorkerHolds, // in a channel's building stage: the worker owns it until it hands it on
    };
    // Takes an edited chunk out of its channel's queued or upload stage (world lock held).
    ChannelRelease TakeFromChannel(PimVoxelGrid& chunk);
    void DrawChunks(const PimMatrix4x4& viewProjection);
    // The first pass of a frame remembers the active viewport and camera; a world that is drawn
    // also sets their planes and the fog colour as the clear colour.
    void RememberView(bool setClearColour);
    // Draws the six thumbnail views through the active viewport and camera, which are put back
    // as they were afterwards; false (picture untouched) without GL or a drawn frame.
    bool RenderThumbnail(PimTexture& picture);
    // The player location checked at save time: a corrupt one is replaced by the centre of the
    // stored regions.
    void GuardPlayerLocation();
    // The main thread's part of a save (thumbnail, chunks into regions, player location,
    // settings text), then the save queued for the save writer.
    void QueueSave();
    // Stores the player location, reporting a corrupt one.
    void StorePlayerLocation(const PimVector3& playerPosition);

    // Worker side.
    // The channel's building chunk, after moving the first queued one in when the stage was
    // empty; null when the channel has nothing for the worker.
    PimVoxelGrid* TakeWork(BuildChannel& channel);
    // One stint with the building chunk: load it when it needs data, then build it when its
    // neighbours hold theirs, then hand it on. True when it did some work.
    bool RunChannel(BuildChannel& channel, PimVoxelGrid& chunk);
    // Loads or fills the chunk's voxels and links it into the window; false when the stint ends
    // here (the chunk left the window, or it has no data to get), the chunk then released.
    bool LoadChunk(BuildChannel& channel, PimVoxelGrid& chunk);
    // The chunk's voxels from its stored region or the world's terrain; false when neither
    // gives any.
    bool FillData(PimVoxelGrid& chunk);
    bool IsReadyToBuild(const PimVoxelGrid& chunk, const PimVector3& location) const;
    // Hands a chunk the stint is done with on: to the upload stage when it has a mesh to hand
    // over (false, the chunk staying, while that stage is full), out of the channel otherwise,
    // to the pool when it left the window meanwhile.
    bool HandOn(BuildChannel& channel, PimVoxelGrid& chunk);
    // Empties the building stage: the chunk leaves the channel, or goes back to the pool when it
    // left the window.
    void ReleaseBuilding(BuildChannel& channel, PimVoxelGrid& chunk);
    void RefreshNeighbours(PimVoxelGrid& chunk);

    GameSettings& settings;
    ChunkPool& pool;

    std::atomic<std::int32_t> buildCount{0};
    std::atomic<std::int32_t> loadCount{0};
    BuildBudget budget;

    // Guarded by worldMutex; changed only under the global build-channel lock as well, under
    // which the worker reads them.
    SlotArray slots;
    WindowChunks::WindowView window;

    PimVector3 viewerPosition;
    // Chunk coordinates of the last streaming; y = -1 until the first.
    WorldAddressing::ChunkCoordinates windowReference{0, -1, 0};
    bool viewerKnown = false;

    std::shared_ptr<const WorldSetup> setup;

    // Guarded by channelMutex, the channel lock; see the class comment.
    mutable std::mutex channelMutex;
    std::array<BuildChannel, kChannelCount> channels;
    std::atomic<std::uint8_t> channelsInUse{1};
    // Scratch space of the scheduling; main thread.
    std::vector<Candidate> candidates;

    // Guarded by worldMutex.
    LeftWindowChunks leftWindow;
    std::size_t leftWindowLimit = kLeftWindowLimit;
    SlotArray nextSlots;
    // Set while the disc has empty slots inside the world that the streaming has not filled yet
    // (see kFillPerFrame).
    bool windowFilling = false;

    bool firstFrame = true;
    // Chunks are drawn only in frames whose Update came after the first frame.
    bool drawChunks = false;

    PimVector4 light;
    float lightAngle = 0.0f;

    WorldStore store;
    // The ground plane: rebuilt after every move of the window, drawn first.
    WorldMesh worldMesh;

    PimViewport* activeViewport = nullptr;
    std::shared_ptr<PimCamera> activeCamera;
    PimTexture thumbnail;

    // The world lock; see the class comment.
    mutable std::mutex worldMutex;

    std::uint32_t streamingPasses = 0;
    bool stalled = false;

    // Guarded by worldMutex: chunk locations of edits that asked for an immediate rebuild and
    // whose chunks (or a neighbour the edit touched) are not built yet.
    std::vector<PimVector3> editedLocations;
    std::int32_t editBuilds = 0;

    std::shared_ptr<const PimTexture> faceTexture;

    // Writes the files of started saves; its thread uses the store, so it is destroyed before the
    // store, after writing what was queued.
    WorldSaveWriter saveWriter;

    // Last: destroyed first, so no pass runs while the rest goes.
    PimThreadRunner runner;
};
