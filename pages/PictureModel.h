#pragma once

#include "world/ChunkBlock.h"

#include "engine/PimVector3.h"
#include "engine/PimWString.h"

#include <memory>

class PimTexture;

// A small voxel model shown on a pedestal: 2 x 2 x 2 chunks (64 voxels a side) drawn one unit
// wide (each chunk at scale 1/64), its minimum corner at the base. It holds a picture turned into
// a relief, a model file's first 64 x 64 x 64 voxels, or a random placeholder shape.
//
// The fill operations write the voxels; Build then meshes and uploads the chunks (GL context
// needed for the upload; without one the meshes stay on the CPU side). Main thread only.
class PictureModel
{
public:
    static constexpr int kSide = 64;
    static constexpr float kVoxelScale = 1.0f / kSide;

    // Eight empty chunks with the face atlas, at the base.
    PictureModel(const std::shared_ptr<const PimTexture>& atlas, const PimVector3& base);
    PictureModel(const PictureModel&) = delete;
    PictureModel& operator=(const PictureModel&) = delete;

    // A 64 x 64 picture as a relief: each opaque pixel a column through the model's middle plane
    // in the nearest palette colour (NearestPaletteColour), as deep as the pixel is opaque (fully
    // opaque: all 64 voxels; transparent: none). The picture's top row is the model's top. False,
    // writing nothing, for a picture of another size.
    bool FillFromPicture(const PimTexture& picture);
    // The voxels of the region file at path (a model file: one region whose first 2 x 2 x 2
    // chunks hold the model). False, leaving the model empty, when the file cannot be read.
    bool FillFromModelFile(const PimWString& path);
    // A random shape in one of seven blues: a rolling hill of waves with a spray of loose
    // voxels, or (one time in five) a cloud of 10000 loose voxels. Uses std::rand.
    void FillPlaceholder();

    // Meshes and uploads every chunk.
    void Build();
    void Update();
    void Draw();

    // Moves the model; its chunks follow.
    void SetBase(const PimVector3& base);
    const PimVector3& GetBase() const { return base; }

    // A voxel of the model by model coordinates (0 to 63); 0 outside.
    std::uint16_t GetVoxel(int x, int y, int z) const;
    const ChunkBlock& GetChunks() const { return chunks; }

private:
    void Clear();
    void SetVoxel(std::uint16_t value, int x, int y, int z);

    ChunkBlock chunks;
    PimVector3 base;
};
