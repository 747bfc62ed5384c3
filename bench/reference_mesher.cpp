#include "reference_mesher.h"

#include "engine/VoxelCodeTable.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{
constexpr int kPadded = 34;

int PadIndex(int x, int y, int z) { return ((y + 1) * kPadded + (z + 1)) * kPadded + (x + 1); }

// Copies into the padded block the codes of the chunk that sits at chunk offset (dx, dy, dz):
// all of it for the chunk itself, the one layer that touches the chunk for a neighbour.
void CopyFrom(PimVoxelGrid& chunk, std::vector<std::uint16_t>& pad, int dx, int dy, int dz)
{
    chunk.LockVoxelMutex();
    std::uint16_t uniform = 0;
    const bool isUniform = chunk.IsUniform(uniform);
    const std::uint16_t* codes = isUniform ? nullptr : chunk.GetVoxels();
    // Per axis, the padded coordinates (-1 to 32) that fall in this chunk.
    auto low = [](int d) { return d == 0 ? 0 : (d > 0 ? 32 : -1); };
    auto high = [](int d) { return d == 0 ? 31 : (d > 0 ? 32 : -1); };
    for (int y = low(dy); y <= high(dy); ++y)
        for (int z = low(dz); z <= high(dz); ++z)
            for (int x = low(dx); x <= high(dx); ++x)
                pad[PadIndex(x, y, z)] =
                    isUniform ? uniform : codes[PimVoxelGrid::GetIndex(x - 32 * dx, y - 32 * dy, z - 32 * dz)];
    chunk.UnLockVoxelMutex();
}

void AppendQuad(std::vector<VoxelVertex>& list, int face, int x, int y, int z, std::uint8_t index, bool flipped, bool colour)
{
    // Corners of the unit face of voxel (x, y, z): left-bottom, right-bottom, left-top, right-top.
    static const int corners[6][4][3] = {
        {{0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}}, // +z
        {{1, 0, 0}, {0, 0, 0}, {1, 1, 0}, {0, 1, 0}}, // -z
        {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}, {0, 1, 1}}, // -x
        {{1, 0, 1}, {1, 0, 0}, {1, 1, 1}, {1, 1, 0}}, // +x
        {{0, 1, 1}, {1, 1, 1}, {0, 1, 0}, {1, 1, 0}}, // +y
        {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {1, 0, 1}}, // -y
    };
    for (const auto& c : corners[face])
        list.push_back(VoxelVertex::Make(x + c[0], y + c[1], z + c[2], face, flipped, index, colour));
}
} // namespace

void ReferenceMesh(PimVoxelGrid& chunk, VoxelMesh& out)
{
    const VoxelCodeTable& table = VoxelCodeTable::GetInstance();
    std::vector<std::uint16_t> pad(kPadded * kPadded * kPadded, 0);
    CopyFrom(chunk, pad, 0, 0, 0);
    for (std::uint8_t side = 0; side < kVoxelFaceCount; ++side)
        if (PimVoxelGrid* neighbour = chunk.GetGridSide(side))
            CopyFrom(*neighbour, pad, kVoxelFaceSteps[side].x, kVoxelFaceSteps[side].y, kVoxelFaceSteps[side].z);

    std::vector<VoxelVertex> opaque;
    std::vector<VoxelVertex> translucent;
    auto isOpaque = [&](std::uint16_t code) { return code != 0 && !table.IsTranslucent(code); };
    for (int y = 0; y < 32; ++y)
        for (int z = 0; z < 32; ++z)
            for (int x = 0; x < 32; ++x)
            {
                const std::uint16_t code = pad[PadIndex(x, y, z)];
                if (code == 0)
                    continue;
                const bool selfOpaque = isOpaque(code);
                for (int face = 0; face < kVoxelFaceCount; ++face)
                {
                    const VoxelFaceStep s = kVoxelFaceSteps[face];
                    const std::uint16_t across = pad[PadIndex(x + s.x, y + s.y, z + s.z)];
                    if (selfOpaque ? isOpaque(across) : across != 0)
                        continue;
                    if (VoxelCode::IsColour(code))
                    {
                        AppendQuad(opaque, face, x, y, z, static_cast<std::uint8_t>(code & 0xFF), false, true);
                        continue;
                    }
                    const VoxelData& data = table.GetVoxelData(code);
                    AppendQuad(data.translucent ? translucent : opaque, face, x, y, z, data.Tile(face), data.IsFlipped(face), false);
                }
            }
    out.vertices = std::move(opaque);
    out.opaqueQuadCount = out.QuadCount();
    out.vertices.insert(out.vertices.end(), translucent.begin(), translucent.end());
}
