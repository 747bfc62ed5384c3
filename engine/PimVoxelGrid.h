#pragma once

#include "engine/PimColor.h"
#include "engine/PimGLBuffer.h"
#include "engine/PimRecursiveMutex.h"
#include "engine/PimVector3.h"
#include "engine/VoxelFace.h"
#include "engine/VoxelMesh.h"
#include "engine/VoxelStorage.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>

class PimTexture;
struct PimVector4;
class VoxelCollisionLevels;

// The engine's chunk: 32 x 32 x 32 voxel codes (0 empty, 0xFF00 and up colour voxels, the rest
// textured codes of VoxelCodeTable), its neighbour links, build state and built mesh.
//
// Voxel order (region files store it): index = (y * 32 + z) * 32 + x, so a row of 32 voxels
// along x is contiguous, then rows along z, then layers along y. See GetIndex.
//
// Storage: a de-initialised chunk holds no voxel memory, and a chunk whose voxels all hold one
// value keeps only that value; the first differing write allocates the 64 KiB array, and a chunk
// that becomes uniform again gives it back (after bulk writes at UnLockVoxelMutex, after edits at
// the Update that follows the next build).
//
// Threads: the main thread edits, reads and uploads; the world's worker thread loads, fills and
// builds. Every method may be called from either thread unless its comment says otherwise.
// Locks:
// - the voxel lock of each chunk (LockVoxelMutex; recursive) guards its codes, built mesh,
//   collision cache and build bookkeeping. No code of this class holds two chunks' voxel locks
//   at once: BuildGrid reads each neighbour's facing layer under that neighbour's lock alone.
// - the global build-channel lock (LockAllBuildChannels; recursive) is held by BuildGrid while it
//   reads voxels and by every change of neighbour links (SetGridSide, DeInitialize,
//   InitializeGrid, the destructor). Lock order: take the global lock before any voxel lock,
//   never the other way round; and never wait for the worker thread (join it, take its runner
//   lock) while holding the global lock, since the worker may be waiting for it in BuildGrid.
//
// Drawing (PimVoxelGridDraw.cpp): GLLoad takes the built mesh with TakeBuiltMesh and uploads it
// into the chunk's vertex buffer; Draw draws the uploaded mesh with the programs StaticInitialize
// loaded. VoxelMesh documents the layout. GL work runs on the main thread only; DeInitialize and
// the destructor may run on the worker and then hand the buffer to the main thread for deletion
// (see DeInitialize).
//
// Build states (GetGridStatus): 1 needs data, 2 data ready to be built, 3 built and waiting for
// upload, 5 finished with nothing to upload. BuildGrid ends in 3 or 5; handing the mesh to the
// drawing side (TakeBuiltMesh) ends in 5, or in 2 when the voxels changed after the build began.
// Regenerate moves a finished chunk back to 2 when its mesh is out of date.
class PimVoxelGrid
{
public:
    static constexpr int kSide = VoxelStorage::kSide;
    static constexpr int kVoxelCount = VoxelStorage::kCount;
    static constexpr std::uint8_t kNoBuildChannel = 255;

    static constexpr std::uint8_t kStatusNeedsData = 1;
    static constexpr std::uint8_t kStatusToBuild = 2;
    static constexpr std::uint8_t kStatusBuilt = 3;
    static constexpr std::uint8_t kStatusFinished = 5;

    // Chunk-coordinate step to the neighbour on each side, and the side the neighbour sees us on.
    // Sides are in VoxelFace order: +z, -z, -x, +x, +y, -y.
    static constexpr PimVector3 directionModifier[kVoxelFaceCount] = {
        {0, 0, 1}, {0, 0, -1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0},
    };
    static constexpr std::uint8_t opposingFace[kVoxelFaceCount] = {1, 0, 3, 2, 5, 4};

    // Colour the world's fog and background use; main thread.
    static PimColor fogColor;

    // An empty chunk at the origin: no voxel memory, status 1, no channel, scale 1.
    PimVoxelGrid();
    virtual ~PimVoxelGrid();
    PimVoxelGrid(const PimVoxelGrid&) = delete;
    PimVoxelGrid& operator=(const PimVoxelGrid&) = delete;

