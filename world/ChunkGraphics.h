#pragma once

#include "engine/PimTexture.h"
#include "engine/PimVoxelGrid.h"

// The GL side of a chunk as the world and the chunk blocks reach it: giving a chunk its face
// texture and uploading its built mesh. Main thread only (GL).
//
// PimVoxelGrid gains these calls with its drawing side (LoadTextures with a face texture, GLLoad
// to upload the mesh of a chunk at status 3). Until the engine has them, this header is the one
// place that waits for them: GiveFaceTexture and UploadBuiltMesh call the engine's operation when
// PimVoxelGrid declares it and do nothing otherwise, so a built chunk then keeps its mesh, at
// status 3, for the drawing side to take (TakeBuiltMesh).
namespace ChunkGraphics
{
template <typename Grid>
concept HasLoadTextures = requires(Grid& grid, const PimTexture& texture) { grid.LoadTextures(texture); };

template <typename Grid>
concept HasGLLoad = requires(Grid& grid) { grid.GLLoad(); };

template <typename Grid = PimVoxelGrid>
void GiveFaceTexture(Grid& chunk, const PimTexture& texture)
{
    if constexpr (HasLoadTextures<Grid>)
        chunk.LoadTextures(texture);
    else
        (void)chunk, (void)texture;
}

template <typename Grid = PimVoxelGrid>
void UploadBuiltMesh(Grid& chunk)
{
    if constexpr (HasGLLoad<Grid>)
        chunk.GLLoad();
    else
        (void)chunk;
}
}
