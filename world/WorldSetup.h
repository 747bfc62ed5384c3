#pragma once

#include "engine/PimTexture.h"
#include "world/HeightMap.h"
#include "world/TerrainRandom.h"
#include "world/WorldParameters.h"

#include <cstdint>

// The generated description of one world: its extent, the coarse height map the chunk fill
// reads, the two preview maps, the water level, the face texture for generated chunks, the seed
// and the parameter list it was generated from.
//
// Threads: owned by the world page. The generators (world/TerrainGenerator.h) write it on the
// main thread before the world is created; afterwards it is only read - by the world worker's
// chunk fill and by the main thread (editing extents, the ground plane) - and must not change
// while the world's worker runs. The preview maps and pictures are main-thread only.
class WorldSetup
{
public:
    // Width and depth never exceed the world's 32768 voxels.
    static constexpr std::int32_t kMaxSide = 32768;
    static constexpr int kChunkSide = 32;

    explicit WorldSetup(std::uint32_t seed);

    // A seed for a new world, from the system's entropy source.
    static std::uint32_t DrawSeed();

    // Width and depth in voxels, each held to 0 to 32768; the height map and both preview maps
    // become (width / 32) x (depth / 32) samples, all 0 (integer division: a side below 32 gives
    // an empty map).
    void SetSize(std::int32_t widthVoxels, std::int32_t depthVoxels);
    std::int32_t GetWidth() const { return width; }
    std::int32_t GetDepth() const { return depth; }

    // World height in voxels as the parameters gave it (the editing tools read its low 16 bits).
    void SetWorldHeight(std::int32_t height) { worldHeight = height; }
    std::int32_t GetWorldHeight() const { return worldHeight; }

    void SetWaterLevel(float level) { waterLevel = level; }
    float GetWaterLevel() const { return waterLevel; }

    HeightMap& GetHeightMap() { return heightMap; }
    const HeightMap& GetHeightMap() const { return heightMap; }
    // Preview maps 0 and 1 (any other index reads preview 1).
    HeightMap& GetPreviewMap(int index) { return previewMaps[index == 0 ? 0 : 1]; }
    const HeightMap& GetPreviewMap(int index) const { return previewMaps[index == 0 ? 0 : 1]; }
    // Pictures of the preview maps, made by the generators; invalid until then.
    PimTexture& GetPreviewPicture(int index) { return previewPictures[index == 0 ? 0 : 1]; }
    const PimTexture& GetPreviewPicture(int index) const { return previewPictures[index == 0 ? 0 : 1]; }

    // The texture the drawing side gives to every generated chunk.
    PimTexture& GetFaceTexture() { return faceTexture; }
    const PimTexture& GetFaceTexture() const { return faceTexture; }

    std::uint32_t GetSeed() const { return seed; }
    // The generators' random figures. Restarted from the seed by every generation, so one seed
    // and one parameter list always give the same maps.
    TerrainRandom& GetRandom() { return random; }
    void RestartRandom() { random.Seed(seed); }

    void SetParameters(const WorldParameterList& list) { parameters = list; }
    const WorldParameterList& GetParameters() const { return parameters; }

    // trunc(value of the terrain-type parameter), 0 when absent - what the world worker reads.
    std::int32_t GetTerrainType() const;

private:
    std::int32_t width = 0;
    std::int32_t depth = 0;
    std::int32_t worldHeight = 0;
    HeightMap heightMap;
    HeightMap previewMaps[2];
    PimTexture previewPictures[2];
    float waterLevel = 0.0f;
    PimTexture faceTexture;
    std::uint32_t seed = 0;
    TerrainRandom random;
    WorldParameterList parameters;
};