    // Prepares the chunk for drawing without touching its voxels: the next build result is
    // handed to the drawing side even when it is empty, so whatever was drawn before is replaced.
    virtual void Initialize();
    // Returns the chunk to the pooled state: voxel, mesh and collision memory released, all
    // voxels 0, status 1, no channel, not edited, unlinked from its neighbours (both ways), and its
    // GL vertex buffer freed. Any thread: on the main thread the buffer is deleted at once; on
    // another thread it is queued (under a mutex) and deleted by the next main-thread GLLoad, Draw
    // or StaticInitialize, since GL may only be called where the context is current. The face
    // atlas stays attached.
    virtual void DeInitialize();
    // Gives back the voxel array of a chunk its last build found uniform, when no write came
    // since. Called once per frame by the main thread, and by whichever thread ends a build's
    // hand-over (the world's upload, or its worker for a build with nothing to upload).
    virtual void Update();
    // Main thread: draws the mesh of the last GLLoad for the current pass
    // (PimDrawContext::GetViewProjection), model = translation(location) * scale. Opaque quads
    // first with depth writes; then the translucent ones blended without depth writes, their
    // back sides (seen from inside water or a guide) first with the cell-back program. Colour
    // voxels read the plain or special colour table (UseSpecialColors) as it is now. Draws nothing
    // before StaticInitialize succeeded or with nothing uploaded. Leaves blending, depth writes and
    // face culling as it found them.
    virtual void Draw();

    // Main thread, once before any draw: loads the face program (voxelVs, voxelPs) and the
    // cell-back program (cellBackVs, cellBackPs), drawing translucent cells' faces from inside.
    // A file that cannot be read, compiled or linked is reported through PimAssert; chunks then
    // draw nothing until a later call succeeds. False on failure or without a GL context.
    static bool StaticInitialize(std::string_view voxelVs, std::string_view voxelPs, std::string_view cellBackVs,
                                 std::string_view cellBackPs);
    static bool IsStaticInitialized();
    // The world's light, used by every later draw of every chunk: xyz the direction the light
    // travels (normalised when set; a zero direction lights every face fully), w its intensity
    // (0 leaves only the ambient part). Default: slanted down, intensity 1. Main thread.
    static void SetLightDirection(const PimVector4& direction);
    static PimVector4 GetLightDirection();
    // Distances from the eye (world units) where fog starts and where it covers everything in
    // fogColor. Default 192 and 448. Main thread.
    static void SetFogRange(float start, float end);

    // The face atlas (16 x 16 tiles, see VoxelTile). Chunks share one picture: pass the same
    // shared pointer to each. The copying overload makes a private copy for this chunk. Without
    // an atlas textured faces draw white. Main thread.
    void LoadTextures(std::shared_ptr<const PimTexture> atlas);
    void LoadTextures(const PimTexture& atlas);
    std::shared_ptr<const PimTexture> GetTextures() const;

    // Main thread only: uploads the built mesh (status 3, see TakeBuiltMesh) into the chunk's
    // vertex buffer, replacing what was drawn; an empty mesh frees the buffer. False when no
    // built mesh was waiting (nothing changes) or without a GL context (the mesh is then taken
    // and dropped).
    bool GLLoad();
    // Quads of the last upload (0 when nothing is drawn), opaque ones of them.
    std::uint32_t GetUploadedQuadCount() const;
    std::uint32_t GetUploadedOpaqueQuadCount() const;

    // Index of voxel (x, y, z) into the 32768 codes. Only the low 5 bits of each coordinate are
    // used, so the index is always inside the array.
    static constexpr std::uint16_t GetIndex(std::uint16_t x, std::uint16_t y, std::uint16_t z)
    {
        return static_cast<std::uint16_t>((((y & 31u) << 5 | (z & 31u)) << 5) | (x & 31u));
    }

    // The two 256-entry colour tables: plain (menu rooms) and special (world chunks). A colour
    // voxel's mesh keeps its index, so a new definition shows at the next draw without a
    // rebuild. Main thread.
    static void SetColorDefinition(std::uint8_t index, const PimColor& color, bool special);
    static PimColor GetColorDefinition(std::uint8_t index, bool special);
    static const PimColor* GetColorTable(bool special);
    // Changes of a table so far: the drawing side re-sends a table whose count moved.
    static std::uint32_t GetColorTableVersion(bool special);

