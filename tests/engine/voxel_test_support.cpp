#include "voxel_test_support.h"

#include <algorithm>
#include <sstream>

namespace
{
FaceLook LookOf(std::uint16_t code, int face, const VoxelCodeTable& table)
{
    if (VoxelCode::IsColour(code))
        return {static_cast<std::uint8_t>(code & 0xFF), true, false, false};
    const VoxelData& data = table.GetVoxelData(code);
    return {data.Tile(face), false, data.IsFlipped(face), data.translucent};
}

bool IsOpaque(std::uint16_t code, const VoxelCodeTable& table)
{
    return code != 0 && !table.GetVoxelData(code).translucent;
}
} // namespace

FaceSet ExpectedFaces(const VoxelReader& read, const VoxelCodeTable& table)
{
    FaceSet faces;
    for (int y = 0; y < 32; ++y)
        for (int z = 0; z < 32; ++z)
            for (int x = 0; x < 32; ++x)
            {
                const std::uint16_t code = read(x, y, z);
                if (code == 0)
                    continue;
                for (int face = 0; face < kVoxelFaceCount; ++face)
                {
                    const VoxelFaceStep step = kVoxelFaceSteps[face];
                    const std::uint16_t across = read(x + step.x, y + step.y, z + step.z);
                    const bool shows = IsOpaque(code, table) ? !IsOpaque(across, table) : across == 0;
                    if (shows)
                        faces[{x, y, z, face}] = LookOf(code, face, table);
                }
            }
    return faces;
}

VoxelReader ReaderOf(const PimVoxelGrid& chunk)
{
    return [&chunk](int x, int y, int z) -> std::uint16_t {
        const int coords[3] = {x, y, z};
        for (int side = 0; side < kVoxelFaceCount; ++side)
        {
            const VoxelFaceStep step = kVoxelFaceSteps[side];
            const int axisStep[3] = {step.x, step.y, step.z};
            for (int axis = 0; axis < 3; ++axis)
            {
                if (axisStep[axis] == 0)
                    continue;
                const bool beyond = axisStep[axis] > 0 ? coords[axis] > 31 : coords[axis] < 0;
                if (!beyond)
                    continue;
                const PimVoxelGrid* neighbour = chunk.GetGridSide(static_cast<std::uint8_t>(side));
                return neighbour ? neighbour->GetVoxel(x - 32 * step.x, y - 32 * step.y, z - 32 * step.z) : 0;
            }
        }
        return chunk.GetVoxel(x, y, z);
    };
}

FaceSet MeshFaces(const VoxelMesh& mesh, std::string& problems)
{
    std::ostringstream report;
    FaceSet faces;
    for (std::uint32_t quad = 0; quad < mesh.QuadCount(); ++quad)
    {
        const VoxelVertex* q = &mesh.vertices[quad * 4];
        const int face = q[0].Face();
        const VoxelFaceStep n = kVoxelFaceSteps[face];
        for (int i = 1; i < 4; ++i)
            if ((q[i].bits >> 18) != (q[0].bits >> 18))
                report << "quad " << quad << " mixes faces or materials\n";

        // Corners: left-bottom, right-bottom, left-top, right-top as seen from outside, so that
        // (v1 - v0) runs along the face's right, (v2 - v0) along its up, and the triangles
        // (v0, v1, v2), (v2, v1, v3) are wound outwards.
        const int e1[3] = {q[1].X() - q[0].X(), q[1].Y() - q[0].Y(), q[1].Z() - q[0].Z()};
        const int e2[3] = {q[2].X() - q[0].X(), q[2].Y() - q[0].Y(), q[2].Z() - q[0].Z()};
        const VoxelFaceStep right = kVoxelFaceRight[face];
        const VoxelFaceStep up = kVoxelFaceUp[face];
        const int w = e1[0] * right.x + e1[1] * right.y + e1[2] * right.z;
        const int h = e2[0] * up.x + e2[1] * up.y + e2[2] * up.z;
        if (w <= 0 || h <= 0 || e1[0] != w * right.x || e1[1] != w * right.y || e1[2] != w * right.z ||
            e2[0] != h * up.x || e2[1] != h * up.y || e2[2] != h * up.z)
            report << "quad " << quad << " corners do not follow the face's right and up\n";
        const int cross[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
        if (cross[0] * n.x + cross[1] * n.y + cross[2] * n.z <= 0)
            report << "quad " << quad << " is wound inwards\n";
        if (q[3].X() != q[1].X() + q[2].X() - q[0].X() || q[3].Y() != q[1].Y() + q[2].Y() - q[0].Y() ||
            q[3].Z() != q[1].Z() + q[2].Z() - q[0].Z())
            report << "quad " << quad << " is not a rectangle\n";

        const bool translucent = quad >= mesh.opaqueQuadCount;
        const int lo[3] = {std::min({q[0].X(), q[1].X(), q[2].X(), q[3].X()}), std::min({q[0].Y(), q[1].Y(), q[2].Y(), q[3].Y()}),
                           std::min({q[0].Z(), q[1].Z(), q[2].Z(), q[3].Z()})};
        const int hi[3] = {std::max({q[0].X(), q[1].X(), q[2].X(), q[3].X()}), std::max({q[0].Y(), q[1].Y(), q[2].Y(), q[3].Y()}),
                           std::max({q[0].Z(), q[1].Z(), q[2].Z(), q[3].Z()})};
        const int normal[3] = {n.x, n.y, n.z};
        int cell[3];
        int from[3];
        int to[3];
        for (int axis = 0; axis < 3; ++axis)
        {
            if (normal[axis] != 0)
            {
                from[axis] = normal[axis] > 0 ? lo[axis] - 1 : lo[axis];
                to[axis] = from[axis] + 1;
            }
            else
            {
                from[axis] = lo[axis];
                to[axis] = hi[axis];
            }
        }
        for (cell[1] = from[1]; cell[1] < to[1]; ++cell[1])
            for (cell[2] = from[2]; cell[2] < to[2]; ++cell[2])
                for (cell[0] = from[0]; cell[0] < to[0]; ++cell[0])
                {
                    const UnitFace key{cell[0], cell[1], cell[2], face};
                    if (faces.count(key))
                        report << "face " << cell[0] << "," << cell[1] << "," << cell[2] << " dir " << face
                               << " covered twice\n";
                    faces[key] = FaceLook{q[0].Index(), q[0].IsColour(), q[0].IsFlipped(), translucent};
                }
    }
    problems = report.str();
    return faces;
}

std::string FaceDifference(const FaceSet& expected, const FaceSet& got)
{
    std::ostringstream report;
    int shown = 0;
    auto describe = [&](const char* what, const UnitFace& f) {
        if (shown++ < 8)
            report << what << " " << f.x << "," << f.y << "," << f.z << " dir " << f.face << "\n";
    };
    for (const auto& [face, look] : expected)
    {
        auto found = got.find(face);
        if (found == got.end())
            describe("missing", face);
        else if (!(found->second == look))
            describe("wrong look", face);
    }
    for (const auto& [face, look] : got)
        if (!expected.count(face))
            describe("extra", face);
    if (shown > 8)
        report << shown - 8 << " more\n";
    return report.str();
}
