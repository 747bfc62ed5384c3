#pragma once

#include "engine/PimGLBuffer.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimRenderableObject.h"
#include "engine/PimTexture.h"
#include "engine/PimVector2.h"
#include "engine/PimVector3.h"

#include <cstdint>
#include <vector>

class PimCamera;
class WorldSetup;

// One corner of the ground plane as the vertex stage reads it: 32 bytes, "vPos" at 0, "vCol" at
// 12, "vUv" at 24.
struct WorldMeshVertex
{
    PimVector3 position;
    PimVector3 colour;
    PimVector2 uv;
};
static_assert(sizeof(WorldMeshVertex) == 32, "the ground plane's shader reads 32-byte vertices");

// The ground plane under a world: one large square at height -0.0001 that follows the viewer in
// whole voxels, textured once per voxel so that its grid lines run along voxel edges, and fading
// out as the viewer rises (fully gone at height 64). It draws the grid picture
// "Graphics/Textures/modelgrid.png" when the world asks for its own texture, else the second
// preview picture of the world's setup record (the grid again when that picture is missing).
//
// The world owns it, rebuilds it after every move of its window and draws it from its own Draw
// with its viewer's camera (DrawFrom). Main thread only.
class WorldMesh : public PimRenderableObject
{
public:
    static constexpr float kFadeHeight = 64.0f;
    static constexpr float kHalfSide = 500.0f;
    static constexpr float kPlaneHeight = -0.0001f;

    // setup: the world's record, read for its preview picture; may be null (the grid is drawn).
    explicit WorldMesh(const WorldSetup* setup = nullptr);
    ~WorldMesh() override;
    WorldMesh(const WorldMesh&) = delete;
    WorldMesh& operator=(const WorldMesh&) = delete;

    // Uploads the lists Rebuild made into the GL buffers and empties them.
    void Initialize() override;
    // Frees the buffers and the lists; the next Draw rebuilds.
    void DeInitialize() override;
    // Draws with the current pass's camera (nothing without one).
    void Draw() override;
    // Draws for the given camera, which must be the one the current pass sees with.
    void DrawFrom(const PimCamera& camera);

    // The square with its texture coordinates, uploaded at the next Initialize or Draw.
    void Rebuild();

    void SetUseOwnTexture(bool useOwn) { useOwnTexture = useOwn; }
    bool UsesOwnTexture() const { return useOwnTexture; }
    void SetWorldSetup(const WorldSetup* newSetup) { setup = newSetup; }

    // 1 - height / 64, at most 1; the plane is drawn only while this is above 0.
    static float FadeAt(float cameraHeight);
    // Where the plane stands for a viewer at `cameraPosition`: x and z rounded down to whole
    // voxels, y 0, so the grid keeps its place in the world while the plane follows.
    static PimVector3 AnchorFor(const PimVector3& cameraPosition);

    // Fade and model matrix of the last draw (whether or not the plane showed).
    float GetFade() const { return fade; }
    const PimMatrix4x4& GetModelMatrix() const { return modelMatrix; }
    // The lists between Rebuild and their upload.
    bool IsDirty() const { return dirty; }
    const std::vector<WorldMeshVertex>& GetVertices() const { return vertices; }
    const std::vector<std::uint16_t>& GetIndices() const { return indices; }
    std::uint32_t GetIndexCount() const { return indexCount; }

private:
    bool Upload();
    const PimTexture* ChooseTexture();

    const WorldSetup* setup = nullptr;
    std::vector<WorldMeshVertex> vertices;
    std::vector<std::uint16_t> indices;
    std::uint32_t indexCount = 0;
    PimGLBuffer vertexBuffer{PimGLBuffer::Kind::Vertices};
    PimGLBuffer indexBuffer{PimGLBuffer::Kind::Indices};
    PimMatrix4x4 modelMatrix;
    float fade = 1.0f;
    bool useOwnTexture = false;
    bool dirty = false;
    PimTexture gridTexture;
    bool gridLoadTried = false;
};