    // Makes the voxel code table ready on the calling thread and caches a direct lookup of codes
    // 0 to codeCount - 1 (all built-in textured codes are below 5000). Called once at start-up.
    static void CacheVoxelCodes(std::uint32_t codeCount);

    // Global build-channel lock: true takes it (waiting for it), false releases it. Recursive per
    // thread; a release by a thread that does not hold it is reported and ignored.
    static void LockAllBuildChannels(bool lock);
    // Holds the global build-channel lock for a scope.
    class BuildChannelsLock
    {
    public:
        BuildChannelsLock() { LockAllBuildChannels(true); }
        ~BuildChannelsLock() { LockAllBuildChannels(false); }
        BuildChannelsLock(const BuildChannelsLock&) = delete;
        BuildChannelsLock& operator=(const BuildChannelsLock&) = delete;
    };

    // The atlas rectangle of a texture code's tile (|code| & 255, 16 x 16 tiles, v0 at the top):
    // (u0, v0) to (u1, v1), inset by half a texel of a 512-pixel atlas against bleeding.
    static void CalculateTextureCoordinates(int textureCode, float& u0, float& v0, float& u1, float& v1);

    // Clears and prepares a pooled chunk: as DeInitialize.
    void InitializeGrid();

    void SetLocation(const PimVector3& location);
    PimVector3 GetLocation() const;
    // Centre in world units: location + 16 x scale on each axis.
    PimVector3 GetCenter() const;
    void SetScale(float scale);
    float GetScale() const;
    void UseSpecialColors(bool special);
    bool IsUsingSpecialColors() const;

    // Exclusive access to the voxel array for bulk copies. SetVoxels hands out the 32768 codes
    // (allocating them for a uniform chunk) for writing; GetVoxels for reading only. Both only
    // while the lock is held. Writes through SetVoxels count as data (load, terrain), not as edits:
    // the edited flag is untouched, and the mesh counts as out of date.
    void LockVoxelMutex();
    void UnLockVoxelMutex();
    std::uint16_t* SetVoxels();
    const std::uint16_t* GetVoxels();
    // A bulk write of one value into every voxel, counted as SetVoxels' writes are; the chunk keeps
    // only that value (no array). Only while the lock is held; an array handed out before under
    // the same lock is gone.
    void FillVoxels(std::uint16_t value);
    // True, with the value, while every voxel holds one value and no array is kept; lets bulk
    // readers skip the array (GetVoxels would allocate it).
    bool IsUniform(std::uint16_t& value) const;

    // Voxel at a position local to the chunk (the voxel containing it: coordinates floored);
    // 0 outside 0 <= p < 32.
    std::uint16_t GetVoxel(const PimVector3& local) const;
    std::uint16_t GetVoxel(int x, int y, int z) const;

    // Stores a code and returns the code the voxel had before (0, changing nothing, outside the
    // chunk). A write that changes the voxel marks the chunk edited since save and its mesh out of
    // date, and the mesh of a linked neighbour whose faces it touches.
    // rebuildNow: request the rebuilds at once (as Regenerate(false) on this chunk and on those
    //   neighbours) - for single placements, which no rebuild call follows.
    // fillWrite: one write of a long run (flood fills) that ends with Regenerate: the coarse
    //   collision levels are dropped and rebuilt at the next coarse query instead of being
    //   updated for every write.
    // Writing the code a voxel already holds changes nothing and marks nothing.
    std::uint16_t SetVoxel(std::uint16_t code, const PimVector3& local, bool rebuildNow, bool fillWrite);
    std::uint16_t SetVoxel(std::uint16_t code, int x, int y, int z, bool rebuildNow, bool fillWrite);

    // Collision class at a local position: 0 nothing, 1 water, 2 helpers, 3 solid (see
    // VoxelCollision). Base level L > 0 tests the aligned cube of 2^L voxels that contains the
    // position and returns the highest class in it, so a very large player does not catch on
    // single voxels; levels above 5 count as 5 (the whole chunk). 0 outside the chunk.
    std::uint8_t GetCollision(std::uint32_t baseLevel, const PimVector3& local) const;

    void SetGridStatus(std::uint8_t status);
    std::uint8_t GetGridStatus() const;

