#pragma once

#include "engine/VoxelCodeTable.h"
#include "engine/VoxelMesh.h"
#include "engine/VoxelStorage.h"

#include <cstdint>
#include <memory>
#include <vector>

// Builds the face mesh of one chunk from a snapshot of its codes and of the six neighbour layers
// that touch it.
//
// Which faces show: an opaque voxel's face shows unless the voxel across it is opaque; a
// translucent voxel's face (water, guides) shows only against an empty voxel. So solid ground
// stays visible through water, water has no inner faces, and two different translucent codes
// side by side show no face between them. Colour voxels are always opaque. A side with no linked
// neighbour counts as empty, so faces on an open border show.
//
// How: each row of 32 voxels along x becomes bit masks (filled, opaque); each face direction's
// visible faces come from shifts and neighbouring rows, four rows at a time; each slice of faces
// is then merged greedily into rectangles of one code (runs along a row, extended over the
// following rows), with lone faces emitted directly.
//
// Use: Capture* under the voxel lock of the chunk concerned (one chunk at a time), then Build
// without any lock. An instance is scratch space for one thread: about 100 KiB of masks and
// codes, and quad lists that grow to what the largest mesh needed (a few MiB at worst).
class VoxelMesher
{
public:
    explicit VoxelMesher(const VoxelCodeTable& table = VoxelCodeTable::GetInstance());
    ~VoxelMesher();
    VoxelMesher(const VoxelMesher&) = delete;
    VoxelMesher& operator=(const VoxelMesher&) = delete;

    void CaptureVoxels(const VoxelStorage& storage);
    // The neighbour across `side` (VoxelFace order); null when no neighbour is linked there.
    void CaptureNeighbour(int side, const VoxelStorage* neighbour);

    // Replaces `out` with the mesh of the captured voxels, sized exactly.
    void Build(VoxelMesh& out);

    // Whether every captured voxel held one value, and which (also for full storage).
    bool CapturedUniform() const { return uniform; }
    std::uint16_t CapturedUniformValue() const { return uniformValue; }

private:
    struct Scratch;
    struct QuadSink;

    template <int Face, class Codes>
    void MeshFace(const Codes& codes);
    template <int Face>
    void ComputeVisible();
    bool UniformChunkIsHidden() const;

    const VoxelCodeTable& table;
    std::unique_ptr<Scratch> scratch;
    bool uniform = true;
    std::uint16_t uniformValue = 0;
};