    // Requests a rebuild: a chunk at status 5 goes back to 2 when its mesh is out of date (any
    // voxel or neighbour change since it was built), or always with force, whose next build is
    // then handed over even when empty (also when forced at status 1, before the data comes).
    // A chunk at 3 is rebuilt after its upload; 1 and 2 stay.
    void Regenerate(bool force);
    // Full rebuild: as Regenerate(true), also from status 1, and the collision cache is dropped.
    void ForceForceRegenerate();

    // Builds the mesh from the current codes and the linked neighbours' facing layers; usually on
    // the worker thread. Ends in status 3, or 5 when the mesh is empty and nothing was handed
    // over before (nothing to replace).
    void BuildGrid();
    // Main thread: moves the built mesh out for upload (GLLoad) when the status is 3, and ends in
    // status 5 (or 2 when a change arrived during the build). False, leaving `mesh`, otherwise.
    bool TakeBuiltMesh(VoxelMesh& mesh);

    // Links the neighbour on a side (VoxelFace order), or unlinks it with null. Links are kept
    // symmetric: the neighbour is linked back on the opposing side, and chunks that lose a link
    // are unlinked back. Takes the global build-channel lock.
    void SetGridSide(std::uint8_t side, PimVoxelGrid* neighbour);
    PimVoxelGrid* GetGridSide(std::uint8_t side) const;
    bool IsSurrounded() const;

    void SetBuildChannel(std::uint8_t channel);
    std::uint8_t GetBuildChannel() const;
    // A hint to fetch the build status and channel into the cache ahead of a scan over many
    // chunks (the world's scheduler reads them for every window chunk each frame, and chunk
    // objects lie far apart in memory).
    void PrefetchBuildState() const
    {
#if defined(__GNUC__) || defined(__clang__)
        __builtin_prefetch(&status);
#endif
    }

    bool IsEditedSinceSave() const;
    void SetEditedSinceSave(bool edited);

    // Memory now held: voxel array and collision cache; built mesh waiting for upload.
    std::size_t GetVoxelBytes() const;
    std::size_t GetMeshBytes() const;

private:

    void ReleaseEverything();
    void ReleaseGL();
    void DrawQuads(std::uint32_t firstQuad, std::uint32_t quadCount) const;
    void UnlinkAll();
    void BumpMeshInputs();
    void NoteBorderChange(int x, int y, int z, bool rebuildNow);
    void RequestRebuild(bool force, bool evenWithoutData);

    // Guarded by voxelLock.
    mutable PimRecursiveMutex voxelLock;
    VoxelStorage storage;
    mutable std::unique_ptr<VoxelCollisionLevels> collision;
    VoxelMesh builtMesh;
    std::uint64_t voxelVersion = 0;      // own writes
    std::uint64_t builtInputVersion = 0; // meshInputVersion the built mesh was made from
    bool everBuilt = false;
    bool forceHandOver = false;          // hand the next build over even when empty
    bool drawnMeshMayExist = false;      // a non-empty mesh was handed over and not replaced
    bool bulkWriteOpen = false;          // SetVoxels called under the current lock
    bool readCopyOpen = false;           // GetVoxels materialised a uniform chunk
    bool compactionFound = false;        // the last build saw uniform voxels...
    std::uint16_t compactionValue = 0;   // ...all holding this value...
    std::uint64_t compactionVersion = 0; // ...at this voxelVersion
    std::uint32_t generation = 0;        // bumped by DeInitialize: drops builds begun before

    // Changes of anything the mesh depends on: own voxels, linked neighbours' voxels, links.
    std::atomic<std::uint64_t> meshInputVersion{1};
    std::atomic<std::uint8_t> status{kStatusNeedsData};
    std::atomic<std::uint8_t> buildChannel{kNoBuildChannel};
    std::atomic<bool> editedSinceSave{false};
    std::atomic<bool> specialColors{false};
    std::atomic<PimVoxelGrid*> sides[kVoxelFaceCount] = {};

    // Guards location and scale; taken briefly by any thread.
    mutable std::mutex placementMutex;
    PimVector3 location;
    float scale = 1.0f;

    // Drawing side: guards the vertex buffer and counts between the main thread's GLLoad / Draw
    // and a DeInitialize on the worker.
    mutable std::mutex glMutex;
    PimGLBuffer vertexBuffer{PimGLBuffer::Kind::Vertices};
    std::uint32_t uploadedQuads = 0;
    std::uint32_t uploadedOpaqueQuads = 0;
    std::shared_ptr<const PimTexture> faceAtlas;
};
